// The publisher on Windows: the shell's Jump List (the stand-in host), message
// boxes owned by the window, the hourglass and the data file, together.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "core/DefaultTaskList.h"
#include "core/JumpListPublisher.h"
#include "core/Platform.h"
#include "core/ProductLinks.h"
#include "framework/App.h"
#include "win/WinText.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"
#include "tools/HostRecord.h"
#include "framework/JumpListEnvironment.h"

namespace {

struct SeenMessageBox {
    std::wstring text, caption;
    HWND hWndOwner = nullptr;
    bool bErrorIcon = false;
    std::vector<int> visibleButtons;
    bool bWaitCursorOn = false;
};

// Records every message box this thread opens and presses its OK button. A
// box still open after the deadline is closed and the test fails.
class CMessageBoxAnswerer {
public:
    CMessageBoxAnswerer() : m_dwThread(GetCurrentThreadId()) {
        s_pActive = this;
        m_hHook = SetWindowsHookExW(WH_CBT, &CMessageBoxAnswerer::CbtProc, nullptr, m_dwThread);
        m_watchdog = std::thread([this] { Watch(); });
    }
    ~CMessageBoxAnswerer() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bDone = true;
        }
        m_cv.notify_one();
        m_watchdog.join();
        UnhookWindowsHookEx(m_hHook);
        s_pActive = nullptr;
        EXPECT_FALSE(m_bTimedOut) << "a message box stayed open";
    }
    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    std::vector<SeenMessageBox> m_seen;

private:
    static bool IsDialog(HWND hWnd) {
        wchar_t szClass[16] = {};
        GetClassNameW(hWnd, szClass, 16);
        return wcscmp(szClass, L"#32770") == 0;
    }

    static BOOL CALLBACK ReadChild(HWND hChild, LPARAM lParam) {
        auto& seen = *reinterpret_cast<SeenMessageBox*>(lParam);
        wchar_t szClass[16] = {};
        GetClassNameW(hChild, szClass, 16);
        const LONG style = GetWindowLongW(hChild, GWL_STYLE);
        if (_wcsicmp(szClass, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            const auto hIcon = reinterpret_cast<HICON>(SendMessageW(hChild, STM_GETICON, 0, 0));
            if (hIcon && hIcon == LoadIconW(nullptr, IDI_ERROR)) seen.bErrorIcon = true;
        }
        if (_wcsicmp(szClass, L"Button") == 0 && (style & WS_VISIBLE)) seen.visibleButtons.push_back(GetDlgCtrlID(hChild));
        return TRUE;
    }

    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam) {
        const auto hWnd = reinterpret_cast<HWND>(wParam);
        if (nCode == HCBT_ACTIVATE && s_pActive && IsDialog(hWnd) && s_pActive->m_handled.insert(hWnd).second) {
            SeenMessageBox seen;
            wchar_t szText[512] = {};
            GetDlgItemTextW(hWnd, 0xFFFF, szText, 512);
            seen.text = szText;
            GetWindowTextW(hWnd, szText, 512);
            seen.caption = szText;
            seen.hWndOwner = GetWindow(hWnd, GW_OWNER);
            seen.bWaitCursorOn = AfxGetApp() && AfxGetApp()->IsWaitCursorOn();
            EnumChildWindows(hWnd, &CMessageBoxAnswerer::ReadChild, reinterpret_cast<LPARAM>(&seen));
            s_pActive->m_seen.push_back(seen);
            PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    static BOOL CALLBACK CloseDialog(HWND hWnd, LPARAM) {
        if (IsDialog(hWnd)) PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }

    void Watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bDone) {
            if (!m_cv.wait_for(lock, std::chrono::seconds(10), [this] { return m_bDone; })) {
                m_bTimedOut = true;
                EnumThreadWindows(m_dwThread, &CMessageBoxAnswerer::CloseDialog, 0);
            }
        }
    }

    static inline CMessageBoxAnswerer* s_pActive = nullptr;
    DWORD m_dwThread;
    HHOOK m_hHook = nullptr;
    std::set<HWND> m_handled;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bDone = false;
    bool m_bTimedOut = false;
    std::thread m_watchdog;
};

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
    CMessageBoxAnswerer answerer;

    const CPublishResult result = PublishJumpList(list, env, *m_store);

    EXPECT_TRUE(answerer.m_seen.empty());
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
        std::vector<SeenMessageBox> seen;
        {
            CMessageBoxAnswerer answerer;
            const CPublishResult result = PublishJumpList(list, env, *m_store);
            seen = answerer.m_seen;
            EXPECT_TRUE(result.m_bCommitted);
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(as_u16(seen[0].text),
                  SkippedTasksMessage({u"Ghost", u"Folders", u"zembro-untitled-ghost", u"(untitled task)"}));
        EXPECT_EQ(seen[0].caption, L"Zembro by Brellow");
        EXPECT_EQ(seen[0].hWndOwner, m_hWndOwner);
        EXPECT_TRUE(seen[0].bErrorIcon);
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

TEST_F(JumpListEnvironmentTest, RefusalsAreShownOnceWithTheStopIconOverTheWindow) {
    const struct {
        const char* name;
        const wchar_t* pszSwitch;
        const wchar_t* pszMessage;
        bool bSaved;
        std::vector<std::string> calls;
    } cases[] = {
        {"Begin", L"FailBeginList", L"Failed to Initialize Jump List", false, {"BeginList failed"}},
        {"Commit", L"FailCommitList", L"Failed to Commit Jump List", true,
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
        std::vector<SeenMessageBox> seen;
        SetCursor(hcurBefore);
        {
            CMessageBoxAnswerer answerer;
            PublishJumpList(list, env, *m_store);
            seen = answerer.m_seen;
        }

        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].text, c.pszMessage);
        EXPECT_EQ(seen[0].caption, L"Zembro by Brellow");
        EXPECT_EQ(seen[0].hWndOwner, m_hWndOwner);
        EXPECT_TRUE(seen[0].bErrorIcon);
        EXPECT_EQ(seen[0].visibleButtons, std::vector<int>{IDOK});
        EXPECT_TRUE(seen[0].bWaitCursorOn);
        EXPECT_FALSE(m_app.IsWaitCursorOn());
        EXPECT_EQ(GetCursor(), hcurBefore);
        EXPECT_EQ(ReadBytes(DataFilePath()), c.bSaved ? Store(list) : dataBefore);
        EXPECT_EQ(ReadHostRecordBytes(), jsonBefore);
        EXPECT_EQ(ReadHostCalls(), c.calls);
        SetHostSwitch(c.pszSwitch, false);
    }
}

}  // namespace
