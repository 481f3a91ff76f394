#pragma once
// The main window's placement and its columns' widths as the profile keeps
// them: "Location" (a WINDOWPLACEMENT's bytes) with the DPI it was taken at,
// "LocationDpi"; "Column<n>" with "ColumnDpi". Values stored before the DPI
// was kept beside them are taken as they are. Failed writes are ignored.
#include <windows.h>

#include <functional>

// Column nColumn's stored width at nDpi; nDefaultWidth when none is stored,
// or one below 0 or above four screens' width.
int StoredColumnWidth(int nColumn, int nDefaultWidth, UINT nDpi);
void StoreColumnWidth(int nColumn, int nWidth);
// Every header column's current width, and nDpi as "ColumnDpi"; nothing once
// the list view is gone.
void StoreColumnWidths(HWND hList, UINT nDpi);

// Moves hWnd onto the stored placement's monitor (where a change of DPI
// happens), then applies the placement, its size taken from its stored DPI to
// the window's (currentDpi, asked after the move). Nothing for a placement of
// another size, an unknown show command, or one on no monitor.
void RestoreStoredPlacement(HWND hWnd, const std::function<UINT()>& currentDpi);
// "Location", and nDpi as "LocationDpi".
void StorePlacement(HWND hWnd, UINT nDpi);

// The preferences "Remember Location" and "Remember Column Width" (both on
// when the profile has neither).
void ReadRememberFlags(BOOL& bRememberLocation, BOOL& bRememberColumnWidth);
