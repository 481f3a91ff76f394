#include "ui/main/ZembroDlg.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/DefaultTaskList.h"
#include "core/JumpListPublisher.h"
#include "core/Platform.h"
#include "core/ProductLinks.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "framework/WinText.h"
#include "ui/ProfileNames.h"
#include "ui/main/AboutDlg.h"
#include "ui/main/JumpListEnvironment.h"
#include "ui/main/PlacementDpi.h"
#include "ui/main/WebLinks.h"

namespace {

// No LVS_EX_FLATSB: common controls 6 ignores it, and nothing else wants it.
constexpr DWORD kListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT;  // 0x23
constexpr wchar_t kMissingTargetTip[] = L"The program or document was not found.";


struct CColumn {
    const wchar_t* m_pszCaption;
    int m_nDefaultWidth;
};
constexpr CColumn kColumns[] = {
    {L"Sr", 50}, {L"Title", 110}, {L"Description", 110}, {L"Application Path", 100}, {L"Arguments", 80},
};

constexpr wchar_t kLocationEntry[] = L"Location";
// The DPI the placement's and the columns' pixels were taken at (PlacementDpi.h).
constexpr wchar_t kLocationDpiEntry[] = L"LocationDpi";
constexpr wchar_t kColumnDpiEntry[] = L"ColumnDpi";
constexpr UINT kPlacementBytes = 44;
static_assert(sizeof(WINDOWPLACEMENT) == kPlacementBytes, "the stored placement is the structure's bytes");


std::wstring ColumnEntry(int nColumn) { return L"Column" + std::to_wstring(nColumn); }


}  // namespace

std::wstring CZembroDlg::FileNameOf(const std::u16string& strPath) {
    const size_t nSlash = strPath.find_last_of(u'\\');
    return as_wcstr(nSlash == std::u16string::npos ? strPath : strPath.substr(nSlash + 1));
}

CZembroDlg::CZembroDlg(CDialog* pParent)
    : CDialog(IDD, pParent),
      m_store(GetDataFilePath()),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_ZEMBRO))) {
    // Its loop also waits for the data folder's change notification.
    UseOwnModalLoop();
}

CZembroDlg::~CZembroDlg() = default;

void CZembroDlg::DoDataExchange(CDataExchange& dx) { DDX_Control(dx, IDC_TASK_LIST, m_listTasks); }

std::span<const CMessageMapEntry> CZembroDlg::GetMessageMap() const {
    static const CMessageMapEntry map[] = {
        {WM_SYSCOMMAND, 0, 0, &CZembroDlg::OnSysCommand},
        {WM_PAINT, 0, 0, &CZembroDlg::OnPaint},
        {WM_QUERYDRAGICON, 0, 0, &CZembroDlg::OnQueryDragIcon},
        {WM_GETMINMAXINFO, 0, 0, &CZembroDlg::OnGetMinMaxInfo},
        {WM_HELP, 0, 0, &CZembroDlg::OnHelpInfo},
        {WM_COMMAND, IDC_ADD_NEW, BN_CLICKED, &CZembroDlg::OnAddNewTask},
        {WM_COMMAND, IDC_RESET, BN_CLICKED, &CZembroDlg::OnResetList},
        {WM_NOTIFY, IDC_TASK_LIST, NM_DBLCLK, &CZembroDlg::OnListDoubleClick},
        {WM_NOTIFY, IDC_TASK_LIST, NM_CUSTOMDRAW, &CZembroDlg::OnListCustomDraw},
        {WM_NOTIFY, IDC_TASK_LIST, LVN_GETINFOTIPW, &CZembroDlg::OnListGetInfoTip},
        {WM_COMMAND, IDC_EDIT, BN_CLICKED, &CZembroDlg::OnEditTask},
        {WM_COMMAND, IDC_MOVE_UP, BN_CLICKED, &CZembroDlg::OnMoveUp},
        {WM_COMMAND, IDC_MOVE_DOWN, BN_CLICKED, &CZembroDlg::OnMoveDown},
        {WM_COMMAND, IDC_DELETE, BN_CLICKED, &CZembroDlg::OnDeleteTask},
        {WM_COMMAND, IDC_ADD_SEPARATOR, BN_CLICKED, &CZembroDlg::OnAddSeparator},
        {WM_COMMAND, IDM_ADD_NEW, 0, &CZembroDlg::OnAddNewTask},
        {WM_COMMAND, IDM_EDIT_SELECTED, 0, &CZembroDlg::OnEditTask},
        {WM_COMMAND, IDM_DELETE_SELECTED, 0, &CZembroDlg::OnDeleteTask},
        {WM_COMMAND, IDM_EXIT, 0, &CZembroDlg::OnExit},
        {WM_CONTEXTMENU, 0, 0, &CZembroDlg::OnContextMenu},
        {WM_COMMAND, IDM_ADD_SEPARATOR, 0, &CZembroDlg::OnAddSeparator},
        {WM_COMMAND, IDC_SHARE_ON_FACEBOOK, BN_CLICKED, &CZembroDlg::OnShareOnFacebook},
        {WM_DESTROY, 0, 0, &CZembroDlg::OnDestroy},
        {WM_ENDSESSION, 0, 0, &CZembroDlg::OnEndSession},
        {WM_COMMAND, IDM_SETTINGS, 0, &CZembroDlg::OnSettings},
        {WM_COMMAND, IDC_MENU, BN_CLICKED, &CZembroDlg::OnMenuButton},
        {WM_COMMAND, IDM_LOCATE_DATA_FILE, 0, &CZembroDlg::OnLocateDataFile},
        {WM_COMMAND, IDM_EXPORT_LIST, 0, &CZembroDlg::OnExportList},
        {WM_COMMAND, IDM_IMPORT_LIST, 0, &CZembroDlg::OnImportList},
        {WM_SYSCOLORCHANGE, 0, 0, &CZembroDlg::OnSysColorChange},
        {WM_COMMAND, IDM_UNDO, 0, &CZembroDlg::OnUndo},
        {WM_COMMAND, IDM_REDO, 0, &CZembroDlg::OnRedo},
        {WM_NOTIFY, IDC_TASK_LIST, LVN_BEGINDRAG, &CZembroDlg::OnListBeginDrag},
        {WM_DROPFILES, 0, 0, &CZembroDlg::OnDropFiles},
        {WM_ZEMBRO_LIST_KEY, 0, 0, &CZembroDlg::OnListKey},
        {WM_ZEMBRO_SHOWN, 0, 0, &CZembroDlg::OnShown},
        {WM_COPYDATA, 0, 0, &CZembroDlg::OnCopyData},
    };
    return map;
}

BOOL CZembroDlg::OnInitDialog() {
    ReadRememberFlags();
    CDialog::OnInitDialog();

    // The title bar gets the picture drawn for the small size, not the big one shrunk.
    SetSmallIcon(IDI_ZEMBRO);

    ::GetWindowRect(m_hWnd, &m_rcInitial);

    const auto dwExStyle = static_cast<DWORD>(::SendMessageW(m_listTasks, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    // Infotips tell why a row is grey; they change nothing that is drawn.
    ::SendMessageW(m_listTasks, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwExStyle | kListExtendedStyle | LVS_EX_INFOTIP);

    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        // A stored width is the user's own, taken at the DPI stored beside it;
        // the defaults are at 96 DPI. Both at the window's DPI.
        column.cx = GetSavedColumnWidth(i, ScaleToDpi(kColumns[i].m_nDefaultWidth, GetDpi()));
        column.pszText = const_cast<wchar_t*>(kColumns[i].m_pszCaption);
        column.iSubItem = i;
        ::SendMessageW(m_listTasks, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }

    ::SetWindowTextW(m_hWnd, AfxGetAppTitle().c_str());
    InitEditing();

    m_bSaveFailureReported = false;
    m_rowImages.SetSize(GetSystemMetricsAtDpi(SM_CXSMICON, GetDpi()));
    // The rows show first; their icons, the slowest part of a start, follow.
    m_bRowImagesDeferred = true;
    if (!RefreshTaskList()) return TRUE;

    const UINT nColumnsDpi = GetDpi();
    RestoreWindowPlacement();
    // On a monitor of another DPI the columns were scaled with the window; the
    // stored widths at that DPI replace them, without the rounding of a second step.
    if (GetDpi() != nColumnsDpi) RestoreColumnWidths();
    // What the first frame does not need waits until the window shows; the
    // message comes before any input.
    ::PostMessageW(m_hWnd, WM_ZEMBRO_SHOWN, 0, 0);
    return TRUE;
}

LRESULT CZembroDlg::OnShown(WPARAM, LPARAM) {
    // The rows are drawn before their icons are made: a posted message comes
    // before the first paint.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_bRowImagesDeferred = false;
    RebuildRowImages();
    // Only the task switcher shows the big icon: at the large size of the
    // window's DPI, again after each change.
    SetBigIcon(IDI_ZEMBRO);
    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        const wchar_t* pszAbout = nullptr;
        // Length 0 gives a pointer into the resource itself, without a terminator.
        const int cch = ::LoadStringW(AfxGetResourceHandle(), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&pszAbout), 0);
        if (cch > 0) {
            const std::wstring strAbout(pszAbout, static_cast<size_t>(cch));
            ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout.c_str());
        }
    }
    CreateButtonTips();
    // Saves that were killed left their temporary files behind.
    RemoveLeftoverSaveFiles();
    WatchDataFolder();
    return 0;
}

bool CZembroDlg::RefreshTaskList() {
    CWaitCursor waitCursor;
    CDataFileStatus load = m_store.Load(m_arrTasks);
    // A file that is there but was not read must neither be replaced by the
    // defaults nor saved over: the user retries or leaves.
    while (load.LeftUnread()) {
        if (MessageBox(UnreadDataFileText(load).c_str(), nullptr, MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) {
            EndWithoutWriting();
            return false;
        }
        load = m_store.Load(m_arrTasks);
    }
    if (load.m_eResult == CDataFileStatus::damaged) {
        if (!ReportDamagedDataFile(load)) {
            EndWithoutWriting();
            return false;
        }
    } else if (load.Succeeded()) {
        m_bDamageReported = false;
    }

    if (m_arrTasks.GetSize() == 0) {
        FillDefaultTaskList(m_arrTasks);
        const CDataFileStatus seeded = m_store.Save(m_arrTasks);
        if (!seeded.Succeeded()) ReportSaveFailure(seeded);
        PublishAndReportSave(m_arrTasks);
    }

    UpdateRows();
    m_arrStored = m_arrTasks;
    return true;
}

void CZembroDlg::UpdateRows() {
    const int nRows = m_arrTasks.GetSize();
    // The rows show m_arrStored, the list of the last refresh. Rows that still
    // show their entry are kept, so that only what changed is drawn again:
    // drawing every row is most of what a change at a few entries costs.
    int nKept = static_cast<int>(::SendMessageW(m_listTasks, LVM_GETITEMCOUNT, 0, 0));
    const bool bRebuild = nKept == 0 || nKept != m_arrStored.GetSize();
    if (bRebuild) {
        // One repaint for the whole rebuild instead of one per row.
        ::SendMessageW(m_listTasks, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(m_listTasks, LVM_DELETEALLITEMS, 0, 0);
        nKept = 0;
    }
    // As after a rebuild, no row stays selected: each command selects its own.
    // Before rows go, so that the focus does not move to a neighbour.
    LVITEMW unselected{};
    unselected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (nKept > 0)
        ::SendMessageW(m_listTasks, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&unselected));
    for (int i = nKept - 1; i >= nRows; --i) ::SendMessageW(m_listTasks, LVM_DELETEITEM, i, 0);
    nKept = std::min(nKept, nRows);

    const std::vector<CTargetState> arrShownTargets = std::move(m_arrTargets);
    m_arrTargets.assign(static_cast<size_t>(nRows), CTargetState{});
    m_rowImages.Begin(nRows);
    CTargetProbe probe;
    for (int i = 0; i < nRows; ++i) {
        const CJumpListAction& task = m_arrTasks.GetAt(i);
        CTargetState& target = m_arrTargets[static_cast<size_t>(i)];
        target = probe.Probe(task.m_strPath);
        if (!m_bRowImagesDeferred) SetRowImage(i, task);
        if (i >= nKept) {
            InsertTaskRow(i, task);
            continue;
        }
        // The list view redraws the cells whose text it changes; a new colour
        // or image needs the whole row drawn again.
        if (!(m_arrStored.GetAt(i) == task)) SetTaskRowTexts(i, task);
        if (arrShownTargets[static_cast<size_t>(i)].IsMissing() != target.IsMissing() ||
            (!m_bRowImagesDeferred && m_rowImages.Changed(i)))
            ::SendMessageW(m_listTasks, LVM_REDRAWITEMS, i, i);
    }
    if (!m_bRowImagesDeferred && (bRebuild || m_rowImages.AnyChanged())) InstallRowImages();
    if (bRebuild) {
        ::SendMessageW(m_listTasks, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_listTasks, nullptr, TRUE);
    }
}

void CZembroDlg::EndWithoutWriting() {
    m_bEndingWithoutWriting = true;
    EndDialog(IDCANCEL);
}

void CZembroDlg::InstallRowImages() {
    // The new list goes in before the old one goes, so the view never holds a
    // destroyed image list.
    UniqueImageList imageList = m_rowImages.CreateImageList();
    ::SendMessageW(m_listTasks, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageList.get()));
    m_imageList = std::move(imageList);
}

void CZembroDlg::SetRowImage(int nRow, const CJumpListAction& task) {
    if (task.m_strPath.empty()) {
        // An empty path always gives the separator icon, a black line: on a
        // high-contrast theme's black window it takes the theme's text colour.
        bool bExtracted = false;
        const HICON hIcon = m_icons.GetIcon(task.m_strPath, task.m_nIconIndex, false, bExtracted);
        m_rowImages.SetSharedIcon(nRow, hIcon, IsHighContrast() ? ::GetSysColor(COLOR_WINDOWTEXT) : CLR_NONE);
        return;
    }
    // Image n belongs to row n. An icon is looked up once for the run, and
    // again only when its file was written since.
    const std::uint64_t nLastWrite = m_arrTargets[static_cast<size_t>(nRow)].m_nLastWrite;
    if (const CRowImages::Image* pImage = m_rowIcons.Find(task.m_strPath, task.m_nIconIndex, nLastWrite)) {
        m_rowImages.SetImage(nRow, *pImage);
        return;
    }
    bool bExtracted = false;
    // At the rows' own size, the small-icon size of the window's DPI.
    CRowImages::Image image =
        m_rowImages.ImageOf(m_icons.GetIcon(task.m_strPath, task.m_nIconIndex, m_rowImages.GetSize(), bExtracted));
    m_rowImages.SetImage(nRow, image);
    m_rowIcons.Store(task.m_strPath, task.m_nIconIndex, nLastWrite, std::move(image));
}

void CZembroDlg::RebuildRowImages() {
    m_rowImages.SetSize(GetSystemMetricsAtDpi(SM_CXSMICON, GetDpi()));
    m_rowIcons.Clear();  // of another size, or made before the colours changed
    m_rowImages.Begin(m_arrTasks.GetSize());
    for (int i = 0; i < m_arrTasks.GetSize(); ++i) SetRowImage(i, m_arrTasks.GetAt(i));
    InstallRowImages();
    ::InvalidateRect(m_listTasks, nullptr, TRUE);
}

void CZembroDlg::OnDpiChanged(UINT nOldDpi, UINT nNewDpi) {
    const auto scale = [&](int n) { return MulDiv(n, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi)); };
    // The smallest size is the opening size, as it would be at the new DPI.
    m_rcInitial.right = m_rcInitial.left + scale(m_rcInitial.right - m_rcInitial.left);
    m_rcInitial.bottom = m_rcInitial.top + scale(m_rcInitial.bottom - m_rcInitial.top);
    const HWND hHeader = reinterpret_cast<HWND>(::SendMessageW(m_listTasks, LVM_GETHEADER, 0, 0));
    const int nColumns = hHeader ? static_cast<int>(::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < nColumns; ++i) {
        const int cx = static_cast<int>(::SendMessageW(m_listTasks, LVM_GETCOLUMNWIDTH, i, 0));
        ::SendMessageW(m_listTasks, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(scale(cx), 0));
    }
    RebuildRowImages();
}

LRESULT CZembroDlg::OnSysColorChange(WPARAM, LPARAM) {
    // Turning high contrast on or off changes the colours: the separator's image follows.
    RebuildRowImages();
    // The list view learns of it only from its parent.
    ::SendMessageW(m_listTasks, WM_SYSCOLORCHANGE, 0, 0);
    Default();
    return 0;
}

bool CZembroDlg::IsTargetMissing(int nRow) const {
    return nRow >= 0 && static_cast<size_t>(nRow) < m_arrTargets.size() &&
           m_arrTargets[static_cast<size_t>(nRow)].IsMissing();
}

LRESULT CZembroDlg::OnListCustomDraw(NMHDR* pNMHDR) {
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        // The row's colour holds for every cell of it.
        if (IsTargetMissing(static_cast<int>(pDraw->nmcd.dwItemSpec))) pDraw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        return CDRF_DODEFAULT;
    case CDDS_POSTPAINT: PaintDragMark(pDraw); return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

LRESULT CZembroDlg::OnListGetInfoTip(NMHDR* pNMHDR) {
    auto* pTip = reinterpret_cast<NMLVGETINFOTIPW*>(pNMHDR);
    if (IsTargetMissing(pTip->iItem) && pTip->pszText && pTip->cchTextMax > 0)
        lstrcpynW(pTip->pszText, kMissingTargetTip, pTip->cchTextMax);
    return 0;
}

void CZembroDlg::InsertTaskRow(int n, const CJumpListAction& task) {
    m_strRowNumber = std::to_wstring(n + 1);

    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = n;
    item.pszText = m_strRowNumber.data();
    item.iImage = n;
    const int nRow = static_cast<int>(::SendMessageW(m_listTasks, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (nRow >= 0) SetTaskRowTexts(nRow, task);
}

void CZembroDlg::SetTaskRowTexts(int nRow, const CJumpListAction& task) {
    const std::u16string* texts[] = {&task.m_strTitle, &task.m_strDescription, &task.m_strPath, &task.m_strArguments};
    for (int nSubItem = 1; nSubItem <= 4; ++nSubItem) {
        LVITEMW sub{};
        sub.iSubItem = nSubItem;
        sub.pszText = const_cast<wchar_t*>(as_wcstr(*texts[nSubItem - 1]));
        ::SendMessageW(m_listTasks, LVM_SETITEMTEXTW, nRow, reinterpret_cast<LPARAM>(&sub));
    }
}

LRESULT CZembroDlg::OnSysCommand(WPARAM wParam, LPARAM) {
    if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
    return 0;
}

LRESULT CZembroDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return 0;
    }
    PAINTSTRUCT ps{};
    const HDC hdc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(hdc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CZembroDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CZembroDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    pInfo->ptMinTrackSize.x = m_rcInitial.right - m_rcInitial.left;
    pInfo->ptMinTrackSize.y = m_rcInitial.bottom - m_rcInitial.top;
    Default();
    return 0;
}

LRESULT CZembroDlg::OnHelpInfo(WPARAM, LPARAM) {
    OpenWebPage(kProductPage);
    return TRUE;
}

void CZembroDlg::OnShareOnFacebook() { OpenWebPage(GetShareAddress()); }

void CZembroDlg::OnDestroy() {
    UpdateData(TRUE);
    if (m_bEndingWithoutWriting) {
        ::SendMessageW(m_listTasks, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        Default();
        return;
    }
    SaveLayout();
    // A list view without LVS_SHAREIMAGELISTS destroys its image lists with
    // itself; this one belongs to m_imageList.
    if (::IsWindow(m_listTasks)) ::SendMessageW(m_listTasks, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    Default();
}

LRESULT CZembroDlg::OnEndSession(WPARAM wParam, LPARAM) {
    // At sign-out or shutdown the process may end after this message without
    // any WM_DESTROY: what a close would store is stored now.
    if (wParam && !m_bEndingWithoutWriting) {
        UpdateData(TRUE);
        SaveLayout();
    }
    return 0;
}

void CZembroDlg::SaveLayout() {
    if (m_bRememberColumnWidth) SaveColumnWidths();
    if (m_bRememberLocation && !::IsIconic(m_hWnd)) SaveWindowPlacement();
}

void CZembroDlg::ReadRememberFlags() {
    const CWinApp* pApp = AfxGetApp();
    m_bRememberLocation = pApp ? pApp->GetProfileInt(kSettingsSection, kRememberLocationEntry, 1) != 0 : TRUE;
    m_bRememberColumnWidth = pApp ? pApp->GetProfileInt(kSettingsSection, kRememberColumnWidthEntry, 1) != 0 : TRUE;
}

int CZembroDlg::GetSavedColumnWidth(int nColumn, int nDefaultWidth) {
    const CWinApp* pApp = AfxGetApp();
    if (!m_bRememberColumnWidth || !pApp) return nDefaultWidth;
    // -1, never a width: none stored.
    const int nStored = static_cast<int>(pApp->GetProfileInt(kSettingsSection, ColumnEntry(nColumn).c_str(), -1));
    const UINT nStoredDpi = UsableStoredDpi(pApp->GetProfileInt(kSettingsSection, kColumnDpiEntry, 0));
    // A width no screen can show is no width a user chose.
    return ColumnWidthAtDpi(nStored, nStoredDpi, GetDpi(), nDefaultWidth, 4 * ::GetSystemMetrics(SM_CXSCREEN));
}

void CZembroDlg::RestoreColumnWidths() {
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        const int cx = GetSavedColumnWidth(i, ScaleToDpi(kColumns[i].m_nDefaultWidth, GetDpi()));
        ::SendMessageW(m_listTasks, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(cx, 0));
    }
}

void CZembroDlg::WriteColumnWidth(int nColumn, int nWidth) {
    if (CWinApp* pApp = AfxGetApp()) pApp->WriteProfileInt(kSettingsSection, ColumnEntry(nColumn).c_str(), nWidth);
}

void CZembroDlg::SaveColumnWidths() {
    if (!::IsWindow(m_listTasks)) return;
    const HWND hHeader = reinterpret_cast<HWND>(::SendMessageW(m_listTasks, LVM_GETHEADER, 0, 0));
    if (!hHeader) return;
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileInt(kSettingsSection, kColumnDpiEntry, static_cast<int>(GetDpi()));
    for (int i = 0; i < static_cast<int>(::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0)); ++i) {
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        if (::SendMessageW(hHeader, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) WriteColumnWidth(i, item.cxy);
    }
}

void CZembroDlg::RestoreWindowPlacement() {
    CWinApp* pApp = AfxGetApp();
    if (!m_bRememberLocation || !pApp) return;
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
    if (::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST) != hMonitor && ::GetMonitorInfoW(hMonitor, &monitor) &&
        ::GetWindowRect(m_hWnd, &rcWindow)) {
        const RECT rcOnMonitor = CentredIn(rcWindow, monitor.rcWork);
        ::SetWindowPos(m_hWnd, nullptr, rcOnMonitor.left, rcOnMonitor.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Now at that monitor's DPI: the stored pixels at it (the same unless its
    // scaling changed since).
    const UINT nStoredDpi = UsableStoredDpi(pApp->GetProfileInt(kSettingsSection, kLocationDpiEntry, 0));
    placement.rcNormalPosition = NormalRectAtDpi(placement.rcNormalPosition, nStoredDpi, GetDpi());
    ::SetWindowPlacement(m_hWnd, &placement);
}

void CZembroDlg::SaveWindowPlacement() {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return;
    WINDOWPLACEMENT placement{};
    placement.length = kPlacementBytes;
    if (!::GetWindowPlacement(m_hWnd, &placement)) return;
    pApp->WriteProfileBinary(kSettingsSection, kLocationEntry, &placement, kPlacementBytes);
    pApp->WriteProfileInt(kSettingsSection, kLocationDpiEntry, static_cast<int>(GetDpi()));
}

namespace {

// A handed-over command's failures are told by its exit code, not in boxes
// that nobody at the prompt would see.
class CQuietJumpListEnvironment : public CJumpListEnvironment {
public:
    using CJumpListEnvironment::CJumpListEnvironment;
    void ShowError(const std::u16string&) override {}
};

}  // namespace

CPublishResult CZembroDlg::PublishAndReportSave(CTaskList& list) {
    CJumpListEnvironment loud(m_hWnd, as_u16(AfxGetAppTitle()));
    CQuietJumpListEnvironment quiet(m_hWnd, u"");
    const CPublishResult result = PublishJumpList(list, m_bQuiet ? quiet : loud, m_store);
    if (result.SaveFailed()) ReportSaveFailure(*result.m_save);
    return result;
}

CPublishResult CZembroDlg::CommitChange(CTaskList& list) {
    // list may be m_arrTasks, already changed: the stored list is the "before".
    CTaskList arrBefore = m_arrStored;
    m_bSaveFailureReported = false;
    const CPublishResult result = PublishAndReportSave(list);
    // Neither published nor saved: not even a Data.dat that is gone since may
    // leave the change in view.
    if (!result.m_bInitialized) m_arrTasks = m_arrStored;
    const bool bChangedOutside = result.m_save && result.m_save->m_eResult == CDataFileStatus::changedOutside;
    // Undo must never bring back a list over one that another program wrote;
    // a damaged file it wrote is news, even after an earlier one.
    if (bChangedOutside) m_history = CChangeHistory(), m_bDamageReported = false;
    if (!RefreshTaskList()) return result;
    // A change that did not reach Data.dat was dropped by the reload: nothing to undo.
    if (m_bReplayingHistory || bChangedOutside || m_arrTasks == arrBefore) return result;
    m_history.Record(arrBefore, m_arrTasks);
    return result;
}

bool CZembroDlg::FollowOutsideChange() {
    if (!m_store.ChangedOutside()) return false;
    m_history = CChangeHistory();
    m_bDamageReported = false;
    RefreshTaskList();
    return true;
}

void CZembroDlg::WatchDataFolder() {
    const std::u16string& strPath = m_store.GetPath();
    if (strPath.empty()) return;
    const std::u16string strFolder = strPath.substr(0, strPath.find_last_of(u'\\'));
    // Names for a replace or a delete, size and last write for a rewrite in place.
    m_folderWatch.reset(::FindFirstChangeNotificationW(
        as_wcstr(strFolder), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
    if (m_folderWatch) AddWaitHandle(m_folderWatch.get());
}

void CZembroDlg::OnWaitHandleSignalled(HANDLE hHandle) {
    if (hHandle != m_folderWatch.get()) return;
    // Re-armed first, so that a change made while this one is read is not missed.
    if (!::FindNextChangeNotification(hHandle)) {
        RemoveWaitHandle(hHandle);
        m_folderWatch.reset();
        return;
    }
    // This window's own saves and the other files of the folder change
    // nothing that Data.dat was known to hold.
    FollowOutsideChange();
}

void CZembroDlg::ReportSaveFailure(const CDataFileStatus& status) {
    if (m_bSaveFailureReported || m_bQuiet) return;
    m_bSaveFailureReported = true;
    std::wstring strText;
    if (status.m_eResult == CDataFileStatus::changedOutside) {
        strText = FileNameOf(status.m_strPath) +
                  L" was changed by another program. The list now shows what it holds; your change was not made.";
    } else if (status.m_eResult == CDataFileStatus::overLimits) {
        strText = L"The change was not made: the list would ";
        strText += status.m_nAnnounced > kMaxTaskListEntries
                       ? L"have " + std::to_wstring(status.m_nAnnounced) + L" entries, and the limit is " +
                             std::to_wstring(kMaxTaskListEntries) + L"."
                       : L"take " + std::to_wstring(status.m_cbFile) + L" bytes, and the limit is " +
                             std::to_wstring(kMaxTaskListFileBytes) + L" bytes.";
    } else if (status.m_eResult == CDataFileStatus::saveRefused) {
        strText = L"The Jump List was not saved to \"" + std::wstring(as_wcstr(status.m_strPath)) +
                  L"\": the list that file holds has not been read, and saving would replace it.";
    } else if (status.m_strPath.empty()) {
        strText = L"The Jump List could not be saved: the folder for local application data could not be found.";
    } else {
        strText = L"The Jump List could not be saved to \"" + std::wstring(as_wcstr(status.m_strPath)) + L"\".";
        if (!status.m_error.m_strMessage.empty())
            strText += L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
    }
    MessageBox(strText.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

bool CZembroDlg::ReportDamagedDataFile(const CDataFileStatus& status) {
    if (m_bDamageReported) return true;
    m_bDamageReported = true;
    std::wstring strText = FileNameOf(status.m_strPath) + L" is damaged: ";
    if (status.m_nAnnounced > status.m_nRead)
        strText += std::to_wstring(status.m_nRead) + L" of " + std::to_wstring(status.m_nAnnounced) +
                   L" entries could be read.";
    else if (status.m_nRead > 0)
        strText += L"bytes follow its " + std::to_wstring(status.m_nRead) + L" entries, which could be read.";
    else
        strText += L"no entry could be read.";
    if (!status.m_strCopyPath.empty()) {
        strText += L" A copy of the damaged file was kept as " + std::wstring(as_wcstr(status.m_strCopyPath)) + L".";
        MessageBox(strText.c_str(), nullptr, MB_OK | MB_ICONWARNING);
        return true;
    }
    strText += L" No copy of the damaged file could be kept";
    strText += status.m_error.m_strMessage.empty() ? L"." : L": " + std::wstring(as_wcstr(status.m_error.m_strMessage));
    strText += L"\n\nReplace the damaged file with the entries that could be read when the list is next saved? "
               L"Choose No to close without changing it.";
    if (MessageBox(strText.c_str(), nullptr, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return false;
    m_store.AllowSavingOverDataFile();
    return true;
}

std::wstring CZembroDlg::UnreadDataFileText(const CDataFileStatus& status) {
    const std::wstring strPath = as_wcstr(status.m_strPath);
    std::wstring strText;
    if (status.m_eResult == CDataFileStatus::tooLarge) {
        strText = L"The Jump List in \"" + strPath + L"\" is too large to be read: ";
        if (status.m_cbFile > kMaxTaskListFileBytes)
            strText += L"the file holds " + std::to_wstring(status.m_cbFile) + L" bytes, and the limit is " +
                       std::to_wstring(kMaxTaskListFileBytes) + L" bytes.";
        else
            strText += L"it announces " + std::to_wstring(status.m_nAnnounced) + L" entries, and the limit is " +
                       std::to_wstring(kMaxTaskListEntries) + L".";
    } else {
        strText = L"The Jump List could not be read from \"" + strPath + L"\".";
        if (!status.m_error.m_strMessage.empty())
            strText += L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
    }
    strText += L"\n\nNothing is saved over the file until it has been read. Choose Retry to read it again, or "
               L"Cancel to close without changing anything.";
    return strText;
}
