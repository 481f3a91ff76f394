// What the main window offers beyond its buttons: keys on the list, tooltips
// that name them, drag to reorder, undo and redo, files dropped from the file
// manager, and the list's accessible name. Every change still goes through
// CommitChange, so it is saved, published, shown, and can be undone.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Dpi.h"
#include "win/ScopedValue.h"
#include "win/WinText.h"
#include "ui/editor/DlgAction.h"
#include "ui/main/ShortcutTarget.h"
#include "ui/main/ZembroDlg.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMs = 60;
constexpr wchar_t kListName[] = L"Jump List tasks";

// The keys each button's tooltip names.
struct CButtonKey {
    int m_nID;
    const wchar_t* m_pszKey;
};
constexpr CButtonKey kButtonKeys[] = {
    {IDC_ADD_NEW, L"Insert"},  {IDC_MOVE_UP, L"Ctrl+Up"}, {IDC_MOVE_DOWN, L"Ctrl+Down"},
    {IDC_EDIT, L"F2"},         {IDC_DELETE, L"Del"},
};

bool EndsWithNoCase(const std::wstring& str, const wchar_t* pszEnd) {
    const size_t cch = wcslen(pszEnd);
    return str.size() >= cch && ::CompareStringOrdinal(str.c_str() + str.size() - cch, static_cast<int>(cch), pszEnd,
                                                        static_cast<int>(cch), TRUE) == CSTR_EQUAL;
}

// The last part of a path; a drive's root ("C:\") is its own name.
std::wstring LastPart(const std::wstring& strPath) {
    std::wstring str = strPath;
    while (str.size() > 3 && str.back() == L'\\') str.pop_back();
    const size_t nSlash = str.find_last_of(L'\\');
    const std::wstring strName = nSlash == std::wstring::npos ? str : str.substr(nSlash + 1);
    return strName.empty() ? str : strName;
}

std::wstring WithoutExtension(const std::wstring& strName) {
    const size_t nDot = strName.find_last_of(L'.');
    return nDot == std::wstring::npos || nDot == 0 ? strName : strName.substr(0, nDot);
}

// What Windows Installer says of an advertised shortcut: whether it is one,
// and its component's installed path. msi.dll is loaded from the system folder
// only when a shortcut is dropped, so a start never waits for it.
void ReadInstallerFacts(CShortcutFacts& facts) {
    using PfnGetShortcutTarget = UINT(WINAPI*)(LPCWSTR, LPWSTR, LPWSTR, LPWSTR);
    using PfnGetComponentPath = int(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR, LPDWORD);
    constexpr int kInstallStateMoreData = -3, kInstallStateLocal = 3, kInstallStateSource = 4;
    const HMODULE hMsi = ::LoadLibraryExW(L"msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!hMsi) return;
    const auto pfnTarget = reinterpret_cast<PfnGetShortcutTarget>(
        reinterpret_cast<void*>(::GetProcAddress(hMsi, "MsiGetShortcutTargetW")));
    const auto pfnPath = reinterpret_cast<PfnGetComponentPath>(
        reinterpret_cast<void*>(::GetProcAddress(hMsi, "MsiGetComponentPathW")));
    // A product code and a component code are GUIDs in braces; a feature id is
    // at most 38 characters.
    wchar_t szProduct[39] = {}, szFeature[39] = {}, szComponent[39] = {};
    if (pfnTarget && pfnPath &&
        pfnTarget(facts.m_strLinkPath.c_str(), szProduct, szFeature, szComponent) == ERROR_SUCCESS &&
        szProduct[0] && szComponent[0]) {
        facts.m_bAdvertised = true;
        std::wstring path(MAX_PATH, L'\0');
        DWORD cch = static_cast<DWORD>(path.size());
        int state = pfnPath(szProduct, szComponent, path.data(), &cch);
        if (state == kInstallStateMoreData) {
            path.assign(++cch, L'\0');
            state = pfnPath(szProduct, szComponent, path.data(), &cch);
        }
        if (state == kInstallStateLocal || state == kInstallStateSource)
            facts.m_strComponentPath = path.substr(0, wcsnlen(path.c_str(), path.size()));
    }
    ::FreeLibrary(hMsi);
}

std::wstring InstallerFolder() {
    wchar_t szWindows[MAX_PATH] = {};
    const UINT cch = ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    return cch > 0 && cch < MAX_PATH ? std::wstring(szWindows, cch) + L"\\Installer" : std::wstring();
}

// The task a shortcut stands for, titled with the shortcut's name: what it
// points at (ShortcutTarget.h), with its arguments, description and icon; or
// the shortcut itself, with its description and icon. None when it cannot be read.
std::optional<CJumpListAction> TaskFromShortcut(const std::wstring& strPath) {
    ComPtr<IShellLinkW> pLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pLink))))
        return std::nullopt;
    ComPtr<IPersistFile> pFile;
    if (FAILED(pLink.As(&pFile)) || FAILED(pFile->Load(strPath.c_str(), STGM_READ))) return std::nullopt;

    std::vector<wchar_t> buffer(32768);
    const auto text = [&buffer](HRESULT hr) {
        // Each buffer starts empty: a link to no file leaves GetPath's so (S_FALSE).
        return SUCCEEDED(hr) ? as_u16(std::wstring(buffer.data())) : std::u16string();
    };
    CShortcutFacts facts;
    facts.m_strLinkPath = strPath;
    facts.m_strInstallerFolder = InstallerFolder();
    buffer[0] = L'\0';
    facts.m_strTargetPath = as_wcstr(text(pLink->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, 0)));
    ReadInstallerFacts(facts);
    const CShortcutTarget target = ShortcutTarget(facts);

    CJumpListAction task;
    task.m_strPath = as_u16(target.m_strPath);
    buffer[0] = L'\0';
    if (!target.m_bThroughShortcut)
        task.m_strArguments = text(pLink->GetArguments(buffer.data(), static_cast<int>(buffer.size())));
    buffer[0] = L'\0';
    task.m_strDescription = text(pLink->GetDescription(buffer.data(), static_cast<int>(buffer.size())));
    buffer[0] = L'\0';
    int nIcon = 0;
    task.m_strIconPath = text(pLink->GetIconLocation(buffer.data(), static_cast<int>(buffer.size()), &nIcon));
    task.m_nIconIndex = task.m_strIconPath.empty() ? 0 : nIcon;
    task.m_strTitle = as_u16(WithoutExtension(LastPart(strPath)));
    return task;
}

// The task a dropped path stands for; none for what is neither a file nor a
// folder (gone meanwhile, or a shortcut that cannot be read).
std::optional<CJumpListAction> TaskFromDroppedPath(const std::wstring& strPath) {
    const DWORD dwAttributes = ::GetFileAttributesW(strPath.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    CJumpListAction task;
    task.m_strPath = as_u16(strPath);
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        task.m_strTitle = as_u16(LastPart(strPath));
        return task;
    }
    if (EndsWithNoCase(strPath, L".lnk")) return TaskFromShortcut(strPath);
    task.m_strTitle = as_u16(WithoutExtension(LastPart(strPath)));
    if (EndsWithNoCase(strPath, L".exe")) task.m_strIconPath = task.m_strPath;
    return task;
}

std::vector<std::wstring> DroppedPaths(HDROP hDrop) {
    std::vector<std::wstring> arrPaths;
    const UINT nFiles = ::DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nFiles; ++i) {
        const UINT cch = ::DragQueryFileW(hDrop, i, nullptr, 0);
        if (cch == 0) continue;
        std::wstring strPath(cch + 1, L'\0');
        strPath.resize(::DragQueryFileW(hDrop, i, strPath.data(), cch + 1));
        arrPaths.push_back(std::move(strPath));
    }
    return arrPaths;
}

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

struct CListKey {
    UINT m_nVirtualKey;
    bool m_bCtrl;
    void (CZembroDlg::*m_pfnCommand)();
};

}  // namespace

void CZembroDlg::InitEditing() {
    // The keys are taken before the list view sees them: Ctrl+Up would
    // otherwise also move its focus away from the moved row.
    // Raw subclassing: comctl32's SetWindowSubclass keeps its data in a window
    // property, which under Wine costs a server round trip on every message
    // the list view gets (0.7 ms a row when the rows are rebuilt).
    s_pfnListViewProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_listTasks, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSubclassProc)));

    // Screen readers name a control after the label before it in tab order,
    // which may be hidden; some read the control's own text, which a list view
    // never draws. Neither changes what the user sees.
    const HWND hLabel = ::CreateWindowExW(0, L"STATIC", kListName, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                          m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TASK_LIST_LABEL)),
                                          AfxGetResourceHandle(), nullptr);
    if (hLabel) ::SetWindowPos(hLabel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowTextW(m_listTasks, kListName);

    // Files dragged from the file manager arrive as WM_DROPFILES.
    ::DragAcceptFiles(m_hWnd, TRUE);
    AllowMessagesFromLowerIntegrity();
}

void CZembroDlg::AllowMessagesFromLowerIntegrity() {
    // Run elevated, the window gets no message from Explorer or another program
    // at a lower integrity level unless it lets it through: a drop is
    // WM_DROPFILES, with WM_COPYGLOBALDATA for its data, and another Zembro
    // hands its command line over as WM_COPYDATA. ChangeWindowMessageFilterEx
    // is Windows 7's; without it (Vista) the drop stays blocked.
    using PfnChangeWindowMessageFilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    const auto pfnAllow = hUser ? reinterpret_cast<PfnChangeWindowMessageFilterEx>(reinterpret_cast<void*>(
                                      ::GetProcAddress(hUser, "ChangeWindowMessageFilterEx")))
                                : nullptr;
    if (!pfnAllow) return;
    constexpr DWORD kMsgFltAllow = 1;  // MSGFLT_ALLOW
    constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, in no header
    for (const UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
        pfnAllow(m_hWnd, message, kMsgFltAllow, nullptr);
}

void CZembroDlg::CreateButtonTips() {
    // Owned by this window, so it goes with it.
    m_hToolTips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                    AfxGetResourceHandle(), nullptr);
    for (const CButtonKey& button : kButtonKeys) {
        const HWND hButton = GetDlgItem(button.m_nID);
        if (!m_hToolTips || !hButton) continue;
        wchar_t szCaption[128] = {};
        ::GetWindowTextW(hButton, szCaption, 128);
        std::wstring strTip = std::wstring(szCaption) + L" (" + button.m_pszKey + L")";
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(hButton);
        tool.lpszText = strTip.data();  // copied by the tooltip control
        ::SendMessageW(m_hToolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

WNDPROC CZembroDlg::s_pfnListViewProc = nullptr;

LRESULT CALLBACK CZembroDlg::ListSubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        // Through the dialog's own dispatch, which keeps exceptions in.
        if (::SendMessageW(::GetParent(hWnd), WM_ZEMBRO_LIST_KEY, wParam, 0)) return 0;
        break;
    case WM_CHAR:
        // Ctrl+Z, Ctrl+Y, Ctrl+E and Ctrl+I also arrive as control characters:
        // not a search for a row.
        if (wParam == 0x1A || wParam == 0x19 || wParam == 0x05 || (wParam == 0x09 && ::GetKeyState(VK_CONTROL) < 0))
            return 0;
        break;
    default:
        break;
    }
    return ::CallWindowProcW(s_pfnListViewProc, hWnd, message, wParam, lParam);
}

LRESULT CZembroDlg::OnListKey(WPARAM wParam, LPARAM) {
    // Each key runs its button's or menu item's own handler. More keys are
    // rows here, nothing else.
    static const CListKey kKeys[] = {
        {VK_DELETE, false, &CZembroDlg::OnDeleteTask}, {VK_F2, false, &CZembroDlg::OnEditTask},
        {VK_INSERT, false, &CZembroDlg::OnAddNewTask}, {VK_UP, true, &CZembroDlg::OnMoveUp},
        {VK_DOWN, true, &CZembroDlg::OnMoveDown},      {'Z', true, &CZembroDlg::OnUndo},
        {'Y', true, &CZembroDlg::OnRedo},              {'E', true, &CZembroDlg::OnExportList},
        {'I', true, &CZembroDlg::OnImportList},
    };
    const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    for (const CListKey& key : kKeys) {
        if (key.m_nVirtualKey != wParam || key.m_bCtrl != bCtrl) continue;
        (this->*key.m_pfnCommand)();
        return TRUE;
    }
    return FALSE;
}

void CZembroDlg::OnUndo() { ReplayHistory(true); }

void CZembroDlg::OnRedo() { ReplayHistory(false); }

void CZembroDlg::ReplayHistory(bool bUndo) {
    if (!(bUndo ? m_history.CanUndo() : m_history.CanRedo())) return;
    const CTaskList target = m_history.Target(bUndo);
    CTaskList list = target;
    {
        const CScopedValue<bool> replaying(m_bReplayingHistory, true);
        CommitChange(list);
    }
    // A step that did not reach Data.dat stays where it was, to be tried again.
    if (m_arrTasks == target) m_history.Step(bUndo);
}

LRESULT CZembroDlg::OnListBeginDrag(NMHDR* pNMHDR) {
    const int nFrom = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem;
    if (nFrom < 0 || nFrom >= m_arrTasks.GetSize()) return 0;
    const int nTo = TrackRowDrag(nFrom);
    if (nTo < 0 || nTo == nFrom || nTo >= m_arrTasks.GetSize()) return 0;
    const CJumpListAction action = m_arrTasks.GetAt(nFrom);
    m_arrTasks.RemoveAt(nFrom);
    m_arrTasks.InsertAt(nTo, action);
    CommitChange(m_arrTasks);
    SelectRowAfterChange(nTo);
    return 0;
}

void CZembroDlg::ShowInsertMark(int nFrom, int nTarget) {
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
    ::SendMessageW(m_listTasks, LVM_SETINSERTMARKCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_WINDOWTEXT)));
    ::SendMessageW(m_listTasks, LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    if (mark.iItem == m_nDrawnMarkRow && (mark.iItem < 0 || m_bDrawnMarkAfter == (mark.dwFlags != 0))) return;
    // Only where the old line was and where the new one goes, across the two
    // rows each touches, is drawn again: erasing the whole list at each move
    // flickers. Erased too: right of the columns the list view paints only its
    // background.
    RECT rcOld{};
    if (DragMarkRect(m_nDrawnMarkRow, m_bDrawnMarkAfter, rcOld)) ::InvalidateRect(m_listTasks, &rcOld, TRUE);
    m_nDrawnMarkRow = mark.iItem;
    m_bDrawnMarkAfter = mark.dwFlags != 0;
    RECT rcNew{};
    if (DragMarkRect(m_nDrawnMarkRow, m_bDrawnMarkAfter, rcNew)) ::InvalidateRect(m_listTasks, &rcNew, TRUE);
}

bool CZembroDlg::DragMarkRect(int nRow, bool bAfter, RECT& rcLine) const {
    if (nRow < 0) return false;
    RECT rcRow{};
    rcRow.left = LVIR_BOUNDS;
    if (!::SendMessageW(m_listTasks, LVM_GETITEMRECT, nRow, reinterpret_cast<LPARAM>(&rcRow))) return false;
    RECT rcClient{};
    ::GetClientRect(m_listTasks, &rcClient);
    const int cyLine = ScaleToDpi(kMarkThickness, GetDpi());
    const int y = bAfter ? rcRow.bottom : rcRow.top;
    rcLine = {rcClient.left, y - cyLine / 2, rcClient.right, y - cyLine / 2 + cyLine};
    return true;
}

void CZembroDlg::PaintDragMark(const NMLVCUSTOMDRAW* pDraw) {
    RECT rcLine{};
    if (DragMarkRect(m_nDrawnMarkRow, m_bDrawnMarkAfter, rcLine))
        ::FillRect(pDraw->nmcd.hdc, &rcLine, ::GetSysColorBrush(COLOR_WINDOWTEXT));
}

int CZembroDlg::TrackRowDrag(int nFrom) {
    const HWND hList = m_listTasks;
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

LRESULT CZembroDlg::OnDropFiles(WPARAM wParam, LPARAM) {
    const auto hDrop = reinterpret_cast<HDROP>(wParam);
    const std::vector<std::wstring> arrPaths = DroppedPaths(hDrop);
    ::DragFinish(hDrop);

    std::vector<CJumpListAction> arrNew;
    for (const std::wstring& strPath : arrPaths)
        if (std::optional<CJumpListAction> task = TaskFromDroppedPath(strPath)) arrNew.push_back(std::move(*task));
    if (arrNew.empty()) return 0;

    if (arrPaths.size() == 1) {
        // One file: the user sees the task before it is added, as with Add New.
        ::SetForegroundWindow(m_hWnd);
        CDlgAction dlg;
        dlg.m_action = arrNew.front();
        if (dlg.DoModal() != IDOK) return 0;
        arrNew.front() = dlg.m_action;
    }
    for (const CJumpListAction& task : arrNew) m_arrTasks.Add(task);
    CommitChange(m_arrTasks);
    return 0;
}
