// Data.dat written by another program while the window is open: the window
// shows it by itself, and never saves an older list over it.
#include <windows.h>

#include "MainWindowDriver.h"
#include "res/resource.h"
#include "support/Bytes.h"

namespace {

const CTaskList kStored = MakeList({MakeTask(u"Command", u"A prompt", u"cmd.exe", u"/k ver"), MakeSeparator(),
                                    MakeTask(u"Notes", u"", u"notepad.exe")});
const CTaskList kWrittenOutside = MakeList({MakeTask(u"Team task", u"", u"calc.exe"), MakeSeparator()});

const MessageSeen kChangedOutside{
    u"Data.dat was changed by another program. The list now shows what it holds; your change was not made.",
    MB_OK | MB_ICONERROR};

// Runs on the window's own loop: the script has returned, so the loop waits for
// the folder's change notification as it does for a user.
struct CLiveRefresh {
    HWND hMain = nullptr;
    std::u16string strDataFile;
    ULONGLONG ullWritten = 0;
    ULONGLONG ullShown = 0;
};
CLiveRefresh g_live;

void CALLBACK LiveRefreshTick(HWND, UINT, UINT_PTR idTimer, DWORD) {
    const ULONGLONG ullNow = GetTickCount64();
    if (!g_live.ullWritten) {
        // The first tick comes after the window has shown and armed its watch.
        WriteBytes(g_live.strDataFile, Store(kWrittenOutside));
        g_live.ullWritten = ullNow;
        return;
    }
    const bool bShown = ReadRows(g_live.hMain) == ExpectedRows(kWrittenOutside);
    if (!bShown && ullNow - g_live.ullWritten < 1000) return;
    if (bShown) g_live.ullShown = ullNow;
    KillTimer(nullptr, idTimer);
    // An outside change ends what undo could bring back.
    PressListKey(g_live.hMain, 'Z', true);
    Close(g_live.hMain);
}

using OutsideChangeTest = MainWindowTest;

TEST_F(OutsideChangeTest, ListWrittenByAnotherProgramShowsWithinASecondAndCannotBeUndone) {
    WriteBytes(DataFilePath(), Store(kStored));
    g_live = {};
    g_live.strDataFile = DataFilePath();
    Run([&](HWND h) {
        g_live.hMain = h;
        SelectRow(h, 1);
        ASSERT_TRUE(Click(h, IDC_DELETE));  // one change the undo history holds
        SetTimer(nullptr, 0, 20, LiveRefreshTick);
    });
    EXPECT_NE(g_live.ullShown, 0u) << "the rows did not show the new list within a second";
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kWrittenOutside));
}

TEST_F(OutsideChangeTest, ChangeOverAListWrittenByAnotherProgramIsRefusedAndTheListShown) {
    WriteBytes(DataFilePath(), Store(kStored));
    std::vector<Row> rows;
    Run([&](HWND h) {
        // Before the window's loop has looked: the change itself must notice.
        WriteBytes(DataFilePath(), Store(kWrittenOutside));
        SelectRow(h, 0);
        ASSERT_TRUE(Click(h, IDC_MOVE_DOWN));
        rows = ReadRows(h);
        Close(h);
    });
    EXPECT_EQ(m_boxes, std::vector<MessageSeen>{kChangedOutside});
    EXPECT_EQ(rows, ExpectedRows(kWrittenOutside));
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kWrittenOutside));
}

// Two damaged files written one after the other by another program: each is told.
void CALLBACK DamageTick(HWND, UINT, UINT_PTR idTimer, DWORD) {
    static int nWritten = 0;
    const ULONGLONG ullNow = GetTickCount64();
    if (g_live.ullWritten && ullNow - g_live.ullWritten < 1000) return;
    if (nWritten < 2) {
        Bytes bytes = Store(nWritten ? kWrittenOutside : kStored);
        bytes.push_back(0x55);
        WriteBytes(g_live.strDataFile, bytes);
        g_live.ullWritten = ullNow;
        ++nWritten;
        return;
    }
    nWritten = 0;
    KillTimer(nullptr, idTimer);
    Close(g_live.hMain);
}

TEST_F(OutsideChangeTest, EachDamagedListWrittenByAnotherProgramIsTold) {
    WriteBytes(DataFilePath(), Store(kStored));
    g_live = {};
    g_live.strDataFile = DataFilePath();
    Run([&](HWND h) {
        g_live.hMain = h;
        SetTimer(nullptr, 0, 20, DamageTick);
    });
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[1].text.substr(0, 55), u"Data.dat is damaged: bytes follow its 2 entries, which ");
}

}  // namespace
