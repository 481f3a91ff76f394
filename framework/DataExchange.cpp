#include "framework/DataExchange.h"

#include <stdexcept>
#include <string>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/NumberText.h"
#include "win/WinText.h"

namespace {

std::u16string ReadText(HWND hWnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
    const int cch = GetWindowTextW(hWnd, text.data(), static_cast<int>(text.size()));
    return as_u16(text.data(), cch > 0 ? static_cast<size_t>(cch) : 0);
}

// Only a real change is written: setting an edit's text sends EN_CHANGE.
void WriteText(HWND hWnd, const std::u16string& text) {
    if (ReadText(hWnd) != text) SetWindowTextW(hWnd, as_wcstr(text));
}

bool IsEdit(HWND hWnd) {
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    return lstrcmpiW(szClass, L"Edit") == 0;
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int nIDC) {
    if (m_bFailed) return nullptr;
    HWND hWndCtrl = m_dlg.GetDlgItem(nIDC);
    if (!hWndCtrl)
        throw std::logic_error("Dialog " + std::to_string(m_dlg.GetTemplateID()) + " has no control " +
                               std::to_string(nIDC) + ".");
    return hWndCtrl;
}

void CDataExchange::Fail(HWND hWndCtrl, const wchar_t* pszPrompt) {
    m_bFailed = true;
    m_dlg.MessageBox(pszPrompt, nullptr, MB_OK | MB_ICONEXCLAMATION);
    // Through the dialog manager, so that the default button follows the focus.
    SendMessageW(m_dlg.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hWndCtrl), TRUE);
    if (IsEdit(hWndCtrl)) SendMessageW(hWndCtrl, EM_SETSEL, 0, -1);
}

void DDX_Text(CDataExchange& dx, int nIDC, std::u16string& value) {
    HWND hWndCtrl = dx.PrepareCtrl(nIDC);
    if (!hWndCtrl) return;
    if (dx.m_bSaveAndValidate)
        value = ReadText(hWndCtrl);
    else
        WriteText(hWndCtrl, value);
}

void DDX_Text(CDataExchange& dx, int nIDC, std::int32_t& value) {
    HWND hWndCtrl = dx.PrepareCtrl(nIDC);
    if (!hWndCtrl) return;
    if (!dx.m_bSaveAndValidate)
        WriteText(hWndCtrl, FormatNumber(value));
    else if (!ParseInt32(ReadText(hWndCtrl), value))
        dx.Fail(hWndCtrl, AfxLoadText(AFX_IDP_PARSE_INT).c_str());
}

void DDX_Text(CDataExchange& dx, int nIDC, std::uint32_t& value) {
    HWND hWndCtrl = dx.PrepareCtrl(nIDC);
    if (!hWndCtrl) return;
    if (!dx.m_bSaveAndValidate)
        WriteText(hWndCtrl, FormatNumber(value));
    else if (!ParseUInt32(ReadText(hWndCtrl), value))
        dx.Fail(hWndCtrl, AfxLoadText(AFX_IDP_PARSE_UINT).c_str());
}

void DDX_Text(CDataExchange& dx, int nIDC, unsigned long& value) {
    static_assert(sizeof(unsigned long) == sizeof(std::uint32_t), "DWORD is 32 bits on Windows");
    std::uint32_t n = value;
    DDX_Text(dx, nIDC, n);
    value = n;
}

void DDX_Check(CDataExchange& dx, int nIDC, int& value) {
    HWND hWndCtrl = dx.PrepareCtrl(nIDC);
    if (!hWndCtrl) return;
    if (dx.m_bSaveAndValidate)
        value = SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        SendMessageW(hWndCtrl, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDX_Control(CDataExchange& dx, int nIDC, HWND& hWndCtrl) {
    HWND hWnd = dx.PrepareCtrl(nIDC);
    if (hWnd) hWndCtrl = hWnd;
}
