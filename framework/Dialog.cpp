#include "framework/Dialog.h"

#include <string>
#include <utility>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "win/ScopedValue.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

// Exception texts are plain ASCII English; anything else shows as '?'.
std::wstring WidenAscii(const char* psz) {
    std::wstring text;
    for (; psz && *psz; ++psz) {
        const auto ch = static_cast<unsigned char>(*psz);
        text.push_back(ch < 0x80 ? static_cast<wchar_t>(ch) : L'?');
    }
    return text;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CDialog* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    HWND hWndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!m_pParentWnd) {
        const CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this) hWndOwner = pApp->m_pMainWnd->m_hWnd;
    }
    if (m_bOwnModalLoop) return RunOwnModalLoop(hWndOwner);
    return DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), hWndOwner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::RunOwnModalLoop(HWND hWndOwner) {
    m_bEndModal = false;
    m_nModalResult = IDCANCEL;
    m_bInOwnModalLoop = true;
    const HWND hWnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), hWndOwner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hWnd) {
        m_bInOwnModalLoop = false;
        return -1;
    }
    // As DialogBox does: the owner takes no input while the dialog runs.
    const bool bOwnerEnabled = hWndOwner && ::IsWindowEnabled(hWndOwner);
    if (bOwnerEnabled) ::EnableWindow(hWndOwner, FALSE);
    // A dialog that placed itself (maximised, say) is already visible.
    if (!m_bEndModal && !::IsWindowVisible(hWnd)) ::ShowWindow(hWnd, SW_SHOW);
    while (!m_bEndModal) {
        // Copied: a handler may add or remove handles.
        const std::vector<HANDLE> handles = m_arrWaitHandles;
        const auto nHandles = static_cast<DWORD>(handles.size());
        const DWORD dwWait = ::MsgWaitForMultipleObjectsEx(nHandles, handles.data(), INFINITE, QS_ALLINPUT,
                                                           MWMO_INPUTAVAILABLE);
        if (dwWait < WAIT_OBJECT_0 + nHandles) {
            OnWaitHandleSignalled(handles[dwWait - WAIT_OBJECT_0]);
            continue;
        }
        // A handle that cannot be waited for would make every wait fail at once.
        if (dwWait == WAIT_FAILED) m_arrWaitHandles.clear();
        MSG msg{};
        while (!m_bEndModal && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // For the loop that runs after this one.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                m_bEndModal = true;
                break;
            }
            if (!::IsDialogMessageW(hWnd, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    // Before the dialog goes, so that the owner is the window activated next.
    if (bOwnerEnabled) ::EnableWindow(hWndOwner, TRUE);
    ::DestroyWindow(hWnd);
    m_bInOwnModalLoop = false;
    m_arrWaitHandles.clear();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (!m_hWnd) return;
    if (!m_bInOwnModalLoop) {
        ::EndDialog(m_hWnd, nResult);
        return;
    }
    m_nModalResult = nResult;
    m_bEndModal = true;
    ::ShowWindow(m_hWnd, SW_HIDE);
}

void CDialog::AddWaitHandle(HANDLE hHandle) {
    if (hHandle && hHandle != INVALID_HANDLE_VALUE && m_arrWaitHandles.size() < MAXIMUM_WAIT_OBJECTS - 1)
        m_arrWaitHandles.push_back(hHandle);
}

void CDialog::RemoveWaitHandle(HANDLE hHandle) { std::erase(m_arrWaitHandles, hHandle); }

void CDialog::OnWaitHandleSignalled(HANDLE) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(*this, bSaveAndValidate);
    DoDataExchange(dx);
    return dx.Failed() ? FALSE : TRUE;
}

int CDialog::MessageBox(const wchar_t* pszText, const wchar_t* pszCaption, UINT nType) {
    if (!pszCaption) {
        const CWinApp* pApp = AfxGetApp();
        if (pApp) pszCaption = pApp->GetAppName();
    }
    return ::MessageBoxW(m_hWnd, pszText, pszCaption, nType);
}

void CDialog::CenterWindow() {
    RECT rcWindow{};
    if (!GetWindowRect(m_hWnd, &rcWindow)) return;
    HWND hWndOwner = GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoW(MonitorFromWindow(hWndOwner ? hWndOwner : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi)) return;
    RECT rcCenter = mi.rcWork;
    if (hWndOwner && IsWindowVisible(hWndOwner) && !IsIconic(hWndOwner)) GetWindowRect(hWndOwner, &rcCenter);
    const int cx = rcWindow.right - rcWindow.left;
    const int cy = rcWindow.bottom - rcWindow.top;
    int x = (rcCenter.left + rcCenter.right - cx) / 2;
    int y = (rcCenter.top + rcCenter.bottom - cy) / 2;
    if (x + cx > mi.rcWork.right) x = mi.rcWork.right - cx;
    if (y + cy > mi.rcWork.bottom) y = mi.rcWork.bottom - cy;
    if (x < mi.rcWork.left) x = mi.rcWork.left;
    if (y < mi.rcWork.top) y = mi.rcWork.top;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    m_layout.LoadDynamicLayout();
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnDpiChanged(UINT, UINT) {}

void CDialog::SetSmallIcon(UINT nIDIcon) { m_layout.SetSmallIcon(nIDIcon); }

void CDialog::SetBigIcon(UINT nIDIcon) { m_layout.SetBigIcon(nIDIcon); }

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

bool CDialog::PaintMinimisedIcon(HICON hIcon) {
    if (!::IsIconic(m_hWnd)) return false;
    PAINTSTRUCT ps{};
    const HDC hdc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(hdc, x, y, hIcon);
    ::EndPaint(m_hWnd, &ps);
    return true;
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

std::span<const CMessageMapEntry> CDialog::GetMessageMap() const { return {}; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* pDlg = nullptr;
    if (message == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        pDlg->m_hWnd = hWnd;
    } else {
        pDlg = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    if (!pDlg) return FALSE;  // messages before WM_INITDIALOG

    INT_PTR result = FALSE;
    ++pDlg->m_nHandlingDepth;
    try {
        result = pDlg->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        pDlg->ReportException(e.what());
    } catch (...) {
        pDlg->ReportException(nullptr);
    }
    --pDlg->m_nHandlingDepth;

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
        pDlg->m_layout.Detach();
        // The window and its controls are gone: nothing draws with these any more.
    }
    return result;
}

const CMessageMapEntry* CDialog::FindEntry(UINT message, WPARAM wParam, LPARAM lParam) const {
    for (const CMessageMapEntry& entry : GetMessageMap()) {
        if (entry.m_nMessage != message) continue;
        if (message == WM_COMMAND) {
            if (entry.m_nID == LOWORD(wParam) && entry.m_nCode == HIWORD(wParam)) return &entry;
        } else if (message == WM_NOTIFY) {
            const auto* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
            if (pNMHDR && entry.m_nID == pNMHDR->idFrom && entry.m_nCode == pNMHDR->code) return &entry;
        } else if (entry.m_eKind != CMessageMapEntry::EKind::notify) {
            return &entry;
        }
    }
    return nullptr;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        m_layout.Attach(m_hWnd, m_nIDTemplate);
        return OnInitDialog();
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) m_layout.Apply();
        break;
    case WM_DPICHANGED:
        // Handled here for every dialog; the dialog manager's own scaling would
        // place the controls where the template has them, not where the layout does.
        if (const UINT nOldDpi = m_layout.GetDpi(), nNewDpi = LOWORD(wParam); nNewDpi && nNewDpi != nOldDpi) {
            m_layout.Rescale(nNewDpi);
            OnDpiChanged(nOldDpi, nNewDpi);
        }
        m_layout.Place(*reinterpret_cast<const RECT*>(lParam));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_GETFONT:
        // Not every dialog manager keeps a font set on the dialog itself.
        if (const HFONT hFont = m_layout.GetFont()) {
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(hFont));
            return TRUE;
        }
        break;
    case WM_SETCURSOR:
        if (const CWinApp* pApp = AfxGetApp(); pApp && pApp->IsWaitCursorOn()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    default:
        break;
    }

    const CMessageMapEntry* pEntry = FindEntry(message, wParam, lParam);
    if (!pEntry) {
        if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
        }
        return FALSE;
    }

    // Handlers can open nested modal loops that dispatch to this dialog again.
    const CScopedValue<bool> ownDefault(m_bDefault, false);

    LRESULT lResult = 0;
    switch (pEntry->m_eKind) {
    case CMessageMapEntry::EKind::command:
        (this->*pEntry->m_pfnCommand)();
        break;
    case CMessageMapEntry::EKind::notify:
        lResult = (this->*pEntry->m_pfnNotify)(reinterpret_cast<NMHDR*>(lParam));
        break;
    case CMessageMapEntry::EKind::message:
        lResult = (this->*pEntry->m_pfnMessage)(wParam, lParam);
        break;
    }
    if (m_bDefault) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(lResult);
    // The window may be gone when the handler destroyed it.
    if (m_hWnd) SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

void CDialog::ReportException(const char* pszWhat) {
    // Reporting must not throw in turn: the window procedure is the last stop.
    try {
        const std::wstring what = WidenAscii(pszWhat);
        const std::wstring text = AfxFormatText(AFX_IDP_INTERNAL_FAILURE, {what.empty() ? L"." : L":\n\n" + what});
        MessageBox(text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    } catch (...) {
        // Words that need nothing loaded, for when even that failed.
        ::MessageBoxW(m_hWnd, L"An unexpected error occurred.", nullptr, MB_OK | MB_ICONERROR);
    }
}
