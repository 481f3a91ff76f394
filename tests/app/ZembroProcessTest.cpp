// Zembro.exe started as a process: one running copy per desktop, and the
// process ends when its main window closes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/WinText.h"
#include "res/resource.h"

namespace {

constexpr wchar_t kTitle[] = L"Zembro by Brellow";
constexpr DWORD kStartDeadlineMs = 30000;

// Zembro.exe is built into the build folder's top, above the tests.
std::wstring FindProgram() {
    wchar_t szPath[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring folder(szPath, cch < MAX_PATH ? cch : 0);
    for (int nLevel = 0; nLevel < 4; ++nLevel) {
        const size_t slash = folder.find_last_of(L'\\');
        if (slash == std::wstring::npos) break;
        folder.erase(slash);
        const std::wstring candidate = folder + L"\\Zembro.exe";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return {};
}

// Runs this thread's messages while waiting: another process may be showing
// or activating a window of this thread.
void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class CZembroProcess {
public:
    CZembroProcess() {
        const std::wstring program = FindProgram();
        if (program.empty()) {
            ADD_FAILURE() << "Zembro.exe is not built above the tests";
            return;
        }
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &m_pi))
            ADD_FAILURE() << "Zembro.exe did not start: error " << GetLastError();
        if (m_pi.hThread) CloseHandle(m_pi.hThread);
    }
    ~CZembroProcess() {
        if (!m_pi.hProcess) return;
        // A test that failed half way must not leave the program running.
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
            if (HWND hWnd = MainWindow()) PostMessageW(hWnd, WM_CLOSE, 0, 0);
            if (!Wait(10000)) TerminateProcess(m_pi.hProcess, 99);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hProcess);
    }
    CZembroProcess(const CZembroProcess&) = delete;
    CZembroProcess& operator=(const CZembroProcess&) = delete;

    bool Started() const { return m_pi.hProcess != nullptr; }
    DWORD Id() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }

    // Its visible top-level window with the application title, or null.
    HWND MainWindow() const {
        struct Search {
            DWORD dwProcessId;
            HWND hFound;
        } search{m_pi.dwProcessId, nullptr};
        EnumWindows(
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                auto* pSearch = reinterpret_cast<Search*>(lParam);
                DWORD dwPid = 0;
                GetWindowThreadProcessId(hWnd, &dwPid);
                if (dwPid != pSearch->dwProcessId || WindowTitle(hWnd) != kTitle) return TRUE;
                pSearch->hFound = hWnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.hFound;
    }

    // Waits for the main window to show its rows, the end of its initialisation
    // (which restores the stored placement); null when it did not in time.
    HWND WaitForMainWindow() const {
        const ULONGLONG ullDeadline = GetTickCount64() + kStartDeadlineMs;
        while (GetTickCount64() < ullDeadline) {
            if (HWND hWnd = MainWindow(); hWnd && IsWindowVisible(hWnd) &&
                                          SendMessageW(GetDlgItem(hWnd, IDC_TASK_LIST), LVM_GETITEMCOUNT, 0, 0) > 0)
                return hWnd;
            if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0) return nullptr;
            PumpMessages();
            Sleep(20);
        }
        return nullptr;
    }

    // Waits for the process to end; false when it still runs at the deadline.
    bool Wait(DWORD dwTimeoutMs) const {
        const ULONGLONG ullDeadline = GetTickCount64() + dwTimeoutMs;
        for (;;) {
            const ULONGLONG ullNow = GetTickCount64();
            if (ullNow >= ullDeadline) return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0;
            const DWORD dwResult = MsgWaitForMultipleObjects(1, &m_pi.hProcess, FALSE,
                                                             static_cast<DWORD>(ullDeadline - ullNow), QS_ALLINPUT);
            if (dwResult == WAIT_OBJECT_0) return true;
            PumpMessages();
        }
    }

    DWORD ExitCode() const {
        DWORD dwCode = STILL_ACTIVE;
        GetExitCodeProcess(m_pi.hProcess, &dwCode);
        return dwCode;
    }

    static std::wstring WindowTitle(HWND hWnd) {
        wchar_t sz[256] = {};
        GetWindowTextW(hWnd, sz, 256);
        return sz;
    }

private:
    PROCESS_INFORMATION m_pi{};
};

// Every window of another process that is created or shown while it lives.
class CWindowWatch {
public:
    CWindowWatch() {
        g_pWatch = this;
        m_hHook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnEvent, 0, 0,
                                  WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    }
    ~CWindowWatch() {
        if (m_hHook) UnhookWinEvent(m_hHook);
        g_pWatch = nullptr;
    }
    bool Hooked() const { return m_hHook != nullptr; }
    // Top-level windows that the process created or showed.
    int WindowsOf(DWORD dwProcessId) const {
        int n = 0;
        for (const auto& seen : m_arrSeen) n += seen.first == dwProcessId;
        return n;
    }

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND hWnd, LONG idObject, LONG, DWORD, DWORD) {
        if (!g_pWatch || idObject != OBJID_WINDOW || !hWnd) return;
        if (GetAncestor(hWnd, GA_PARENT) != GetDesktopWindow()) return;
        DWORD dwPid = 0;
        GetWindowThreadProcessId(hWnd, &dwPid);
        g_pWatch->m_arrSeen.emplace_back(dwPid, hWnd);
    }
    static inline CWindowWatch* g_pWatch = nullptr;
    HWINEVENTHOOK m_hHook = nullptr;
    std::vector<std::pair<DWORD, HWND>> m_arrSeen;
};

TEST(ZembroProcessTest, ASecondCopyBringsTheRunningOneForwardAndEnds) {
    CZembroProcess first;
    ASSERT_TRUE(first.Started());
    HWND hMain = first.WaitForMainWindow();
    ASSERT_NE(hMain, nullptr) << "the main window did not show";
    // The window may still be finishing its start-up (placement comes after the
    // rows), so minimise until it stays minimised, within a deadline.
    const ULONGLONG ullDeadline = GetTickCount64() + kStartDeadlineMs;
    while (!IsIconic(hMain) && GetTickCount64() < ullDeadline) {
        ShowWindow(hMain, SW_MINIMIZE);
        WaitForInputIdle(first.Process(), 1000);
    }
    ASSERT_TRUE(IsIconic(hMain));

    CWindowWatch watch;
    CZembroProcess second;
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(second.Wait(kStartDeadlineMs)) << "the second copy kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    if (watch.Hooked()) {
        EXPECT_EQ(watch.WindowsOf(second.Id()), 0) << "the second copy showed a window";
    }

    EXPECT_EQ(first.MainWindow(), hMain);
    EXPECT_FALSE(IsIconic(hMain));
    EXPECT_TRUE(IsWindowVisible(hMain));
    EXPECT_EQ(GetForegroundWindow(), hMain);

    PostMessageW(hMain, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.Wait(kStartDeadlineMs));
    EXPECT_EQ(first.ExitCode(), 0u);
}

TEST(ZembroProcessTest, AnyWindowWithTheTitleIsBroughtForwardInstead) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZembroLookAlike";
    RegisterClassW(&wc);
    HWND hLookAlike = CreateWindowExW(0, wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, 50, 50, 300, 200, nullptr,
                                      nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hLookAlike, nullptr);
    ShowWindow(hLookAlike, SW_SHOWMINIMIZED);
    ASSERT_TRUE(IsIconic(hLookAlike));

    {
        CWindowWatch watch;
        CZembroProcess program;
        ASSERT_TRUE(program.Started());
        ASSERT_TRUE(program.Wait(kStartDeadlineMs)) << "the program started although the title was taken";
        EXPECT_EQ(program.ExitCode(), 0u);
        if (watch.Hooked()) {
            EXPECT_EQ(watch.WindowsOf(program.Id()), 0) << "the program showed a window";
        }
    }
    PumpMessages();
    EXPECT_FALSE(IsIconic(hLookAlike));
    EXPECT_TRUE(IsWindowVisible(hLookAlike));
    DestroyWindow(hLookAlike);
}

TEST(ZembroProcessTest, ClosingTheMainWindowEndsTheProgram) {
    struct Case {
        const char* pszName;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
        {"WM_CLOSE", WM_CLOSE, 0},
        {"Escape", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)},
        {"Enter", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)},
        {"Exit in the menu", WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CWindowWatch watch;
        CZembroProcess program;
        ASSERT_TRUE(program.Started());
        HWND hMain = program.WaitForMainWindow();
        ASSERT_NE(hMain, nullptr) << "the main window did not show";
        // The watch sees other processes' windows: the other tests rely on it.
        PumpMessages();
        EXPECT_TRUE(watch.Hooked());
        EXPECT_GT(watch.WindowsOf(program.Id()), 0);
        PostMessageW(hMain, c.message, c.wParam, 0);
        ASSERT_TRUE(program.Wait(kStartDeadlineMs)) << "the program kept running";
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_FALSE(IsWindow(hMain));
    }
}

}  // namespace
