#include "framework/FileDialog.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include "win/UniqueHandle.h"
#include "win/WinText.h"

using Microsoft::WRL::ComPtr;

bool AfxAskForFile(HWND hWndOwner, const CFileDialogRequest& request, std::u16string& strPath) {
    ComPtr<IFileDialog> pDialog;
    const HRESULT hrCreate =
        request.m_bSave
            ? CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pDialog))
            : CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pDialog));
    if (FAILED(hrCreate)) return false;
    const COMDLG_FILTERSPEC filter{request.m_pszFilterName, request.m_pszFilterSpec};
    if (FAILED(pDialog->SetFileTypes(1, &filter))) return false;
    // Added to the dialog's own defaults, which SetOptions would otherwise
    // replace (the save dialog's include FOS_NOREADONLYRETURN). Only real
    // file-system paths, since the path is used as text.
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(pDialog->GetOptions(&options))) return false;
    options |= FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    options |= request.m_bSave ? FOS_OVERWRITEPROMPT : FOS_FILEMUSTEXIST;
    if (FAILED(pDialog->SetOptions(options))) return false;
    if (request.m_pszFileName && FAILED(pDialog->SetFileName(request.m_pszFileName))) return false;
    if (request.m_pszDefaultExtension && FAILED(pDialog->SetDefaultExtension(request.m_pszDefaultExtension)))
        return false;
    // Cancelled gives HRESULT_FROM_WIN32(ERROR_CANCELLED).
    if (pDialog->Show(hWndOwner) != S_OK) return false;

    ComPtr<IShellItem> pItem;
    if (FAILED(pDialog->GetResult(&pItem))) return false;
    PWSTR pszPath = nullptr;
    const HRESULT hrName = pItem->GetDisplayName(SIGDN_FILESYSPATH, &pszPath);
    const UniqueCoTaskMem<wchar_t> path(pszPath);
    if (FAILED(hrName) || !path) return false;
    strPath = as_u16(path.get());
    return true;
}
