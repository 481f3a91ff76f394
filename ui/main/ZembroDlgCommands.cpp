// The main window's commands: each one either stops with nothing changed, or
// changes the list and commits the change (publish and save, then refresh).
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "core/DefaultTaskList.h"
#include "framework/App.h"
#include "win/WinText.h"
#include "ui/editor/DlgAction.h"
#include "ui/main/ZembroDlg.h"
#include "ui/settings/DlgSettings.h"

namespace {


}  // namespace

int CZembroDlg::GetSelectedRow() const {
    return static_cast<int>(::SendMessageW(m_listTasks, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CZembroDlg::OnAddNewTask() {
    CDlgAction dlg;
    if (dlg.DoModal() != IDOK) return;
    m_arrTasks.Add(dlg.m_action);
    CommitChange(m_arrTasks);
}

void CZembroDlg::OnAddSeparator() {
    const int nSelected = GetSelectedRow();
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

void CZembroDlg::EditTaskAt(int nIndex) {
    if (nIndex == -1) {
        nIndex = GetSelectedRow();
        if (nIndex == -1) {
            MessageBox(AfxLoadText(IDS_SELECT_TO_EDIT).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
            return;
        }
    }
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
    const int nSelected = GetSelectedRow();
    if (nSelected == -1) {
        MessageBox(AfxLoadText(IDS_SELECT_TO_DELETE).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_arrTasks.RemoveAt(nSelected);
    CommitChange(m_arrTasks);
}

void CZembroDlg::OnMoveUp() { MoveSelectedTask(-1); }

void CZembroDlg::OnMoveDown() { MoveSelectedTask(+1); }

void CZembroDlg::MoveSelectedTask(int nStep) {
    const int nSelected = GetSelectedRow();
    if (nSelected == -1) {
        MessageBox(AfxLoadText(IDS_SELECT_TO_MOVE).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const int nRows = static_cast<int>(::SendMessageW(m_listTasks, LVM_GETITEMCOUNT, 0, 0));
    const int nTarget = nSelected + nStep;
    if (nTarget < 0 || nTarget >= nRows) return;

    const CJumpListAction action = m_arrTasks.GetAt(nSelected);
    m_arrTasks.RemoveAt(nSelected);
    m_arrTasks.InsertAt(nTarget, action);
    CommitChange(m_arrTasks);

    // The refresh cleared the selection: put it back on the moved entry, so the
    // next click moves it on.
    SelectRowAfterChange(nTarget);
}

void CZembroDlg::SelectRowAfterChange(int nRow) {
    ::SendMessageW(m_listTasks, LVM_ENSUREVISIBLE, nRow, FALSE);
    ::SetFocus(m_listTasks);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_listTasks, LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&item));
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
    ReadRememberFlags();
}

void CZembroDlg::OnLocateDataFile() {
    const std::u16string strPath = GetDataFilePath();
    if (strPath.empty()) return;
    // None when Data.dat does not exist yet: nothing to show then.
    const UniqueIdList pidl(::ILCreateFromPathW(as_wcstr(strPath)));
    if (!pidl) return;
    // The file manager opens the folder with Data.dat selected; its outcome is
    // not the program's concern.
    ::SHOpenFolderAndSelectItems(pidl.get(), 0, nullptr, 0);
}

void CZembroDlg::OnExit() { ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0); }

void CZembroDlg::OnMenuButton() {
    POINT pt{};
    ::GetCursorPos(&pt);
    ShowPopupMenu(pt.x, pt.y);
}

LRESULT CZembroDlg::OnContextMenu(WPARAM, LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (pt.x == -1 && pt.y == -1) {
        // From the keyboard (Shift+F10, the menu key): no point, so the menu
        // opens where the user works, under the selected row or at the list.
        RECT rc{};
        const int nSelected = GetSelectedRow();
        rc.left = LVIR_BOUNDS;
        if (nSelected >= 0) ::SendMessageW(m_listTasks, LVM_ENSUREVISIBLE, nSelected, FALSE);
        if (nSelected >= 0 &&
            ::SendMessageW(m_listTasks, LVM_GETITEMRECT, nSelected, reinterpret_cast<LPARAM>(&rc))) {
            pt = {std::max<LONG>(rc.left, 0), rc.bottom};
            ::ClientToScreen(m_listTasks, &pt);
        } else {
            ::GetWindowRect(m_listTasks, &rc);
            pt = {rc.left, rc.top};
        }
    } else if (::SendMessageW(m_hWnd, WM_NCHITTEST, 0, lParam) != HTCLIENT) {
        // The title bar or the frame: the system menu, where About is.
        Default();
        return 0;
    }
    ShowPopupMenu(pt.x, pt.y);
    return 0;
}

void CZembroDlg::ShowPopupMenu(int x, int y) {
    // Loaded at its first use: the window shows sooner.
    if (!m_menuPopup) m_menuPopup.reset(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_POPUP_MENU)));
    const HMENU hPopup = m_menuPopup ? ::GetSubMenu(m_menuPopup.get(), 0) : nullptr;
    if (!hPopup) return;
    ::EnableMenuItem(hPopup, IDM_UNDO, MF_BYCOMMAND | (m_history.CanUndo() ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(hPopup, IDM_REDO, MF_BYCOMMAND | (m_history.CanRedo() ? MF_ENABLED : MF_GRAYED));
    // The chosen item arrives as an ordinary WM_COMMAND of this window.
    ::TrackPopupMenu(hPopup, 0, x, y, 0, m_hWnd, nullptr);
}
