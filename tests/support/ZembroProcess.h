#pragma once
// Zembro.exe started from a test as a process of its own, found at the top of
// the build folder. Whatever the test did, the program is no longer running
// once the object is gone.
#include <windows.h>

#include <string>

inline constexpr wchar_t kZembroTitle[] = L"Zembro by Brellow";

// Zembro.exe in a folder above the running test program; empty when it is not built.
std::wstring FindProgram();

// A top-level window's caption.
std::wstring WindowTitle(HWND hWnd);

class CZembroProcess {
public:
    // Starts the program with arguments after its name; a test failure when it
    // cannot be found or started.
    explicit CZembroProcess(const std::wstring& arguments = L"");
    // Closes the program when it still runs, and ends it when it will not close.
    ~CZembroProcess();
    CZembroProcess(const CZembroProcess&) = delete;
    CZembroProcess& operator=(const CZembroProcess&) = delete;

    bool Started() const { return m_pi.hProcess != nullptr; }
    DWORD Id() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }

    // Its top-level window with the application title, visible or not; null when none.
    HWND MainWindow() const;

    // Waits for the main window to show its rows and to take input again, the
    // end of its initialisation (which restores the stored placement); null
    // when it did not in time or the process ended.
    HWND WaitForMainWindow(DWORD dwTimeoutMs = 30000) const;

    // Waits for the process to end; false when it still runs at the deadline.
    bool Wait(DWORD dwTimeoutMs) const;
    bool Running() const { return Started() && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const;

    // Asks the main window to close and waits for the process to end; ends it
    // when it is still running at the deadline. False when it had to be ended.
    bool Stop(DWORD dwTimeoutMs);

private:
    PROCESS_INFORMATION m_pi{};
};
