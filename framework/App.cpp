#include "framework/App.h"

#include <cwchar>
#include <utility>

#include "framework/RegistryKey.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"

namespace {

CWinApp* g_pApp = nullptr;

// A string-table entry of hInstance (the application title by default); empty when there is none.
std::wstring LoadStringResource(HINSTANCE hInstance, UINT nID = AFX_IDS_APP_TITLE) {
    const wchar_t* pszText = nullptr;
    // Length 0 hands back a pointer into the resource itself, with no terminator.
    const int cch = LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&pszText), 0);
    return cch > 0 ? std::wstring(pszText, static_cast<size_t>(cch)) : std::wstring();
}

std::wstring LoadTitle(HINSTANCE hInstance) {
    if (std::wstring strTitle = LoadStringResource(hInstance); !strTitle.empty()) return strTitle;

    wchar_t szPath[MAX_PATH] = {};
    const DWORD cchPath = GetModuleFileNameW(hInstance, szPath, MAX_PATH);
    std::wstring name(szPath, cchPath < MAX_PATH ? cchPath : 0);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

}  // namespace

CWinApp::CWinApp(const wchar_t* pszAppName)
    : m_hInstance(GetModuleHandleW(nullptr)), m_pPreviousApp(std::exchange(g_pApp, this)) {
    m_strAppName = pszAppName ? std::wstring(pszAppName) : LoadTitle(m_hInstance);
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = m_pPreviousApp;
}

BOOL CWinApp::InitInstance() {
    // The program takes no command line, so a restart needs none.
    if (m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) RegisterApplicationRestart(nullptr, 0);
    return TRUE;
}

int CWinApp::ExitInstance() { return m_nExitCode; }

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL bGot = GetMessageW(&msg, nullptr, 0, 0);
        if (bGot == -1) break;
        if (!bGot) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const wchar_t* pszCompany) { m_strRegistryKey = pszCompany ? pszCompany : L""; }

std::wstring CWinApp::ProfileKeyPath(const wchar_t* pszSection) const {
    return L"Software\\" + m_strRegistryKey + L"\\" + m_strAppName + L"\\" + pszSection;
}

UINT CWinApp::GetProfileInt(const wchar_t* pszSection, const wchar_t* pszEntry, int nDefault) const {
    DWORD dwValue = static_cast<DWORD>(nDefault);
    if (m_strRegistryKey.empty() || !pszSection || !pszEntry) return dwValue;
    CRegistryKey key;
    if (key.Open(ProfileKeyPath(pszSection).c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS) return dwValue;
    // A value that is missing or of another type leaves the default.
    if (DWORD dwRead = 0; key.QueryDWORDValue(pszEntry, dwRead) == ERROR_SUCCESS) dwValue = dwRead;
    return dwValue;
}

BOOL CWinApp::WriteProfileInt(const wchar_t* pszSection, const wchar_t* pszEntry, int nValue) {
    if (m_strRegistryKey.empty() || !pszSection || !pszEntry) return FALSE;
    CRegistryKey key;
    return key.Create(ProfileKeyPath(pszSection).c_str(), KEY_SET_VALUE) == ERROR_SUCCESS &&
           key.SetDWORDValue(pszEntry, static_cast<DWORD>(nValue)) == ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(const wchar_t* pszSection, const wchar_t* pszEntry, std::vector<BYTE>& data) const {
    if (m_strRegistryKey.empty() || !pszSection || !pszEntry) return FALSE;
    CRegistryKey key;
    return key.Open(ProfileKeyPath(pszSection).c_str(), KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           key.QueryBinaryValue(pszEntry, data) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileBinary(const wchar_t* pszSection, const wchar_t* pszEntry, const void* pData, UINT nBytes) {
    if (m_strRegistryKey.empty() || !pszSection || !pszEntry || (!pData && nBytes)) return FALSE;
    CRegistryKey key;
    return key.Create(ProfileKeyPath(pszSection).c_str(), KEY_SET_VALUE) == ERROR_SUCCESS &&
           key.SetBinaryValue(pszEntry, pData, nBytes) == ERROR_SUCCESS;
}

void CWinApp::BeginWaitCursor() {
    // A shared system cursor: never destroyed.
    const HCURSOR hcurWait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR hcurPrevious = SetCursor(hcurWait);
    if (m_nWaitCursorCount++ == 0) m_hcurWaitCursorRestore = hcurPrevious;
}

void CWinApp::EndWaitCursor() {
    if (m_nWaitCursorCount == 0) return;
    if (--m_nWaitCursorCount > 0) return;
    // No cursor before means the arrow: a hidden cursor would look like a hang.
    const HCURSOR hcurRestore = std::exchange(m_hcurWaitCursorRestore, nullptr);
    SetCursor(hcurRestore ? hcurRestore : LoadCursorW(nullptr, IDC_ARROW));
}

CWinApp* AfxGetApp() { return g_pApp; }

std::wstring AfxGetAppTitle() {
    if (const CWinApp* pApp = AfxGetApp()) return pApp->GetAppName();
    return LoadStringResource(GetModuleHandleW(nullptr));
}

void AfxAllowMessagesFromLowerIntegrity(HWND hWnd, std::initializer_list<UINT> messages) {
    using PfnChangeWindowMessageFilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    const auto pfnAllow = hUser ? reinterpret_cast<PfnChangeWindowMessageFilterEx>(reinterpret_cast<void*>(
                                      ::GetProcAddress(hUser, "ChangeWindowMessageFilterEx")))
                                : nullptr;
    if (!pfnAllow) return;
    constexpr DWORD kMsgFltAllow = 1;  // MSGFLT_ALLOW
    for (const UINT message : messages) pfnAllow(hWnd, message, kMsgFltAllow, nullptr);
}

std::wstring AfxLoadText(UINT nID) { return LoadStringResource(AfxGetResourceHandle(), nID); }

std::wstring AfxSystemMessage(DWORD dwError) {
    wchar_t* pszMessage = nullptr;
    const DWORD cch = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        dwError, 0, reinterpret_cast<wchar_t*>(&pszMessage), 0, nullptr);
    const UniqueLocalMem<wchar_t> message(pszMessage);
    wchar_t szCode[16] = {};
    std::swprintf(szCode, 16, L"0x%08lX", static_cast<unsigned long>(dwError));
    std::wstring strMessage = cch && message ? std::wstring(message.get(), cch) : std::wstring(szCode);
    while (!strMessage.empty() && std::wcschr(L"\r\n ", strMessage.back())) strMessage.pop_back();
    return strMessage;
}

std::wstring AfxFormatText(UINT nID, std::initializer_list<std::wstring_view> args) {
    const std::wstring strTemplate = AfxLoadText(nID);
    std::wstring strText;
    strText.reserve(strTemplate.size());
    for (size_t i = 0; i < strTemplate.size(); ++i) {
        const wchar_t ch = strTemplate[i];
        const size_t nArg = i + 1 < strTemplate.size() ? static_cast<size_t>(strTemplate[i + 1] - L'1') : args.size();
        if (ch == L'%' && nArg < args.size()) {
            strText += args.begin()[nArg];
            ++i;
        } else {
            strText += ch;
        }
    }
    return strText;
}

HINSTANCE AfxGetResourceHandle() { return g_pApp ? g_pApp->m_hInstance : GetModuleHandleW(nullptr); }

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance ? hInstance : GetModuleHandleW(nullptr);
    pApp->m_hPrevInstance = hPrevInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    if (!pApp->InitInstance()) return pApp->ExitInstance();
    return pApp->Run();
}

CWaitCursor::CWaitCursor() : m_pApp(AfxGetApp()) {
    if (m_pApp) m_pApp->BeginWaitCursor();
}

CWaitCursor::~CWaitCursor() {
    if (m_pApp) m_pApp->EndWaitCursor();
}
