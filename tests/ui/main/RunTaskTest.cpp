// Run Task: the selected task started as its Jump List entry would start it,
// from the popup menu or Ctrl+Enter, with nothing saved or published.
#include <windows.h>

#include <optional>

#include "MainWindowDriver.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "support/CaseName.h"
#include "support/Narrow.h"
#include "support/OpenedUrls.h"
#include "tools/HostRecord.h"
#include "win/WinText.h"

namespace {

constexpr int kRunTaskItem = 3;  // among the popup menu's selectable items
constexpr size_t kRunTaskLine = 4;  // its line, separators counted
constexpr wchar_t kAppPathsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\zembro-run-probe.exe";

// A name only App Paths knows, standing for the recorder: started by its bare
// name, it is found only when the published task's resolution is used.
struct CAppPathsProbe {
    CAppPathsProbe() {
        const std::wstring strRecorder = RecorderPath();
        m_bSet = !strRecorder.empty() &&
                 RegSetKeyValueW(HKEY_CURRENT_USER, kAppPathsKey, nullptr, REG_SZ, strRecorder.c_str(),
                                 static_cast<DWORD>((strRecorder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~CAppPathsProbe() { RegDeleteTreeW(HKEY_CURRENT_USER, kAppPathsKey); }
    bool m_bSet = false;
};

struct RunTaskCase {
    const char* name;
    CJumpListAction task;
    bool bSelect;     // the task's row is selected (else none is)
    bool bCtrlEnter;  // else the popup menu's item
    std::optional<std::u16string> started;  // the recorder's arguments
    std::u16string boxStart;                // the message's start; empty: none
};

const CJumpListAction kOther = MakeTask(u"Other", u"", u"cmd.exe");

std::vector<RunTaskCase> RunTaskCases() {
    const std::u16string strRecorder = as_u16(RecorderPath());
    return {
        {"menu: a program with its arguments", MakeTask(u"Probe", u"", strRecorder, u"alpha beta"), true, false,
         u"alpha beta", u""},
        {"Ctrl+Enter: a name only App Paths knows", MakeTask(u"", u"", u"zembro-run-probe", u"gamma"), true, true,
         u"gamma", u""},
        {"a name found nowhere", MakeTask(u"Ghost", u"", u"zembro-no-such-program"), true, false, std::nullopt,
         u"\"Ghost\" could not be started.\n\nIts application path names no program, document, folder or web "
         u"address that can be found."},
        {"a full path that is gone: the system's reason", MakeTask(u"Gone", u"", u"C:\\zembro-gone\\gone.exe"), true,
         true, std::nullopt, u"\"Gone\" could not be started.\n\n"},
        {"Ctrl+Enter on a separator", MakeSeparator(), true, true, std::nullopt, u""},
        {"Ctrl+Enter with no selection", MakeTask(u"Probe", u"", strRecorder, u"delta"), false, true, std::nullopt,
         u""},
    };
}

class RunTaskTest : public MainWindowTest, public ::testing::WithParamInterface<RunTaskCase> {};

TEST_P(RunTaskTest, StartsWhatThePublishedTaskWouldStart) {
    const RunTaskCase& c = GetParam();
    CUrlRecorder recorder;
    CAppPathsProbe probe;
    ASSERT_TRUE(recorder.Registered() && probe.m_bSet);
    const Bytes stored = Store(MakeList({kOther, c.task}));
    WriteBytes(DataFilePath(), stored);
    const bool bCanRun = c.bSelect && !c.task.m_bSeparator;
    std::optional<PopupMenuSeen> seen;
    Run([&](HWND h) {
        SelectRow(h, c.bSelect ? 1 : -1);
        // The menu is looked at every time; its item is chosen only where it can be.
        ChooseInNextPopupMenu(c.bCtrlEnter || !bCanRun ? -1 : kRunTaskItem, seen);
        Click(h, IDC_MENU);
        PumpMessages();
        if (c.bCtrlEnter) PressListKey(h, VK_RETURN, true);
        Close(h);
    });
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->items[kRunTaskLine], u"Run Task\tCtrl+Enter");
    EXPECT_EQ(seen->grayed[kRunTaskLine], !bCanRun);
    if (c.started) {
        EXPECT_EQ(recorder.WaitForOpened(1), (std::vector<COpenedUrl>{{SW_SHOWNORMAL, *c.started}}));
    } else {
        EXPECT_EQ(recorder.Opened(), std::vector<COpenedUrl>{});
    }
    if (c.boxStart.empty()) {
        EXPECT_EQ(m_boxes, std::vector<MessageSeen>{});
    } else {
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_TRUE(m_boxes[0].text.starts_with(c.boxStart)) << Narrow(m_boxes[0].text);
        if (c.boxStart.ends_with(u"\n\n")) EXPECT_GT(m_boxes[0].text.size(), c.boxStart.size()) << "the reason";
        EXPECT_EQ(m_boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    }
    // Trying a task changes nothing stored or published.
    EXPECT_EQ(ReadBytes(DataFilePath()), stored);
    EXPECT_FALSE(HostRecordExists());
}

INSTANTIATE_TEST_SUITE_P(Cases, RunTaskTest, ::testing::ValuesIn(RunTaskCases()), CaseName());

}  // namespace
