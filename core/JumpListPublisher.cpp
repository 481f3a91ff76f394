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
    // Enough to find them; a message longer than the screen helps nobody.
    constexpr std::size_t kMaxNamed = 10;
    std::u16string message = u"These tasks could not be added to the Jump List:\n";
    for (std::size_t i = 0; i < names.size() && i < kMaxNamed; ++i) message += u"\n" + names[i];
    if (names.size() > kMaxNamed) {
        const std::string more = std::to_string(names.size() - kMaxNamed);
        message += u"\nand " + std::u16string(more.begin(), more.end()) + u" more";
    }
    message += u"\n\nCheck the application path of each.";
    return message;
}

CPublishResult PublishToShell(const CTaskList& list, IJumpListEnvironment& env) {
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
        env.ShowError(kMsgCommitFailed);
    else if (!skipped.empty())  // a refused commit already says that nothing arrived
        env.ShowError(SkippedTasksMessage(skipped));
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
