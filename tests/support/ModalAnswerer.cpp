#include "support/ModalAnswerer.h"

#include <algorithm>
#include <cstdio>

#include "win/WinText.h"

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr UINT_PTR kScriptTimerId = 0x5A4D;

CModalAnswerer* g_pAnswerer = nullptr;

bool IsDialogWindow(HWND hWnd) {
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    return lstrcmpW(szClass, L"#32770") == 0;
}

// A message box is a system dialog with the text control every message box has;
// dialogs of the test program itself have their procedure in its own image.
bool IsMessageBox(HWND hWnd) {
    const auto pfnProc = GetWindowLongPtrW(hWnd, DWLP_DLGPROC);
    HMODULE hModule = nullptr;
    if (pfnProc && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                      reinterpret_cast<LPCWSTR>(pfnProc), &hModule) &&
        hModule == GetModuleHandleW(nullptr))
        return false;
    HWND hText = GetDlgItem(hWnd, kMessageBoxTextId);
    wchar_t szClass[16] = {};
    if (hText) GetClassNameW(hText, szClass, 16);
    return hText && lstrcmpiW(szClass, L"Static") == 0;
}

bool HasVisibleButton(HWND hWnd, int nID) {
    HWND hButton = GetDlgItem(hWnd, nID);
    return hButton && (GetWindowLongW(hButton, GWL_STYLE) & WS_VISIBLE);
}

UINT ButtonsOf(HWND hWnd) {
    struct Set {
        UINT nType;
        std::vector<int> ids;
    };
    static const Set kSets[] = {
        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
        {MB_OKCANCEL, {IDOK, IDCANCEL}},
        {MB_OK, {IDOK}},
    };
    for (const Set& set : kSets)
        if (std::all_of(set.ids.begin(), set.ids.end(), [&](int id) { return HasVisibleButton(hWnd, id); }))
            return set.nType;
    return MB_OK;
}

std::vector<int> VisibleButtonsOf(HWND hWnd) {
    std::vector<int> ids;
    for (HWND hChild = GetWindow(hWnd, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        wchar_t szClass[16] = {};
        GetClassNameW(hChild, szClass, 16);
        if (lstrcmpiW(szClass, L"Button") == 0 && (GetWindowLongW(hChild, GWL_STYLE) & WS_VISIBLE))
            ids.push_back(GetDlgCtrlID(hChild));
    }
    return ids;
}

UINT IconOf(HWND hWnd) {
    struct Known {
        UINT nType;
        const wchar_t* pszIcon;
    };
    static const Known kIcons[] = {{MB_ICONSTOP, IDI_HAND}, {MB_ICONQUESTION, IDI_QUESTION},
                                   {MB_ICONEXCLAMATION, IDI_EXCLAMATION}, {MB_ICONINFORMATION, IDI_ASTERISK}};
    for (HWND hChild = GetWindow(hWnd, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        if ((GetWindowLongW(hChild, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        if (!(GetWindowLongW(hChild, GWL_STYLE) & WS_VISIBLE)) continue;
        const auto hIcon = reinterpret_cast<HICON>(SendMessageW(hChild, STM_GETICON, 0, 0));
        for (const Known& known : kIcons)
            if (hIcon && hIcon == LoadIconW(nullptr, known.pszIcon)) return known.nType;
    }
    return 0;
}

}  // namespace

std::u16string WindowText(HWND hWnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
    const int cch = GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size()));
    return as_u16(text.data(), cch > 0 ? static_cast<size_t>(cch) : 0);
}

CModalAnswerer::CModalAnswerer(int nButton, DWORD dwDeadlineMs) : m_nButton(nButton), m_dwDeadlineMs(dwDeadlineMs) {
    g_pAnswerer = this;
    m_hHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hWatchdog = CreateThread(nullptr, 0, WatchdogThread, this, 0, nullptr);
}

CModalAnswerer::~CModalAnswerer() {
    SetEvent(m_hStop);
    WaitForSingleObject(m_hWatchdog, INFINITE);
    CloseHandle(m_hWatchdog);
    CloseHandle(m_hStop);
    UnhookWindowsHookEx(m_hHook);
    g_pAnswerer = nullptr;
}

DWORD WINAPI CModalAnswerer::WatchdogThread(void* pParam) {
    auto* pThis = static_cast<CModalAnswerer*>(pParam);
    if (WaitForSingleObject(pThis->m_hStop, pThis->m_dwDeadlineMs) == WAIT_OBJECT_0) return 0;
    std::fprintf(stderr, "A modal window was still open after %lu ms: the test is stopped.\n",
                 static_cast<unsigned long>(pThis->m_dwDeadlineMs));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return 0;
}

LRESULT CALLBACK CModalAnswerer::CbtProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (g_pAnswerer) {
        const auto hWnd = reinterpret_cast<HWND>(wParam);
        if (nCode == HCBT_ACTIVATE && IsDialogWindow(hWnd)) g_pAnswerer->OnActivate(hWnd);
        if (nCode == HCBT_DESTROYWND) std::erase(g_pAnswerer->m_arrOpen, hWnd);
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CModalAnswerer::OnActivate(HWND hWnd) {
    // A dialog is activated again whenever a box above it closes: act once.
    if (std::find(m_arrOpen.begin(), m_arrOpen.end(), hWnd) != m_arrOpen.end()) return;
    m_arrOpen.push_back(hWnd);

    if (IsMessageBox(hWnd)) {
        CRecordedMessageBox box;
        box.m_strText = WindowText(GetDlgItem(hWnd, kMessageBoxTextId));
        box.m_strCaption = WindowText(hWnd);
        box.m_nType = ButtonsOf(hWnd) | IconOf(hWnd);
        box.m_hWndOwner = GetWindow(hWnd, GW_OWNER);
        box.m_arrVisibleButtons = VisibleButtonsOf(hWnd);
        m_arrBoxes.push_back(box);
        const int nButton = m_boxScript ? m_boxScript(box) : m_nButton;
        PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, nButton)));
    } else if (m_script) {
        SetTimer(hWnd, kScriptTimerId, 0, ScriptTimerProc);
    }
}

void CALLBACK CModalAnswerer::ScriptTimerProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
    KillTimer(hWnd, idEvent);
    if (g_pAnswerer && g_pAnswerer->m_script) g_pAnswerer->m_script(hWnd);
}
