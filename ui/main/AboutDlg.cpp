#include "ui/main/AboutDlg.h"

#include "core/ProductLinks.h"
#include "ui/main/WebLinks.h"

CAboutDlg::CAboutDlg(CDialog* pParent) : CDialog(IDD, pParent) {}

std::span<const CMessageMapEntry> CAboutDlg::GetMessageMap() const {
    static const CMessageMapEntry map[] = {
        {WM_HELP, 0, 0, &CAboutDlg::OnHelpInfo},
    };
    return map;
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    return TRUE;
}

LRESULT CAboutDlg::OnHelpInfo(WPARAM, LPARAM) {
    OpenWebPage(kProductPage);
    // Handled here: the owner must not open the page a second time.
    return TRUE;
}
