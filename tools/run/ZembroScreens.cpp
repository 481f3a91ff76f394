// make screenshots' hands on the running program under Wine. Each command
// finds a visible top-level window by its exact caption, acts, and ends:
//   zembro_screens.exe wait-rows TITLE SECONDS     waits until the window's list shows
//                                                  rows and the window is painted
//   zembro_screens.exe wait-window TITLE SECONDS   waits until the window shows and is
//                                                  painted; prints "x y width height"
//   zembro_screens.exe select-row TITLE ROW        selects row ROW (from 0) of its list
//   zembro_screens.exe command TITLE ID            posts WM_COMMAND ID (a button click)
//   zembro_screens.exe syscommand TITLE ID         posts WM_SYSCOMMAND ID (a system menu item)
//   zembro_screens.exe close TITLE ID SECONDS      posts WM_COMMAND ID (0: WM_CLOSE) and
//                                                  waits until the window is gone
// Exit code 0 when done in time, 1 when not, 2 for a wrong command line.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindShownWindow(const wchar_t* pszTitle) {
    HWND hWnd = FindWindowW(nullptr, pszTitle);
    return hWnd && IsWindowVisible(hWnd) ? hWnd : nullptr;
}

// The window answers messages again, so whatever a command started has run.
bool Responds(HWND hWnd) {
    DWORD_PTR dwResult = 0;
    return SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &dwResult) != 0;
}

BOOL CALLBACK FindUnpainted(HWND hChild, LPARAM lParam) {
    if (!IsWindowVisible(hChild) || !GetUpdateRect(hChild, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
}

// No part of the window or its controls waits for WM_PAINT any more.
bool Painted(HWND hWnd) {
    if (!Responds(hWnd)) return false;
    if (GetUpdateRect(hWnd, nullptr, FALSE)) return false;
    bool bUnpainted = false;
    EnumChildWindows(hWnd, FindUnpainted, reinterpret_cast<LPARAM>(&bUnpainted));
    return !bUnpainted;
}

// The rows of the window's list view; -1 when it has none yet.
int RowCount(HWND hWnd) {
    HWND hList = FindWindowExW(hWnd, nullptr, WC_LISTVIEWW, nullptr);
    if (!hList) return -1;
    DWORD_PTR dwResult = 0;
    if (!SendMessageTimeoutW(hList, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &dwResult)) return -1;
    return static_cast<int>(dwResult);
}

// A list view reads its LVITEM from its own address space, so the item is
// written into the program's memory first.
bool SelectRow(HWND hWnd, int nRow) {
    HWND hList = FindWindowExW(hWnd, nullptr, WC_LISTVIEWW, nullptr);
    if (!hList) return false;
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hList, &dwProcessId);
    HANDLE hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, dwProcessId);
    if (!hProcess) return false;
    bool bDone = false;
    if (void* pRemote = VirtualAllocEx(hProcess, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE)) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        DWORD_PTR dwResult = 0;
        bDone = WriteProcessMemory(hProcess, pRemote, &item, sizeof(item), nullptr) &&
                SendMessageTimeoutW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(nRow),
                                    reinterpret_cast<LPARAM>(pRemote), SMTO_ABORTIFHUNG, 5000, &dwResult) &&
                dwResult;
        VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    }
    CloseHandle(hProcess);
    return bDone && SendMessageW(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == nRow;
}

int Number(const wchar_t* psz) { return static_cast<int>(std::wcstol(psz, nullptr, 0)); }

int Usage() {
    std::fwprintf(stderr,
                  L"usage: zembro_screens.exe wait-rows|wait-window TITLE SECONDS\n"
                  L"       zembro_screens.exe select-row TITLE ROW | command|syscommand TITLE ID\n"
                  L"       zembro_screens.exe close TITLE ID SECONDS\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return Usage();
    const std::wstring command = argv[1];
    const wchar_t* pszTitle = argv[2];
    auto Deadline = [](const wchar_t* pszSeconds) {
        return GetTickCount64() + 1000ULL * static_cast<ULONGLONG>(std::wcstoul(pszSeconds, nullptr, 10));
    };

    if ((command == L"wait-rows" || command == L"wait-window") && argc == 4) {
        const ULONGLONG ullDeadline = Deadline(argv[3]);
        for (;;) {
            HWND hWnd = FindShownWindow(pszTitle);
            // Painted twice a moment apart: Wine hands the pixels to X a little after the paint.
            if (hWnd && (command == L"wait-window" || RowCount(hWnd) > 0) && Painted(hWnd) && (Sleep(200), Painted(hWnd))) {
                RECT rc{};
                GetWindowRect(hWnd, &rc);
                std::wprintf(L"%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
                return 0;
            }
            if (GetTickCount64() >= ullDeadline) return 1;
            Sleep(50);
        }
    }

    HWND hWnd = FindShownWindow(pszTitle);
    if (!hWnd) {
        std::fwprintf(stderr, L"zembro_screens.exe: no window \"%ls\"\n", pszTitle);
        return 1;
    }
    if (command == L"select-row" && argc == 4) return SelectRow(hWnd, Number(argv[3])) ? 0 : 1;
    if (command == L"command" && argc == 4) {
        const int nId = Number(argv[3]);
        return PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(hWnd, nId)))
                   ? 0
                   : 1;
    }
    if (command == L"syscommand" && argc == 4)
        return PostMessageW(hWnd, WM_SYSCOMMAND, static_cast<WPARAM>(Number(argv[3])), 0) ? 0 : 1;
    if (command == L"close" && argc == 5) {
        const int nId = Number(argv[3]);
        const ULONGLONG ullDeadline = Deadline(argv[4]);
        if (nId == 0)
            PostMessageW(hWnd, WM_CLOSE, 0, 0);
        else
            PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, nId)));
        while (IsWindow(hWnd)) {
            if (GetTickCount64() >= ullDeadline) return 1;
            Sleep(50);
        }
        return 0;
    }
    return Usage();
}
