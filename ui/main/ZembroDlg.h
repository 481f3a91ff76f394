#pragma once
// The main window, as wiring: it owns the list (m_arrTasks) and Data.dat's
// store, routes each command to the list, and hands the rest to the classes
// that do one job each (the rows, a row's drag, the popup menu, the list's
// keys, the stored placement, the texts).
//
// Every change takes one road: the list is published (which saves Data.dat),
// then RefreshTaskList reads Data.dat back and makes the rows show it, so the
// view always shows what was stored. A change over a list another program
// wrote since is refused, and that list is shown.
#include <windows.h>

#include <span>

#include "core/ChangeHistory.h"
#include "core/DataFile.h"
#include "core/JumpListPublisher.h"
#include "framework/Dialog.h"
#include "framework/FolderWatch.h"
#include "res/resource.h"
#include "ui/main/DataFileMessages.h"
#include "ui/main/PopupMenu.h"
#include "ui/main/RowDrag.h"
#include "ui/main/TaskRows.h"

// Posted once the window has been made and shown.
constexpr UINT WM_ZEMBRO_SHOWN = WM_APP + 2;

class CZembroDlg : public CDialog {
public:
    enum { IDD = IDD_ZEMBRO_DIALOG };

    explicit CZembroDlg(CDialog* pParent = nullptr);
    ~CZembroDlg() override;

    // Makes the rows show what Data.dat holds; an empty stored list is replaced
    // by the defaults, saved and published. A Data.dat that cannot be read is
    // offered again (Retry) or ends the program unwritten (Cancel): then, and
    // when the user keeps a damaged file that has no copy, false.
    bool RefreshTaskList();

    // Column widths as the profile keeps them, while m_bRememberColumnWidth asks.
    int GetSavedColumnWidth(int nColumn, int nDefaultWidth);
    void WriteColumnWidth(int nColumn, int nWidth);
    void SaveColumnWidths();

    // Whether the placement and the column widths are restored at start and
    // stored at close: read at start and after Settings ends with OK.
    BOOL m_bRememberLocation = TRUE;
    BOOL m_bRememberColumnWidth = TRUE;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    std::span<const CMessageMapEntry> GetMessageMap() const override;
    // The opening size, the column widths and the rows' images at the new DPI.
    void OnDpiChanged(UINT nOldDpi, UINT nNewDpi) override;
    // Data.dat's folder changed: a list another program wrote is shown.
    void OnWaitHandleSignalled(HANDLE hHandle) override;

    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnShown(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    // Stores what a close would, when the session ends.
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnListCustomDraw(NMHDR* pNMHDR);
    LRESULT OnListGetInfoTip(NMHDR* pNMHDR);

    // The commands (ZembroDlgCommands.cpp).
    void OnAddNewTask();
    void OnAddSeparator();
    void OnEditTask();
    LRESULT OnListDoubleClick(NMHDR* pNMHDR);
    // Starts the selected task as the Jump List would; nothing is saved.
    void OnRunTask();
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
    // Export, import, and the command line's /import and /publish handed over,
    // answered with the exit code (ZembroDlgTransfer.cpp).
    void OnExportList();
    void OnImportList();
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    // Undo, drag to reorder and dropped files (ZembroDlgEditing.cpp).
    void OnUndo();
    void OnRedo();
    LRESULT OnListBeginDrag(NMHDR* pNMHDR);
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);

private:
    // The selected row; -1, with the message nIdText, when none is.
    int SelectedRowOrTell(UINT nIdText);
    // The selected entry when it is a task, not a separator; else null.
    const CJumpListAction* SelectedTask() const;
    // nIndex -1: the selected row.
    void EditTaskAt(int nIndex);
    // Moves the selected entry by nStep (-1 up, +1 down) and keeps it selected.
    void MoveSelectedTask(int nStep);
    // Moves entry nFrom to nTo, commits, and selects it there.
    void MoveTask(int nFrom, int nTo);
    // Publishes list (which saves it), tells a failed save, then refreshes. A
    // change that reached Data.dat is one undo step; one refused because
    // another program wrote Data.dat since is dropped, with the undo steps.
    CPublishResult CommitChange(CTaskList& list);
    CPublishResult PublishAndReportSave(CTaskList& list);
    // When another program has written Data.dat since this window read or
    // wrote it: shows what it holds and forgets the undo steps. True then.
    bool FollowOutsideChange();
    void WatchDataFolder();
    // The list's keys and accessible name, and file drops.
    void InitEditing();
    // Undo (the step's list before) or redo (after): commits that list and
    // moves the step to the other side once Data.dat holds it.
    void ReplayHistory(bool bUndo);
    // The column widths and the placement (not of a minimised window), as the
    // preferences ask.
    void SaveLayout();
    // Closes the window with nothing saved: no list, placement or widths.
    void EndWithoutWriting();

    CTaskList m_arrTasks;
    // The list as last read from Data.dat: the "before" of the next change.
    CTaskList m_arrStored;
    // Data.dat, and what this window last read from it or wrote to it.
    CDataFileStore m_store;
    CDataFileMessages m_messages;
    CFolderWatch m_folderWatch;
    // This run's changes, newest last; never written to disk.
    CChangeHistory m_history;
    CTaskRows m_rows;
    CRowDrag m_rowDrag;
    CPopupMenu m_menuPopup;
    HWND m_listTasks = nullptr;
    // Owned by this window; destroyed with it.
    HWND m_hToolTips = nullptr;
    // A shared resource icon: never destroyed.
    HICON m_hIcon = nullptr;
    RECT m_rcInitial{};
    bool m_bEndingWithoutWriting = false;
    // While undo or redo commits: not a new change.
    bool m_bReplayingHistory = false;
};
