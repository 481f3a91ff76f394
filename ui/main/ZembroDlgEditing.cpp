// What the main window offers beyond its buttons: undo and redo, drag to
// reorder, and files dropped from the file manager (the list's keys are in
// ListKeys.h). Every change still goes through CommitChange, so it is saved,
// published, shown, and can be undone.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "framework/App.h"
#include "win/ScopedValue.h"
#include "ui/editor/DlgAction.h"
#include "ui/main/DroppedFiles.h"
#include "ui/main/ListKeys.h"
#include "ui/main/ZembroDlg.h"

void CZembroDlg::InitEditing() {
    AttachListKeys(m_listTasks);
    NameTaskList(m_hWnd, m_listTasks, IDC_TASK_LIST_LABEL);
    // Files dragged from the file manager arrive as WM_DROPFILES.
    ::DragAcceptFiles(m_hWnd, TRUE);
    // Run elevated, the window takes a drop from Explorer (WM_DROPFILES and
    // WM_COPYGLOBALDATA, 0x0049) and another Zembro's command line (WM_COPYDATA).
    AfxAllowMessagesFromLowerIntegrity(m_hWnd, {WM_DROPFILES, WM_COPYDATA, 0x0049});
}

void CZembroDlg::OnUndo() { ReplayHistory(true); }

void CZembroDlg::OnRedo() { ReplayHistory(false); }

void CZembroDlg::ReplayHistory(bool bUndo) {
    if (!(bUndo ? m_history.CanUndo() : m_history.CanRedo())) return;
    const CTaskList target = m_history.Target(bUndo);
    CTaskList list = target;
    {
        const CScopedValue<bool> replaying(m_bReplayingHistory, true);
        CommitChange(list);
    }
    // A step that did not reach Data.dat stays where it was, to be tried again.
    if (m_arrTasks == target) m_history.Step(bUndo);
}

LRESULT CZembroDlg::OnListBeginDrag(NMHDR* pNMHDR) {
    const int nFrom = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem;
    if (nFrom < 0 || nFrom >= m_arrTasks.GetSize()) return 0;
    const int nTo = m_rowDrag.Track(m_listTasks, nFrom, GetDpi());
    if (nTo >= 0 && nTo != nFrom && nTo < m_arrTasks.GetSize()) MoveTask(nFrom, nTo);
    return 0;
}

LRESULT CZembroDlg::OnDropFiles(WPARAM wParam, LPARAM) {
    const auto hDrop = reinterpret_cast<HDROP>(wParam);
    const std::vector<std::wstring> arrPaths = DroppedPaths(hDrop);
    ::DragFinish(hDrop);

    std::vector<CJumpListAction> arrNew = TasksFromDroppedPaths(arrPaths);
    if (arrNew.empty()) return 0;

    if (arrPaths.size() == 1) {
        // One file: the user sees the task before it is added, as with Add New.
        ::SetForegroundWindow(m_hWnd);
        CDlgAction dlg;
        dlg.m_action = arrNew.front();
        if (dlg.DoModal() != IDOK) return 0;
        arrNew.front() = dlg.m_action;
    }
    for (const CJumpListAction& task : arrNew) m_arrTasks.Add(task);
    CommitChange(m_arrTasks);
    return 0;
}
