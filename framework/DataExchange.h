#pragma once
// Data exchange between a dialog's members and its controls, in the order of
// its DoDataExchange. Reading (m_bSaveAndValidate TRUE) stops at the first
// control whose text does not read: the user is told, that control gets the
// focus with its text selected, and the exchanges after it do nothing, so the
// members before it hold the controls' values and the ones after it are as they
// were. Writing never fails.
//
// A control id that the dialog does not have is a programming error: the
// exchange throws std::logic_error.
#include <windows.h>

#include <cstdint>
#include <string>

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog& dlg, BOOL bSaveAndValidate) : m_dlg(dlg), m_bSaveAndValidate(bSaveAndValidate) {}

    // The control for the next exchange, or null once the exchange has failed.
    HWND PrepareCtrl(int nIDC);
    // Shows pszPrompt, focuses hWndCtrl with its text selected, and stops the exchange.
    void Fail(HWND hWndCtrl, const wchar_t* pszPrompt);
    bool Failed() const { return m_bFailed; }

    CDialog& m_dlg;
    const BOOL m_bSaveAndValidate;

private:
    bool m_bFailed = false;
};

// Text into a string, as typed.
void DDX_Text(CDataExchange& dx, int nIDC, std::u16string& value);
// Whole numbers: blanks around them are allowed, anything else, an empty field
// or a value out of the type's range is refused with a prompt.
void DDX_Text(CDataExchange& dx, int nIDC, std::int32_t& value);
void DDX_Text(CDataExchange& dx, int nIDC, std::uint32_t& value);
void DDX_Text(CDataExchange& dx, int nIDC, unsigned long& value);  // DWORD
// A check box: reading gives 1 when checked, else 0; writing checks it for any
// nonzero value.
void DDX_Check(CDataExchange& dx, int nIDC, int& value);
// Binds the control's window to hWndCtrl (both directions).
void DDX_Control(CDataExchange& dx, int nIDC, HWND& hWndCtrl);
