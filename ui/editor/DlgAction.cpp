#include "ui/editor/DlgAction.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "core/ProductLinks.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "framework/FileDialog.h"
#include "framework/LaunchTarget.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"
#include "res/resource.h"

using Microsoft::WRL::ComPtr;

namespace {


constexpr wchar_t kAllFilesSpec[] = L"*.*";
constexpr wchar_t kIconFilesSpec[] = L"*.exe;*.ico;*.dll";
// The picker's path buffer: at least MAX_PATH, as it asks, and room for long paths.
constexpr size_t kPickerPathChars = 32768;

// The edits are single-line, yet a paste or another program can still put line
// breaks into them. A CR or LF kept in a field would end that field early in the
// data file, so each line break (CR LF, CR or LF) becomes one space.
std::u16string LineBreaksToSpaces(const std::u16string& text) {
    std::u16string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            result.push_back(u' ');
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

void DDX_SingleLineText(CDataExchange& dx, int nIDC, std::u16string& value) {
    DDX_Text(dx, nIDC, value);
    if (dx.m_bSaveAndValidate && !dx.Failed()) value = LineBreaksToSpaces(value);
}

bool IsBlank(const std::u16string& text) {
    for (char16_t ch : text)
        if (!std::iswspace(static_cast<wint_t>(ch))) return false;
    return true;
}

bool EndsWithExe(const std::u16string& path) {
    constexpr wchar_t kExe[] = L".exe";
    constexpr int cchExe = 4;
    if (path.size() < cchExe) return false;
    return CompareStringOrdinal(as_wcstr(path) + (path.size() - cchExe), cchExe, kExe, cchExe, TRUE) == CSTR_EQUAL;
}

}  // namespace

CDlgAction::CDlgAction() : CDialog(IDD_ACTION) {}

std::span<const CMessageMapEntry> CDlgAction::GetMessageMap() const {
    static const CMessageMapEntry map[] = {
        {WM_COMMAND, IDOK, BN_CLICKED, &CDlgAction::OnClickedOk},
        {WM_COMMAND, IDC_BROWSE_PATH, BN_CLICKED, &CDlgAction::OnBrowsePath},
        {WM_COMMAND, IDC_BROWSE_ICON, BN_CLICKED, &CDlgAction::OnBrowseIcon},
        {WM_COMMAND, IDC_ICON_INDEX, EN_CHANGE, &CDlgAction::OnIconIndexChange},
        {WM_GETMINMAXINFO, 0, 0, &CDlgAction::OnGetMinMaxInfo},
        {WM_COMMAND, IDC_LOCATE, BN_CLICKED, &CDlgAction::OnLocate},
        {WM_COMMAND, IDC_CHANGE_ICON, BN_CLICKED, &CDlgAction::OnChangeIcon},
        {WM_HELP, 0, 0, &CDlgAction::OnHelpInfo},
    };
    return map;
}

// The order matters: an icon index that does not read stops the exchange there,
// after the four texts before it and before the icon file path.
void CDlgAction::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_SingleLineText(dx, IDC_TITLE, m_action.m_strTitle);
    DDX_SingleLineText(dx, IDC_PATH, m_action.m_strPath);
    DDX_SingleLineText(dx, IDC_DESCRIPTION, m_action.m_strDescription);
    DDX_SingleLineText(dx, IDC_ARGUMENTS, m_action.m_strArguments);
    DDX_Text(dx, IDC_ICON_INDEX, m_action.m_nIconIndex);
    DDX_SingleLineText(dx, IDC_ICON_PATH, m_action.m_strIconPath);
    DDX_Control(dx, IDC_ICON_PREVIEW, m_stcIcon);
    DDX_Control(dx, IDC_ICON_STATUS, m_stcIconStatus);
}

BOOL CDlgAction::OnInitDialog() {
    // Fills the controls; the EN_CHANGE of the icon index that this sends is
    // ignored, since m_bInitialised is still false.
    CDialog::OnInitDialog();

    CenterWindow();
    GetWindowRect(m_hWnd, &m_rcInitial);

    // Both icons at the sizes of the dialog's DPI, again after each change.
    SetBigIcon(IDI_ZEMBRO);
    // The title bar gets the picture drawn for the small size, not the big one shrunk.
    SetSmallIcon(IDI_ZEMBRO);

    const CWinApp* pApp = AfxGetApp();
    const std::wstring strCaption =
        AfxFormatText(m_bEdit ? IDS_EDITOR_CAPTION_EDIT : IDS_EDITOR_CAPTION_ADD, {pApp ? pApp->GetAppName() : L""});
    SetWindowTextW(m_hWnd, strCaption.c_str());

    // Paths complete as in the Run box. Without it (Wine has none) they are
    // typed as before.
    SHAutoComplete(GetDlgItem(IDC_PATH), SHACF_FILESYSTEM);
    SHAutoComplete(GetDlgItem(IDC_ICON_PATH), SHACF_FILESYSTEM);
    // Change Icon... comes last in the template, which keeps the others where
    // they were; in tab order it follows the icon file's Browse button.
    SetWindowPos(GetDlgItem(IDC_CHANGE_ICON), GetDlgItem(IDC_BROWSE_ICON), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_bInitialised = true;
    // Adding: the template's program icon stays until the first refresh.
    if (m_bEdit) UpdateIconPreview();
    return TRUE;
}

void CDlgAction::UpdateIconPreview() {
    bool bExtracted = false;
    // An icon of the file comes at the large size of the dialog's DPI.
    HICON hIcon = m_icons.GetIcon(m_action.m_strPath, m_action.m_nIconIndex,
                                  GetSystemMetricsAtDpi(SM_CXICON, GetDpi()), bExtracted);
    // The shell's icon is of the system's DPI; on a monitor of another DPI the
    // preview shows a copy at that monitor's size.
    UniqueIcon hScaled;
    const UINT nSystemDpi = GetWindowDpi(nullptr);
    if (hIcon && !bExtracted && GetDpi() != nSystemDpi) {
        ICONINFO info{};
        BITMAP bm{};
        if (::GetIconInfo(hIcon, &info)) {
            ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
            if (info.hbmColor) ::DeleteObject(info.hbmColor);
            if (info.hbmMask) ::DeleteObject(info.hbmMask);
        }
        const int cx = MulDiv(bm.bmWidth, static_cast<int>(GetDpi()), static_cast<int>(nSystemDpi));
        if (cx > 0) hScaled.reset(static_cast<HICON>(::CopyImage(hIcon, IMAGE_ICON, cx, cx, 0)));
    }
    // The control hands back the icon it showed before: the provider's, already
    // destroyed by this lookup, the template's shared one, or the scaled copy
    // that is released below, once the control no longer shows it.
    SendMessageW(m_stcIcon, STM_SETICON, reinterpret_cast<WPARAM>(hScaled ? hScaled.get() : hIcon), 0);
    m_hPreviewCopy = std::move(hScaled);
    m_bPreviewShown = true;
    SetWindowTextW(m_stcIconStatus, bExtracted ? L"" : AfxLoadText(IDS_NO_ICON).c_str());
}

void CDlgAction::OnIconIndexChange() {
    if (!m_bInitialised || m_bWritingControls) return;
    // An index that does not read has been reported; the preview keeps the last good one.
    UpdateData(TRUE);
    UpdateIconPreview();
}

void CDlgAction::OnBrowsePath() {
    std::u16string strPath;
    if (!BrowseForFile(AfxLoadText(IDS_ALL_FILES_FILTER).c_str(), kAllFilesSpec, strPath)) return;
    OnPathChosen(strPath);
}

void CDlgAction::OnBrowseIcon() {
    std::u16string strPath;
    if (!BrowseForFile(AfxLoadText(IDS_ICON_FILES_FILTER).c_str(), kIconFilesSpec, strPath)) return;
    OnIconPathChosen(strPath);
}

void CDlgAction::OnPathChosen(const std::u16string& strPath) {
    // Keeps what the user typed into the other fields; a bad icon index is
    // reported and does not stop the choice from being applied.
    UpdateData(TRUE);
    m_action.m_strPath = strPath;
    if (EndsWithExe(strPath)) m_action.m_strIconPath = strPath;
    WriteControls();
    UpdateIconPreview();
}

void CDlgAction::OnIconPathChosen(const std::u16string& strPath) {
    UpdateData(TRUE);
    m_action.m_strIconPath = strPath;
    WriteControls();
    UpdateIconPreview();
}

void CDlgAction::OnChangeIcon() {
    UpdateData(TRUE);
    const std::u16string& strStart = m_action.m_strIconPath.empty() ? m_action.m_strPath : m_action.m_strIconPath;
    // The picker wants a full path and hands back one with environment
    // variables, which the field keeps expanded, as Browse would fill it.
    std::wstring strFile = ExpandEnvironmentText(as_wcstr(strStart));
    strFile.resize(std::max<size_t>(strFile.size() + 1, kPickerPathChars), L'\0');
    int nIndex = m_action.m_nIconIndex;
    // 1 for OK; Wine's stand-in answers -1 and shows nothing, as for Cancel.
    if (PickIconDlg(m_hWnd, strFile.data(), static_cast<UINT>(strFile.size()), &nIndex) <= 0) return;
    strFile.resize(std::wcslen(strFile.c_str()));
    m_action.m_strIconPath = as_u16(ExpandEnvironmentText(strFile));
    m_action.m_nIconIndex = nIndex;
    WriteControls();
    UpdateIconPreview();
}

void CDlgAction::WriteControls() {
    // Writing a restored icon index sends EN_CHANGE before the icon file path is
    // written; reading the controls then would take back the old icon file path.
    m_bWritingControls = true;
    UpdateData(FALSE);
    m_bWritingControls = false;
}

bool CDlgAction::BrowseForFile(const wchar_t* pszFilterName, const wchar_t* pszFilterSpec, std::u16string& strPath) {
    CFileDialogRequest request;
    request.m_pszFilterName = pszFilterName;
    request.m_pszFilterSpec = pszFilterSpec;
    return AfxAskForFile(m_hWnd, request, strPath);
}

void CDlgAction::OnClickedOk() {
    if (!UpdateData(TRUE)) return;  // the exchange has told the user
    // Blanks alone do not make a title; but the title is kept as typed, since
    // OnOK reads the controls once more.
    if (IsBlank(m_action.m_strTitle)) {
        MessageBox(AfxLoadText(IDS_TITLE_REQUIRED).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_action.m_strPath.empty()) {
        MessageBox(AfxLoadText(IDS_PATH_REQUIRED).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    CDialog::OnOK();
}

void CDlgAction::OnLocate() {
    UpdateData(TRUE);
    if (m_action.m_strPath.empty()) {
        MessageBox(AfxLoadText(IDS_PATH_REQUIRED_TO_LOCATE).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    LocateInExplorer(m_action.m_strPath);
}

void CDlgAction::LocateInExplorer(std::u16string strPath) {
    // A path the shell cannot resolve (a bare program name, a URL, a file that
    // is gone) yields no list: nothing to show, and nothing to report.
    const UniqueIdList pidl(ILCreateFromPathW(as_wcstr(strPath)));
    if (!pidl) return;
    // Whether the file manager could be opened is not reported either.
    SHOpenFolderAndSelectItems(pidl.get(), 0, nullptr, 0);
}

void CDlgAction::OnDpiChanged(UINT nOldDpi, UINT nNewDpi) {
    const auto scale = [&](LONG n) { return static_cast<LONG>(MulDiv(n, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi))); };
    m_rcInitial.right = m_rcInitial.left + scale(m_rcInitial.right - m_rcInitial.left);
    m_rcInitial.bottom = m_rcInitial.top + scale(m_rcInitial.bottom - m_rcInitial.top);
    // Until the first lookup the preview shows the template's icon, as at any DPI.
    if (m_bPreviewShown) UpdateIconPreview();
}

LRESULT CDlgAction::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    // Before the dialog has started there is no size to keep: the system's
    // own minimum stays.
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    if (pInfo && !IsRectEmpty(&m_rcInitial)) {
        pInfo->ptMinTrackSize.x = m_rcInitial.right - m_rcInitial.left;
        pInfo->ptMinTrackSize.y = m_rcInitial.bottom - m_rcInitial.top;
    }
    Default();
    return 0;
}

LRESULT CDlgAction::OnHelpInfo(WPARAM, LPARAM) {
    // Help is the product's web page, whatever control asked. Whether the
    // browser could be started is not reported.
    ShellExecuteW(nullptr, nullptr, as_wcstr(kProductPage), nullptr, nullptr, SW_SHOWMAXIMIZED);
    return TRUE;
}
