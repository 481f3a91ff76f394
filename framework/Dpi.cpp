#include "framework/Dpi.h"

namespace {

// Found once; null where the system lacks it (Windows 7 and 8 lack all three).
template <class Pfn>
Pfn UserFunction(const char* pszName) {
    // user32 is always loaded in a program with windows: no reference to keep.
    const HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    return hUser ? reinterpret_cast<Pfn>(reinterpret_cast<void*>(::GetProcAddress(hUser, pszName))) : nullptr;
}

using PfnGetDpiForWindow = UINT(WINAPI*)(HWND);
// SetDialogDpiChangeBehavior's flags are an enum MinGW declares only for newer targets.
using PfnSetDialogDpiChangeBehavior = BOOL(WINAPI*)(HWND, int, int);
constexpr int kDialogDpiChangeDisableAll = 0x0001;  // DDC_DISABLE_ALL
using PfnGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);

UINT DpiOfDc(HWND hWnd) {
    const HDC hdc = ::GetDC(hWnd);
    if (!hdc) return kDefaultDpi;
    const int nDpi = ::GetDeviceCaps(hdc, LOGPIXELSX);
    ::ReleaseDC(hWnd, hdc);
    return nDpi > 0 ? static_cast<UINT>(nDpi) : kDefaultDpi;
}

}  // namespace

UINT GetWindowDpi(HWND hWnd) {
    static const auto pfnGetDpiForWindow = UserFunction<PfnGetDpiForWindow>("GetDpiForWindow");
    if (hWnd && pfnGetDpiForWindow) {
        if (const UINT nDpi = pfnGetDpiForWindow(hWnd)) return nDpi;
    }
    return DpiOfDc(hWnd);
}

int GetSystemMetricsAtDpi(int nIndex, UINT nDpi) {
    static const auto pfnForDpi = UserFunction<PfnGetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    if (pfnForDpi) return pfnForDpi(nIndex, nDpi);
    // Before Windows 10 every window is at the system's DPI, which the metrics already follow.
    const UINT nSystemDpi = DpiOfDc(nullptr);
    const int n = ::GetSystemMetrics(nIndex);
    return nSystemDpi == nDpi ? n : MulDiv(n, static_cast<int>(nDpi), static_cast<int>(nSystemDpi));
}

bool TurnOffDialogDpiScaling(HWND hDlg) {
    static const auto pfnSet = UserFunction<PfnSetDialogDpiChangeBehavior>("SetDialogDpiChangeBehavior");
    return pfnSet && pfnSet(hDlg, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
}

bool IsHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}
