#include "ui/main/PlacementDpi.h"

namespace {

constexpr DWORD kLowestDpi = 48;
constexpr DWORD kHighestDpi = 1920;

}  // namespace

UINT UsableStoredDpi(std::optional<DWORD> dwStored) {
    if (!dwStored || *dwStored < kLowestDpi || *dwStored > kHighestDpi) return kUnknownDpi;
    return static_cast<UINT>(*dwStored);
}

int PixelsAtDpi(int n, UINT nFromDpi, UINT nToDpi) {
    if (nFromDpi == kUnknownDpi || nToDpi == kUnknownDpi || nFromDpi == nToDpi) return n;
    return MulDiv(n, static_cast<int>(nToDpi), static_cast<int>(nFromDpi));
}

RECT NormalRectAtDpi(const RECT& rcStored, UINT nFromDpi, UINT nToDpi) {
    const int cx = PixelsAtDpi(rcStored.right - rcStored.left, nFromDpi, nToDpi);
    const int cy = PixelsAtDpi(rcStored.bottom - rcStored.top, nFromDpi, nToDpi);
    return {rcStored.left, rcStored.top, rcStored.left + cx, rcStored.top + cy};
}

int ColumnWidthAtDpi(std::optional<int> nStored, UINT nStoredDpi, UINT nDpi, int nDefaultWidth, int nMaxWidth) {
    if (!nStored || *nStored < 0) return nDefaultWidth;
    const int nWidth = PixelsAtDpi(*nStored, nStoredDpi, nDpi);
    return nWidth > nMaxWidth ? nDefaultWidth : nWidth;
}

RECT CentredIn(const RECT& rcWindow, const RECT& rcArea) {
    const LONG cx = rcWindow.right - rcWindow.left;
    const LONG cy = rcWindow.bottom - rcWindow.top;
    const LONG x = rcArea.left + ((rcArea.right - rcArea.left) - cx) / 2;
    const LONG y = rcArea.top + ((rcArea.bottom - rcArea.top) - cy) / 2;
    return {x, y, x + cx, y + cy};
}
