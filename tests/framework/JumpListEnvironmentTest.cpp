// The publisher on Windows: the shell's Jump List (the stand-in host), message
// boxes owned by the window, the hourglass and the data file, together.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "core/DefaultTaskList.h"
#include "core/JumpListPublisher.h"
#include "core/Platform.h"
#include "core/ProductLinks.h"
#include "framework/App.h"
#include "win/WinText.h"
#include "support/Bytes.h"
#include "support/ModalAnswerer.h"
#include "support/TempFolder.h"
#include "tools/HostRecord.h"
#include "framework/JumpListEnvironment.h"

namespace {

class JumpListEnvironmentTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        m_store.emplace(DataFilePath());
        ASSERT_TRUE(IsHostRegistered()) << "register the stand-in host: tools/register-jumplist-host.sh PREFIX DLL";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ClearHostSwitches();
        ClearHostFiles();
        m_hWndOwner = CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hWndOwner, nullptr);
    }
    void TearDown() override {
        DestroyWindow(m_hWndOwner);
        ClearHostSwitches();
        CoUninitialize();
        DataFolderTest::TearDown();
    }
    HWND m_hWndOwner = nullptr;
    CWinApp m_app{L"Zembro by Brellow"};
    std::optional<CDataFileStore> m_store;
};

// Every default task reaches the shell in a form it can launch (ExpectedEntries
// wants each launchable), while Data.dat keeps the bare names and the address.
TEST_F(JumpListEnvironmentTest, PublishesTheListToTheShellAndSavesIt) {
    CTaskList list;
    FillDefaultTaskList(list);
    list.Add(MakeTask(u"Café ☕", u"a description the shell never sees", u"https://brellow.example/", u"", u"", -1));
    CJumpListEnvironment env(m_hWndOwner, platform::GetApplicationTitle());
    CModalAnswerer answerer;

    const CPublishResult result = PublishJumpList(list, env, *m_store);

    EXPECT_TRUE(answerer.MessageBoxes().empty());
    EXPECT_TRUE(result.m_bCommitted);
    ASSERT_TRUE(result.m_save.has_value());
    EXPECT_TRUE(result.m_save->Succeeded());
    const std::optional<HostRecord> record = ReadHostRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->tasks, ExpectedEntries(list));
    ASSERT_EQ(record->tasks.size(), 10u);
    const auto endsWith = [](const std::u16string& s, const std::u16string& end) {
        return s.size() >= end.size() && _wcsicmp(as_wcstr(s.substr(s.size() - end.size())), as_wcstr(end)) == 0;
    };
    EXPECT_TRUE(endsWith(record->tasks[1].path, u"\\explorer.exe"));
    EXPECT_EQ(record->tasks[1].arguments, u"\"" + std::u16string(kMakerHomePage) + u"\"");
    EXPECT_TRUE(endsWith(record->tasks[7].path, u"\\taskmgr.exe"));
    EXPECT_TRUE(endsWith(record->tasks[8].path, u"\\cmd.exe"));
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(list));
}

// What the shell cannot take is named once, by title, after the commit; an
// untitled task goes by its program's file name; Data.dat keeps them all.
TEST_F(JumpListEnvironmentTest, TasksTheShellCannotTakeAreNamedInOneMessage) {
    CTaskList list = MakeList({MakeTask(u"Ghost", u"", u"zembro-no-such-program"), MakeTask(u"", u"", u"cmd", u"/k"),
                               MakeSeparator(), MakeTask(u"Folders", u"", u"tools\\x.exe"),
                               MakeTask(u"", u"", u"zembro-untitled-ghost"), MakeTask(u"", u"", u"")});
    CJumpListEnvironment env(m_hWndOwner, platform::GetApplicationTitle());
    for (int nPublish = 0; nPublish < 2; ++nPublish) {
        SCOPED_TRACE(nPublish);
        std::vector<CRecordedMessageBox> seen;
        {
            CModalAnswerer answerer;
            const CPublishResult result = PublishJumpList(list, env, *m_store);
            seen = answerer.MessageBoxes();
            EXPECT_TRUE(result.m_bCommitted);
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].m_strText, u"These tasks could not be added to the Jump List:\n"
                                     u"\nGhost\nFolders\nzembro-untitled-ghost\n(untitled task)"
                                     u"\n\nCheck the application path of each.");
        EXPECT_EQ(seen[0].m_strCaption, u"Zembro by Brellow");
        EXPECT_EQ(seen[0].m_hWndOwner, m_hWndOwner);
        EXPECT_EQ(seen[0].m_nType & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        const std::optional<HostRecord> record = ReadHostRecord();
        ASSERT_TRUE(record.has_value());
        ASSERT_EQ(record->tasks.size(), 2u);
        EXPECT_EQ(record->tasks[0].title, u"cmd.exe");
        EXPECT_EQ(record->tasks[0].arguments, u"/k");
        EXPECT_TRUE(record->tasks[0].launchable);
        EXPECT_EQ(record->tasks[1].kind, "separator");
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(list));
    }
}

TEST(PublishErrorTextTest, NamesTenSkippedTasksThenCounts) {
    CPublishError error{CPublishError::tasksSkipped, {}};
    for (char16_t c = u'A'; c <= u'L'; ++c) error.m_names.push_back(std::u16string(1, c));
    EXPECT_EQ(PublishErrorText(error), L"These tasks could not be added to the Jump List:\n"
                                       L"\nA\nB\nC\nD\nE\nF\nG\nH\nI\nJ\nand 2 more"
                                       L"\n\nCheck the application path of each.");
}

TEST_F(JumpListEnvironmentTest, RefusalsAreShownOnceWithTheStopIconOverTheWindow) {
    const struct {
        const char* name;
        const wchar_t* pszSwitch;
        const char16_t* pszMessage;
        bool bSaved;
        std::vector<std::string> calls;
    } cases[] = {
        {"Begin", L"FailBeginList", u"Failed to Initialize Jump List", false, {"BeginList failed"}},
        {"Commit", L"FailCommitList", u"Failed to Commit Jump List", true,
         {"BeginList", "AddUserTasks", "CommitList failed", "AbortList"}},
    };
    const CTaskList before = MakeList({MakeTask(u"Before", u"", u"cmd")});
    CJumpListEnvironment env(m_hWndOwner, platform::GetApplicationTitle());
    const HCURSOR hcurBefore = LoadCursorW(nullptr, IDC_IBEAM);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTaskList stored = before;
        PublishJumpList(stored, env, *m_store);
        const Bytes dataBefore = ReadBytes(DataFilePath());
        const std::string jsonBefore = ReadHostRecordBytes();
        ClearHostCalls();
        SetHostSwitch(c.pszSwitch, true);

        CTaskList list = MakeList({MakeTask(u"After", u"", u"notepad"), MakeSeparator()});
        std::vector<CRecordedMessageBox> seen;
        std::vector<bool> waitCursorOn;  // as each box opened
        SetCursor(hcurBefore);
        {
            CModalAnswerer answerer;
            answerer.SetMessageBoxScript([&waitCursorOn](const CRecordedMessageBox&) {
                waitCursorOn.push_back(AfxGetApp() && AfxGetApp()->IsWaitCursorOn());
                return IDOK;
            });
            PublishJumpList(list, env, *m_store);
            seen = answerer.MessageBoxes();
        }

        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].m_strText, c.pszMessage);
        EXPECT_EQ(seen[0].m_strCaption, u"Zembro by Brellow");
        EXPECT_EQ(seen[0].m_hWndOwner, m_hWndOwner);
        EXPECT_EQ(seen[0].m_nType & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(seen[0].m_arrVisibleButtons, std::vector<int>{IDOK});
        EXPECT_EQ(waitCursorOn, std::vector<bool>{true});
        EXPECT_FALSE(m_app.IsWaitCursorOn());
        EXPECT_EQ(GetCursor(), hcurBefore);
        EXPECT_EQ(ReadBytes(DataFilePath()), c.bSaved ? Store(list) : dataBefore);
        EXPECT_EQ(ReadHostRecordBytes(), jsonBefore);
        EXPECT_EQ(ReadHostCalls(), c.calls);
        SetHostSwitch(c.pszSwitch, false);
    }
}

}  // namespace
