// Export and import: the list to and from a file of the user's choice, in
// Data.dat's own format, through the same store, limits and change commit.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/App.h"
#include "ui/main/DataFileTexts.h"
#include "ui/main/TransferDialogs.h"
#include "win/ScopedValue.h"
#include "win/WinText.h"
#include "ui/main/ZembroDlg.h"

void CZembroDlg::OnExportList() {
    // What is exported is what Data.dat holds.
    FollowOutsideChange();
    std::u16string strPath;
    if (!AskForTaskListFile(m_hWnd, true, strPath)) return;
    CWaitCursor waitCursor;
    const CDataFileStatus saved = SaveTaskListFile(strPath, m_arrTasks);
    if (saved.Succeeded()) return;
    MessageBox(ExportFailedText(strPath, saved).c_str(), nullptr, MB_OK | MB_ICONERROR);
}

void CZembroDlg::OnImportList() {
    FollowOutsideChange();
    std::u16string strPath;
    if (!AskForTaskListFile(m_hWnd, false, strPath)) return;
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
    const int nChoice = AskHowToImport(m_hWnd, strPath, imported.GetSize());
    if (nChoice == kIdReplaceList) {
        CommitChange(imported);
    } else if (nChoice == kIdAddAfterLast) {
        CTaskList list = m_arrTasks;
        for (int i = 0; i < imported.GetSize(); ++i) list.Add(imported.GetAt(i));
        CommitChange(list);
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
    return ExitCodeOf(CommitChange(list));
}
