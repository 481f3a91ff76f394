#include "framework/Dialog.h"

#include <string>
#include <utility>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/DialogTemplate.h"
#include "framework/Dpi.h"

namespace {

constexpr wchar_t kLayoutResourceType[] = L"AFX_DIALOG_LAYOUT";

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
    LoadDynamicLayout();
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnDpiChanged(UINT, UINT) {}

void CDialog::SetSmallIcon(UINT nIDIcon) {
    m_nIDSmallIcon = nIDIcon;
    LoadSmallIcon();
}

void CDialog::SetBigIcon(UINT nIDIcon) {
    m_nIDBigIcon = nIDIcon;
    LoadBigIcon();
}

void CDialog::LoadBigIcon() {
    if (!m_hWnd || !m_nIDBigIcon) return;
    const int cx = GetSystemMetricsAtDpi(SM_CXICON, m_nDpi);
    const int cy = GetSystemMetricsAtDpi(SM_CYICON, m_nDpi);
    UniqueIcon hIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDBigIcon), IMAGE_ICON, cx, cy, 0)));
    if (!hIcon) return;
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon.get()));
    m_hBigIcon = std::move(hIcon);  // the window has let go of the old one
}

void CDialog::FindPictures() {
    m_arrPictures.clear();
    const HINSTANCE hInstance = AfxGetResourceHandle();
    // A shared resource: found, loaded and locked, never freed.
    const HRSRC hResource = ::FindResourceW(hInstance, MAKEINTRESOURCEW(m_nIDTemplate), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const HGLOBAL hData = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const auto* pData = static_cast<const std::uint8_t*>(hData ? ::LockResource(hData) : nullptr);
    std::vector<CTemplatePicture> pictures;
    if (!pData || !::FindTemplatePictures(pData, ::SizeofResource(hInstance, hResource), pictures)) return;
    for (const CTemplatePicture& picture : pictures)
        if (picture.m_nItem < m_arrTemplateChildren.size())
            m_arrPictures.push_back({m_arrTemplateChildren[picture.m_nItem], picture.m_nIDIcon, {}});
}

void CDialog::LoadPictures() {
    const int cx = GetSystemMetricsAtDpi(SM_CXICON, m_nDpi);
    const int cy = GetSystemMetricsAtDpi(SM_CYICON, m_nDpi);
    for (CPicture& picture : m_arrPictures) {
        if (!::IsWindow(picture.m_hWnd)) continue;  // a control the dialog destroyed
        UniqueIcon hIcon(static_cast<HICON>(
            ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(picture.m_nIDIcon), IMAGE_ICON, cx, cy, 0)));
        if (!hIcon) continue;
        ::SendMessageW(picture.m_hWnd, STM_SETICON, reinterpret_cast<WPARAM>(hIcon.get()), 0);
        picture.m_hIcon = std::move(hIcon);  // the control has let go of the old one
    }
}

void CDialog::LoadSmallIcon() {
    if (!m_hWnd || !m_nIDSmallIcon) return;
    const int cx = GetSystemMetricsAtDpi(SM_CXSMICON, m_nDpi);
    const int cy = GetSystemMetricsAtDpi(SM_CYSMICON, m_nDpi);
    // Not shared: an icon of a size other than the system's own must be owned.
    UniqueIcon hIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDSmallIcon), IMAGE_ICON, cx, cy, 0)));
    if (!hIcon) return;
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon.get()));
    m_hSmallIcon = std::move(hIcon);  // the window has let go of the old one
}

void CDialog::HandleDpiChanged(UINT nNewDpi, const RECT& rcSuggested) {
    const UINT nOldDpi = m_nDpi;
    if (nNewDpi != 0 && nNewDpi != nOldDpi) RescaleForDpi(nOldDpi, nNewDpi);
    ::SetWindowPos(m_hWnd, nullptr, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
                   rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Also when the size stayed and no WM_SIZE came.
    ApplyDynamicLayout();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDialog::RescaleForDpi(UINT nOldDpi, UINT nNewDpi) {
    m_nDpi = nNewDpi;
    const auto scale = [&](LONG n) { return static_cast<LONG>(MulDiv(n, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi))); };
    const auto scaleRect = [&](RECT& rc) { rc = {scale(rc.left), scale(rc.top), scale(rc.right), scale(rc.bottom)}; };

    // The font first: the controls measure their text with it.
    LOGFONTW lf{};
    const auto hOldFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (hOldFont && ::GetObjectW(hOldFont, sizeof(lf), &lf) == sizeof(lf)) {
        lf.lfHeight = scale(lf.lfHeight);
        lf.lfWidth = scale(lf.lfWidth);
        if (UniqueGdiObject font(::CreateFontIndirectW(&lf)); font) {
            const auto hFont = reinterpret_cast<WPARAM>(font.get());
            ::SendMessageW(m_hWnd, WM_SETFONT, hFont, FALSE);
            for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
                ::SendMessageW(hChild, WM_SETFONT, hFont, FALSE);
            m_font = std::move(font);  // nothing uses the one it replaces any more
        }
    }

    // Each control where it would stand had the dialog opened at the new DPI.
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        RECT rc{};
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        scaleRect(rc);
        ::SetWindowPos(hChild, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (CLayoutItem& item : m_arrLayout) scaleRect(item.m_rcInitial);
    m_sizeLayoutInitial = {scale(m_sizeLayoutInitial.cx), scale(m_sizeLayoutInitial.cy)};

    LoadSmallIcon();
    LoadBigIcon();
    LoadPictures();
    OnDpiChanged(nOldDpi, nNewDpi);
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
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
        pDlg->m_arrTemplateChildren.clear();
        pDlg->m_arrLayout.clear();
        // The window and its controls are gone: nothing draws with these any more.
        pDlg->m_hSmallIcon.reset();
        pDlg->m_hBigIcon.reset();
        pDlg->m_arrPictures.clear();
        pDlg->m_font.reset();
        pDlg->m_nIDSmallIcon = 0;
        pDlg->m_nIDBigIcon = 0;
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
        // Before any code of the dialog can change the z-order, the children
        // stand in template order: the layout resource counts on it.
        m_arrTemplateChildren.clear();
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
            m_arrTemplateChildren.push_back(hChild);
        m_nDpi = GetWindowDpi(m_hWnd);
        // The base scales every dialog itself (HandleDpiChanged); the dialog
        // manager's own scaling would size it by font metrics instead.
        TurnOffDialogDpiScaling(m_hWnd);
        // The dialog manager loaded the template's pictures at the system's
        // icon size: they take the size of the dialog's DPI before the layout
        // measures the controls.
        FindPictures();
        LoadPictures();
        return OnInitDialog();
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) ApplyDynamicLayout();
        break;
    case WM_DPICHANGED:
        // Handled here for every dialog; the dialog manager's own scaling would
        // place the controls where the template has them, not where the layout does.
        HandleDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_GETFONT:
        // Not every dialog manager keeps a font set on the dialog itself.
        if (m_font) {
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(m_font.get()));
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
    const bool bOuterDefault = std::exchange(m_bDefault, false);
    struct CRestore {
        bool& m_bFlag;
        bool m_bValue;
        ~CRestore() { m_bFlag = m_bValue; }
    } restore{m_bDefault, bOuterDefault};

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
        std::wstring text = L"An unexpected error occurred";
        const std::wstring what = WidenAscii(pszWhat);
        text += what.empty() ? L"." : L":\n\n" + what;
        MessageBox(text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxW(m_hWnd, L"An unexpected error occurred.", nullptr, MB_OK | MB_ICONERROR);
    }
}

void CDialog::LoadDynamicLayout() {
    m_arrLayout.clear();
    const HINSTANCE hInstance = AfxGetResourceHandle();
    // A shared resource: found, loaded and locked, never freed.
    const HRSRC hResource = FindResourceW(hInstance, MAKEINTRESOURCEW(m_nIDTemplate), kLayoutResourceType);
    if (!hResource) return;
    const HGLOBAL hData = LoadResource(hInstance, hResource);
    const auto* pData = static_cast<const std::uint8_t*>(hData ? LockResource(hData) : nullptr);
    if (!pData) return;
    std::vector<CLayoutEntry> entries;
    if (!ParseDialogLayout(pData, SizeofResource(hInstance, hResource), m_arrTemplateChildren.size(), entries)) return;

    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    m_sizeLayoutInitial = {rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].Moves()) continue;
        CLayoutItem item{m_arrTemplateChildren[i], {}, entries[i]};
        ::GetWindowRect(item.m_hWnd, &item.m_rcInitial);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&item.m_rcInitial), 2);
        m_arrLayout.push_back(item);
    }
}

void CDialog::ApplyDynamicLayout() {
    if (m_arrLayout.empty()) return;
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    const int dx = (rcClient.right - rcClient.left) - m_sizeLayoutInitial.cx;
    const int dy = (rcClient.bottom - rcClient.top) - m_sizeLayoutInitial.cy;

    // Always from the initial rectangles, so that rounding never adds up.
    HDWP hdwp = BeginDeferWindowPos(static_cast<int>(m_arrLayout.size()));
    for (const CLayoutItem& item : m_arrLayout) {
        if (!hdwp) return;
        if (!::IsWindow(item.m_hWnd)) continue;  // a control the dialog destroyed
        const RECT& rc = item.m_rcInitial;
        const int x = rc.left + MulDiv(dx, item.m_entry.m_nMoveX, 100);
        const int y = rc.top + MulDiv(dy, item.m_entry.m_nMoveY, 100);
        const int cx = (rc.right - rc.left) + MulDiv(dx, item.m_entry.m_nSizeX, 100);
        const int cy = (rc.bottom - rc.top) + MulDiv(dy, item.m_entry.m_nSizeY, 100);
        hdwp = DeferWindowPos(hdwp, item.m_hWnd, nullptr, x, y, cx > 0 ? cx : 0, cy > 0 ? cy : 0,
                              SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (hdwp) EndDeferWindowPos(hdwp);
}
