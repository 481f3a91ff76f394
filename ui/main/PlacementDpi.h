#pragma once
// The main window's placement and column widths as the profile keeps them:
// pixels at the DPI they were taken at, which is stored beside them
// ("LocationDpi" beside "Location", "ColumnDpi" beside "Column0".."Column4").
// Values written before the DPI was stored have none beside them: they are
// pixels at the DPI of the monitor the window was closed on, which is where
// the placement puts it again, so they are used as they are.
//
// No window is needed for these conversions; the main window applies them
// after it has moved onto the stored placement's monitor.
#include <windows.h>

#include <optional>

// No DPI: the value beside it was missing or is none a monitor has.
constexpr UINT kUnknownDpi = 0;

// A stored DPI as it can be used: kUnknownDpi for none, and for a value no
// monitor has (below 48 or above 1920, 20 times 96).
UINT UsableStoredDpi(std::optional<DWORD> dwStored);

// n pixels taken at nFromDpi, at nToDpi (rounded to the nearest pixel); n as it
// is when nFromDpi is unknown.
int PixelsAtDpi(int n, UINT nFromDpi, UINT nToDpi);

// A stored restored-window rectangle at nToDpi: the same top-left corner (it
// places the window on its monitor), its width and height in pixels of nToDpi.
RECT NormalRectAtDpi(const RECT& rcStored, UINT nFromDpi, UINT nToDpi);

// The width column is shown with at nDpi: the stored one (zero included) in
// pixels of nDpi, else nDefaultWidth (already at nDpi). A stored width below 0,
// or one wider than nMaxWidth once at nDpi, is no width a user chose.
int ColumnWidthAtDpi(std::optional<int> nStored, UINT nStoredDpi, UINT nDpi, int nDefaultWidth, int nMaxWidth);

// Where a window of rcWindow's size stands when its centre is the centre of
// rcArea: the move that takes it onto a monitor before its placement is applied.
RECT CentredIn(const RECT& rcWindow, const RECT& rcArea);
