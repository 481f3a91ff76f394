#include "ui/main/TransferDialogs.h"

#include <commctrl.h>

#include <iterator>

#include "core/DataFile.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "res/resource.h"
#include "ui/main/DataFileTexts.h"

bool AskForTaskListFile(HWND hOwner, bool bExport, std::u16string& strPath) {
    const std::wstring strFilterName = AfxLoadText(IDS_TASK_LIST_FILTER), strFileName = AfxLoadText(IDS_EXPORT_FILE_NAME);
    CFileDialogRequest request;
    request.m_bSave = bExport;
    request.m_pszFilterName = strFilterName.c_str();
    request.m_pszFilterSpec = L"*.dat";
    if (bExport) {
        request.m_pszFileName = strFileName.c_str();
        request.m_pszDefaultExtension = L"dat";
    }
    return AfxAskForFile(hOwner, request, strPath);
}

int AskHowToImport(HWND hOwner, const std::u16string& strPath, int nEntries) {
    const std::wstring strTitle = AfxGetAppTitle();
    const std::wstring strInstruction =
        nEntries == 1 ? AfxFormatText(IDS_IMPORT_ONE_ENTRY, {FileNameOfPath(strPath)})
                      : AfxFormatText(IDS_IMPORT_ENTRIES, {std::to_wstring(nEntries), FileNameOfPath(strPath)});
    const std::wstring strReplace = AfxLoadText(IDS_IMPORT_REPLACE), strAddAfter = AfxLoadText(IDS_IMPORT_ADD_AFTER);
    const TASKDIALOG_BUTTON buttons[] = {
        {kIdReplaceList, strReplace.c_str()},
        {kIdAddAfterLast, strAddAfter.c_str()},
    };
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = hOwner;
    config.dwFlags = TDF_USE_COMMAND_LINKS | TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
    config.pszWindowTitle = strTitle.c_str();
    config.pszMainInstruction = strInstruction.c_str();
    config.cButtons = static_cast<UINT>(std::size(buttons));
    config.pButtons = buttons;
    config.nDefaultButton = IDCANCEL;
    int nButton = IDCANCEL;
    if (SUCCEEDED(TaskDialogIndirect(&config, &nButton, nullptr, nullptr))) return nButton;
    // The task dialog could not be shown (out of memory, or no common controls
    // 6): the same question in a message box, so the import never ends silently.
    const std::wstring strText = strInstruction + AfxLoadText(IDS_IMPORT_BOX_CHOICES);
    switch (::MessageBoxW(hOwner, strText.c_str(), strTitle.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3)) {
    case IDYES: return kIdReplaceList;
    case IDNO: return kIdAddAfterLast;
    default: return IDCANCEL;
    }
}

void ExportTaskList(CDialog& owner, const CTaskList& list) {
    std::u16string strPath;
    if (!AskForTaskListFile(owner.m_hWnd, true, strPath)) return;
    CWaitCursor waitCursor;
    const CDataFileStatus saved = SaveTaskListFile(strPath, list);
    if (!saved.Succeeded()) owner.MessageBox(ExportFailedText(strPath, saved).c_str(), nullptr, MB_OK | MB_ICONERROR);
}

std::optional<CTaskList> AskForImportedList(CDialog& owner, const CTaskList& current) {
    std::u16string strPath;
    if (!AskForTaskListFile(owner.m_hWnd, false, strPath)) return std::nullopt;
    CTaskList imported;
    CDataFileStatus read;
    {
        CWaitCursor waitCursor;
        read = LoadTaskListFile(strPath, imported);
    }
    if (!read.Succeeded()) {
        owner.MessageBox(ImportRefusedText(read).c_str(), nullptr, MB_OK | MB_ICONWARNING);
        return std::nullopt;
    }
    const int nChoice = AskHowToImport(owner.m_hWnd, strPath, imported.GetSize());
    if (nChoice == kIdReplaceList) return imported;
    if (nChoice != kIdAddAfterLast) return std::nullopt;
    CTaskList list = current;
    for (int i = 0; i < imported.GetSize(); ++i) list.Add(imported.GetAt(i));
    return list;
}
