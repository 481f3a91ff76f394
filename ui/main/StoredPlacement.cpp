#include "ui/main/StoredPlacement.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/App.h"
#include "ui/ProfileNames.h"
#include "ui/main/PlacementDpi.h"

namespace {

constexpr wchar_t kLocationEntry[] = L"Location";
// The DPI the placement's and the columns' pixels were taken at (PlacementDpi.h).
constexpr wchar_t kLocationDpiEntry[] = L"LocationDpi";
constexpr wchar_t kColumnDpiEntry[] = L"ColumnDpi";
constexpr UINT kPlacementBytes = 44;
static_assert(sizeof(WINDOWPLACEMENT) == kPlacementBytes, "the stored placement is the structure's bytes");


std::wstring ColumnEntry(int nColumn) { return L"Column" + std::to_wstring(nColumn); }

}  // namespace

int StoredColumnWidth(int nColumn, int nDefaultWidth, UINT nDpi) {
    const CWinApp* pApp = AfxGetApp();
    if (!pApp) return nDefaultWidth;
    // -1, never a width: none stored.
    const int nStored = static_cast<int>(pApp->GetProfileInt(kSettingsSection, ColumnEntry(nColumn).c_str(), -1));
    const UINT nStoredDpi = UsableStoredDpi(pApp->GetProfileInt(kSettingsSection, kColumnDpiEntry, 0));
    // A width no screen can show is no width a user chose.
    return ColumnWidthAtDpi(nStored, nStoredDpi, nDpi, nDefaultWidth, 4 * ::GetSystemMetrics(SM_CXSCREEN));
}

void StoreColumnWidth(int nColumn, int nWidth) {
    if (CWinApp* pApp = AfxGetApp()) pApp->WriteProfileInt(kSettingsSection, ColumnEntry(nColumn).c_str(), nWidth);
}

void StoreColumnWidths(HWND hList, UINT nDpi) {
    if (!::IsWindow(hList)) return;
    const HWND hHeader = reinterpret_cast<HWND>(::SendMessageW(hList, LVM_GETHEADER, 0, 0));
    if (!hHeader) return;
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileInt(kSettingsSection, kColumnDpiEntry, static_cast<int>(nDpi));
    for (int i = 0; i < static_cast<int>(::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0)); ++i) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        if (::SendMessageW(hHeader, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) StoreColumnWidth(i, item.cxy);
    }
}

void RestoreStoredPlacement(HWND hWnd, const std::function<UINT()>& currentDpi) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return;
    std::vector<BYTE> data;
    if (!pApp->GetProfileBinary(kSettingsSection, kLocationEntry, data)) return;
    // Something else wrote it: not a placement.
    if (data.size() != kPlacementBytes) return;
    WINDOWPLACEMENT placement{};
    std::memcpy(&placement, data.data(), kPlacementBytes);
    // A show command Windows does not know, or a window on no monitor (one
    // that was unplugged), would leave the user without a window to work in.
    if (placement.showCmd > SW_MAX) return;
    const HMONITOR hMonitor = ::MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONULL);
    if (!hMonitor) return;
    // As Microsoft's sample for restoring a placement across DPIs does: onto
    // the placement's monitor first, so that a change of DPI comes with this
    // move and its WM_DPICHANGED scales the window there, and then the
    // placement, which no longer crosses DPIs. Applied straight from another
    // monitor, its WM_DPICHANGED would scale the stored size once more, and
    // the window would grow at every start.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT rcWindow{};
    if (::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST) != hMonitor && ::GetMonitorInfoW(hMonitor, &monitor) &&
        ::GetWindowRect(hWnd, &rcWindow)) {
        const RECT rcOnMonitor = CentredIn(rcWindow, monitor.rcWork);
        ::SetWindowPos(hWnd, nullptr, rcOnMonitor.left, rcOnMonitor.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Now at that monitor's DPI: the stored pixels at it (the same unless its
    // scaling changed since).
    const UINT nStoredDpi = UsableStoredDpi(pApp->GetProfileInt(kSettingsSection, kLocationDpiEntry, 0));
    placement.rcNormalPosition = NormalRectAtDpi(placement.rcNormalPosition, nStoredDpi, currentDpi());
    ::SetWindowPlacement(hWnd, &placement);
}

void StorePlacement(HWND hWnd, UINT nDpi) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return;
    WINDOWPLACEMENT placement{};
    placement.length = kPlacementBytes;
    if (!::GetWindowPlacement(hWnd, &placement)) return;
    pApp->WriteProfileBinary(kSettingsSection, kLocationEntry, &placement, kPlacementBytes);
    pApp->WriteProfileInt(kSettingsSection, kLocationDpiEntry, static_cast<int>(nDpi));
}

void ReadRememberFlags(BOOL& bRememberLocation, BOOL& bRememberColumnWidth) {
    const CWinApp* pApp = AfxGetApp();
    bRememberLocation = pApp ? pApp->GetProfileInt(kSettingsSection, kRememberLocationEntry, 1) != 0 : TRUE;
    bRememberColumnWidth = pApp ? pApp->GetProfileInt(kSettingsSection, kRememberColumnWidthEntry, 1) != 0 : TRUE;
}
