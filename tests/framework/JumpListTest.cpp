// CJumpList against the stand-in host registered in the prefix: what the shell
// can read back from the committed list, and what happens when it refuses.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "core/DefaultTaskList.h"
#include "framework/JumpList.h"
#include "framework/LaunchTarget.h"
#include "win/WinText.h"
#include "support/Bytes.h"
#include "tools/HostRecord.h"

namespace {

class JumpListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsHostRegistered()) << "register the stand-in host: tools/register-jumplist-host.sh PREFIX DLL";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ClearHostSwitches();
        ClearHostFiles();
    }
    void TearDown() override {
        ClearHostSwitches();
        CoUninitialize();
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
    // CJumpList hands every text over as it is; whether the shell could launch
    // the result is the stand-in's and the publisher's business, not checked here.
    static void ExpectRecorded(const CTaskList& list) {
        const std::optional<HostRecord> record = ReadHostRecord();
        ASSERT_TRUE(record.has_value());
        std::vector<HostEntry> recorded = record->tasks;
        for (HostEntry& entry : recorded) entry.launchable = false;
        std::vector<HostEntry> expected;
        for (int i = 0; i < list.GetSize(); ++i) {
            const CJumpListAction& a = list.GetAt(i);
            HostEntry entry;
            entry.kind = "separator";
            if (!a.m_bSeparator)
                entry = {"task", a.m_strPath, a.m_strArguments, a.m_strIconPath, a.m_strTitle, a.m_nIconIndex, false};
            expected.push_back(entry);
        }
        EXPECT_EQ(recorded, expected);
        EXPECT_FALSE(record->appIdSet);
        EXPECT_TRUE(record->categories.empty());
    }
};

// The default list as the publisher hands it to CJumpList: every target resolved.
CTaskList DefaultsAsPublished() {
    CTaskList defaults;
    FillDefaultTaskList(defaults);
    for (int i = 0; i < defaults.GetSize(); ++i) {
        CJumpListAction& a = defaults.ElementAt(i);
        if (a.m_bSeparator) continue;
        const std::optional<CShellTask> task =
            MakeShellTask(as_wcstr(a.m_strPath), as_wcstr(a.m_strArguments), as_wcstr(a.m_strTitle));
        EXPECT_TRUE(task.has_value()) << i;
        if (!task) continue;
        a.m_strPath = as_u16(task->m_strPath);
        a.m_strArguments = as_u16(task->m_strArguments);
    }
    return defaults;
}

constexpr char16_t kCmdPath[] = u"C:\\Windows\\System32\\cmd.exe";

std::u16string LongArguments() {
    std::u16string args;
    for (int i = 0; i < 150; ++i) args += u"--file \"C:\\Some Folder\\x" + std::u16string(1, u'0' + i % 10) + u".txt\" ";
    return args;  // about 4,000 characters
}

TEST_F(JumpListTest, CommittedListReadsBackAsHandedOver) {
    const CTaskList defaults = DefaultsAsPublished();
    const struct {
        const char* name;
        CTaskList list;
    } cases[] = {
        {"Defaults", defaults},
        {"UrlsArgumentsAndRelativeIconsStayAsTheyAre",
         MakeList({MakeTask(u"Site", u"", u"https://brellow.example/zembro?a=1&b=\"2\""),
                   MakeTask(u"Prompt", u"", kCmdPath, u"/k echo hi"), MakeTask(u"Mail", u"", u"mailto:support@brellow.example"),
                   MakeTask(u"Relative", u"", u"C:\\tools\\x.exe", u"", u"..\\icons.dll", 3)})},
        {"NegativeIconIndex", MakeList({MakeTask(u"Shell", u"", u"C:\\Windows\\explorer.exe", u"",
                                                 u"C:\\Windows\\system32\\shell32.dll", -16769)})},
        {"NonAsciiTitles",
         MakeList({MakeTask(u"Éditeur — «Notes»", u"", u"C:\\Programme\\Ärger.exe", u"ü", u"C:\\Ärger.exe", 1),
                   MakeTask(u"日本語のタイトル", u"", kCmdPath), MakeTask(u"Emoji \U0001F600 and \U00010348", u"", kCmdPath)})},
        {"QuotesBackslashesAndControls",
         MakeList({MakeTask(u"Say \"hi\" \\ back\\", u"", u"C:\\a\\\\b\\", u"\"quoted arg\" \\\"", u"C:\\i.ico"),
                   MakeTask(u"Tab\there\x01\x1f", u"", kCmdPath, u"a\tb")})},
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
    const CTaskList one = MakeList({MakeTask(u"Only", u"", u"C:\\Windows\\notepad.exe")});
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
    const CTaskList list = MakeList({MakeTask(u"Auto", u"", kCmdPath), MakeSeparator()});
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
    ASSERT_TRUE(jumpList.AddTask(L"C:\\first.exe", L"", L"First", L"", 0));
    ASSERT_TRUE(jumpList.InitializeList());
    ASSERT_TRUE(jumpList.AddTask(L"C:\\second.exe", L"", L"Second", L"", 0));
    ASSERT_TRUE(jumpList.CommitList());
    ExpectRecorded(MakeList({MakeTask(u"Second", u"", u"C:\\second.exe")}));
    EXPECT_EQ(ReadHostCalls(),
              (std::vector<std::string>{"BeginList", "AbortList", "BeginList", "AddUserTasks", "CommitList"}));
}

}  // namespace
