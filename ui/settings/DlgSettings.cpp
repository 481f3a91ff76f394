#include "ui/settings/DlgSettings.h"

#include <string>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/RegistryKey.h"

CDlgSettings::CDlgSettings(CDialog* pParent) : CDialog(IDD, pParent) {}

void CDlgSettings::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_REMEMBER_LOCATION, m_bRememberLocation);
    DDX_Check(dx, IDC_REMEMBER_COLUMN_WIDTH, m_bRememberColumnWidth);
    DDX_Text(dx, IDC_MAX_JUMP_LIST_ITEMS, m_dwMaxJumpListItems);
}

std::span<const CMessageMapEntry> CDlgSettings::GetMessageMap() const {
    static const CMessageMapEntry map[] = {
        {WM_COMMAND, IDOK, BN_CLICKED, &CDlgSettings::OnClickedOk},
    };
    return map;
}

BOOL CDlgSettings::OnInitDialog() {
    // Without an application object there is no profile: both preferences keep
    // their default, as on a first run.
    const CWinApp* pApp = AfxGetApp();
    m_bRememberLocation = pApp ? pApp->GetProfileInt(kSettingsSection, kRememberLocationEntry, 1) : 1;
    m_bRememberColumnWidth = pApp ? pApp->GetProfileInt(kSettingsSection, kRememberColumnWidthEntry, 1) : 1;

    // A missing key, a missing value or one of another type all show as 0, which
    // is also what Explorer's default looks like here.
    m_dwMaxJumpListItems = 0;
    {
        CRegistryKey key;
        DWORD dwValue = 0;
        if (key.Open(kExplorerAdvancedKey, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
            key.QueryDWORDValue(kJumpListItemsMaximumValue, dwValue) == ERROR_SUCCESS)
            m_dwMaxJumpListItems = dwValue;
    }

    CDialog::OnInitDialog();
    CenterWindow();

    // Both icons at the sizes of the dialog's DPI, again after each change.
    SetBigIcon(IDI_ZEMBRO);
    // The title bar gets the picture drawn for the small size, not the big one shrunk.
    SetSmallIcon(IDI_ZEMBRO);

    const std::wstring strCaption = AfxFormatText(IDS_SETTINGS_CAPTION, {AfxGetAppTitle()});
    SetWindowTextW(m_hWnd, strCaption.c_str());
    return TRUE;
}

void CDlgSettings::OnClickedOk() {
    if (!UpdateData(TRUE)) return;

    // The profile first: the preferences are kept even when Explorer's key is
    // out of reach. Failed writes are not reported.
    if (CWinApp* pApp = AfxGetApp()) {
        pApp->WriteProfileInt(kSettingsSection, kRememberLocationEntry, m_bRememberLocation);
        pApp->WriteProfileInt(kSettingsSection, kRememberColumnWidthEntry, m_bRememberColumnWidth);
    }

    {
        CRegistryKey key;
        if (key.Open(kExplorerAdvancedKey, KEY_READ | KEY_WRITE) == ERROR_SUCCESS) {
            // 0 is never stored: no value is how Explorer is told to use its own default.
            // Not reported, as the profile's writes are not.
            if (m_dwMaxJumpListItems != 0)
                static_cast<void>(key.SetDWORDValue(kJumpListItemsMaximumValue, m_dwMaxJumpListItems));
            else
                static_cast<void>(key.DeleteValue(kJumpListItemsMaximumValue));
        }
    }

    CDialog::OnOK();
}
