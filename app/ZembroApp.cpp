#include "app/ZembroApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "app/CommandLineOutput.h"
#include "core/CommandLine.h"
#include "core/DataFile.h"
#include "framework/JumpListEnvironment.h"
#include "framework/OleInit.h"
#include "res/resource.h"
#include "ui/main/HandedCommand.h"
#include "ui/main/ZembroDlg.h"

// The core's data folder and the framework's application object both take
// the title from this string; the publisher's words are the framework's too.
static_assert(IDS_APPLICATION_TITLE == AFX_IDS_APP_TITLE);
static_assert(IDS_PUBLISH_INITIALIZE_FAILED == AFX_IDS_PUBLISH_INITIALIZE_FAILED &&
              IDS_PUBLISH_COMMIT_FAILED == AFX_IDS_PUBLISH_COMMIT_FAILED &&
              IDS_PUBLISH_TASKS_SKIPPED == AFX_IDS_PUBLISH_TASKS_SKIPPED &&
              IDS_PUBLISH_MORE_SKIPPED == AFX_IDS_PUBLISH_MORE_SKIPPED && IDS_UNTITLED_TASK == AFX_IDS_UNTITLED_TASK);
static_assert(IDP_INTERNAL_FAILURE == AFX_IDP_INTERNAL_FAILURE && IDP_PARSE_INT == AFX_IDP_PARSE_INT &&
              IDP_PARSE_UINT == AFX_IDP_PARSE_UINT);

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
        MessageBoxW(nullptr, AfxLoadText(IDS_COMMAND_LINE_USAGE).c_str(), GetAppName(), MB_OK | MB_ICONINFORMATION);
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
