// What the main window offers beyond its buttons: keys on the list, tooltips
// that name them, drag to reorder, undo and redo, files dropped from the file
// manager, and the list's accessible name. Every change still goes through
// CommitChange, so it is saved, published, shown, and can be undone.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Dpi.h"
#include "win/ScopedValue.h"
#include "win/WinText.h"
#include "ui/editor/DlgAction.h"
#include "ui/main/DroppedFiles.h"
#include "ui/main/ZembroDlg.h"

namespace {

constexpr wchar_t kListName[] = L"Jump List tasks";

// The keys each button's tooltip names.
struct CButtonKey {
    int m_nID;
    const wchar_t* m_pszKey;
};
constexpr CButtonKey kButtonKeys[] = {
    {IDC_ADD_NEW, L"Insert"},  {IDC_MOVE_UP, L"Ctrl+Up"}, {IDC_MOVE_DOWN, L"Ctrl+Down"},
    {IDC_EDIT, L"F2"},         {IDC_DELETE, L"Del"},
};

struct CListKey {
    UINT m_nVirtualKey;
    bool m_bCtrl;
    void (CZembroDlg::*m_pfnCommand)();
};

}  // namespace

void CZembroDlg::InitEditing() {
    // The keys are taken before the list view sees them: Ctrl+Up would
    // otherwise also move its focus away from the moved row.
    // Raw subclassing: comctl32's SetWindowSubclass keeps its data in a window
    // property, which under Wine costs a server round trip on every message
    // the list view gets (0.7 ms a row when the rows are rebuilt).
    s_pfnListViewProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_listTasks, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSubclassProc)));

    // Screen readers name a control after the label before it in tab order,
    // which may be hidden; some read the control's own text, which a list view
    // never draws. Neither changes what the user sees.
    const HWND hLabel = ::CreateWindowExW(0, L"STATIC", kListName, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                          m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TASK_LIST_LABEL)),
                                          AfxGetResourceHandle(), nullptr);
    if (hLabel) ::SetWindowPos(hLabel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowTextW(m_listTasks, kListName);

    // Files dragged from the file manager arrive as WM_DROPFILES.
    ::DragAcceptFiles(m_hWnd, TRUE);
    AllowMessagesFromLowerIntegrity();
}

void CZembroDlg::AllowMessagesFromLowerIntegrity() {
    // Run elevated, the window gets no message from Explorer or another program
    // at a lower integrity level unless it lets it through: a drop is
    // WM_DROPFILES, with WM_COPYGLOBALDATA for its data, and another Zembro
    // hands its command line over as WM_COPYDATA. ChangeWindowMessageFilterEx
    // is Windows 7's; without it (Vista) the drop stays blocked.
    using PfnChangeWindowMessageFilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    const auto pfnAllow = hUser ? reinterpret_cast<PfnChangeWindowMessageFilterEx>(reinterpret_cast<void*>(
                                      ::GetProcAddress(hUser, "ChangeWindowMessageFilterEx")))
                                : nullptr;
    if (!pfnAllow) return;
    constexpr DWORD kMsgFltAllow = 1;  // MSGFLT_ALLOW
    constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, in no header
    for (const UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
        pfnAllow(m_hWnd, message, kMsgFltAllow, nullptr);
}

void CZembroDlg::CreateButtonTips() {
    // Owned by this window, so it goes with it.
    m_hToolTips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                    AfxGetResourceHandle(), nullptr);
    for (const CButtonKey& button : kButtonKeys) {
        const HWND hButton = GetDlgItem(button.m_nID);
        if (!m_hToolTips || !hButton) continue;
        wchar_t szCaption[128] = {};
        ::GetWindowTextW(hButton, szCaption, 128);
        std::wstring strTip = std::wstring(szCaption) + L" (" + button.m_pszKey + L")";
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(hButton);
        tool.lpszText = strTip.data();  // copied by the tooltip control
        ::SendMessageW(m_hToolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

WNDPROC CZembroDlg::s_pfnListViewProc = nullptr;

LRESULT CALLBACK CZembroDlg::ListSubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        // Through the dialog's own dispatch, which keeps exceptions in.
        if (::SendMessageW(::GetParent(hWnd), WM_ZEMBRO_LIST_KEY, wParam, 0)) return 0;
        break;
    case WM_CHAR:
        // Ctrl+Z, Ctrl+Y, Ctrl+E and Ctrl+I also arrive as control characters:
        // not a search for a row.
        if (wParam == 0x1A || wParam == 0x19 || wParam == 0x05 || (wParam == 0x09 && ::GetKeyState(VK_CONTROL) < 0))
            return 0;
        break;
    default:
        break;
    }
    return ::CallWindowProcW(s_pfnListViewProc, hWnd, message, wParam, lParam);
}

LRESULT CZembroDlg::OnListKey(WPARAM wParam, LPARAM) {
    // Each key runs its button's or menu item's own handler. More keys are
    // rows here, nothing else.
    static const CListKey kKeys[] = {
        {VK_DELETE, false, &CZembroDlg::OnDeleteTask}, {VK_F2, false, &CZembroDlg::OnEditTask},
        {VK_INSERT, false, &CZembroDlg::OnAddNewTask}, {VK_UP, true, &CZembroDlg::OnMoveUp},
        {VK_DOWN, true, &CZembroDlg::OnMoveDown},      {'Z', true, &CZembroDlg::OnUndo},
        {'Y', true, &CZembroDlg::OnRedo},              {'E', true, &CZembroDlg::OnExportList},
        {'I', true, &CZembroDlg::OnImportList},
    };
    const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    for (const CListKey& key : kKeys) {
        if (key.m_nVirtualKey != wParam || key.m_bCtrl != bCtrl) continue;
        (this->*key.m_pfnCommand)();
        return TRUE;
    }
    return FALSE;
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
    if (nTo < 0 || nTo == nFrom || nTo >= m_arrTasks.GetSize()) return 0;
    const CJumpListAction action = m_arrTasks.GetAt(nFrom);
    m_arrTasks.RemoveAt(nFrom);
    m_arrTasks.InsertAt(nTo, action);
    CommitChange(m_arrTasks);
    SelectRowAfterChange(nTo);
    return 0;
}

LRESULT CZembroDlg::OnDropFiles(WPARAM wParam, LPARAM) {
    const auto hDrop = reinterpret_cast<HDROP>(wParam);
    const std::vector<std::wstring> arrPaths = DroppedPaths(hDrop);
    ::DragFinish(hDrop);

    std::vector<CJumpListAction> arrNew;
    for (const std::wstring& strPath : arrPaths)
        if (std::optional<CJumpListAction> task = TaskFromDroppedPath(strPath)) arrNew.push_back(std::move(*task));
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
