#include "core/JumpListPublisher.h"

namespace {

class CWaitCursorScope {
public:
    explicit CWaitCursorScope(IJumpListEnvironment& env) : m_env(env) { m_env.BeginWaitCursor(); }
    ~CWaitCursorScope() { m_env.EndWaitCursor(); }
    CWaitCursorScope(const CWaitCursorScope&) = delete;
    CWaitCursorScope& operator=(const CWaitCursorScope&) = delete;

private:
    IJumpListEnvironment& m_env;
};

}  // namespace

CPublishResult PublishJumpList(CTaskList& list, IJumpListEnvironment& env) {
    CPublishResult result;
    CWaitCursorScope waitCursor(env);
    const int n = list.GetSize();
    // Declared after the cursor, so the list is gone before the cursor is.
    const std::unique_ptr<IJumpList> pJumpList = env.CreateJumpList();

    result.m_bInitialized = pJumpList->InitializeList();
    if (!result.m_bInitialized) {
        env.ShowError(kMsgInitializeFailed);
        return result;
    }

    for (int i = 0; i < n; ++i) {
        const CJumpListAction action = list.GetAt(i);
        // A failed entry is only missing from the Jump List; the rest still goes.
        if (action.m_bSeparator)
            pJumpList->AddTaskSeparator();
        else
            pJumpList->AddTask(action.m_strPath, action.m_strArguments, action.m_strTitle, action.m_strIconPath,
                               action.m_nIconIndex);
    }

    result.m_bCommitted = pJumpList->CommitList();
    if (!result.m_bCommitted) env.ShowError(kMsgCommitFailed);

    result.m_save = LoadSaveDataFile(list, true);
    return result;
}
