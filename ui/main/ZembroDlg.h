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
#include "win/UniqueHandle.h"
#include "res/resource.h"
#include "ui/main/RowDrag.h"
#include "ui/main/TaskRows.h"

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
    LRESULT OnShown(WPARAM wParam, LPARAM lParam);
    // Undo (the step's list before) or redo (after): commits the newest step's
    // list and moves the step to the other side once Data.dat holds that list.
    void ReplayHistory(bool bUndo);
    void ShowPopupMenu(int x, int y);
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
    // The rows that show m_arrTasks.
    CTaskRows m_rows;
    CTaskList m_arrTasks;
    // Data.dat, and what this window last read from it or wrote to it.
    CDataFileStore m_store;
    UniqueChangeNotification m_folderWatch;
    // Set while a handed-over command runs: its exit code says what a
    // message would have.
    bool m_bQuiet = false;
    RECT m_rcInitial{};
    // A shared resource icon: never destroyed.
    HICON m_hIcon = nullptr;
    HWND m_listTasks = nullptr;
    bool m_bSaveFailureReported = false;
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
    CRowDrag m_rowDrag;
};
