#include "ui/main/TaskRows.h"

#include <algorithm>
#include <iterator>

#include "framework/App.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "win/WinText.h"

namespace {

// No LVS_EX_FLATSB: common controls 6 ignores it, and nothing else wants it.
constexpr DWORD kListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT;  // 0x23

struct CColumn {
    UINT m_nIDCaption;
    int m_nDefaultWidth;  // at 96 DPI
};
constexpr CColumn kColumns[] = {
    {IDS_COLUMN_NUMBER, 50}, {IDS_COLUMN_TITLE, 110},    {IDS_COLUMN_DESCRIPTION, 110},
    {IDS_COLUMN_PATH, 100},  {IDS_COLUMN_ARGUMENTS, 80},
};
static_assert(std::size(kColumns) == CTaskRows::kColumnCount);

}  // namespace

int CTaskRows::DefaultColumnWidth(int nColumn, UINT nDpi) {
    return ScaleToDpi(kColumns[nColumn].m_nDefaultWidth, nDpi);
}

void CTaskRows::Create(HWND hList, UINT nDpi, const std::function<int(int, int)>& columnWidth) {
    m_hList = hList;
    const auto dwExStyle = static_cast<DWORD>(::SendMessageW(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    // Infotips tell why a row is grey; they change nothing that is drawn.
    ::SendMessageW(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwExStyle | kListExtendedStyle | LVS_EX_INFOTIP);
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columnWidth(i, DefaultColumnWidth(i, nDpi));
        std::wstring strCaption = AfxLoadText(kColumns[i].m_nIDCaption);
        column.pszText = strCaption.data();
        column.iSubItem = i;
        ::SendMessageW(hList, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    m_rowImages.SetSize(GetSystemMetricsAtDpi(SM_CXSMICON, nDpi));
    m_bImagesDeferred = true;
}

void CTaskRows::SetColumnWidths(UINT nDpi, const std::function<int(int, int)>& columnWidth) {
    for (int i = 0; i < kColumnCount; ++i)
        ::SendMessageW(m_hList, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(columnWidth(i, DefaultColumnWidth(i, nDpi)), 0));
}

void CTaskRows::ScaleColumns(UINT nOldDpi, UINT nNewDpi) {
    const HWND hHeader = reinterpret_cast<HWND>(::SendMessageW(m_hList, LVM_GETHEADER, 0, 0));
    const int nColumns = hHeader ? static_cast<int>(::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < nColumns; ++i) {
        const int cx = static_cast<int>(::SendMessageW(m_hList, LVM_GETCOLUMNWIDTH, i, 0));
        ::SendMessageW(m_hList, LVM_SETCOLUMNWIDTH, i,
                       MAKELPARAM(MulDiv(cx, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi)), 0));
    }
}

void CTaskRows::OnSysColorChange(const CTaskList& list, UINT nDpi) {
    RebuildImages(list, nDpi);
    // The list view learns of it only from its parent.
    ::SendMessageW(m_hList, WM_SYSCOLORCHANGE, 0, 0);
}

int CTaskRows::SelectedRow() const {
    return static_cast<int>(::SendMessageW(m_hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int CTaskRows::RowCount() const { return static_cast<int>(::SendMessageW(m_hList, LVM_GETITEMCOUNT, 0, 0)); }

void CTaskRows::SelectAfterChange(int nRow) {
    ::SendMessageW(m_hList, LVM_ENSUREVISIBLE, nRow, FALSE);
    ::SetFocus(m_hList);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_hList, LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&item));
}

void CTaskRows::Release() {
    // A list view without LVS_SHAREIMAGELISTS destroys its image lists with itself.
    if (::IsWindow(m_hList)) ::SendMessageW(m_hList, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
}

void CTaskRows::Update(const CTaskList& shown, const CTaskList& now) {
    const int nRows = now.GetSize();
    // The rows show shown, the list of the last refresh. Rows that still
    // show their entry are kept, so that only what changed is drawn again:
    // drawing every row is most of what a change at a few entries costs.
    int nKept = static_cast<int>(::SendMessageW(m_hList, LVM_GETITEMCOUNT, 0, 0));
    const bool bRebuild = nKept == 0 || nKept != shown.GetSize();
    if (bRebuild) {
        // One repaint for the whole rebuild instead of one per row.
        ::SendMessageW(m_hList, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(m_hList, LVM_DELETEALLITEMS, 0, 0);
        nKept = 0;
    }
    // As after a rebuild, no row stays selected: each command selects its own.
    // Before rows go, so that the focus does not move to a neighbour.
    LVITEMW unselected{};
    unselected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (nKept > 0)
        ::SendMessageW(m_hList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&unselected));
    for (int i = nKept - 1; i >= nRows; --i) ::SendMessageW(m_hList, LVM_DELETEITEM, i, 0);
    nKept = std::min(nKept, nRows);

    const std::vector<CTargetState> arrShownTargets = std::move(m_arrTargets);
    m_arrTargets.assign(static_cast<size_t>(nRows), CTargetState{});
    m_rowImages.Begin(nRows);
    CTargetProbe probe;
    for (int i = 0; i < nRows; ++i) {
        const CJumpListAction& task = now.GetAt(i);
        CTargetState& target = m_arrTargets[static_cast<size_t>(i)];
        target = probe.Probe(task.m_strPath);
        if (!m_bImagesDeferred) SetRowImage(i, task);
        if (i >= nKept) {
            InsertTaskRow(i, task);
            continue;
        }
        // The list view redraws the cells whose text it changes; a new colour
        // or image needs the whole row drawn again.
        if (!(shown.GetAt(i) == task)) SetTaskRowTexts(i, task);
        if (arrShownTargets[static_cast<size_t>(i)].IsMissing() != target.IsMissing() ||
            (!m_bImagesDeferred && m_rowImages.Changed(i)))
            ::SendMessageW(m_hList, LVM_REDRAWITEMS, i, i);
    }
    if (!m_bImagesDeferred && (bRebuild || m_rowImages.AnyChanged())) InstallRowImages();
    if (bRebuild) {
        ::SendMessageW(m_hList, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_hList, nullptr, TRUE);
    }
}

void CTaskRows::InstallRowImages() {
    // The new list goes in before the old one goes, so the view never holds a
    // destroyed image list.
    UniqueImageList imageList = m_rowImages.CreateImageList();
    ::SendMessageW(m_hList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageList.get()));
    m_imageList = std::move(imageList);
}

void CTaskRows::SetRowImage(int nRow, const CJumpListAction& task) {
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

void CTaskRows::RebuildImages(const CTaskList& list, UINT nDpi) {
    m_bImagesDeferred = false;
    m_rowImages.SetSize(GetSystemMetricsAtDpi(SM_CXSMICON, nDpi));
    m_rowIcons.Clear();  // of another size, or made before the colours changed
    m_rowImages.Begin(list.GetSize());
    for (int i = 0; i < list.GetSize(); ++i) SetRowImage(i, list.GetAt(i));
    InstallRowImages();
    ::InvalidateRect(m_hList, nullptr, TRUE);
}

bool CTaskRows::IsTargetMissing(int nRow) const {
    return nRow >= 0 && static_cast<size_t>(nRow) < m_arrTargets.size() &&
           m_arrTargets[static_cast<size_t>(nRow)].IsMissing();
}

LRESULT CTaskRows::OnCustomDraw(NMLVCUSTOMDRAW* pDraw, const CRowDrag& drag) const {
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        // The row's colour holds for every cell of it.
        if (IsTargetMissing(static_cast<int>(pDraw->nmcd.dwItemSpec))) pDraw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        return CDRF_DODEFAULT;
    case CDDS_POSTPAINT: drag.Paint(pDraw->nmcd.hdc); return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

LRESULT CTaskRows::OnGetInfoTip(NMLVGETINFOTIPW* pTip) const {
    if (IsTargetMissing(pTip->iItem) && pTip->pszText && pTip->cchTextMax > 0)
        lstrcpynW(pTip->pszText, AfxLoadText(IDS_MISSING_TARGET_TIP).c_str(), pTip->cchTextMax);
    return 0;
}

void CTaskRows::InsertTaskRow(int n, const CJumpListAction& task) {
    m_strRowNumber = std::to_wstring(n + 1);

    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = n;
    item.pszText = m_strRowNumber.data();
    item.iImage = n;
    const int nRow = static_cast<int>(::SendMessageW(m_hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (nRow >= 0) SetTaskRowTexts(nRow, task);
}

void CTaskRows::SetTaskRowTexts(int nRow, const CJumpListAction& task) {
    const std::u16string* texts[] = {&task.m_strTitle, &task.m_strDescription, &task.m_strPath, &task.m_strArguments};
    for (int nSubItem = 1; nSubItem <= 4; ++nSubItem) {
        LVITEMW sub{};
        sub.iSubItem = nSubItem;
        sub.pszText = const_cast<wchar_t*>(as_wcstr(*texts[nSubItem - 1]));
        ::SendMessageW(m_hList, LVM_SETITEMTEXTW, nRow, reinterpret_cast<LPARAM>(&sub));
    }
}
