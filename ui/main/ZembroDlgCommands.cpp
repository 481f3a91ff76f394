// The main window's commands: each one either stops with nothing changed, or
// changes the list and commits the change (publish and save, then refresh).
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include "core/DefaultTaskList.h"
#include "framework/App.h"
#include "ui/editor/DlgAction.h"
#include "ui/main/RunTask.h"
#include "ui/main/StoredPlacement.h"
#include "ui/main/WebLinks.h"
#include "ui/main/ZembroDlg.h"
#include "ui/settings/DlgSettings.h"

void CZembroDlg::OnAddNewTask() {
    CDlgAction dlg;
    if (dlg.DoModal() != IDOK) return;
    m_arrTasks.Add(dlg.m_action);
    CommitChange(m_arrTasks);
}

void CZembroDlg::OnAddSeparator() {
    const int nSelected = m_rows.SelectedRow();
    CJumpListAction separator;
    separator.m_bSeparator = 1;
    if (nSelected == -1)
        m_arrTasks.Add(separator);
    else
        m_arrTasks.InsertAt(nSelected, separator);
    CommitChange(m_arrTasks);
}

void CZembroDlg::OnEditTask() { EditTaskAt(-1); }

LRESULT CZembroDlg::OnListDoubleClick(NMHDR* pNMHDR) {
    EditTaskAt(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
    return 0;
}

int CZembroDlg::SelectedRowOrTell(UINT nIdText) {
    const int nSelected = m_rows.SelectedRow();
    if (nSelected == -1) MessageBox(AfxLoadText(nIdText).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
    return nSelected;
}

void CZembroDlg::EditTaskAt(int nIndex) {
    if (nIndex == -1 && (nIndex = SelectedRowOrTell(IDS_SELECT_TO_EDIT)) == -1) return;
    const CJumpListAction action = m_arrTasks.GetAt(nIndex);
    if (action.m_bSeparator) {
        MessageBox(AfxLoadText(IDS_SEPARATOR_NOT_EDITABLE).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    CDlgAction dlg;
    dlg.m_bEdit = true;
    dlg.m_action = action;
    if (dlg.DoModal() != IDOK) return;
    m_arrTasks.RemoveAt(nIndex);
    m_arrTasks.InsertAt(nIndex, dlg.m_action);
    CommitChange(m_arrTasks);
}

void CZembroDlg::OnDeleteTask() {
    const int nSelected = SelectedRowOrTell(IDS_SELECT_TO_DELETE);
    if (nSelected == -1) return;
    m_arrTasks.RemoveAt(nSelected);
    CommitChange(m_arrTasks);
}

void CZembroDlg::OnMoveUp() { MoveSelectedTask(-1); }

void CZembroDlg::OnMoveDown() { MoveSelectedTask(+1); }

void CZembroDlg::MoveSelectedTask(int nStep) {
    const int nSelected = SelectedRowOrTell(IDS_SELECT_TO_MOVE);
    if (nSelected == -1) return;
    const int nTarget = nSelected + nStep;
    if (nTarget >= 0 && nTarget < m_rows.RowCount()) MoveTask(nSelected, nTarget);
}

void CZembroDlg::MoveTask(int nFrom, int nTo) {
    const CJumpListAction action = m_arrTasks.GetAt(nFrom);
    m_arrTasks.RemoveAt(nFrom);
    m_arrTasks.InsertAt(nTo, action);
    CommitChange(m_arrTasks);
    // The refresh cleared the selection: put it back on the moved entry, so the
    // next click moves it on.
    m_rows.SelectAfterChange(nTo);
}

void CZembroDlg::OnResetList() {
    if (MessageBox(AfxLoadText(IDS_RESET_QUESTION).c_str(), nullptr, MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES) return;
    // The main list takes the defaults only through Data.dat, so a refused
    // publication leaves it as it was.
    CTaskList defaults;
    FillDefaultTaskList(defaults);
    CommitChange(defaults);
}

void CZembroDlg::OnSettings() {
    CDlgSettings dlg(this);
    if (dlg.DoModal() != IDOK) return;
    // They take effect when the window closes.
    ReadRememberFlags(m_bRememberLocation, m_bRememberColumnWidth);
}

void CZembroDlg::OnLocateDataFile() { ShowInFileManager(GetDataFilePath()); }

void CZembroDlg::OnExit() { ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0); }

void CZembroDlg::OnRunTask() {
    if (const CJumpListAction* pTask = SelectedTask())
        RunTask(*this, *pTask);
    else
        ::MessageBeep(MB_OK);  // as for any key that has nothing to act on
}

const CJumpListAction* CZembroDlg::SelectedTask() const {
    const int nSelected = m_rows.SelectedRow();
    return nSelected == -1 || m_arrTasks.GetAt(nSelected).m_bSeparator ? nullptr : &m_arrTasks.GetAt(nSelected);
}

void CZembroDlg::OnMenuButton() {
    POINT pt{};
    ::GetCursorPos(&pt);
    m_menuPopup.Show(m_hWnd, pt, {m_history.CanUndo(), m_history.CanRedo(), SelectedTask() != nullptr});
}

LRESULT CZembroDlg::OnContextMenu(WPARAM, LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // From the keyboard there is no point: the menu opens where the user works.
    if (pt.x == -1 && pt.y == -1) {
        pt = KeyboardMenuPoint(m_listTasks);
    } else if (::SendMessageW(m_hWnd, WM_NCHITTEST, 0, lParam) != HTCLIENT) {
        // The title bar or the frame: the system menu, where About is.
        Default();
        return 0;
    }
    m_menuPopup.Show(m_hWnd, pt, {m_history.CanUndo(), m_history.CanRedo(), SelectedTask() != nullptr});
    return 0;
}
