// Export and import from the popup menu, and rows whose target is gone.
#include <windows.h>

#include <commctrl.h>

#include "MainWindowDriver.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "tools/HostRecord.h"

namespace {

constexpr int kFileNameEdit = 1152;   // the file dialog's "File name:" (Wine's)
constexpr int kFileTypeCombo = 1136;  // its "Files of type:"
enum { kReplaceList = 1001, kAddAfterLast = 1002 };

const CJumpListAction kCmd = MakeTask(u"Command", u"A prompt", u"cmd.exe", u"/k ver");
const CJumpListAction kPad = MakeTask(u"Notes", u"", u"notepad.exe");
const CTaskList kStored = MakeList({kCmd, MakeSeparator()});
const CTaskList kImported = MakeList({kPad, MakeTask(u"Prompt", u"", u"cmd")});

bool IsFileDialog(HWND hDlg) { return GetDlgItem(hDlg, kFileNameEdit) != nullptr; }

CTaskList Joined(const CTaskList& a, const CTaskList& b) {
    CTaskList list = a;
    for (int i = 0; i < b.GetSize(); ++i) list.Add(b.GetAt(i));
    return list;
}

class TransferTest : public MainWindowTest {
protected:
    std::u16string OtherFile() const { return FolderOf(DataFilePath()) + u"\\Zembro tasks.dat"; }
};

TEST_F(TransferTest, ExportWritesTheListAsDataDatHoldsIt) {
    WriteBytes(DataFilePath(), Store(kStored));
    std::u16string filter, offered;
    Run([](HWND h) {
            PressListKey(h, 'E', true);
            Close(h);
        },
        [&](HWND hFileDlg) {
            filter = WindowText(GetDlgItem(hFileDlg, kFileTypeCombo));
            offered = WindowText(GetDlgItem(hFileDlg, kFileNameEdit));
            SetDlgItemTextW(hFileDlg, kFileNameEdit, as_wcstr(OtherFile()));
            SendMessageW(GetDlgItem(hFileDlg, IDOK), BM_CLICK, 0, 0);
        });
    EXPECT_EQ(filter, u"Zembro task lists (*.dat)");
    EXPECT_EQ(offered, u"Zembro tasks.dat");
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(ReadBytes(OtherFile()), ReadBytes(DataFilePath()));
}

TEST_F(TransferTest, ImportReplacesAddsOrChangesNothing) {
    Bytes damaged;
    AppendInt(damaged, 2);
    AppendRecord(damaged, kPad);
    const struct {
        const char* name;
        Bytes file;
        int nChoice;  // in the task dialog; 0: it must not open
        CTaskList stored;
        std::vector<MessageSeen> boxes;
    } cases[] = {
        {"replace", Store(kImported), kReplaceList, kImported, {}},
        {"add after the last entry", Store(kImported), kAddAfterLast, Joined(kStored, kImported), {}},
        {"cancel", Store(kImported), IDCANCEL, kStored, {}},
        {"damaged", damaged, 0, kStored,
         {{u"The list could not be imported from \"" + OtherFile() +
               u"\": the file is damaged (1 of 2 entries could be read).\n\nThe list has not been changed.",
           kWarning}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(DataFilePath(), Store(kStored));
        WriteBytes(OtherFile(), c.file);
        ClearHostFiles();
        std::u16string instruction;
        int nTaskDialogs = 0;
        std::vector<Row> rows;
        Run([&](HWND h) {
                // The key and the menu item reach the same command.
                if (c.nChoice == kAddAfterLast) PressListKey(h, 'I', true);
                else SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDM_IMPORT_LIST, 0), 0);
                rows = ReadRows(h);
                Close(h);
            },
            [&](HWND hDlg) {
                if (IsFileDialog(hDlg)) {
                    SetDlgItemTextW(hDlg, kFileNameEdit, as_wcstr(OtherFile()));
                    SendMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
                    return;
                }
                ++nTaskDialogs;
                EXPECT_EQ(WindowText(hDlg), u"Zembro by Brellow");
                SendMessageW(hDlg, TDM_CLICK_BUTTON, c.nChoice, 0);
            });
        EXPECT_EQ(nTaskDialogs, c.nChoice ? 1 : 0);
        EXPECT_EQ(m_boxes, c.boxes);
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.stored));
        EXPECT_EQ(rows, ExpectedRows(c.stored));
        EXPECT_EQ(HostRecordExists(), c.nChoice == kReplaceList || c.nChoice == kAddAfterLast);
        if (HostRecordExists()) {
            EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(c.stored));
        }
    }
}

// Only a full path on a local drive is looked up; the rest is never marked.
TEST_F(TransferTest, RowsWhoseTargetIsGoneAreGreyWithATip) {
    const struct {
        std::u16string path;
        bool bGrey;
    } cases[] = {
        {u"C:\\windows\\system32\\notepad.exe", false}, {u"C:\\no such folder\\gone.exe", true},
        {u"c:/no such folder/gone.txt", true},          {u"\\\\nosuchserver\\share\\app.exe", false},
        {u"cmd", false},                                {u"https://brellow.example/", false},
        {u"", false},                                   {u"C:\\windows", false},
    };
    CTaskList list;
    for (const auto& c : cases) list.Add(c.path.empty() ? MakeSeparator() : MakeTask(u"Task", u"", c.path));
    WriteBytes(DataFilePath(), Store(list));
    std::vector<COLORREF> colours;
    std::vector<std::u16string> tips;
    Run([&](HWND h) {
        const HWND hList = GetDlgItem(h, IDC_TASK_LIST);
        EXPECT_NE(SendMessageW(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_INFOTIP, 0);
        for (int i = 0; i < list.GetSize(); ++i) {
            // What the list view asks its parent before it draws row i.
            NMLVCUSTOMDRAW draw{};
            draw.nmcd.hdr = {hList, IDC_TASK_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
            draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
            draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(i);
            draw.clrText = RGB(1, 2, 3);
            SendMessageW(h, WM_NOTIFY, IDC_TASK_LIST, reinterpret_cast<LPARAM>(&draw));
            colours.push_back(draw.clrText);
            wchar_t szTip[128] = L"";
            NMLVGETINFOTIPW tip{};
            tip.hdr = {hList, IDC_TASK_LIST, static_cast<UINT>(LVN_GETINFOTIPW)};
            tip.pszText = szTip;
            tip.cchTextMax = 128;
            tip.iItem = i;
            SendMessageW(h, WM_NOTIFY, IDC_TASK_LIST, reinterpret_cast<LPARAM>(&tip));
            tips.push_back(as_u16(szTip));
        }
        Close(h);
    });
    ASSERT_EQ(colours.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(Narrow(cases[i].path));
        EXPECT_EQ(colours[i], cases[i].bGrey ? GetSysColor(COLOR_GRAYTEXT) : RGB(1, 2, 3));
        EXPECT_EQ(tips[i], cases[i].bGrey ? u"The program or document was not found." : u"");
    }
}

}  // namespace
