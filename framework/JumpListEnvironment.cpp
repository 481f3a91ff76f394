#include "framework/JumpListEnvironment.h"

#include "framework/App.h"
#include "framework/JumpList.h"
#include "framework/LaunchTarget.h"
#include "win/WinText.h"

namespace {

class CShellJumpList : public IJumpList {
public:
    bool InitializeList() override { return m_jumpList.InitializeList(); }
    // The shell's link takes only what it can launch: the task goes in the
    // form MakeShellTask gives it, or not at all.
    bool AddTask(const std::u16string& strPath, const std::u16string& strArguments, const std::u16string& strTitle,
                 const std::u16string& strIconPath, std::int32_t nIconIndex) override {
        const std::optional<CShellTask> task = MakeShellTask(as_wcstr(strPath), as_wcstr(strArguments),
                                                             as_wcstr(strTitle), as_wcstr(strIconPath), nIconIndex);
        if (!task) return false;
        return m_jumpList.AddTask(task->m_strPath.c_str(), task->m_strArguments.c_str(), task->m_strTitle.c_str(),
                                  task->m_strIconPath.c_str(), task->m_nIconIndex);
    }
    bool AddTaskSeparator() override { return m_jumpList.AddTaskSeparator(); }
    bool CommitList() override { return m_jumpList.CommitList(); }

private:
    CJumpList m_jumpList{true};
};

}  // namespace

std::unique_ptr<IJumpList> CreateShellJumpList() { return std::make_unique<CShellJumpList>(); }

CJumpListEnvironment::CJumpListEnvironment(HWND hWndOwner, std::u16string strCaption, bool bShowErrors)
    : m_hWndOwner(hWndOwner), m_bShowErrors(bShowErrors), m_strCaption(std::move(strCaption)) {}

std::unique_ptr<IJumpList> CJumpListEnvironment::CreateJumpList() { return CreateShellJumpList(); }

void CJumpListEnvironment::ShowError(const std::u16string& strMessage) {
    if (m_bShowErrors) MessageBoxW(m_hWndOwner, as_wcstr(strMessage), as_wcstr(m_strCaption), MB_OK | MB_ICONERROR);
}

void CJumpListEnvironment::BeginWaitCursor() {
    if (CWinApp* pApp = AfxGetApp()) pApp->BeginWaitCursor();
}

void CJumpListEnvironment::EndWaitCursor() {
    if (CWinApp* pApp = AfxGetApp()) pApp->EndWaitCursor();
}
