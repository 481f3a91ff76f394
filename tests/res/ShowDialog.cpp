// Shows one of the program's dialog templates, modeless and without behaviour, for
// a bounded time, so it can be looked at (or photographed) under Xvfb.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>

namespace {
INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}
}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc < 2) return 2;
    const int id = _wtoi(argv[1]);
    const UINT seconds = argc > 2 ? static_cast<UINT>(_wtoi(argv[2])) : 5;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND hDlg = ::CreateDialogParamW(hInstance, MAKEINTRESOURCEW(id), nullptr, DialogProc, 0);
    if (!hDlg) return 1;
    ::SetWindowPos(hDlg, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(hDlg, SW_SHOW);
    ::SetTimer(nullptr, 0, seconds * 1000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd) break;
        if (!::IsDialogMessageW(hDlg, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::DestroyWindow(hDlg);
    ::LocalFree(argv);
    return 0;
}
