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

// How the message names a task: its title, or what it launches when it has none.
std::u16string NameOf(const CJumpListAction& action) {
    return action.m_strTitle.empty() ? action.m_strPath : action.m_strTitle;
}

}  // namespace

CPublishResult PublishToShell(const CTaskList& list, IJumpListEnvironment& env) {
    CPublishResult result;
    CWaitCursorScope waitCursor(env);
    const int n = list.GetSize();
    // Declared after the cursor, so the list is gone before the cursor is.
    const std::unique_ptr<IJumpList> pJumpList = env.CreateJumpList();

    result.m_bInitialized = pJumpList->InitializeList();
    if (!result.m_bInitialized) {
        env.ShowError({CPublishError::initializeFailed, {}});
        return result;
    }

    std::vector<std::u16string> skipped;
    for (int i = 0; i < n; ++i) {
        const CJumpListAction& action = list.GetAt(i);
        // A failed entry is only missing from the Jump List; the rest still goes.
        if (action.m_bSeparator)
            pJumpList->AddTaskSeparator();
        else if (!pJumpList->AddTask(action.m_strPath, action.m_strArguments, action.m_strTitle, action.m_strIconPath,
                                     action.m_nIconIndex))
            skipped.push_back(NameOf(action));
    }

    result.m_bCommitted = pJumpList->CommitList();
    if (!result.m_bCommitted)
        env.ShowError({CPublishError::commitFailed, {}});
    else if (!skipped.empty())  // a refused commit already says that nothing arrived
        env.ShowError({CPublishError::tasksSkipped, skipped});
    return result;
}

CPublishResult PublishJumpList(CTaskList& list, IJumpListEnvironment& env, CDataFileStore& store) {
    // The shell must never show a list that Data.dat will not hold.
    if (CDataFileStatus check = store.CheckSave(list); !check.Succeeded()) {
        CPublishResult refused;
        refused.m_save = std::move(check);
        return refused;
    }
    CPublishResult result = PublishToShell(list, env);
    if (result.m_bInitialized) result.m_save = store.Save(list);
    return result;
}
