#pragma once
// Hands a task list to the shell as the program's Jump List, then saves it to
// the data file. The shell and the user interface are reached through the two
// interfaces below, so the order of calls is the same on every platform.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/DataFile.h"
#include "core/JumpListAction.h"

// One new Jump List of the program, alive for one publication. Entries go to
// the Tasks category in the order they are added; CommitList replaces the
// previous Jump List as a whole. Destroying a begun, uncommitted list is the
// implementation's business (the Windows one commits it).
class IJumpList {
public:
    virtual ~IJumpList() = default;
    virtual bool InitializeList() = 0;
    virtual bool AddTask(const std::u16string& strPath, const std::u16string& strArguments,
                         const std::u16string& strTitle, const std::u16string& strIconPath,
                         std::int32_t nIconIndex) = 0;
    virtual bool AddTaskSeparator() = 0;
    virtual bool CommitList() = 0;
};

// A publication the shell refused, or took only in part: for the program
// around the publisher to put in its own words.
struct CPublishError {
    enum EKind {
        initializeFailed,
        commitFailed,
        // After a commit that had to leave tasks out: they are all named, so a
        // task is never missing from the Jump List without a word.
        tasksSkipped,
    };
    EKind m_eKind = initializeFailed;
    // tasksSkipped: each task's title, or its path when it has none; empty
    // when it has neither.
    std::vector<std::u16string> m_names;

    bool operator==(const CPublishError&) const = default;
};

// What the publisher needs from the program around it.
class IJumpListEnvironment {
public:
    virtual ~IJumpListEnvironment() = default;
    // Never null.
    virtual std::unique_ptr<IJumpList> CreateJumpList() = 0;
    // Tells error and returns when the user has read it.
    virtual void ShowError(const CPublishError& error) = 0;
    // Calls nest; each Begin is matched by one End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

struct CPublishResult {
    bool m_bInitialized = false;  // false: nothing was added, committed or saved
    bool m_bCommitted = false;
    // The save that follows every begun publication, or the store's refusal
    // that kept the publication from beginning; empty when there was neither.
    // The caller reports a failed save: the publisher has no word for it.
    std::optional<CDataFileStatus> m_save;

    bool SaveFailed() const { return m_save && !m_save->Succeeded(); }
};

// Hands list to the shell entry by entry (descriptions stay in the program).
// Both shell failures are shown through env.ShowError, and so are, after a
// successful commit, the tasks the Jump List refused (tasksSkipped);
// the wait cursor is up for the whole call. Saves nothing.
CPublishResult PublishToShell(const CTaskList& list, IJumpListEnvironment& env);

// Publishes list as PublishToShell does and then saves it to store, committed
// or not. A list the store would refuse (see CDataFileStore::CheckSave) is
// neither published nor saved, and neither is one the shell refuses to begin.
CPublishResult PublishJumpList(CTaskList& list, IJumpListEnvironment& env, CDataFileStore& store);
