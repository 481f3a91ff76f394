#pragma once
// The settings dialog: the main window's two remember preferences, kept in the
// application profile, and Explorer's per-user cap on Jump List items.
//
// DoModal gives IDOK once both preferences are written to the profile and the
// Explorer value is set (or removed, for 0) as far as Explorer's key could be
// opened; the caller then reads the preferences again. IDCANCEL: nothing written.
#include <windows.h>

#include <span>

#include "framework/Dialog.h"
#include "res/resource.h"
#include "ui/ProfileNames.h"

// Explorer's own value: absent means Explorer's default; the program never
// creates the key.
inline constexpr wchar_t kExplorerAdvancedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr wchar_t kJumpListItemsMaximumValue[] = L"JumpListItems_Maximum";

class CDlgSettings : public CDialog {
public:
    enum { IDD = IDD_SETTINGS };

    explicit CDlgSettings(CDialog* pParent = nullptr);

    BOOL m_bRememberLocation = 0;
    BOOL m_bRememberColumnWidth = 0;
    // 0: no value stored, Explorer decides.
    DWORD m_dwMaxJumpListItems = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Loads the three values before the controls are filled; Explorer's key is
    // open only while its value is read.
    BOOL OnInitDialog() override;
    std::span<const CMessageMapEntry> GetMessageMap() const override;

    // Writes both preferences first, then sets or removes the Explorer value; a
    // key that cannot be opened or a write that fails does not keep the dialog
    // from ending with IDOK.
    void OnClickedOk();
};
