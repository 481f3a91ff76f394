// make run's hands on the program's main window under Wine:
//   zembro_window.exe wait-rows TITLE SECONDS   waits until the visible top-level
//                                               window TITLE lists at least one row
//   zembro_window.exe close TITLE SECONDS       closes it (WM_CLOSE) and waits
//                                               until it is gone
// Exit code 0 when done in time, 1 when not, 2 for a wrong command line.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindMainWindow(const wchar_t* pszTitle) {
    HWND hWnd = FindWindowW(nullptr, pszTitle);
    return hWnd && IsWindowVisible(hWnd) ? hWnd : nullptr;
}

// The rows of the window's list view; -1 when it has none yet.
int RowCount(HWND hWnd) {
    HWND hList = FindWindowExW(hWnd, nullptr, WC_LISTVIEWW, nullptr);
    if (!hList) return -1;
    DWORD_PTR dwResult = 0;
    if (!SendMessageTimeoutW(hList, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &dwResult)) return -1;
    return static_cast<int>(dwResult);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: zembro_window.exe wait-rows|close TITLE SECONDS\n");
        return 2;
    }
    const std::wstring command = argv[1];
    const wchar_t* pszTitle = argv[2];
    const ULONGLONG ullDeadline = GetTickCount64() + 1000ULL * static_cast<ULONGLONG>(std::wcstoul(argv[3], nullptr, 10));

    if (command == L"wait-rows") {
        for (;;) {
            if (HWND hWnd = FindMainWindow(pszTitle)) {
                const int nRows = RowCount(hWnd);
                if (nRows > 0) {
                    std::wprintf(L"The main window shows %d rows.\n", nRows);
                    return 0;
                }
            }
            if (GetTickCount64() >= ullDeadline) return 1;
            Sleep(100);
        }
    }
    if (command == L"close") {
        HWND hWnd = FindMainWindow(pszTitle);
        if (!hWnd) return 1;
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        while (IsWindow(hWnd)) {
            if (GetTickCount64() >= ullDeadline) return 1;
            Sleep(50);
        }
        return 0;
    }
    std::fwprintf(stderr, L"zembro_window.exe: unknown command %ls\n", command.c_str());
    return 2;
}
