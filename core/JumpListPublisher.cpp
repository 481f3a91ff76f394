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
    if (!action.m_strTitle.empty()) return action.m_strTitle;
    if (!action.m_strPath.empty()) return action.m_strPath;
    return u"(untitled task)";
}

}  // namespace

std::u16string SkippedTasksMessage(const std::vector<std::u16string>& names) {
    std::u16string message = u"These tasks could not be added to the Jump List:\n";
    for (const std::u16string& name : names) message += u"\n" + name;
    message += u"\n\nCheck the application path of each.";
    return message;
}

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

    std::vector<std::u16string> skipped;
    for (int i = 0; i < n; ++i) {
        const CJumpListAction action = list.GetAt(i);
        // A failed entry is only missing from the Jump List; the rest still goes.
        if (action.m_bSeparator)
            pJumpList->AddTaskSeparator();
        else if (!pJumpList->AddTask(action.m_strPath, action.m_strArguments, action.m_strTitle, action.m_strIconPath,
                                     action.m_nIconIndex))
            skipped.push_back(NameOf(action));
    }

    result.m_bCommitted = pJumpList->CommitList();
    if (!result.m_bCommitted)
        env.ShowError(kMsgCommitFailed);
    else if (!skipped.empty())  // a refused commit already says that nothing arrived
        env.ShowError(SkippedTasksMessage(skipped));

    result.m_save = LoadSaveDataFile(list, true);
    return result;
}
