#pragma once
// The shell's common file dialogs, as the program asks for one file.
#include <windows.h>

#include <string>

struct CFileDialogRequest {
    bool m_bSave = false;                    // a file-save dialog, else a file-open one
    const wchar_t* m_pszFilterName = L"";    // e.g. L"Zembro task lists (*.dat)"
    const wchar_t* m_pszFilterSpec = L"*.*"; // e.g. L"*.dat"
    const wchar_t* m_pszFileName = nullptr;  // saving: the name offered
    const wchar_t* m_pszDefaultExtension = nullptr;  // saving: added when the user types none
};

// Shows the dialog modal to hWndOwner. Opening takes only an existing file,
// saving asks before it replaces one; both only real file-system paths, and
// the program's current folder stays where it was. False when cancelled or
// when the dialog could not be shown.
bool AfxAskForFile(HWND hWndOwner, const CFileDialogRequest& request, std::u16string& strPath);
