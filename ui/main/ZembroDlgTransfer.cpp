// Export, import, and the command line's /import and /publish handed to the
// window: each a change committed as the window's own.
#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "framework/App.h"
#include "ui/main/HandedCommand.h"
#include "ui/main/TransferDialogs.h"
#include "win/ScopedValue.h"
#include "ui/main/ZembroDlg.h"

void CZembroDlg::OnExportList() {
    // What is exported is what Data.dat holds.
    FollowOutsideChange();
    ExportTaskList(*this, m_arrTasks);
}

void CZembroDlg::OnImportList() {
    FollowOutsideChange();
    if (std::optional<CTaskList> list = AskForImportedList(*this, m_arrTasks)) CommitChange(*list);
}

LRESULT CZembroDlg::OnCopyData(WPARAM, LPARAM lParam) {
    const CCommandLine command = HandedCommandOf(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    if (command.m_eCommand == CCommandLine::bad) return kExitBadCommandLine;
    // The user is in the middle of something (a dialog, a message, a menu, a
    // drag) that a change underneath would upset.
    if (GetHandlingDepth() > 1 || !::IsWindowEnabled(m_hWnd)) return kExitWindowBusy;
    const CScopedValue<bool> quiet(m_messages.m_bQuiet, true);
    FollowOutsideChange();
    CTaskList list = m_arrTasks;
    if (command.m_eCommand == CCommandLine::importList) {
        CWaitCursor waitCursor;
        if (!LoadTaskListFile(command.m_strFile, list).Succeeded()) return kExitListUnreadable;
    }
    return ExitCodeOf(CommitChange(list));
}
