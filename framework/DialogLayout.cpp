#include "framework/DialogLayout.h"

#include <cstdint>
#include <utility>

#include "framework/App.h"
#include "framework/DialogTemplate.h"
#include "framework/Dpi.h"

namespace {

constexpr wchar_t kLayoutResourceType[] = L"AFX_DIALOG_LAYOUT";

// A resource of the program: found, loaded and locked, never freed.
const std::uint8_t* FindResourceData(UINT nID, const wchar_t* pszType, DWORD& cb) {
    const HINSTANCE hInstance = AfxGetResourceHandle();
    const HRSRC hResource = ::FindResourceW(hInstance, MAKEINTRESOURCEW(nID), pszType);
    const HGLOBAL hData = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    cb = hResource ? ::SizeofResource(hInstance, hResource) : 0;
    return static_cast<const std::uint8_t*>(hData ? ::LockResource(hData) : nullptr);
}

}  // namespace

void CDialogLayout::Attach(HWND hDlg, UINT nIDTemplate) {
    m_hDlg = hDlg;
    m_nIDTemplate = nIDTemplate;
    m_arrTemplateChildren.clear();
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        m_arrTemplateChildren.push_back(hChild);
    m_nDpi = GetWindowDpi(hDlg);
    TurnOffDialogDpiScaling(hDlg);
    // The dialog manager loaded the template's pictures at the system's icon
    // size: they take the size of the dialog's DPI before the layout measures
    // the controls.
    FindPictures();
    LoadPictures();
}

void CDialogLayout::Detach() {
    m_hDlg = nullptr;
    m_arrTemplateChildren.clear();
    m_arrItems.clear();
    m_arrPictures.clear();
    m_hSmallIcon.reset();
    m_hBigIcon.reset();
    m_font.reset();
    m_nIDSmallIcon = m_nIDBigIcon = 0;
}

void CDialogLayout::LoadDynamicLayout() {
    m_arrItems.clear();
    DWORD cb = 0;
    const std::uint8_t* pData = FindResourceData(m_nIDTemplate, kLayoutResourceType, cb);
    std::vector<CLayoutEntry> entries;
    if (!pData || !ParseDialogLayout(pData, cb, m_arrTemplateChildren.size(), entries)) return;

    RECT rcClient{};
    ::GetClientRect(m_hDlg, &rcClient);
    m_sizeInitial = {rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].Moves()) continue;
        CItem item{m_arrTemplateChildren[i], {}, entries[i]};
        ::GetWindowRect(item.m_hWnd, &item.m_rcInitial);
        ::MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&item.m_rcInitial), 2);
        m_arrItems.push_back(item);
    }
}

void CDialogLayout::Apply() {
    if (m_arrItems.empty()) return;
    RECT rcClient{};
    ::GetClientRect(m_hDlg, &rcClient);
    const int dx = (rcClient.right - rcClient.left) - m_sizeInitial.cx;
    const int dy = (rcClient.bottom - rcClient.top) - m_sizeInitial.cy;

    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_arrItems.size()));
    for (const CItem& item : m_arrItems) {
        if (!hdwp) return;
        if (!::IsWindow(item.m_hWnd)) continue;  // a control the dialog destroyed
        const RECT& rc = item.m_rcInitial;
        const int x = rc.left + MulDiv(dx, item.m_entry.m_nMoveX, 100);
        const int y = rc.top + MulDiv(dy, item.m_entry.m_nMoveY, 100);
        const int cx = (rc.right - rc.left) + MulDiv(dx, item.m_entry.m_nSizeX, 100);
        const int cy = (rc.bottom - rc.top) + MulDiv(dy, item.m_entry.m_nSizeY, 100);
        hdwp = ::DeferWindowPos(hdwp, item.m_hWnd, nullptr, x, y, cx > 0 ? cx : 0, cy > 0 ? cy : 0,
                                SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (hdwp) ::EndDeferWindowPos(hdwp);
}

void CDialogLayout::Rescale(UINT nNewDpi) {
    const UINT nOldDpi = std::exchange(m_nDpi, nNewDpi);
    const auto scale = [&](LONG n) { return static_cast<LONG>(MulDiv(n, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi))); };
    const auto scaleRect = [&](RECT& rc) { rc = {scale(rc.left), scale(rc.top), scale(rc.right), scale(rc.bottom)}; };

    // The font first: the controls measure their text with it.
    LOGFONTW lf{};
    const auto hOldFont = reinterpret_cast<HFONT>(::SendMessageW(m_hDlg, WM_GETFONT, 0, 0));
    if (hOldFont && ::GetObjectW(hOldFont, sizeof(lf), &lf) == sizeof(lf)) {
        lf.lfHeight = scale(lf.lfHeight);
        lf.lfWidth = scale(lf.lfWidth);
        if (UniqueGdiObject font(::CreateFontIndirectW(&lf)); font) {
            const auto hFont = reinterpret_cast<WPARAM>(font.get());
            ::SendMessageW(m_hDlg, WM_SETFONT, hFont, FALSE);
            for (HWND hChild = ::GetWindow(m_hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
                ::SendMessageW(hChild, WM_SETFONT, hFont, FALSE);
            m_font = std::move(font);  // nothing uses the one it replaces any more
        }
    }

    // Each control where it would stand had the dialog opened at the new DPI.
    for (HWND hChild = ::GetWindow(m_hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        RECT rc{};
        ::GetWindowRect(hChild, &rc);
        ::MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&rc), 2);
        scaleRect(rc);
        ::SetWindowPos(hChild, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (CItem& item : m_arrItems) scaleRect(item.m_rcInitial);
    m_sizeInitial = {scale(m_sizeInitial.cx), scale(m_sizeInitial.cy)};

    if (m_nIDSmallIcon) LoadIcon(m_nIDSmallIcon, false);
    if (m_nIDBigIcon) LoadIcon(m_nIDBigIcon, true);
    LoadPictures();
}

void CDialogLayout::Place(const RECT& rcSuggested) {
    ::SetWindowPos(m_hDlg, nullptr, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
                   rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // Also when the size stayed and no WM_SIZE came.
    Apply();
    ::InvalidateRect(m_hDlg, nullptr, TRUE);
}

void CDialogLayout::SetSmallIcon(UINT nIDIcon) {
    m_nIDSmallIcon = nIDIcon;
    LoadIcon(nIDIcon, false);
}

void CDialogLayout::SetBigIcon(UINT nIDIcon) {
    m_nIDBigIcon = nIDIcon;
    LoadIcon(nIDIcon, true);
}

void CDialogLayout::LoadIcon(UINT nIDIcon, bool bBig) {
    if (!m_hDlg || !nIDIcon) return;
    const int cx = GetSystemMetricsAtDpi(bBig ? SM_CXICON : SM_CXSMICON, m_nDpi);
    const int cy = GetSystemMetricsAtDpi(bBig ? SM_CYICON : SM_CYSMICON, m_nDpi);
    // Not shared: an icon of a size other than the system's own must be owned.
    UniqueIcon hIcon(static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDIcon), IMAGE_ICON, cx, cy, 0)));
    if (!hIcon) return;
    ::SendMessageW(m_hDlg, WM_SETICON, bBig ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon.get()));
    // The window has let go of the old one.
    (bBig ? m_hBigIcon : m_hSmallIcon) = std::move(hIcon);
}

void CDialogLayout::FindPictures() {
    m_arrPictures.clear();
    DWORD cb = 0;
    const std::uint8_t* pData = FindResourceData(m_nIDTemplate, MAKEINTRESOURCEW(5), cb);  // RT_DIALOG
    std::vector<CTemplatePicture> pictures;
    if (!pData || !::FindTemplatePictures(pData, cb, pictures)) return;
    for (const CTemplatePicture& picture : pictures)
        if (picture.m_nItem < m_arrTemplateChildren.size())
            m_arrPictures.push_back({m_arrTemplateChildren[picture.m_nItem], picture.m_nIDIcon, {}});
}

void CDialogLayout::LoadPictures() {
    const int cx = GetSystemMetricsAtDpi(SM_CXICON, m_nDpi);
    const int cy = GetSystemMetricsAtDpi(SM_CYICON, m_nDpi);
    for (CPicture& picture : m_arrPictures) {
        if (!::IsWindow(picture.m_hWnd)) continue;  // a control the dialog destroyed
        UniqueIcon hIcon(static_cast<HICON>(
            ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(picture.m_nIDIcon), IMAGE_ICON, cx, cy, 0)));
        if (!hIcon) continue;
        ::SendMessageW(picture.m_hWnd, STM_SETICON, reinterpret_cast<WPARAM>(hIcon.get()), 0);
        picture.m_hIcon = std::move(hIcon);  // the control has let go of the old one
    }
}
