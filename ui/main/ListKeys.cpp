#include "ui/main/ListKeys.h"

#include <commctrl.h>

#include <string>

#include "framework/App.h"
#include "res/resource.h"

namespace {

struct CListKey {
    UINT m_nVirtualKey;
    bool m_bCtrl;
    int m_nCommand;              // the button's or menu item's id
    UINT m_nIDTipKey;  // how its button's tooltip names it; 0: no button
};
constexpr CListKey kKeys[] = {
    {VK_DELETE, false, IDC_DELETE, IDS_KEY_DELETE},      {VK_F2, false, IDC_EDIT, IDS_KEY_EDIT},
    {VK_INSERT, false, IDC_ADD_NEW, IDS_KEY_ADD_NEW},    {VK_UP, true, IDC_MOVE_UP, IDS_KEY_MOVE_UP},
    {VK_DOWN, true, IDC_MOVE_DOWN, IDS_KEY_MOVE_DOWN},   {'Z', true, IDM_UNDO, 0},
    {'Y', true, IDM_REDO, 0},                            {'E', true, IDM_EXPORT_LIST, 0},
    {'I', true, IDM_IMPORT_LIST, 0},                     {VK_RETURN, true, IDM_RUN_TASK, 0},
};

// The list view class's own procedure, which the subclass hands on to.
WNDPROC g_pfnListViewProc = nullptr;

LRESULT CALLBACK ListSubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Ctrl+Enter is the list's own key, not the dialog's default button.
        const auto* pMsg = reinterpret_cast<const MSG*>(lParam);
        const LRESULT lCode = ::CallWindowProcW(g_pfnListViewProc, hWnd, message, wParam, lParam);
        if (pMsg && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && ::GetKeyState(VK_CONTROL) < 0)
            return lCode | DLGC_WANTMESSAGE;
        return lCode;
    }
    case WM_KEYDOWN: {
        // More keys are rows here, nothing else.
        const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
        for (const CListKey& key : kKeys) {
            if (key.m_nVirtualKey != wParam || key.m_bCtrl != bCtrl) continue;
            // Through the dialog's own dispatch, which keeps exceptions in; as a
            // click or a menu choice sends it (BN_CLICKED is 0 too).
            ::SendMessageW(::GetParent(hWnd), WM_COMMAND, MAKEWPARAM(key.m_nCommand, 0), 0);
            return 0;
        }
        break;
    }
    case WM_CHAR:
        // Ctrl+Z, Ctrl+Y, Ctrl+E, Ctrl+I and Ctrl+Enter also arrive as control
        // characters: not a search for a row.
        if (wParam == 0x1A || wParam == 0x19 || wParam == 0x05 || wParam == 0x0A ||
            (wParam == 0x09 && ::GetKeyState(VK_CONTROL) < 0))
            return 0;
        break;
    default:
        break;
    }
    return ::CallWindowProcW(g_pfnListViewProc, hWnd, message, wParam, lParam);
}

}  // namespace

void AttachListKeys(HWND hList) {
    // Raw subclassing: comctl32's SetWindowSubclass keeps its data in a window
    // property, which under Wine costs a server round trip on every message
    // the list view gets (0.7 ms a row when the rows are rebuilt).
    const auto pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSubclassProc)));
    if (pfnOld != ListSubclassProc) g_pfnListViewProc = pfnOld;
}

HWND CreateButtonTips(HWND hDlg) {
    // Owned by the dialog, so it goes with it.
    const HWND hToolTips =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hDlg, nullptr,
                          AfxGetResourceHandle(), nullptr);
    for (const CListKey& key : kKeys) {
        const HWND hButton = key.m_nIDTipKey ? ::GetDlgItem(hDlg, key.m_nCommand) : nullptr;
        if (!hToolTips || !hButton) continue;
        wchar_t szCaption[128] = {};
        ::GetWindowTextW(hButton, szCaption, 128);
        std::wstring strTip = AfxFormatText(IDS_BUTTON_TIP, {szCaption, AfxLoadText(key.m_nIDTipKey)});
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hDlg;
        tool.uId = reinterpret_cast<UINT_PTR>(hButton);
        tool.lpszText = strTip.data();  // copied by the tooltip control
        ::SendMessageW(hToolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return hToolTips;
}

void NameTaskList(HWND hDlg, HWND hList, int nLabelID) {
    // Screen readers name a control after the label before it in tab order,
    // which may be hidden; some read the control's own text, which a list view
    // never draws. Neither changes what the user sees.
    const std::wstring strName = AfxLoadText(IDS_TASK_LIST_NAME);
    const HWND hLabel = ::CreateWindowExW(0, L"STATIC", strName.c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, hDlg,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(nLabelID)),
                                          AfxGetResourceHandle(), nullptr);
    if (hLabel) ::SetWindowPos(hLabel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowTextW(hList, strName.c_str());
}
