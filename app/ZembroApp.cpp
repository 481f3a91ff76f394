#include "app/ZembroApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "app/CommandLineOutput.h"
#include "core/CommandLine.h"
#include "core/DataFile.h"
#include "framework/JumpListEnvironment.h"
#include "framework/OleInit.h"
#include "res/resource.h"
#include "ui/main/ZembroDlg.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"

// The core's data folder and the framework's application object both take
// the title from this string.
static_assert(IDS_APPLICATION_TITLE == AFX_IDS_APP_TITLE);

namespace {

// A running copy's main window: titled pszTitle and holding the task list
// (a message box of that copy carries the title too).
HWND FindMainWindow(const wchar_t* pszTitle) {
    struct CSearch {
        const wchar_t* m_pszTitle;
        HWND m_hFound;
    } search{pszTitle, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<CSearch*>(lParam);
            wchar_t szTitle[256] = {};
            ::GetWindowTextW(hWnd, szTitle, static_cast<int>(std::size(szTitle)));
            if (std::wcscmp(szTitle, pSearch->m_pszTitle) != 0 || !::GetDlgItem(hWnd, IDC_TASK_LIST)) return TRUE;
            pSearch->m_hFound = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}

// Hands publish or import to the running window, which makes it its own
// change; its answer is the exit code. A window that does not answer in
// time (a hung one) counts as busy: nothing waits without end.
int HandToRunningWindow(HWND hWnd, CCommandLine commandLine) {
    constexpr UINT kAnswerTimeoutMs = 30000;
    if (commandLine.m_eCommand == CCommandLine::importList) {
        // The window's current folder is not this one's.
        const DWORD cch = ::GetFullPathNameW(as_wcstr(commandLine.m_strFile), 0, nullptr, nullptr);
        std::wstring strFull(cch, L'\0');
        const DWORD cchCopied = cch ? ::GetFullPathNameW(as_wcstr(commandLine.m_strFile), cch, strFull.data(), nullptr) : 0;
        if (cchCopied == 0 || cchCopied >= cch) return kExitListUnreadable;
        strFull.resize(cchCopied);
        commandLine.m_strFile = as_u16(strFull.c_str());
    }
    const std::u16string strData = EncodeWindowCommand(commandLine);
    COPYDATASTRUCT data{};
    data.dwData = kWindowCommandTag;
    data.cbData = static_cast<DWORD>(strData.size() * sizeof(char16_t));
    data.lpData = const_cast<char16_t*>(strData.data());
    DWORD_PTR dwAnswer = kExitWindowBusy;
    if (!::SendMessageTimeoutW(hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               kAnswerTimeoutMs, &dwAnswer))
        return kExitWindowBusy;
    return dwAnswer <= kExitWindowBusy ? static_cast<int>(dwAnswer) : kExitWindowBusy;
}

}  // namespace

CZembroApp::CZembroApp() { m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART; }

CZembroApp::~CZembroApp() = default;

bool ActivateRunningInstance(const wchar_t* pszTitle) {
    // Any class: the title alone marks a running copy.
    HWND hWnd = FindWindowW(nullptr, pszTitle);
    if (!hWnd || !IsWindow(hWnd)) return false;
    // While the running copy shows the editor or a message box, its main window
    // is disabled and that popup is what the user must get. Asked first: once
    // the main window is activated below, it is its own last active popup.
    const HWND hPopup = GetLastActivePopup(hWnd);
    ShowWindow(hWnd, SW_RESTORE);
    ShowWindow(hWnd, SW_SHOW);
    BringWindowToTop(hWnd);
    // These two act only on windows of this thread...
    SetActiveWindow(hWnd);
    SetFocus(hWnd);
    // ...so the window of another process is handed the foreground here, which
    // a process that the user has just started may do.
    const HWND hForeground = hPopup && IsWindowVisible(hPopup) ? hPopup : hWnd;
    if (hForeground != hWnd) SetActiveWindow(hForeground);
    SetForegroundWindow(hForeground);
    return true;
}

BOOL CZembroApp::InitInstance() {
    // Scripts run with no window and no single-instance test.
    const CCommandLine commandLine = ParseCommandLine(CommandLineArguments());
    if (commandLine.m_eCommand != CCommandLine::window) {
        m_nExitCode = RunWithoutWindow(commandLine);
        return FALSE;
    }

    // The running copy's main window carries the application title from its
    // OnInitDialog on; a copy started before that point runs as a second copy.
    if (ActivateRunningInstance(GetAppName())) return FALSE;


    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);

    CWinApp::InitInstance();

    // Publishing and the shell calls run later on this thread. A failure is not
    // reported: those calls then report their own.
    AfxOleInit();

    // Every profile value lives under HKCU\Software\Brellow\<title>.
    SetRegistryKey(L"Brellow");

    CZembroDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The dialog object ends with this scope: nothing may point at it after.
    m_pMainWnd = nullptr;
    return FALSE;
}

int CZembroApp::RunWithoutWindow(const CCommandLine& commandLine) {
    if (commandLine.m_eCommand == CCommandLine::bad || commandLine.m_eCommand == CCommandLine::help) {
        MessageBoxW(nullptr, as_wcstr(kCommandLineUsage), GetAppName(), MB_OK | MB_ICONINFORMATION);
        return kExitBadCommandLine;
    }
    CConsoleEnvironment env;
    CCommandLineResult result;
    // An open window keeps its own list: it must make the change, or its
    // next save would be refused and the user would see the list jump.
    const HWND hWnd = commandLine.m_eCommand != CCommandLine::exportList ? FindMainWindow(GetAppName()) : nullptr;
    if (hWnd) {
        result.m_nExit = HandToRunningWindow(hWnd, commandLine);
    } else {
        // The shell's Jump List objects need OLE on this thread.
        AfxOleInit();
        CDataFileStore store(GetDataFilePath());
        result = RunCommandLine(commandLine, env, store);
    }
    ReportCommandLineResult(commandLine, result, env.ShowedError());
    return result.m_nExit;
}

int CZembroApp::ExitInstance() {
    AfxOleTerm(FALSE);
    return CWinApp::ExitInstance();
}
