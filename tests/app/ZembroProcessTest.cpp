// Zembro.exe started as a process: one running copy per desktop, and the
// process ends when its main window closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "res/resource.h"
#include "support/WindowDriver.h"
#include "support/ZembroProcess.h"

namespace {

constexpr DWORD kStartDeadlineMs = 30000;

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
    HWND hLookAlike = CreateWindowExW(0, wc.lpszClassName, kZembroTitle, WS_OVERLAPPEDWINDOW, 50, 50, 300, 200, nullptr,
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
