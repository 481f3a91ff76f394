#pragma once
// The main window: the task list in a report view, the commands that change
// it, and the window's placement and column widths kept in the profile.
//
// Every change takes one road: the list is published (which saves Data.dat),
// then RefreshTaskList reads Data.dat back and makes every row show it (rows
// that already do are left alone), so the view always shows what was stored. A failed save and a damaged Data.dat are told
// to the user, each once per command.
#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "core/ChangeHistory.h"
#include "core/CommandLine.h"
#include "core/DataFile.h"
#include "core/JumpListAction.h"
#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"
#include "res/resource.h"
#include "ui/ActionIconProvider.h"
#include "ui/main/RowIconCache.h"
#include "ui/main/RowImages.h"

// What the list view's subclass sends its dialog for a key press.
constexpr UINT WM_ZEMBRO_LIST_KEY = WM_APP + 1;
// Posted once the window has been made and shown.
constexpr UINT WM_ZEMBRO_SHOWN = WM_APP + 2;

class CZembroDlg : public CDialog {
public:
    enum { IDD = IDD_ZEMBRO_DIALOG };

    explicit CZembroDlg(CDialog* pParent = nullptr);
    ~CZembroDlg() override;

    // Makes the view show what Data.dat holds. An empty stored list is replaced by the
    // default list, which is saved and published; a non-empty one is not
    // published here. A Data.dat that is there but cannot be read is offered
    // again (Retry) or ends the program without writing (Cancel); then, and
    // when the user will not have a damaged file without a copy replaced, it
    // returns false and the window is ending.
    bool RefreshTaskList();

    // The width to insert column nColumn with at the window's DPI: the stored
    // one (zero included), taken at the DPI stored as "ColumnDpi" (as it is
    // when there is none), when widths are remembered, else nDefaultWidth. A
    // stored width below 0 or above four screens' width is ignored.
    int GetSavedColumnWidth(int nColumn, int nDefaultWidth);
    // Stores one width as "Column<n>"; a failed write is ignored.
    void WriteColumnWidth(int nColumn, int nWidth);
    // Stores every header column's current width, and the window's DPI as
    // "ColumnDpi"; nothing once the list view is gone.
    void SaveColumnWidths();

    // Whether the placement and the column widths are restored at start and
    // stored at close. Read from the profile at start and after Settings ends
    // with OK; on until then.
    BOOL m_bRememberLocation = TRUE;
    BOOL m_bRememberColumnWidth = TRUE;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    std::span<const CMessageMapEntry> GetMessageMap() const override;

    // Makes the rows show m_arrTasks, changing only the rows that differ. Each
    // row has its number, the icon of the task's path (not of its icon file)
    // at its icon index, and the four texts. Row n always uses image n.
    void UpdateRows();
    // Row n (numbered n + 1, on image n) for task, and a row's texts.
    void InsertTaskRow(int n, const CJumpListAction& task);
    void SetTaskRowTexts(int nRow, const CJumpListAction& task);

    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    // Stores the placement and the widths, as a close would, when the session ends.
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    // The opening size, the column widths and the rows' images at the new DPI.
    void OnDpiChanged(UINT nOldDpi, UINT nNewDpi) override;

    // The commands (ZembroDlgCommands.cpp).
    void OnAddNewTask();
    void OnAddSeparator();
    void OnEditTask();
    LRESULT OnListDoubleClick(NMHDR* pNMHDR);
    // Rows whose program or document is gone are grey, with a tip that says
    // so; a drag's insertion line is drawn after the rows.
    LRESULT OnListCustomDraw(NMHDR* pNMHDR);
    LRESULT OnListGetInfoTip(NMHDR* pNMHDR);
    void OnDeleteTask();
    void OnMoveUp();
    void OnMoveDown();
    void OnResetList();
    void OnSettings();
    void OnLocateDataFile();
    void OnExit();
    void OnMenuButton();
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnShareOnFacebook();
    // Export and import (ZembroDlgTransfer.cpp).
    void OnExportList();
    void OnImportList();
    // Zembro.exe /import or /publish, handed over by the command line: done as
    // the window's own change, and answered with the command line's exit code
    // (kExitWindowBusy while a dialog, message, menu or drag is open).
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    // Data.dat's folder changed: a list another program wrote is shown.
    void OnWaitHandleSignalled(HANDLE hHandle) override;

    // Keys, drag to reorder, undo and dropped files (ZembroDlgEditing.cpp).
    void OnUndo();
    void OnRedo();
    LRESULT OnListBeginDrag(NMHDR* pNMHDR);
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);

private:
    // The last part of a path: "Data.dat" of C:\...\Data.dat.
    static std::wstring FileNameOf(const std::u16string& strPath);
    // The task dialog's choice for an import: its two command ids, or IDCANCEL.
    // Where the task dialog cannot be shown, a message box asks the same
    // (Yes: replace, No: add after the last entry) and gives the same ids.
    int AskHowToImport(const std::u16string& strPath, int nEntries);
    bool IsTargetMissing(int nRow) const;
    // nIndex -1: the selected row (a message when there is none).
    void EditTaskAt(int nIndex);
    // Moves the selected entry by nStep (-1 up, +1 down) and keeps it selected.
    void MoveSelectedTask(int nStep);
    // Publishes list (which saves it), tells about a failed save, then
    // refreshes. A change that reached Data.dat becomes one undo step, so every
    // command that commits through here can be undone. A change refused
    // because another program wrote Data.dat since is dropped, and the window
    // shows what Data.dat holds now.
    CPublishResult CommitChange(CTaskList& list);
    // Publishes list and reports a failed save from it; the refresh's seeding
    // and the commands both go through here.
    CPublishResult PublishAndReportSave(CTaskList& list);
    // When another program has written Data.dat since this window read or
    // wrote it: shows what it holds now and forgets the undo steps, which
    // would bring back a list over that one. True when it did.
    bool FollowOutsideChange();
    // Watches Data.dat's folder for changes made by other programs.
    void WatchDataFolder();
    // Carries out a command the command line handed over; its exit code.
    int RunHandedCommand(const CCommandLine& command);
    // The selected row, or -1.
    int GetSelectedRow() const;
    // Scrolls nRow fully into view, focuses the list and selects the row.
    void SelectRowAfterChange(int nRow);

    // Sets up what ZembroDlgEditing.cpp adds to the window: the list's keys,
    // the buttons' tooltips, the list's accessible name and file drops.
    void InitEditing();
    // Lets WM_DROPFILES, WM_COPYGLOBALDATA and WM_COPYDATA reach the window
    // from a lower integrity level, when it runs elevated (Windows 7 and later).
    void AllowMessagesFromLowerIntegrity();
    // The buttons' tooltips, which name their keys.
    void CreateButtonTips();
    LRESULT OnShown(WPARAM wParam, LPARAM lParam);
    // A key pressed while the list has the focus (wParam: the virtual key),
    // sent on by the list's subclass: TRUE when the key ran a command.
    LRESULT OnListKey(WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListSubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The list view class's own procedure, which the subclass hands on to.
    static WNDPROC s_pfnListViewProc;
    // Follows the mouse from LVN_BEGINDRAG until the button is released; the
    // row to move nRow to, or -1 when the drag was cancelled.
    int TrackRowDrag(int nRow);
    // The insertion line a drag shows, drawn over the rows: no list view draws its
    // own mark in report view.
    void PaintDragMark(const NMLVCUSTOMDRAW* pDraw);
    // The line's rectangle (list client coordinates, as wide as the list, 3
    // pixels at 96 DPI) at the top of nRow, or at its bottom when bAfter; false
    // for no row.
    bool DragMarkRect(int nRow, bool bAfter, RECT& rcLine) const;
    // Shows where a row dragged from nFrom would go when dropped on nTarget
    // (-1: nowhere).
    void ShowInsertMark(int nFrom, int nTarget);
    // Undo (the step's list before) or redo (after): commits the newest step's
    // list and moves the step to the other side once Data.dat holds that list.
    void ReplayHistory(bool bUndo);
    void ShowPopupMenu(int x, int y);
    // Row nRow's image from the task's icon.
    void SetRowImage(int nRow, const CJumpListAction& task);
    // Hands the rows' images to the list view as a new image list.
    void InstallRowImages();
    // Every row's image again, at the small-icon size of the window's DPI.
    void RebuildRowImages();
    void ReadRememberFlags();
    // Moves the window onto the stored placement's monitor (where a change of
    // DPI happens), then applies the placement, its size taken from the DPI
    // stored as "LocationDpi" to the window's.
    void RestoreWindowPlacement();
    // "Location" and the window's DPI as "LocationDpi".
    void SaveWindowPlacement();
    // Every column at its stored or default width at the window's DPI.
    void RestoreColumnWidths();
    // What the preferences keep: the column widths and the placement (not of a
    // minimised window).
    void SaveLayout();
    // Once per command: the first failed save names the file and the reason.
    void ReportSaveFailure(const CDataFileStatus& status);
    // Once until Data.dat reads well again. When no copy could be kept the
    // user is asked first; false when the answer is to leave it alone.
    bool ReportDamagedDataFile(const CDataFileStatus& status);
    // Closes the window with nothing saved: no list, placement or widths.
    void EndWithoutWriting();

    UniqueMenu m_menuPopup;
    CActionIconProvider m_icons;
    // Owned here only: the list view lets go of it before it is destroyed.
    UniqueImageList m_imageList;
    // The rows' images while the rows are rebuilt.
    CRowImages m_rowImages;
    CTaskList m_arrTasks;
    // Data.dat, and what this window last read from it or wrote to it.
    CDataFileStore m_store;
    UniqueChangeNotification m_folderWatch;
    // Set while a handed-over command runs: its exit code says what a
    // message would have.
    bool m_bQuiet = false;
    // Per row: what one attribute lookup at the refresh told of its target.
    std::vector<CTargetState> m_arrTargets;
    // The rows' images by (path, icon index), kept for the run.
    CRowIconCache m_rowIcons;
    std::wstring m_strRowNumber;
    RECT m_rcInitial{};
    // A shared resource icon: never destroyed.
    HICON m_hIcon = nullptr;
    HWND m_listTasks = nullptr;
    bool m_bSaveFailureReported = false;
    // Until the window shows, rows are made without their images.
    bool m_bRowImagesDeferred = false;
    bool m_bDamageReported = false;
    bool m_bEndingWithoutWriting = false;

    // The list as last read from Data.dat: the "before" of the next change.
    CTaskList m_arrStored;
    // This run's changes, newest last; never written to disk.
    CChangeHistory m_history;
    // Set while undo or redo commits, so the commit is not recorded as a new change.
    bool m_bReplayingHistory = false;
    // Owned by this window; destroyed with it.
    HWND m_hToolTips = nullptr;
    // The insertion mark as this window draws it: the row and whether below
    // it; -1 none.
    int m_nDrawnMarkRow = -1;
    bool m_bDrawnMarkAfter = false;
};
