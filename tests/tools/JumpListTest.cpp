// CJumpList against the stand-in host registered in the prefix: what the shell
// can read back from the committed list, and what happens when it refuses.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "core/DefaultTaskList.h"
#include "framework/JumpList.h"
#include "framework/WinText.h"
#include "support/Bytes.h"
#include "tools/HostRecord.h"

namespace {

class JumpListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsHostRegistered()) << "register the stand-in host: tools/register-jumplist-host.sh PREFIX DLL";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ClearSwitches();
        ClearHostFiles();
    }
    void TearDown() override {
        ClearSwitches();
        CoUninitialize();
    }
    static void ClearSwitches() {
        for (const wchar_t* name : {L"FailBeginList", L"FailAddUserTasks", L"FailCommitList"}) SetHostSwitch(name, false);
    }
    // Adds every entry of list to a begun jumpList.
    static void AddAll(CJumpList& jumpList, const CTaskList& list) {
        for (int i = 0; i < list.GetSize(); ++i) {
            const CJumpListAction& a = list.GetAt(i);
            const bool bAdded = a.m_bSeparator ? jumpList.AddTaskSeparator()
                                               : jumpList.AddTask(as_wcstr(a.m_strPath), as_wcstr(a.m_strArguments),
                                                                  as_wcstr(a.m_strTitle), as_wcstr(a.m_strIconPath),
                                                                  a.m_nIconIndex);
            EXPECT_TRUE(bAdded) << "entry " << i;
        }
    }
    static bool Publish(const CTaskList& list) {
        CJumpList jumpList(true);
        if (!jumpList.InitializeList()) return false;
        AddAll(jumpList, list);
        return jumpList.CommitList();
    }
    static void ExpectRecorded(const CTaskList& list) {
        const std::optional<HostRecord> record = ReadHostRecord();
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->tasks, ExpectedEntries(list));
        EXPECT_FALSE(record->appIdSet);
        EXPECT_TRUE(record->categories.empty());
    }
};

std::u16string LongArguments() {
    std::u16string args;
    for (int i = 0; i < 150; ++i) args += u"--file \"C:\\Some Folder\\x" + std::u16string(1, u'0' + i % 10) + u".txt\" ";
    return args;  // about 4,000 characters
}

TEST_F(JumpListTest, CommittedListReadsBackAsHandedOver) {
    CTaskList defaults;
    FillDefaultTaskList(defaults);
    const struct {
        const char* name;
        CTaskList list;
    } cases[] = {
        {"Defaults", defaults},
        {"UrlAndBareNamesStayAsTheyAre",
         MakeList({MakeTask(u"Site", u"", u"https://brellow.example/zembro?a=1&b=\"2\""),
                   MakeTask(u"Prompt", u"", u"cmd", u"/k echo hi"), MakeTask(u"Mail", u"", u"mailto:support@brellow.example"),
                   MakeTask(u"Relative", u"", u"tools\\x.exe", u"", u"..\\icons.dll", 3)})},
        {"NegativeIconIndex", MakeList({MakeTask(u"Shell", u"", u"C:\\Windows\\explorer.exe", u"",
                                                 u"C:\\Windows\\system32\\shell32.dll", -16769)})},
        {"NonAsciiTitles",
         MakeList({MakeTask(u"Éditeur — «Notes»", u"", u"C:\\Programme\\Ärger.exe", u"ü", u"C:\\Ärger.exe", 1),
                   MakeTask(u"日本語のタイトル", u"", u"cmd"), MakeTask(u"Emoji \U0001F600 and \U00010348", u"", u"cmd")})},
        {"QuotesBackslashesAndControls",
         MakeList({MakeTask(u"Say \"hi\" \\ back\\", u"", u"C:\\a\\\\b\\", u"\"quoted arg\" \\\"", u"C:\\i.ico"),
                   MakeTask(u"Tab\there\x01\x1f", u"", u"cmd", u"a\tb")})},
        {"LongArgumentsWithQuotes", MakeList({MakeTask(u"Long", u"", u"C:\\tool.exe", LongArguments())})},
        {"EmptyFieldsAndSeparatorsAtBothEnds",
         MakeList({MakeSeparator(), MakeTask(u"", u"", u"", u"", u"", 0), MakeSeparator(), MakeSeparator()})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearHostFiles();
        ASSERT_TRUE(Publish(c.list));
        ExpectRecorded(c.list);
        EXPECT_EQ(ReadHostCalls(), (std::vector<std::string>{"BeginList", "AddUserTasks", "CommitList"}));
    }
}

TEST_F(JumpListTest, EachCommitReplacesTheWholeList) {
    CTaskList defaults;
    FillDefaultTaskList(defaults);
    ASSERT_TRUE(Publish(defaults));
    const CTaskList one = MakeList({MakeTask(u"Only", u"", u"notepad")});
    ASSERT_TRUE(Publish(one));
    ExpectRecorded(one);

    ASSERT_TRUE(Publish(CTaskList()));
    ExpectRecorded(CTaskList());
}

TEST_F(JumpListTest, RefusedBeginAddsNothingAndKeepsThePreviousList) {
    ASSERT_TRUE(Publish(MakeList({MakeTask(u"Before", u"", u"cmd")})));
    const std::string bytesBefore = ReadHostRecordBytes();
    ClearHostCalls();
    SetHostSwitch(L"FailBeginList", true);
    {
        CJumpList jumpList(true);
        EXPECT_FALSE(jumpList.InitializeList());
        EXPECT_FALSE(jumpList.IsBegun());
        EXPECT_FALSE(jumpList.AddTask(L"cmd", L"", L"Late", L"", 0));
        EXPECT_FALSE(jumpList.AddTaskSeparator());
        EXPECT_FALSE(jumpList.CommitList());
    }
    EXPECT_EQ(ReadHostCalls(), std::vector<std::string>{"BeginList failed"});
    EXPECT_EQ(ReadHostRecordBytes(), bytesBefore);
}

TEST_F(JumpListTest, FailureAfterBeginAbortsAndKeepsThePreviousList) {
    const struct {
        const char* name;
        const wchar_t* pszSwitch;
        std::vector<std::string> calls;
    } cases[] = {
        {"AddUserTasks", L"FailAddUserTasks", {"BeginList", "AddUserTasks failed", "AbortList"}},
        {"CommitList", L"FailCommitList", {"BeginList", "AddUserTasks", "CommitList failed", "AbortList"}},
    };
    const CTaskList before = MakeList({MakeTask(u"Before", u"", u"cmd")});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Publish(before));
        const std::string bytesBefore = ReadHostRecordBytes();
        ClearHostCalls();
        SetHostSwitch(c.pszSwitch, true);
        {
            CJumpList jumpList(true);
            ASSERT_TRUE(jumpList.InitializeList());
            AddAll(jumpList, MakeList({MakeTask(u"After", u"", u"notepad"), MakeSeparator()}));
            EXPECT_FALSE(jumpList.CommitList());
            EXPECT_FALSE(jumpList.IsBegun());
        }  // nothing is committed again on the way out
        EXPECT_EQ(ReadHostCalls(), c.calls);
        EXPECT_EQ(ReadHostRecordBytes(), bytesBefore);
        SetHostSwitch(c.pszSwitch, false);
    }
}

TEST_F(JumpListTest, BegunListIsCommittedOrAbandonedWhenTheWrapperGoes) {
    const CTaskList list = MakeList({MakeTask(u"Auto", u"", u"cmd"), MakeSeparator()});
    {
        CJumpList jumpList(true);
        ASSERT_TRUE(jumpList.InitializeList());
        AddAll(jumpList, list);
    }
    ExpectRecorded(list);
    ClearHostFiles();
    {
        CJumpList jumpList(false);
        ASSERT_TRUE(jumpList.InitializeList());
        AddAll(jumpList, list);
    }
    EXPECT_EQ(ReadHostCalls(), (std::vector<std::string>{"BeginList", "AbortList"}));
    EXPECT_FALSE(HostRecordExists());
}

TEST_F(JumpListTest, BeginningAgainAbandonsTheFirstList) {
    CJumpList jumpList(true);
    ASSERT_TRUE(jumpList.InitializeList());
    ASSERT_TRUE(jumpList.AddTask(L"first", L"", L"First", L"", 0));
    ASSERT_TRUE(jumpList.InitializeList());
    ASSERT_TRUE(jumpList.AddTask(L"second", L"", L"Second", L"", 0));
    ASSERT_TRUE(jumpList.CommitList());
    ExpectRecorded(MakeList({MakeTask(u"Second", u"", u"second")}));
    EXPECT_EQ(ReadHostCalls(),
              (std::vector<std::string>{"BeginList", "AbortList", "BeginList", "AddUserTasks", "CommitList"}));
}

}  // namespace
