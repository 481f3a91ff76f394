// What the publisher hands to the Jump List, in which order, and what it does
// with the answers: recorded through a stand-in environment.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/DefaultTaskList.h"
#include "core/JumpListPublisher.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"

namespace {

class CRecordingEnvironment : public IJumpListEnvironment {
public:
    bool m_bFailInitialize = false;
    bool m_bFailAdds = false;
    bool m_bFailCommit = false;
    bool m_bThrowOnAdd = false;
    std::vector<std::u16string> m_refusedPaths;  // tasks whose AddTask fails

    std::vector<std::string> m_calls;
    CTaskList m_published;  // what reached the Jump List, as records
    std::vector<CPublishError> m_errors;
    Bytes m_bytesAtCommit, m_bytesAtError;
    int m_nCursorDepth = 0;
    bool m_bCursorDownDuringCall = false;

    explicit CRecordingEnvironment(std::u16string strDataFile) : m_strDataFile(std::move(strDataFile)) {}

    std::unique_ptr<IJumpList> CreateJumpList() override {
        Note("CreateJumpList");
        return std::make_unique<CRecordingJumpList>(*this);
    }
    void ShowError(const CPublishError& error) override {
        Note("ShowError");
        m_errors.push_back(error);
        m_bytesAtError = ReadBytes(m_strDataFile);
    }
    void BeginWaitCursor() override {
        m_calls.push_back("BeginWaitCursor");
        ++m_nCursorDepth;
    }
    void EndWaitCursor() override {
        m_calls.push_back("EndWaitCursor");
        --m_nCursorDepth;
    }

private:
    class CRecordingJumpList : public IJumpList {
    public:
        explicit CRecordingJumpList(CRecordingEnvironment& env) : m_env(env) {}
        ~CRecordingJumpList() override { m_env.Note("DestroyJumpList"); }
        bool InitializeList() override {
            m_env.Note("InitializeList");
            return !m_env.m_bFailInitialize;
        }
        bool AddTask(const std::u16string& strPath, const std::u16string& strArguments,
                     const std::u16string& strTitle, const std::u16string& strIconPath,
                     std::int32_t nIconIndex) override {
            m_env.Note("AddTask");
            if (m_env.m_bThrowOnAdd) throw std::runtime_error("out of memory");
            m_env.m_published.Add(MakeTask(strTitle, u"", strPath, strArguments, strIconPath, nIconIndex));
            for (const std::u16string& refused : m_env.m_refusedPaths)
                if (strPath == refused) return false;
            return !m_env.m_bFailAdds;
        }
        bool AddTaskSeparator() override {
            m_env.Note("AddTaskSeparator");
            m_env.m_published.Add(MakeSeparator());
            return !m_env.m_bFailAdds;
        }
        bool CommitList() override {
            m_env.Note("CommitList");
            m_env.m_bytesAtCommit = ReadBytes(m_env.m_strDataFile);
            return !m_env.m_bFailCommit;
        }

    private:
        CRecordingEnvironment& m_env;
    };

    void Note(const char* pszCall) {
        m_calls.push_back(pszCall);
        if (m_nCursorDepth != 1) m_bCursorDownDuringCall = true;
    }

    std::u16string m_strDataFile;
};

// What the shell should receive for list: descriptions dropped, separators bare.
CTaskList Published(const CTaskList& list) {
    CTaskList out;
    for (int i = 0; i < list.GetSize(); ++i) {
        CJumpListAction a = list.GetAt(i);
        if (a.m_bSeparator) {
            out.Add(MakeSeparator());
        } else {
            a.m_strDescription.clear();
            out.Add(a);
        }
    }
    return out;
}

std::vector<std::string> ExpectedCalls(const CTaskList& list, bool bCommitFails = false) {
    std::vector<std::string> calls = {"BeginWaitCursor", "CreateJumpList", "InitializeList"};
    for (int i = 0; i < list.GetSize(); ++i) calls.push_back(list.GetAt(i).m_bSeparator ? "AddTaskSeparator" : "AddTask");
    calls.push_back("CommitList");
    if (bCommitFails) calls.push_back("ShowError");
    calls.push_back("DestroyJumpList");
    calls.push_back("EndWaitCursor");
    return calls;
}

class JumpListPublisherTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        m_env = std::make_unique<CRecordingEnvironment>(DataFilePath());
        m_store.emplace(DataFilePath());
    }
    void StoreBefore(const CTaskList& list) { ASSERT_TRUE(m_store->Save(list).Succeeded()); }
    void ExpectCursorBalanced() const {
        EXPECT_EQ(m_env->m_nCursorDepth, 0);
        EXPECT_FALSE(m_env->m_bCursorDownDuringCall);
        ASSERT_FALSE(m_env->m_calls.empty());
        EXPECT_EQ(m_env->m_calls.front(), "BeginWaitCursor");
        EXPECT_EQ(m_env->m_calls.back(), "EndWaitCursor");
    }
    std::unique_ptr<CRecordingEnvironment> m_env;
    std::optional<CDataFileStore> m_store;
};

const CJumpListAction kCmd = MakeTask(u"Command Prompt", u"Open Command Prompt", u"cmd", u"/k dir", u"", 0);
const CJumpListAction kNotepad =
    MakeTask(u"Notes", u"", u"C:\\Windows\\notepad.exe", u"\"C:\\a b.txt\"", u"C:\\Windows\\notepad.exe", -2);
const CJumpListAction kBlank = MakeTask(u"", u"only a description", u"", u"", u"", 7);

TEST_F(JumpListPublisherTest, HandsOverEveryEntryInOrderThenCommitsThenSaves) {
    CTaskList defaults;
    FillDefaultTaskList(defaults);
    CJumpListAction oddSeparator = MakeSeparator(2);
    oddSeparator.m_strTitle = u"kept in the file, not published";
    const struct {
        const char* name;
        CTaskList list;
    } cases[] = {
        {"Defaults", defaults},
        {"SeparatorFirstAndLast", MakeList({MakeSeparator(), kCmd, MakeSeparator()})},
        {"SeparatorsInARow", MakeList({kCmd, MakeSeparator(), MakeSeparator(), kNotepad})},
        {"OnlySeparators", MakeList({MakeSeparator(), oddSeparator})},
        {"EmptyFieldsAreNotSkipped", MakeList({kBlank, kNotepad, kBlank})},
        {"Empty", CTaskList()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoreBefore(MakeList({kCmd}));
        const Bytes before = ReadBytes(DataFilePath());

        CTaskList list = c.list;
        const CPublishResult result = PublishJumpList(list, *m_env, *m_store);

        EXPECT_EQ(m_env->m_calls, ExpectedCalls(c.list));
        EXPECT_EQ(m_env->m_published, Published(c.list));
        EXPECT_TRUE(m_env->m_errors.empty());
        EXPECT_EQ(m_env->m_bytesAtCommit, before);  // saved only after the commit
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.list));
        EXPECT_EQ(list, c.list);
        EXPECT_TRUE(result.m_bInitialized);
        EXPECT_TRUE(result.m_bCommitted);
        ASSERT_TRUE(result.m_save.has_value());
        EXPECT_TRUE(result.m_save->Succeeded());
        ExpectCursorBalanced();
        TearDown();
        SetUp();
    }
}

TEST_F(JumpListPublisherTest, EmptyListIsCommittedEmptyAndSavedWithCountZero) {
    CTaskList list;
    PublishJumpList(list, *m_env, *m_store);
    EXPECT_EQ(m_env->m_published.GetSize(), 0);
    EXPECT_EQ(ReadBytes(DataFilePath()), (Bytes{0, 0, 0, 0}));
}

TEST_F(JumpListPublisherTest, DescriptionNeverReachesTheShell) {
    CJumpListAction described = kNotepad;
    described.m_strDescription = u"Something else entirely";
    CTaskList withDescription = MakeList({described});
    CTaskList withoutDescription = MakeList({kNotepad});

    PublishJumpList(withDescription, *m_env, *m_store);
    // The file keeps the description all the same.
    CTaskList reread;
    m_store->Load(reread);
    EXPECT_EQ(reread, withDescription);

    CRecordingEnvironment second(DataFilePath());
    PublishJumpList(withoutDescription, second, *m_store);
    EXPECT_EQ(m_env->m_published, second.m_published);
    EXPECT_EQ(m_env->m_published.GetAt(0).m_strTitle, u"Notes");
}

TEST_F(JumpListPublisherTest, RefusedBeginShowsOneMessageAndTouchesNothing) {
    for (bool bFileBefore : {true, false}) {
        SCOPED_TRACE(bFileBefore ? "with a data file" : "without a data file");
        if (bFileBefore) StoreBefore(MakeList({kNotepad, MakeSeparator()}));
        const Bytes before = ReadBytes(DataFilePath());
        m_env->m_bFailInitialize = true;

        CTaskList list = MakeList({kCmd, MakeSeparator(), kBlank});
        const CPublishResult result = PublishJumpList(list, *m_env, *m_store);

        EXPECT_EQ(m_env->m_errors, (std::vector<CPublishError>{{CPublishError::initializeFailed, {}}}));
        const std::vector<std::string> expected = {"BeginWaitCursor", "CreateJumpList", "InitializeList",
                                                   "ShowError",       "DestroyJumpList", "EndWaitCursor"};
        EXPECT_EQ(m_env->m_calls, expected);
        EXPECT_EQ(ReadBytes(DataFilePath()), before);
        EXPECT_EQ(FileExists(DataFilePath()), bFileBefore);
        EXPECT_FALSE(result.m_bInitialized);
        EXPECT_FALSE(result.m_save.has_value());
        EXPECT_FALSE(result.SaveFailed());
        ExpectCursorBalanced();
        TearDown();
        SetUp();
    }
}

TEST_F(JumpListPublisherTest, RefusedCommitShowsOneMessageAndThenSaves) {
    StoreBefore(MakeList({kNotepad}));
    const Bytes before = ReadBytes(DataFilePath());
    m_env->m_bFailCommit = true;

    CTaskList list = MakeList({kCmd, MakeSeparator()});
    const CPublishResult result = PublishJumpList(list, *m_env, *m_store);

    EXPECT_EQ(m_env->m_errors, (std::vector<CPublishError>{{CPublishError::commitFailed, {}}}));
    EXPECT_EQ(m_env->m_calls, ExpectedCalls(list, true));
    EXPECT_EQ(m_env->m_bytesAtError, before);  // the message comes first
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(list));
    EXPECT_TRUE(result.m_bInitialized);
    EXPECT_FALSE(result.m_bCommitted);
    ASSERT_TRUE(result.m_save.has_value());
    EXPECT_TRUE(result.m_save->Succeeded());
    ExpectCursorBalanced();
}

TEST_F(JumpListPublisherTest, RefusedEntriesAreStillFollowedByTheRest) {
    m_env->m_bFailAdds = true;
    CTaskList list = MakeList({kCmd, MakeSeparator(), kNotepad});
    const CPublishResult result = PublishJumpList(list, *m_env, *m_store);
    std::vector<std::string> calls = ExpectedCalls(list);
    calls.insert(calls.end() - 2, "ShowError");  // after the commit, before the list goes
    EXPECT_EQ(m_env->m_calls, calls);
    EXPECT_EQ(m_env->m_errors,
              (std::vector<CPublishError>{{CPublishError::tasksSkipped, {u"Command Prompt", u"Notes"}}}));
    EXPECT_TRUE(result.m_bCommitted);
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(list));
}

// A refused commit already says that nothing arrived: no second message for
// the tasks refused on the way. (How they are named is tested on Windows.)
TEST_F(JumpListPublisherTest, RefusedCommitIsTheOnlyMessageEvenWithRefusedTasks) {
    m_env->m_refusedPaths = {u"cmd"};
    m_env->m_bFailCommit = true;
    CTaskList list = MakeList({kCmd, kNotepad});
    PublishJumpList(list, *m_env, *m_store);
    EXPECT_EQ(m_env->m_errors, (std::vector<CPublishError>{{CPublishError::commitFailed, {}}}));
    EXPECT_EQ(m_env->m_published, Published(list));
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(list));
}

TEST_F(JumpListPublisherTest, FailedSaveIsHandedToTheCaller) {
    StoreBefore(MakeList({kNotepad}));
    const Bytes before = ReadBytes(DataFilePath());
    SetReadOnly(DataFilePath(), true);

    CTaskList list = MakeList({kCmd});
    const CPublishResult result = PublishJumpList(list, *m_env, *m_store);
    SetReadOnly(DataFilePath(), false);

    EXPECT_TRUE(result.m_bCommitted);
    EXPECT_TRUE(result.SaveFailed());
    ASSERT_TRUE(result.m_save.has_value());
    EXPECT_EQ(result.m_save->m_eResult, CDataFileStatus::saveFailed);
    EXPECT_EQ(result.m_save->m_strPath, DataFilePath());
    EXPECT_TRUE(m_env->m_errors.empty());  // reported by the caller, who knows the window
    EXPECT_EQ(ReadBytes(DataFilePath()), before);
    ExpectCursorBalanced();
}

// The shell never shows a list that Data.dat would not hold.
TEST_F(JumpListPublisherTest, ListTheStoreWouldRefuseIsNeitherPublishedNorSaved) {
    CTaskList tooMany;
    for (int i = 0; i <= kMaxTaskListEntries; ++i) tooMany.Add(MakeSeparator());
    const struct {
        const char* name;
        bool bChangeOutside;
        CTaskList list;
        CDataFileStatus::EResult result;
    } cases[] = {
        {"PastTheEntryLimit", false, tooMany, CDataFileStatus::overLimits},
        {"DataFileChangedByAnother", true, MakeList({kCmd}), CDataFileStatus::changedOutside},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoreBefore(MakeList({kNotepad}));
        if (c.bChangeOutside) WriteBytes(DataFilePath(), Store(MakeList({kBlank})));
        const Bytes before = ReadBytes(DataFilePath());
        CTaskList list = c.list;
        const CPublishResult result = PublishJumpList(list, *m_env, *m_store);
        EXPECT_TRUE(m_env->m_calls.empty());
        EXPECT_FALSE(result.m_bInitialized);
        ASSERT_TRUE(result.SaveFailed());
        EXPECT_EQ(result.m_save->m_eResult, c.result);
        EXPECT_EQ(ReadBytes(DataFilePath()), before);
        TearDown();
        SetUp();
    }
}

TEST_F(JumpListPublisherTest, ErrorFromTheShellSideStillReleasesListAndCursor) {
    m_env->m_bThrowOnAdd = true;
    CTaskList list = MakeList({kCmd});
    EXPECT_THROW(PublishJumpList(list, *m_env, *m_store), std::runtime_error);
    const std::vector<std::string> expected = {"BeginWaitCursor", "CreateJumpList", "InitializeList",
                                               "AddTask",         "DestroyJumpList", "EndWaitCursor"};
    EXPECT_EQ(m_env->m_calls, expected);
    EXPECT_EQ(m_env->m_nCursorDepth, 0);
    EXPECT_FALSE(FileExists(DataFilePath()));
}

}  // namespace
