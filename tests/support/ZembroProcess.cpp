#include "support/ZembroProcess.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/BuiltProgram.h"
#include "support/WindowDriver.h"

std::wstring FindProgram() { return FindBuiltProgram(L"Zembro.exe"); }

std::wstring WindowTitle(HWND hWnd) {
    wchar_t sz[256] = {};
    GetWindowTextW(hWnd, sz, 256);
    return sz;
}

CZembroProcess::CZembroProcess(const std::wstring& arguments) {
    const std::wstring program = FindProgram();
    if (program.empty()) {
        ADD_FAILURE() << "Zembro.exe is not built above the tests";
        return;
    }
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
        ADD_FAILURE() << "Zembro.exe did not start: error " << GetLastError();
    if (m_pi.hThread) CloseHandle(m_pi.hThread);
}

CZembroProcess::~CZembroProcess() {
    if (!m_pi.hProcess) return;
    // A test that failed half way must not leave the program running.
    if (Running()) Stop(10000);
    CloseHandle(m_pi.hProcess);
}

HWND CZembroProcess::MainWindow() const {
    struct Search {
        DWORD dwProcessId;
        HWND hFound;
    } search{m_pi.dwProcessId, nullptr};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<Search*>(lParam);
            DWORD dwPid = 0;
            GetWindowThreadProcessId(hWnd, &dwPid);
            // Its message boxes carry the same caption: the main window is the one with the list.
            if (dwPid != pSearch->dwProcessId || WindowTitle(hWnd) != kZembroTitle ||
                !GetDlgItem(hWnd, IDC_TASK_LIST))
                return TRUE;
            pSearch->hFound = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

HWND CZembroProcess::WaitForMainWindow(DWORD dwTimeoutMs) const {
    const ULONGLONG ullDeadline = GetTickCount64() + dwTimeoutMs;
    while (GetTickCount64() < ullDeadline) {
        // The count is asked with a message, which the program only takes once
        // its initialisation has ended and it waits for input.
        DWORD_PTR nRows = 0;
        if (HWND hWnd = MainWindow(); hWnd && IsWindowVisible(hWnd) && IsWindowEnabled(hWnd) &&
                                      SendMessageTimeoutW(GetDlgItem(hWnd, IDC_TASK_LIST), LVM_GETITEMCOUNT, 0, 0,
                                                          SMTO_NORMAL, 200, &nRows) &&
                                      nRows > 0)
            return hWnd;
        if (!Running()) return nullptr;
        PumpMessages();
        Sleep(20);
    }
    return nullptr;
}

bool CZembroProcess::Wait(DWORD dwTimeoutMs) const {
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

DWORD CZembroProcess::ExitCode() const {
    DWORD dwCode = STILL_ACTIVE;
    GetExitCodeProcess(m_pi.hProcess, &dwCode);
    return dwCode;
}

bool CZembroProcess::Stop(DWORD dwTimeoutMs) {
    if (HWND hWnd = MainWindow()) PostMessageW(hWnd, WM_CLOSE, 0, 0);
    if (Wait(dwTimeoutMs)) return true;
    TerminateProcess(m_pi.hProcess, 99);
    WaitForSingleObject(m_pi.hProcess, 5000);
    return false;
}
