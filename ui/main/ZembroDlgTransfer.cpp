// Export and import: the list to and from a file of the user's choice, in
// Data.dat's own format, through the same store, limits and change commit.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/App.h"
#include "framework/FileDialog.h"
#include "ui/main/DataFileTexts.h"
#include "win/ScopedValue.h"
#include "win/WinText.h"
#include "ui/main/ZembroDlg.h"

namespace {

constexpr wchar_t kTaskListFilterSpec[] = L"*.dat";

enum { kIdReplaceList = 1001, kIdAddAfterLast = 1002 };

}  // namespace

void CZembroDlg::OnExportList() {
    // What is exported is what Data.dat holds.
    FollowOutsideChange();
    CFileDialogRequest request;
    request.m_bSave = true;
    const std::wstring strFilterName = AfxLoadText(IDS_TASK_LIST_FILTER), strFileName = AfxLoadText(IDS_EXPORT_FILE_NAME);
    request.m_pszFilterName = strFilterName.c_str();
    request.m_pszFilterSpec = kTaskListFilterSpec;
    request.m_pszFileName = strFileName.c_str();
    request.m_pszDefaultExtension = L"dat";
    std::u16string strPath;
    if (!AfxAskForFile(m_hWnd, request, strPath)) return;
    CWaitCursor waitCursor;
    const CDataFileStatus saved = SaveTaskListFile(strPath, m_arrTasks);
    if (saved.Succeeded()) return;
    MessageBox(ExportFailedText(strPath, saved).c_str(), nullptr, MB_OK | MB_ICONERROR);
}

void CZembroDlg::OnImportList() {
    FollowOutsideChange();
    CFileDialogRequest request;
    const std::wstring strFilterName = AfxLoadText(IDS_TASK_LIST_FILTER);
    request.m_pszFilterName = strFilterName.c_str();
    request.m_pszFilterSpec = kTaskListFilterSpec;
    std::u16string strPath;
    if (!AfxAskForFile(m_hWnd, request, strPath)) return;
    CTaskList imported;
    CDataFileStatus read;
    {
        CWaitCursor waitCursor;
        read = LoadTaskListFile(strPath, imported);
    }
    if (!read.Succeeded()) {
        MessageBox(ImportRefusedText(read).c_str(), nullptr, MB_OK | MB_ICONWARNING);
        return;
    }
    const int nChoice = AskHowToImport(strPath, imported.GetSize());
    if (nChoice == kIdReplaceList) {
        CommitChange(imported);
    } else if (nChoice == kIdAddAfterLast) {
        CTaskList list = m_arrTasks;
        for (int i = 0; i < imported.GetSize(); ++i) list.Add(imported.GetAt(i));
        CommitChange(list);
    }
}

int CZembroDlg::AskHowToImport(const std::u16string& strPath, int nEntries) {
    const std::wstring strTitle = AfxGetAppTitle();
    const std::wstring strInstruction =
        nEntries == 1 ? AfxFormatText(IDS_IMPORT_ONE_ENTRY, {FileNameOf(strPath)})
                      : AfxFormatText(IDS_IMPORT_ENTRIES, {std::to_wstring(nEntries), FileNameOf(strPath)});
    const std::wstring strReplace = AfxLoadText(IDS_IMPORT_REPLACE), strAddAfter = AfxLoadText(IDS_IMPORT_ADD_AFTER);
    const TASKDIALOG_BUTTON buttons[] = {
        {kIdReplaceList, strReplace.c_str()},
        {kIdAddAfterLast, strAddAfter.c_str()},
    };
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = m_hWnd;
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
    switch (MessageBox(strText.c_str(), nullptr, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3)) {
    case IDYES: return kIdReplaceList;
    case IDNO: return kIdAddAfterLast;
    default: return IDCANCEL;
    }
}

LRESULT CZembroDlg::OnCopyData(WPARAM, LPARAM lParam) {
    const auto* pData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!pData || pData->dwData != kWindowCommandTag || !pData->lpData || pData->cbData % sizeof(char16_t))
        return kExitBadCommandLine;
    // The user is in the middle of something (a dialog, a message, a menu, a
    // drag) that a change underneath would upset.
    if (GetHandlingDepth() > 1 || !::IsWindowEnabled(m_hWnd)) return kExitWindowBusy;
    const std::u16string strData(static_cast<const char16_t*>(pData->lpData), pData->cbData / sizeof(char16_t));
    return RunHandedCommand(DecodeWindowCommand(strData));
}

int CZembroDlg::RunHandedCommand(const CCommandLine& command) {
    if (command.m_eCommand != CCommandLine::publish && command.m_eCommand != CCommandLine::importList)
        return kExitBadCommandLine;
    const CScopedValue<bool> quiet(m_bQuiet, true);
    FollowOutsideChange();
    CTaskList list = m_arrTasks;
    if (command.m_eCommand == CCommandLine::importList) {
        CWaitCursor waitCursor;
        if (!LoadTaskListFile(command.m_strFile, list).Succeeded()) return kExitListUnreadable;
    }
    const CPublishResult result = CommitChange(list);
    if (result.SaveFailed())
        return result.m_save->m_eResult == CDataFileStatus::overLimits ? kExitListUnreadable : kExitNotWritten;
    return result.m_bInitialized && result.m_bCommitted ? kExitDone : kExitShellRefused;
}
