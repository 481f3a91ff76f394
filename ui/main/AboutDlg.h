#pragma once
// The about box: the program's icon, name and version, and the maker's support
// address. F1 anywhere in it opens the product page.
#include <windows.h>

#include <span>

#include "framework/Dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    // No parent: the application's main window owns the box.
    explicit CAboutDlg(CDialog* pParent = nullptr);

protected:
    // Centred over the main window.
    BOOL OnInitDialog() override;
    std::span<const CMessageMapEntry> GetMessageMap() const override;

    // WM_HELP: the product page in the browser, whichever control had the focus.
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
};
