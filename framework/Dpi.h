#pragma once
// Pixel sizes that follow a window's DPI. The per-monitor functions of
// Windows 10 are looked up at run time, so the program still starts on
// Windows 7; without them a window's DPI is its device context's LOGPIXELSX.
#include <windows.h>

constexpr UINT kDefaultDpi = 96;

// The DPI that hWnd is drawn at (its monitor's, for a per-monitor aware
// window); the screen's when hWnd is null.
UINT GetWindowDpi(HWND hWnd);

// GetSystemMetrics(nIndex) as it is at nDpi.
int GetSystemMetricsAtDpi(int nIndex, UINT nDpi);

// n pixels at 96 DPI, at nDpi.
inline int ScaleToDpi(int n, UINT nDpi) { return MulDiv(n, static_cast<int>(nDpi), static_cast<int>(kDefaultDpi)); }

// Turns off the dialog manager's own handling of a DPI change for dialog
// hDlg: its new fonts, and its answer to WM_GETDPISCALEDSIZE, whose size
// follows font metrics rather than the straight ratio the framework scales the
// controls with. Windows 10 1703 and later; false where the system has no
// SetDialogDpiChangeBehavior (or refused).
bool TurnOffDialogDpiScaling(HWND hDlg);

// Whether the user chose a high-contrast theme.
bool IsHighContrast();
