#include "ui/main/RunTask.h"

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/LaunchTarget.h"
#include "res/resource.h"
#include "win/WinText.h"

void RunTask(CDialog& owner, const CJumpListAction& task) {
    const std::optional<CShellTask> shellTask =
        MakeShellTask(as_wcstr(task.m_strPath), as_wcstr(task.m_strArguments), as_wcstr(task.m_strTitle));
    std::wstring strReason;
    if (!shellTask) {
        strReason = AfxLoadText(IDS_RUN_TASK_NOTHING_TO_START);
    } else {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        // The reason is told below, in the program's message, not in a box of the shell's.
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.hwnd = owner.m_hWnd;
        info.lpFile = shellTask->m_strPath.c_str();
        info.lpParameters = shellTask->m_strArguments.empty() ? nullptr : shellTask->m_strArguments.c_str();
        info.nShow = SW_SHOWNORMAL;
        if (::ShellExecuteExW(&info)) return;
        strReason = AfxSystemMessage(::GetLastError());
    }
    // An untitled task goes by what it starts, as in the Jump List.
    const std::wstring strName = !task.m_strTitle.empty() ? std::wstring(as_wcstr(task.m_strTitle))
                                 : shellTask            ? shellTask->m_strTitle
                                                        : std::wstring(as_wcstr(task.m_strPath));
    owner.MessageBox(AfxFormatText(IDS_RUN_TASK_FAILED, {strName, strReason}).c_str(), nullptr,
                     MB_OK | MB_ICONWARNING);
}
