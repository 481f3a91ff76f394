#include "ui/main/ZembroDlg.h"

#include <windowsx.h>
#include <commctrl.h>

#include <string>

#include "core/DefaultTaskList.h"
#include "core/JumpListPublisher.h"
#include "core/ProductLinks.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/JumpListEnvironment.h"
#include "ui/main/AboutDlg.h"
#include "ui/main/ListKeys.h"
#include "ui/main/StoredPlacement.h"
#include "ui/main/WebLinks.h"
#include "win/WinText.h"

CZembroDlg::CZembroDlg(CDialog* pParent)
    : CDialog(IDD, pParent),
      m_store(GetDataFilePath()),
      m_messages(*this),
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
        {WM_COMMAND, IDM_RUN_TASK, 0, &CZembroDlg::OnRunTask},
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
        {WM_ZEMBRO_SHOWN, 0, 0, &CZembroDlg::OnShown},
        {WM_COPYDATA, 0, 0, &CZembroDlg::OnCopyData},
    };
    return map;
}

BOOL CZembroDlg::OnInitDialog() {
    ReadRememberFlags(m_bRememberLocation, m_bRememberColumnWidth);
    CDialog::OnInitDialog();

    // The title bar gets the picture drawn for the small size, not the big one shrunk.
    SetSmallIcon(IDI_ZEMBRO);

    ::GetWindowRect(m_hWnd, &m_rcInitial);

    // A stored width is the user's own, taken at the DPI stored beside it;
    // the defaults are at 96 DPI. Both at the window's DPI. The rows show
    // first; their icons, the slowest part of a start, follow.
    const auto savedWidth = [this](int nColumn, int nDefault) { return GetSavedColumnWidth(nColumn, nDefault); };
    m_rows.Create(m_listTasks, GetDpi(), savedWidth);

    ::SetWindowTextW(m_hWnd, AfxGetAppTitle().c_str());
    InitEditing();

    m_messages.BeginCommand();
    if (!RefreshTaskList()) return TRUE;

    const UINT nColumnsDpi = GetDpi();
    if (m_bRememberLocation) RestoreStoredPlacement(m_hWnd, [this] { return GetDpi(); });
    // On a monitor of another DPI the columns were scaled with the window; the
    // stored widths at that DPI replace them, without the rounding of a second step.
    if (GetDpi() != nColumnsDpi)
        m_rows.SetColumnWidths(GetDpi(), savedWidth);
    // What the first frame does not need waits until the window shows; the
    // message comes before any input.
    ::PostMessageW(m_hWnd, WM_ZEMBRO_SHOWN, 0, 0);
    return TRUE;
}

LRESULT CZembroDlg::OnShown(WPARAM, LPARAM) {
    // The rows are drawn before their icons are made: a posted message comes
    // before the first paint.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_rows.RebuildImages(m_arrTasks, GetDpi());
    // Only the task switcher shows the big icon: at the large size of the
    // window's DPI, again after each change.
    SetBigIcon(IDI_ZEMBRO);
    const std::wstring strAbout = AfxLoadText(IDS_ABOUTBOX);
    if (const HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE); hSysMenu && !strAbout.empty()) {
        ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout.c_str());
    }
    m_hToolTips = CreateButtonTips(m_hWnd);
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
    while (load.LeftUnread() && m_messages.AskRetryUnread(load)) load = m_store.Load(m_arrTasks);
    if (load.LeftUnread() || (load.m_eResult == CDataFileStatus::damaged && !m_messages.Damaged(load, m_store))) {
        EndWithoutWriting();
        return false;
    }
    if (load.Succeeded()) m_messages.ForgetDamage();

    if (m_arrTasks.GetSize() == 0) {
        FillDefaultTaskList(m_arrTasks);
        const CDataFileStatus seeded = m_store.Save(m_arrTasks);
        if (!seeded.Succeeded()) m_messages.SaveFailed(seeded);
        PublishAndReportSave(m_arrTasks);
    }

    m_rows.Update(m_arrStored, m_arrTasks);
    m_arrStored = m_arrTasks;
    return true;
}

void CZembroDlg::EndWithoutWriting() {
    m_bEndingWithoutWriting = true;
    EndDialog(IDCANCEL);
}

void CZembroDlg::OnDpiChanged(UINT nOldDpi, UINT nNewDpi) {
    const auto scale = [&](int n) { return MulDiv(n, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi)); };
    // The smallest size is the opening size, as it would be at the new DPI.
    m_rcInitial.right = m_rcInitial.left + scale(m_rcInitial.right - m_rcInitial.left);
    m_rcInitial.bottom = m_rcInitial.top + scale(m_rcInitial.bottom - m_rcInitial.top);
    m_rows.ScaleColumns(nOldDpi, nNewDpi);
    m_rows.RebuildImages(m_arrTasks, nNewDpi);
}

LRESULT CZembroDlg::OnSysColorChange(WPARAM, LPARAM) {
    m_rows.OnSysColorChange(m_arrTasks, GetDpi());
    Default();
    return 0;
}

LRESULT CZembroDlg::OnListCustomDraw(NMHDR* pNMHDR) {
    return m_rows.OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR), m_rowDrag);
}

LRESULT CZembroDlg::OnListGetInfoTip(NMHDR* pNMHDR) {
    return m_rows.OnGetInfoTip(reinterpret_cast<NMLVGETINFOTIPW*>(pNMHDR));
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
    if (!PaintMinimisedIcon(m_hIcon)) Default();
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
    if (!m_bEndingWithoutWriting) SaveLayout();
    m_rows.Release();
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
    if (m_bRememberLocation && !::IsIconic(m_hWnd)) StorePlacement(m_hWnd, GetDpi());
}

int CZembroDlg::GetSavedColumnWidth(int nColumn, int nDefaultWidth) {
    return m_bRememberColumnWidth ? StoredColumnWidth(nColumn, nDefaultWidth, GetDpi()) : nDefaultWidth;
}

void CZembroDlg::WriteColumnWidth(int nColumn, int nWidth) { StoreColumnWidth(nColumn, nWidth); }

void CZembroDlg::SaveColumnWidths() { StoreColumnWidths(m_listTasks, GetDpi()); }

CPublishResult CZembroDlg::PublishAndReportSave(CTaskList& list) {
    // A handed-over command's failures are told by its exit code, not in boxes
    // that nobody at the prompt would see.
    CJumpListEnvironment env(m_hWnd, as_u16(AfxGetAppTitle()), !m_messages.m_bQuiet);
    const CPublishResult result = PublishJumpList(list, env, m_store);
    if (result.SaveFailed()) m_messages.SaveFailed(*result.m_save);
    return result;
}

CPublishResult CZembroDlg::CommitChange(CTaskList& list) {
    // list may be m_arrTasks, already changed: the stored list is the "before".
    CTaskList arrBefore = m_arrStored;
    m_messages.BeginCommand();
    const CPublishResult result = PublishAndReportSave(list);
    // Neither published nor saved: not even a Data.dat that is gone since may
    // leave the change in view.
    if (!result.m_bInitialized) m_arrTasks = m_arrStored;
    const bool bChangedOutside = result.m_save && result.m_save->m_eResult == CDataFileStatus::changedOutside;
    // Undo must never bring back a list over one that another program wrote;
    // a damaged file it wrote is news, even after an earlier one.
    if (bChangedOutside) m_history = CChangeHistory(), m_messages.ForgetDamage();
    if (!RefreshTaskList()) return result;
    // A change that did not reach Data.dat was dropped by the reload: nothing to undo.
    if (m_bReplayingHistory || bChangedOutside || m_arrTasks == arrBefore) return result;
    m_history.Record(arrBefore, m_arrTasks);
    return result;
}

bool CZembroDlg::FollowOutsideChange() {
    if (!m_store.ChangedOutside()) return false;
    m_history = CChangeHistory();
    m_messages.ForgetDamage();
    RefreshTaskList();
    return true;
}

void CZembroDlg::WatchDataFolder() {
    const std::wstring strPath = as_wcstr(m_store.GetPath());
    if (!strPath.empty() && m_folderWatch.Start(strPath.substr(0, strPath.find_last_of(L'\\'))))
        AddWaitHandle(m_folderWatch.GetHandle());
}

void CZembroDlg::OnWaitHandleSignalled(HANDLE hHandle) {
    if (hHandle != m_folderWatch.GetHandle()) return;
    if (!m_folderWatch.Rearm()) RemoveWaitHandle(hHandle);
    // This window's own saves and the folder's other files change nothing
    // that Data.dat was known to hold.
    FollowOutsideChange();
}
