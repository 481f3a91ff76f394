#include "ui/main/RowDrag.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/Dpi.h"

namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMs = 60;

int RowHeight(HWND hList) {
    RECT rc{};
    rc.left = LVIR_BOUNDS;
    if (!::SendMessageW(hList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc))) return 0;
    return rc.bottom - rc.top;
}

// The bottom of the column header in the list's client coordinates: rows start there.
int RowsTop(HWND hList) {
    const auto hHeader = reinterpret_cast<HWND>(::SendMessageW(hList, LVM_GETHEADER, 0, 0));
    RECT rc{};
    if (!hHeader || !::IsWindowVisible(hHeader) || !::GetWindowRect(hHeader, &rc)) return 0;
    ::MapWindowPoints(nullptr, hList, reinterpret_cast<POINT*>(&rc), 2);
    return std::max<int>(rc.bottom, 0);
}

// The row a drop at pt (list client coordinates) lands on: the row under it,
// the last row below the last one; -1 outside the rows' area.
int DropRowAt(HWND hList, POINT pt) {
    RECT rcClient{};
    ::GetClientRect(hList, &rcClient);
    const int nTopY = RowsTop(hList);
    if (!::PtInRect(&rcClient, pt) || pt.y < nTopY) return -1;
    const int nRows = static_cast<int>(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    const int nTop = static_cast<int>(::SendMessageW(hList, LVM_GETTOPINDEX, 0, 0));
    RECT rcTop{};
    rcTop.left = LVIR_BOUNDS;
    if (nRows == 0 || !::SendMessageW(hList, LVM_GETITEMRECT, nTop, reinterpret_cast<LPARAM>(&rcTop))) return -1;
    const int cyRow = rcTop.bottom - rcTop.top;
    if (cyRow <= 0) return -1;
    const int nRow = nTop + (pt.y - rcTop.top) / cyRow;
    return std::clamp(nRow, 0, nRows - 1);
}

// One row up or down while the pointer is within a row's height of the rows'
// top or the list's bottom edge; true when it scrolled.
bool AutoScroll(HWND hList, POINT pt) {
    RECT rcClient{};
    ::GetClientRect(hList, &rcClient);
    const int cyRow = RowHeight(hList);
    if (cyRow <= 0 || pt.x < rcClient.left || pt.x >= rcClient.right) return false;
    const int nTopY = RowsTop(hList);
    int dy = 0;
    if (pt.y < nTopY + cyRow)
        dy = -cyRow;
    else if (pt.y >= rcClient.bottom - cyRow)
        dy = cyRow;
    if (dy == 0) return false;
    const auto nTopBefore = ::SendMessageW(hList, LVM_GETTOPINDEX, 0, 0);
    ::SendMessageW(hList, LVM_SCROLL, 0, dy);
    return ::SendMessageW(hList, LVM_GETTOPINDEX, 0, 0) != nTopBefore;
}

// The insertion mark this window draws: a line across the list, in the text's
// colour, 3 pixels thick at 96 DPI.
constexpr int kMarkThickness = 3;

}  // namespace

void CRowDrag::ShowInsertMark(int nFrom, int nTarget) {
    // Above the target when the row moves up, below it when it moves down;
    // none on its own row or outside.
    LVINSERTMARK mark{};
    mark.cbSize = sizeof(mark);
    mark.iItem = nTarget < 0 || nTarget == nFrom ? -1 : nTarget;
    mark.dwFlags = nTarget > nFrom ? LVIM_AFTER : 0;
    // The list view keeps the mark but draws it only in the icon, small icon
    // and tile views (Microsoft's documentation of LVM_SETINSERTMARK; Wine's
    // never draws it): in this report view the line the window draws itself,
    // over the same boundary, is the one the user sees.
    ::SendMessageW(m_hList, LVM_SETINSERTMARKCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_WINDOWTEXT)));
    ::SendMessageW(m_hList, LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    if (mark.iItem == m_nDrawnMarkRow && (mark.iItem < 0 || m_bDrawnMarkAfter == (mark.dwFlags != 0))) return;
    // Only where the old line was and where the new one goes, across the two
    // rows each touches, is drawn again: erasing the whole list at each move
    // flickers. Erased too: right of the columns the list view paints only its
    // background.
    RECT rcOld{};
    if (MarkRect(m_nDrawnMarkRow, m_bDrawnMarkAfter, rcOld)) ::InvalidateRect(m_hList, &rcOld, TRUE);
    m_nDrawnMarkRow = mark.iItem;
    m_bDrawnMarkAfter = mark.dwFlags != 0;
    RECT rcNew{};
    if (MarkRect(m_nDrawnMarkRow, m_bDrawnMarkAfter, rcNew)) ::InvalidateRect(m_hList, &rcNew, TRUE);
}

bool CRowDrag::MarkRect(int nRow, bool bAfter, RECT& rcLine) const {
    if (nRow < 0) return false;
    RECT rcRow{};
    rcRow.left = LVIR_BOUNDS;
    if (!::SendMessageW(m_hList, LVM_GETITEMRECT, nRow, reinterpret_cast<LPARAM>(&rcRow))) return false;
    RECT rcClient{};
    ::GetClientRect(m_hList, &rcClient);
    const int cyLine = ScaleToDpi(kMarkThickness, m_nDpi);
    const int y = bAfter ? rcRow.bottom : rcRow.top;
    rcLine = {rcClient.left, y - cyLine / 2, rcClient.right, y - cyLine / 2 + cyLine};
    return true;
}

void CRowDrag::Paint(HDC hdc) const {
    RECT rcLine{};
    if (MarkRect(m_nDrawnMarkRow, m_bDrawnMarkAfter, rcLine)) ::FillRect(hdc, &rcLine, ::GetSysColorBrush(COLOR_WINDOWTEXT));
}

int CRowDrag::Track(HWND hList, int nFrom, UINT nDpi) {
    m_hList = hList;
    m_nDpi = nDpi;
    ::SetCapture(hList);
    ::SetTimer(hList, kAutoScrollTimer, kAutoScrollMs, nullptr);
    POINT ptLast{-1, -1};
    int nDrop = -1;
    bool bDropped = false;
    MSG msg{};
    // The drag's own loop sees the mouse and Escape before the list view and
    // the dialog manager do: Escape would otherwise close the window.
    while (::GetCapture() == hList) {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot <= 0) {
            if (bGot == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ::MapWindowPoints(msg.hwnd, hList, &pt, 1);
            ptLast = pt;
            if (msg.message == WM_MOUSEMOVE) AutoScroll(hList, pt);
            nDrop = DropRowAt(hList, pt);
            ShowInsertMark(nFrom, nDrop);
            if (msg.message == WM_LBUTTONUP) {
                bDropped = true;
                break;
            }
            continue;
        }
        if (msg.message == WM_TIMER && msg.hwnd == hList && msg.wParam == kAutoScrollTimer) {
            if (ptLast.y != -1 && AutoScroll(hList, ptLast)) ShowInsertMark(nFrom, DropRowAt(hList, ptLast));
            continue;
        }
        if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) break;
        // Other input waits until the drag has ended.
        if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
            (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(hList, kAutoScrollTimer);
    ShowInsertMark(nFrom, -1);
    if (::GetCapture() == hList) ::ReleaseCapture();
    // The list view saw the button go down; let it see it come up, too.
    if (bDropped) ::DispatchMessageW(&msg);
    return bDropped ? nDrop : -1;
}
