#pragma once
// Dragging a row of the main window's list to another place: follows the mouse
// from LVN_BEGINDRAG until the button is released, scrolls at the rows' edges,
// and draws the insertion line, which no list view draws in report view.
#include <windows.h>

class CRowDrag {
public:
    // The row to move nFrom to, or -1 when the drag was cancelled (Escape, the
    // right button, a drop outside the rows). nDpi: the window's, for the line.
    int Track(HWND hList, int nFrom, UINT nDpi);
    // Draws the line over the rows, while a drag shows one (the list's
    // post-paint custom draw).
    void Paint(HDC hdc) const;

private:
    // Shows where a row dragged from nFrom would go when dropped on nTarget
    // (-1: nowhere).
    void ShowInsertMark(int nFrom, int nTarget);
    // The line's rectangle (list client coordinates, as wide as the list, 3
    // pixels at 96 DPI) at the top of nRow, or at its bottom when bAfter; false
    // for no row.
    bool MarkRect(int nRow, bool bAfter, RECT& rcLine) const;

    HWND m_hList = nullptr;
    UINT m_nDpi = 96;
    // The line as drawn: the row and whether below it; -1 none.
    int m_nDrawnMarkRow = -1;
    bool m_bDrawnMarkAfter = false;
};
