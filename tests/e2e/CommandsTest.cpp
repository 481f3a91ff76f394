// The main window's commands, through its buttons, its popup menu's items and
// double-clicks: what the user sees and is told, what Data.dat holds and what
// the shell received afterwards, also when the shell refuses. Where the popup
// menu opens, and a read-only Data.dat, are the window tests' (tests/ui/main/).
#include <windows.h>

#include <commctrl.h>

#include "E2ETest.h"
#include "framework/WinText.h"
#include "res/resource.h"

namespace {

constexpr wchar_t kAddCaption[] = L"Add New Jump List Item - Zembro by Brellow";
constexpr wchar_t kEditCaption[] = L"Edit Jump List Item - Zembro by Brellow";

// Typed in the editor: texts beyond Latin-1 and the Basic Multilingual Plane go through unchanged.
const CJumpListAction kNew =
    MakeTask(u"New \u00FC\u4E2D", u"typed \U0001F600", u"notepad.exe", u"/a b.txt", u"shell32.dll", 2);

CTaskList Without(CTaskList list, int nIndex) {
    list.RemoveAt(nIndex);
    return list;
}

CTaskList Retitled(CTaskList list, int nIndex) {
    CJumpListAction a = list.GetAt(nIndex);
    a.m_strTitle = u"Edited";
    list.RemoveAt(nIndex);
    list.InsertAt(nIndex, a);
    return list;
}

// What the user does in the task editor.
void TypeNewTask(HWND hEditor) {
    EXPECT_EQ(WindowTitle(hEditor), kAddCaption);
    const std::pair<int, const std::u16string*> fields[] = {
        {IDC_TITLE, &kNew.m_strTitle},
        {IDC_PATH, &kNew.m_strPath},
        {IDC_DESCRIPTION, &kNew.m_strDescription},
        {IDC_ARGUMENTS, &kNew.m_strArguments},
        {IDC_ICON_PATH, &kNew.m_strIconPath},
    };
    for (const auto& [nID, pText] : fields) SetControlText(hEditor, nID, as_wcstr(*pText));
    SetControlText(hEditor, IDC_ICON_INDEX, std::to_wstring(kNew.m_nIconIndex));
    PressButton(hEditor, IDOK);
}
void Retitle(HWND hEditor) {
    EXPECT_EQ(WindowTitle(hEditor), kEditCaption);
    SetControlText(hEditor, IDC_TITLE, L"Edited");
    PressButton(hEditor, IDOK);
}
void CancelEditor(HWND hEditor) {
    SetControlText(hEditor, IDC_TITLE, L"Never stored");
    PressButton(hEditor, IDCANCEL);
}

using User = std::function<bool(CZembroDriver&)>;
User Clicks(int nID, int nTimes = 1) {
    return [=](CZembroDriver& zembro) {
        bool bDone = true;
        for (int i = 0; i < nTimes; ++i) bDone = zembro.Click(nID) && bDone;
        return bDone;
    };
}
User Chooses(int nMenuID) {
    return [=](CZembroDriver& zembro) { return zembro.Choose(nMenuID); };
}
User DoubleClicks(int nRow) {
    return [=](CZembroDriver& zembro) { return zembro.DoubleClickRow(nRow); };
}

struct CommandCase {
    const char* name;
    CTaskList start;
    int nSelect;  // -1: no row selected
    User user;
    CZembroDriver::DialogScript editor;  // null: no dialog may open
    std::vector<MessageSeen> boxes;
    CTaskList after;     // stored and shown
    bool bPublished;     // the shell received `after`
    int nSelectedAfter;  // -1: none
    int nAnswer = IDOK;
};

TEST_F(E2ETest, EachCommandStoresPublishesAndShowsTheSameList) {
    const CommandCase cases[] = {
        {"add new, button", kFour, 1, Clicks(IDC_ADD_NEW), TypeNewTask, {}, MakeList({kCmd, kPad, kSep, kWeb, kNew}),
         true, -1},
        {"add new, menu", MakeList({kCmd}), -1, Chooses(IDM_ADD_NEW), TypeNewTask, {}, MakeList({kCmd, kNew}), true,
         -1},
        {"add new, cancelled", kFour, 1, Clicks(IDC_ADD_NEW), CancelEditor, {}, kFour, false, 1},
        {"add separator, button, first row selected", kFour, 0, Clicks(IDC_ADD_SEPARATOR), nullptr, {},
         MakeList({kSep, kCmd, kPad, kSep, kWeb}), true, -1},
        {"add separator, menu, none selected", kFour, -1, Chooses(IDM_ADD_SEPARATOR), nullptr, {},
         MakeList({kCmd, kPad, kSep, kWeb, kSep}), true, -1},
        {"edit, button", kFour, 3, Clicks(IDC_EDIT), Retitle, {}, Retitled(kFour, 3), true, -1},
        {"edit, menu", kFour, 0, Chooses(IDM_EDIT_SELECTED), Retitle, {}, Retitled(kFour, 0), true, -1},
        {"edit, double-click on a row", kFour, -1, DoubleClicks(1), Retitle, {}, Retitled(kFour, 1), true, -1},
        {"edit, cancelled", kFour, 1, Clicks(IDC_EDIT), CancelEditor, {}, kFour, false, 1},
        {"edit, button, none selected", kFour, -1, Clicks(IDC_EDIT), nullptr, {kSelectToEdit}, kFour, false, -1},
        {"edit, menu, a separator", kFour, 2, Chooses(IDM_EDIT_SELECTED), nullptr, {kSeparatorNotEditable}, kFour,
         false, 2},
        {"delete, button", kFour, 1, Clicks(IDC_DELETE), nullptr, {}, Without(kFour, 1), true, -1},
        {"delete a separator, menu", kFour, 2, Chooses(IDM_DELETE_SELECTED), nullptr, {}, Without(kFour, 2), true, -1},
        {"delete, menu, none selected", kFour, -1, Chooses(IDM_DELETE_SELECTED), nullptr, {kSelectToDelete}, kFour,
         false, -1},
        {"delete the last entry", MakeList({kCmd}), 0, Clicks(IDC_DELETE), nullptr, {}, Defaults(), true, -1},
        {"move up", kFour, 2, Clicks(IDC_MOVE_UP), nullptr, {}, MakeList({kCmd, kSep, kPad, kWeb}), true, 1},
        {"move down twice", kFour, 0, Clicks(IDC_MOVE_DOWN, 2), nullptr, {}, MakeList({kPad, kSep, kCmd, kWeb}), true,
         2},
        {"move up, first row", kFour, 0, Clicks(IDC_MOVE_UP), nullptr, {}, kFour, false, 0},
        {"move down, last row", kFour, 3, Clicks(IDC_MOVE_DOWN), nullptr, {}, kFour, false, 3},
        {"move, none selected", kFour, -1, Clicks(IDC_MOVE_UP), nullptr, {kSelectToMove}, kFour, false, -1},
        {"reset, yes", kFour, 1, Clicks(IDC_RESET), nullptr, {kResetQuestion}, Defaults(), true, -1, IDYES},
        {"reset, no", kFour, 1, Clicks(IDC_RESET), nullptr, {kResetQuestion}, kFour, false, 1, IDNO},
        {"reset, cancel", kFour, 1, Clicks(IDC_RESET), nullptr, {kResetQuestion}, kFour, false, 1, IDCANCEL},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        WriteDataFile(Store(c.start));
        std::vector<Row> rows;
        int nSelected = -2;
        bool bEditorOpened = false;
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            zembro.SetAnswer(c.nAnswer);
            if (c.editor)
                zembro.SetDialogScript([&](HWND hEditor) {
                    bEditorOpened = true;
                    c.editor(hEditor);
                });
            zembro.SelectRow(c.nSelect);
            EXPECT_TRUE(c.user(zembro));
            rows = zembro.Rows();
            nSelected = zembro.SelectedRow();
            EXPECT_EQ(zembro.Boxes(), c.boxes);
            EXPECT_TRUE(zembro.Close());
        }
        EXPECT_EQ(bEditorOpened, static_cast<bool>(c.editor));
        EXPECT_EQ(rows, ExpectedRows(c.after));
        EXPECT_EQ(nSelected, c.nSelectedAfter);
        EXPECT_EQ(ReadBytes(DataFile()), Store(c.after));
        if (c.bPublished) {
            const std::optional<HostRecord> record = ReadHostRecord();
            ASSERT_TRUE(record.has_value());
            EXPECT_EQ(record->tasks, ExpectedEntries(c.after));
        } else {
            EXPECT_FALSE(HostRecordExists()) << "nothing reaches the shell";
        }
    }
}

// In a list longer than the view, the refresh after a move starts from the
// top: the moved entry is brought back into view, selected, for the next click.
TEST_F(E2ETest, AMovedEntryIsBroughtIntoViewInALongList) {
    CTaskList list;
    for (int i = 0; i < 60; ++i) list.Add(MakeTask(u"Task " + as_u16(std::to_wstring(i)), u"", u"notepad.exe"));
    const struct {
        const char* name;
        int nSelect;
        int nButton;
        int nMovedTo;
    } cases[] = {
        {"up from the last but one", 58, IDC_MOVE_UP, 57},
        {"down from the middle", 40, IDC_MOVE_DOWN, 41},
    };
    WriteDataFile(Store(list));
    CZembroDriver zembro;
    ASSERT_TRUE(zembro.Start());
    const HWND hList = GetDlgItem(zembro.Main(), IDC_TASK_LIST);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        zembro.SelectRow(c.nSelect);
        EXPECT_TRUE(zembro.Click(c.nButton));
        DWORD_PTR nTop = 0, nPerPage = 0;
        SendMessageTimeoutW(hList, LVM_GETTOPINDEX, 0, 0, SMTO_NORMAL, kDeadlineMs, &nTop);
        SendMessageTimeoutW(hList, LVM_GETCOUNTPERPAGE, 0, 0, SMTO_NORMAL, kDeadlineMs, &nPerPage);
        EXPECT_EQ(zembro.SelectedRow(), c.nMovedTo);
        EXPECT_LE(static_cast<int>(nTop), c.nMovedTo);
        EXPECT_LT(c.nMovedTo, static_cast<int>(nTop + nPerPage)) << "the moved row is out of view";
        EXPECT_LT(static_cast<int>(nPerPage), list.GetSize()) << "the list must be longer than the view";
    }
    EXPECT_TRUE(zembro.Boxes().empty());
    EXPECT_TRUE(zembro.Close());
}

// Each way the shell can refuse a new Jump List, at the first start (when the
// defaults are seeded) and at a change: the user is told once, and Data.dat
// holds the change unless the list could not even be begun. The shell keeps
// the list it had.
TEST_F(E2ETest, ARefusedJumpListIsToldAndDataDatIsSavedUnlessTheListCouldNotBegin) {
    const std::string kShellsList = R"({"appId":null,"categories":[],"tasks":[]})";
    const struct {
        const char* name;
        const wchar_t* pszSwitch;
        bool bFirstStart;  // else row 1 of kFour is deleted
        MessageSeen box;
        CTaskList after;  // stored and shown
    } cases[] = {
        {"begin refused at the first start", L"FailBeginList", true, kInitializeFailed, Defaults()},
        {"tasks refused at the first start", L"FailAddUserTasks", true, kCommitFailed, Defaults()},
        {"commit refused at the first start", L"FailCommitList", true, kCommitFailed, Defaults()},
        {"begin refused at a delete", L"FailBeginList", false, kInitializeFailed, kFour},
        {"tasks refused at a delete", L"FailAddUserTasks", false, kCommitFailed, Without(kFour, 1)},
        {"commit refused at a delete", L"FailCommitList", false, kCommitFailed, Without(kFour, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        if (!c.bFirstStart) WriteDataFile(Store(kFour));
        CreateDirectoryW(as_wcstr(FolderOf(HostRecordFile())), nullptr);
        WriteBytes(HostRecordFile(), Bytes(kShellsList.begin(), kShellsList.end()));
        SetHostSwitch(c.pszSwitch, true);
        std::vector<Row> rows;
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            if (!c.bFirstStart) {
                zembro.SelectRow(1);
                EXPECT_TRUE(zembro.Click(IDC_DELETE));
            }
            rows = zembro.Rows();
            EXPECT_EQ(zembro.Boxes(), std::vector<MessageSeen>{c.box});
            EXPECT_TRUE(zembro.Close());
        }
        SetHostSwitch(c.pszSwitch, false);
        EXPECT_EQ(rows, ExpectedRows(c.after));
        EXPECT_EQ(ReadBytes(DataFile()), Store(c.after));
        EXPECT_EQ(ReadHostRecordBytes(), kShellsList);
    }
}

}  // namespace
