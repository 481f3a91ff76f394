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

std::wstring PublishErrorText(const CPublishError& error) {
    switch (error.m_eKind) {
    case CPublishError::initializeFailed: return AfxLoadText(AFX_IDS_PUBLISH_INITIALIZE_FAILED);
    case CPublishError::commitFailed: return AfxLoadText(AFX_IDS_PUBLISH_COMMIT_FAILED);
    case CPublishError::tasksSkipped: break;
    }
    constexpr std::size_t kMaxNamed = 10;
    std::wstring strNames;
    for (std::size_t i = 0; i < error.m_names.size() && i < kMaxNamed; ++i) {
        const std::u16string& strName = error.m_names[i];
        strNames += L"\n" + (strName.empty() ? AfxLoadText(AFX_IDS_UNTITLED_TASK) : std::wstring(as_wcstr(strName)));
    }
    if (error.m_names.size() > kMaxNamed) {
        const std::wstring strMore = std::to_wstring(error.m_names.size() - kMaxNamed);
        strNames += L"\n" + AfxFormatText(AFX_IDS_PUBLISH_MORE_SKIPPED, {strMore});
    }
    return AfxFormatText(AFX_IDS_PUBLISH_TASKS_SKIPPED, {strNames});
}

std::unique_ptr<IJumpList> CreateShellJumpList() { return std::make_unique<CShellJumpList>(); }

CJumpListEnvironment::CJumpListEnvironment(HWND hWndOwner, std::u16string strCaption, bool bShowErrors)
    : m_hWndOwner(hWndOwner), m_bShowErrors(bShowErrors), m_strCaption(std::move(strCaption)) {}

std::unique_ptr<IJumpList> CJumpListEnvironment::CreateJumpList() { return CreateShellJumpList(); }

void CJumpListEnvironment::ShowError(const CPublishError& error) {
    if (m_bShowErrors)
        MessageBoxW(m_hWndOwner, PublishErrorText(error).c_str(), as_wcstr(m_strCaption), MB_OK | MB_ICONERROR);
}

void CJumpListEnvironment::BeginWaitCursor() {
    if (CWinApp* pApp = AfxGetApp()) pApp->BeginWaitCursor();
}

void CJumpListEnvironment::EndWaitCursor() {
    if (CWinApp* pApp = AfxGetApp()) pApp->EndWaitCursor();
}
