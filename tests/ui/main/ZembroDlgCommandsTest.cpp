// The main window's commands, driven through the real window: what Data.dat
// holds afterwards, what the shell received, what the view shows and selects,
// and which messages the user saw.
#include <windows.h>

#include <commctrl.h>

#include "MainWindowDriver.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "support/CaseName.h"
#include "support/SampleTasks.h"
#include "tools/HostRecord.h"

namespace {

constexpr char16_t kAddCaption[] = u"Add New Jump List Item - Zembro by Brellow";
constexpr char16_t kEditCaption[] = u"Edit Jump List Item - Zembro by Brellow";

// Typed into every field: blanks around the title, and text beyond Latin-1 and
// the Basic Multilingual Plane, all stored, published and shown as typed.
const CJumpListAction kNew =
    MakeTask(u" New \u00FC\u4E2D ", u"typed \U0001F600", u"notepad.exe", u"/a b.txt", u"shell32.dll", 2);

CTaskList WithSeparator(CTaskList list) {
    list.Add(kSep);
    return list;
}

CJumpListAction Retitled(CJumpListAction a) {
    a.m_strTitle = u"Edited";
    return a;
}

// Sixty entries, more than the view shows; when nSwapped is given, it and the next one change places.
CTaskList Sixty(int nSwapped = -1) {
    CTaskList list;
    for (int i = 0; i < 60; ++i) list.Add(MakeTask(u"Task " + as_u16(std::to_wstring(i)), u"", u"notepad.exe"));
    if (nSwapped >= 0) {
        const CJumpListAction a = list.GetAt(nSwapped);
        list.RemoveAt(nSwapped);
        list.InsertAt(nSwapped + 1, a);
    }
    return list;
}

// What the user does in the task editor, which opens empty to add and with the
// task to edit: kNew is typed in, or the title becomes "Edited"; then OK.
void EditorTypesAndOks(HWND hDlg) {
    const CJumpListAction shown = EditorTask(hDlg);
    if (shown.m_strPath.empty()) {
        EXPECT_EQ(WindowText(hDlg), kAddCaption);
        EXPECT_EQ(shown, MakeTask(u"", u"", u""));
        TypeTask(hDlg, kNew);
    } else {
        EXPECT_EQ(WindowText(hDlg), kEditCaption);
        SetControlText(hDlg, IDC_TITLE, u"Edited");
    }
    Click(hDlg, IDOK);
}
void EditorCancels(HWND hDlg) { Click(hDlg, IDCANCEL); }

auto ClickOn(int nID) {
    return [nID](HWND h) { Click(h, nID); };
}
auto ChooseItem(int nMenuID) {
    return [nMenuID](HWND h) { Choose(h, nMenuID); };
}
auto DoubleClickOn(int nRow) {
    return [nRow](HWND h) { DoubleClickRow(h, nRow); };
}
auto Twice(int nID) {
    return [nID](HWND h) {
        Click(h, nID);
        Click(h, nID);
    };
}

struct CommandCase {
    const char* name;
    CTaskList start;
    int nSelect;
    std::function<void(HWND)> user;
    std::function<void(HWND)> editor;  // null: no dialog may open
    std::vector<MessageSeen> boxes;
    CTaskList after;       // stored and shown
    bool bPublished;       // the shell received `after`
    int nSelectedAfter;    // -1: none
    int nAnswer = IDOK;
    const wchar_t* pszHostSwitch = nullptr;
};

std::vector<CommandCase> CommandCases() {
    return {
        {"add new, button", kFour, 1, ClickOn(IDC_ADD_NEW), EditorTypesAndOks, {},
         MakeList({kCmd, kPad, kSep, kWeb, kNew}), true, -1},
        {"add new, menu", MakeList({kCmd}), -1, ChooseItem(IDM_ADD_NEW), EditorTypesAndOks, {}, MakeList({kCmd, kNew}),
         true, -1},
        {"add new, cancelled", kFour, 1, ClickOn(IDC_ADD_NEW), EditorCancels, {}, kFour, false, 1},
        {"add separator, first row selected", kFour, 0, ClickOn(IDC_ADD_SEPARATOR), nullptr, {},
         MakeList({kSep, kCmd, kPad, kSep, kWeb}), true, -1},
        {"add separator, none selected", kFour, -1, ChooseItem(IDM_ADD_SEPARATOR), nullptr, {},
         MakeList({kCmd, kPad, kSep, kWeb, kSep}), true, -1},
        {"edit, button", kFour, 3, ClickOn(IDC_EDIT), EditorTypesAndOks, {},
         MakeList({kCmd, kPad, kSep, Retitled(kWeb)}), true, -1},
        {"edit, menu", kFour, 0, ChooseItem(IDM_EDIT_SELECTED), EditorTypesAndOks, {},
         MakeList({Retitled(kCmd), kPad, kSep, kWeb}), true, -1},
        {"edit, double-click on a row", kFour, 0, DoubleClickOn(1), EditorTypesAndOks, {},
         MakeList({kCmd, Retitled(kPad), kSep, kWeb}), true, -1},
        {"edit, double-click on no row", kFour, 3, DoubleClickOn(-1), EditorTypesAndOks, {},
         MakeList({kCmd, kPad, kSep, Retitled(kWeb)}), true, -1},
        {"edit, double-click on no row, none selected", kFour, -1, DoubleClickOn(-1), nullptr, {kSelectToEdit}, kFour,
         false, -1},
        {"edit, none selected", kFour, -1, ClickOn(IDC_EDIT), nullptr, {kSelectToEdit}, kFour, false, -1},
        {"edit, separator", kFour, 2, ClickOn(IDC_EDIT), nullptr, {kSeparatorNotEditable}, kFour, false, 2},
        {"edit, double-click on a separator", kFour, -1, DoubleClickOn(2), nullptr, {kSeparatorNotEditable}, kFour,
         false, -1},
        {"edit, cancelled", kFour, 1, ClickOn(IDC_EDIT), EditorCancels, {}, kFour, false, 1},
        {"delete, button", kFour, 1, ClickOn(IDC_DELETE), nullptr, {}, MakeList({kCmd, kSep, kWeb}), true, -1},
        {"delete a separator, menu", kFour, 2, ChooseItem(IDM_DELETE_SELECTED), nullptr, {},
         MakeList({kCmd, kPad, kWeb}), true, -1},
        {"delete, none selected", kFour, -1, ClickOn(IDC_DELETE), nullptr, {kSelectToDelete}, kFour, false, -1},
        {"delete the last entry", MakeList({kSep}), 0, ClickOn(IDC_DELETE), nullptr, {}, Defaults(), true, -1},
        {"move up", kFour, 2, ClickOn(IDC_MOVE_UP), nullptr, {}, MakeList({kCmd, kSep, kPad, kWeb}), true, 1},
        {"move up twice", kFour, 3, Twice(IDC_MOVE_UP), nullptr, {}, MakeList({kCmd, kWeb, kPad, kSep}), true, 1},
        {"move up, first row", kFour, 0, ClickOn(IDC_MOVE_UP), nullptr, {}, kFour, false, 0},
        {"move down twice", kFour, 0, Twice(IDC_MOVE_DOWN), nullptr, {}, MakeList({kPad, kSep, kCmd, kWeb}), true, 2},
        {"move down, last row", kFour, 3, ClickOn(IDC_MOVE_DOWN), nullptr, {}, kFour, false, 3},
        {"move, one entry", MakeList({kCmd}), 0, Twice(IDC_MOVE_DOWN), nullptr, {}, MakeList({kCmd}), false, 0},
        {"move, none selected", kFour, -1, ClickOn(IDC_MOVE_DOWN), nullptr, {kSelectToMove}, kFour, false, -1},
        // Rows 58 and 40 are out of view until the move brings the moved entry back into it.
        {"move up in a long list", Sixty(), 58, ClickOn(IDC_MOVE_UP), nullptr, {}, Sixty(57), true, 57},
        {"move down in a long list", Sixty(), 40, ClickOn(IDC_MOVE_DOWN), nullptr, {}, Sixty(40), true, 41},
        {"reset, yes", kFour, 1, ClickOn(IDC_RESET), nullptr, {kResetQuestion}, Defaults(), true, -1, IDYES},
        {"reset, no", kFour, 1, ClickOn(IDC_RESET), nullptr, {kResetQuestion}, kFour, false, 1, IDNO},
        {"reset, cancel", kFour, 1, ClickOn(IDC_RESET), nullptr, {kResetQuestion}, kFour, false, 1, IDCANCEL},
        // The shell refuses to begin: nothing is saved and the view goes back to
        // the stored list. Refused tasks or a refused commit still save.
        {"delete, begin refused", kFour, 1, ClickOn(IDC_DELETE), nullptr, {kInitializeFailed}, kFour, false, -1, IDOK,
         L"FailBeginList"},
        {"delete, tasks refused", kFour, 1, ClickOn(IDC_DELETE), nullptr, {kCommitFailed}, MakeList({kCmd, kSep, kWeb}),
         false, -1, IDOK, L"FailAddUserTasks"},
        {"reset, begin refused", kFour, 1, ClickOn(IDC_RESET), nullptr, {kResetQuestion, kInitializeFailed}, kFour,
         false, -1, IDYES, L"FailBeginList"},
        {"move down, commit refused", kFour, 0, ClickOn(IDC_MOVE_DOWN), nullptr, {kCommitFailed},
         MakeList({kPad, kCmd, kSep, kWeb}), false, 1, IDOK, L"FailCommitList"},
        {"delete the last entry, commit refused", MakeList({kCmd}), 0, ClickOn(IDC_DELETE), nullptr,
         {kCommitFailed, kCommitFailed}, Defaults(), false, -1, IDOK, L"FailCommitList"},
    };
}

class MainWindowCommandTest : public MainWindowTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(MainWindowCommandTest, StoresPublishesAndShowsTheSameList) {
    const CommandCase& c = GetParam();
    WriteBytes(DataFilePath(), Store(c.start));
    ClearHostFiles();
    if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, true);
    std::vector<Row> rows;
    int nImages = 0, nSelected = -2, nTop = -1, nPerPage = 0;
    bool bListFocused = false, bEditorOpened = false;
    Run(
        [&](HWND h) {
            SelectRow(h, c.nSelect);
            c.user(h);
            rows = ReadRows(h);
            nImages = ImageCount(h);
            nSelected = SelectedRow(h);
            bListFocused = GetFocus() == TaskList(h);
            nTop = static_cast<int>(SendMessageW(TaskList(h), LVM_GETTOPINDEX, 0, 0));
            nPerPage = static_cast<int>(SendMessageW(TaskList(h), LVM_GETCOUNTPERPAGE, 0, 0));
            Close(h);
        },
        c.editor ? std::function<void(HWND)>([&](HWND h) {
            bEditorOpened = true;
            c.editor(h);
        })
                 : std::function<void(HWND)>(),
        c.nAnswer);
    if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, false);

    EXPECT_EQ(bEditorOpened, static_cast<bool>(c.editor));
    EXPECT_EQ(m_boxes, c.boxes);
    EXPECT_EQ(rows, ExpectedRows(c.after));
    EXPECT_EQ(nImages, c.after.GetSize());
    EXPECT_EQ(nSelected, c.nSelectedAfter);
    // A move leaves the moved entry selected and in view, with the focus on the list.
    if (c.nSelectedAfter >= 0 && c.nSelectedAfter != c.nSelect) {
        EXPECT_TRUE(bListFocused);
        EXPECT_LE(nTop, c.nSelectedAfter);
        EXPECT_LT(c.nSelectedAfter, nTop + nPerPage) << "the moved row is out of view";
    }
    EXPECT_LT(nPerPage, 40) << "the long list must be longer than the view";
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.after));
    if (c.bPublished) {
        const std::optional<HostRecord> record = ReadHostRecord();
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->tasks, ExpectedEntries(c.after));
    } else {
        EXPECT_FALSE(HostRecordExists()) << "nothing reaches the shell";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MainWindowCommandTest, ::testing::ValuesIn(CommandCases()), CaseName());

// A save that fails names the file and the system's reason, once per command
// however many saves failed, and the view shows what Data.dat still holds.
TEST_F(MainWindowTest, AFailedSaveIsToldOnce) {
    const auto notSaved = [&](DWORD dwError) {
        return MessageSeen{u"The Jump List could not be saved to \"" + DataFilePath() + u"\".\n\n" +
                               SystemReason(dwError),
                           kStop};
    };
    const std::u16string folder = FolderOf(DataFilePath());
    const struct {
        const char* name;
        bool bReadOnlyFile;  // else a file stands where the data folder should: nothing saves
        std::function<void(HWND)> user;
        CTaskList shown;
        CTaskList published;
        MessageSeen told;  // once for the start, once for the command
        size_t nTold;
    } cases[] = {
        {"read-only, delete", true, [](HWND h) { SelectRow(h, 0); Click(h, IDC_DELETE); }, kFour,
         MakeList({kPad, kSep, kWeb}), notSaved(ERROR_ACCESS_DENIED), 1},
        {"no data folder, first start", false, [](HWND) {}, Defaults(), Defaults(), notSaved(ERROR_PATH_NOT_FOUND), 1},
        // Data.dat is missing still, so the list stays as changed.
        {"no data folder, add separator", false, ClickOn(IDC_ADD_SEPARATOR), WithSeparator(Defaults()),
         WithSeparator(Defaults()), notSaved(ERROR_PATH_NOT_FOUND), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearHostFiles();
        if (c.bReadOnlyFile) {
            WriteBytes(DataFilePath(), Store(kFour));
            SetReadOnly(DataFilePath(), true);
        } else {
            DeleteFileW(as_wcstr(DataFilePath()));
            RemoveDirectoryW(as_wcstr(folder));
            WriteBytes(folder, Bytes{});
        }
        std::vector<Row> rows;
        Run([&](HWND h) {
            c.user(h);
            rows = ReadRows(h);
            Close(h);
        });
        if (c.bReadOnlyFile) {
            SetReadOnly(DataFilePath(), false);
            EXPECT_EQ(ReadBytes(DataFilePath()), Store(kFour));
        } else {
            EXPECT_EQ(ReadBytes(folder), Bytes{});
            DeleteFileW(as_wcstr(folder));
            MakeFolder(folder);
        }
        EXPECT_EQ(m_boxes, std::vector<MessageSeen>(c.nTold, c.told));
        EXPECT_EQ(rows, ExpectedRows(c.shown));
        ASSERT_TRUE(HostRecordExists());
        EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(c.published));
    }
}

struct PopupMenuCase {
    const char* name;
    std::function<void(HWND)> open;
    POINT pt;  // where the menu's top left corner must be
    int nItem; // selectable items counted from 0
    std::vector<MessageSeen> boxes;
    int nRowsAfter;      // -1: the window has ended
    int nOpenedControl;  // a control of the dialog the item opens; 0: none opens
};

auto ContextMenu(int nChild, int x, int y) {
    return [=](HWND h) {
        SendMessageW(nChild ? GetDlgItem(h, nChild) : h, WM_CONTEXTMENU,
                     reinterpret_cast<WPARAM>(nChild ? GetDlgItem(h, nChild) : h), MAKELPARAM(x, y));
    };
}

std::vector<PopupMenuCase> PopupMenuCases() {
    return {
        {"menu button: add separator", [](HWND h) { SetCursorPos(310, 220); Click(h, IDC_MENU); }, {310, 220}, 1, {},
         5, 0},
        {"context menu: add new", ContextMenu(0, 250, 180), {250, 180}, 0, {}, 4, IDC_TITLE},
        {"context menu over a button: edit", ContextMenu(IDC_MOVE_UP, 200, 150), {200, 150}, 2, {kSelectToEdit}, 4, 0},
        {"context menu: delete", ContextMenu(0, 260, 190), {260, 190}, 4, {kSelectToDelete}, 4, 0},
        {"context menu: settings", ContextMenu(0, 270, 200), {270, 200}, 7, {}, 4, IDC_REMEMBER_COLUMN_WIDTH},
        {"keyboard context menu: exit", ContextMenu(0, -1, -1), {-1, -1}, 11, {}, -1, 0},
    };
}

class MainWindowPopupMenuTest : public MainWindowTest, public ::testing::WithParamInterface<PopupMenuCase> {};

// The popup menu opens where the trigger says, offers every item, and each
// chosen item reaches its command.
TEST_P(MainWindowPopupMenuTest, OpensAtItsPointAndRoutesItsItems) {
    const std::vector<std::u16string> kItems{u"Add New...", u"Add Seperator", u"", u"Edit Selected...",
                                             u"Run Task\tCtrl+Enter", u"",
                                             u"Delete Selected", u"Undo", u"Redo", u"", u"Settings...", u"",
                                             u"Locate Data File...", u"", u"Export List...\tCtrl+E",
                                             u"Import List...\tCtrl+I", u"", u"Exit"};
    const PopupMenuCase& c = GetParam();
    WriteBytes(DataFilePath(), Store(kFour));
    std::optional<PopupMenuSeen> seen;
    RECT rcList{};
    int nRows = -1;
    int nOpened = 0;  // -1: some other dialog
    const INT_PTR nResult = Run(
        [&](HWND h) {
            // Away from every menu, so that no item is picked by the mouse.
            SetCursorPos(1270, 1015);
            GetWindowRect(GetDlgItem(h, IDC_TASK_LIST), &rcList);
            ChooseInNextPopupMenu(c.nItem, seen);
            c.open(h);
            PumpMessages();  // the chosen item arrives as a posted command
            if (!IsWindowVisible(h)) return;  // Exit: already ending
            nRows = static_cast<int>(ReadRows(h).size());
            Close(h);
        },
        [&](HWND h) {
            nOpened = c.nOpenedControl && GetDlgItem(h, c.nOpenedControl) ? c.nOpenedControl : -1;
            SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
    EXPECT_EQ(nResult, IDCANCEL);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->items, kItems);
    if (c.pt.x >= 0) {
        EXPECT_EQ(seen->rc.left, c.pt.x);
        EXPECT_EQ(seen->rc.top, c.pt.y);
    } else {
        // From the keyboard with no row selected: at the list's top left corner.
        EXPECT_EQ(seen->rc.left, rcList.left);
        EXPECT_EQ(seen->rc.top, rcList.top);
    }
    EXPECT_EQ(m_boxes, c.boxes);
    EXPECT_EQ(nRows, c.nRowsAfter);
    EXPECT_EQ(nOpened, c.nOpenedControl);
}

INSTANTIATE_TEST_SUITE_P(Cases, MainWindowPopupMenuTest, ::testing::ValuesIn(PopupMenuCases()), CaseName());

}  // namespace
