// Keys, drag to reorder, undo and redo, dropped files, the keyboard's context
// menu and the names screen readers hear, driven through the real main window.
#include <windows.h>

#include <commctrl.h>
#include <map>
#include <oleacc.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "MainWindowDriver.h"
#include "core/DataFile.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "support/CaseName.h"
#include "support/SampleTasks.h"
#include "tools/HostRecord.h"

using Microsoft::WRL::ComPtr;

namespace {

auto Key(UINT vk, bool bCtrl = false) {
    return [=](HWND h) { PressListKey(h, vk, bCtrl); };
}

auto Drag(int nFrom, int nTo, POINT end = {}) {
    return [=](HWND h) { DragRow(h, nFrom, RowPoint(h, nTo), end.x ? end : RowPoint(h, nTo)); };
}

auto Drop(std::vector<std::u16string> paths) {
    return [=](HWND h) { DropFiles(h, paths); };
}

// The system's own shell link class, which the stand-in host's replaces.
ComPtr<IClassFactory> SystemShellLinkFactory() {
    using PfnGetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    const auto pfn = reinterpret_cast<PfnGetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "DllGetClassObject")));
    ComPtr<IClassFactory> pFactory;
    if (pfn) pfn(CLSID_ShellLink, IID_PPV_ARGS(&pFactory));
    return pFactory;
}

// While it lives, the program reads shortcuts with the system's shell link,
// which wrote them, in front of the stand-in's; after it, publications reach
// the stand-in again.
class CSystemShellLinkFirst {
public:
    CSystemShellLinkFirst() {
        if (const ComPtr<IClassFactory> pFactory = SystemShellLinkFactory())
            CoRegisterClassObject(CLSID_ShellLink, pFactory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                  &m_dwCookie);
    }
    ~CSystemShellLinkFirst() {
        if (m_dwCookie) CoRevokeClassObject(m_dwCookie);
    }
    CSystemShellLinkFirst(const CSystemShellLinkFirst&) = delete;
    CSystemShellLinkFirst& operator=(const CSystemShellLinkFirst&) = delete;

private:
    DWORD m_dwCookie = 0;
};

// A shortcut file written by the system's own shell link (the stand-in's
// cannot); an empty path gives one to the Control Panel, which is no file.
std::u16string MakeShortcut(const std::u16string& lnk, const CJumpListAction& a) {
    const ComPtr<IClassFactory> pFactory = SystemShellLinkFactory();
    ComPtr<IShellLinkW> pLink;
    ComPtr<IPersistFile> pFile;
    if (!pFactory || FAILED(pFactory->CreateInstance(nullptr, IID_PPV_ARGS(&pLink))) || FAILED(pLink.As(&pFile)))
        return u"";
    if (a.m_strPath.empty()) {
        // What a Store app's or a Control Panel item's shortcut holds: a shell
        // item, no file.
        PIDLIST_ABSOLUTE pidl = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &pidl))) return u"";
        pLink->SetIDList(pidl);
        CoTaskMemFree(pidl);
    } else {
        pLink->SetPath(as_wcstr(a.m_strPath));
    }
    pLink->SetArguments(as_wcstr(a.m_strArguments));
    pLink->SetDescription(as_wcstr(a.m_strDescription));
    pLink->SetIconLocation(as_wcstr(a.m_strIconPath), a.m_nIconIndex);
    return SUCCEEDED(pFile->Save(as_wcstr(lnk), TRUE)) ? lnk : u"";
}

// The files the drops carry, in the data folder, which each test empties.
struct DroppedFileSet {
    std::u16string folder = FolderOf(GetDataFilePath());
    std::u16string doc = folder + u"\\Read me.txt", exe = folder + u"\\tool.EXE", sub = folder + u"\\Sub";
    std::u16string lnk = folder + u"\\My tool.lnk", lnkNoFile = folder + u"\\Control Panel.lnk";
    CJumpListAction aDoc = MakeTask(u"Read me", u"", doc), aExe = MakeTask(u"tool", u"", exe, u"", exe),
                    aSub = MakeTask(u"Sub", u"", sub), aLnk = MakeTask(u"My tool", u"Runs", exe, u"/f", doc, 2);
    // A shortcut to no file is added as itself, with its description.
    CJumpListAction aNoFile = MakeTask(u"Control Panel", u"Opens it", lnkNoFile);

    bool Make() const {
        WriteBytes(doc, Bytes{1});
        WriteBytes(exe, Bytes{1});
        MakeFolder(sub);
        return MakeShortcut(lnk, aLnk) == lnk && MakeShortcut(lnkNoFile, MakeTask(u"", u"Opens it", u"")) == lnkNoFile;
    }
};

struct EditingCase {
    const char* name;
    CTaskList start;
    int nSelect;
    std::function<void(HWND)> user;
    CTaskList after;
    int nSelectedAfter = -1;
    std::vector<MessageSeen> boxes = {};
    std::optional<CJumpListAction> prefilled = {};  // the editor opens with it; else an editor is filled in
    int nSteps = 1;                                  // changes made, each undone and redone
    INT_PTR nEnd = IDCANCEL;
};

std::vector<EditingCase> EditingCases() {
    const DroppedFileSet f;
    CJumpListAction edited = kCmd, added = MakeTask(u"New", u"", u"notepad.exe");
    edited.m_strTitle = u"Edited";
    const auto twice = [](UINT vk) { return [=](HWND h) { PressListKey(h, vk, true), PressListKey(h, vk, true); }; };
    const CTaskList start2 = MakeList({kCmd, kSep});
    return {
        {"Del", kFour, 1, Key(VK_DELETE), MakeList({kCmd, kSep, kWeb})},
        {"Del, none selected", kFour, -1, Key(VK_DELETE), kFour, -1, {kSelectToDelete}},
        {"Ctrl+Del is no command", kFour, 1, Key(VK_DELETE, true), kFour, 1},
        {"Del, the last entry", MakeList({kWeb}), 0, Key(VK_DELETE), Defaults()},
        {"F2", kFour, 0, Key(VK_F2), MakeList({edited, kPad, kSep, kWeb})},
        {"F2 on a separator", kFour, 2, Key(VK_F2), kFour, 2, {kSeparatorNotEditable}},
        {"Insert", kFour, 1, Key(VK_INSERT), MakeList({kCmd, kPad, kSep, kWeb, added})},
        {"Ctrl+Up twice", kFour, 3, twice(VK_UP), MakeList({kCmd, kWeb, kPad, kSep}), 1, {}, {}, 2},
        {"Ctrl+Down", kFour, 0, Key(VK_DOWN, true), MakeList({kPad, kCmd, kSep, kWeb}), 1},
        {"Ctrl+Down, none selected", kFour, -1, Key(VK_DOWN, true), kFour, -1, {kSelectToMove}},
        {"Down only moves the selection", kFour, 0, Key(VK_DOWN), kFour, 1},
        {"Enter closes", kFour, 0, Key(VK_RETURN), kFour, -2, {}, {}, 0, IDOK},
        {"Escape closes", kFour, 0, Key(VK_ESCAPE), kFour, -2, {}, {}, 0, IDCANCEL},
        {"drag down", kFour, 0, Drag(0, 2), MakeList({kPad, kSep, kCmd, kWeb}), 2},
        {"drag a separator up", kFour, 2, Drag(2, 0), MakeList({kSep, kCmd, kPad, kWeb}), 0},
        {"drag below the last row", kFour, 1, [](HWND h) { DragRow(h, 1, {30, 250}, {30, 250}); },
             MakeList({kCmd, kSep, kWeb, kPad}), 3},
        {"drag, Escape", kFour, 0, Drag(0, 3, {-200, 0}), kFour, 0},
        {"drag, dropped outside", kFour, 3, Drag(3, 0, {-40, 20}), kFour, 3},
        {"reset", kFour, 1, [](HWND h) { Click(h, IDC_RESET); }, Defaults(), -1, {kResetQuestion}},
        {"drop a document", start2, 0, Drop({f.doc}), MakeList({kCmd, kSep, f.aDoc}), -1, {}, f.aDoc},
        {"drop a program", start2, 0, Drop({f.exe}), MakeList({kCmd, kSep, f.aExe}), -1, {}, f.aExe},
        {"drop a folder", start2, 0, Drop({f.sub}), MakeList({kCmd, kSep, f.aSub}), -1, {}, f.aSub},
        {"drop a shortcut", start2, 0, Drop({f.lnk}), MakeList({kCmd, kSep, f.aLnk}), -1, {}, f.aLnk},
        {"drop a shortcut to no file", start2, 0, Drop({f.lnkNoFile}), MakeList({kCmd, kSep, f.aNoFile}), -1, {},
             f.aNoFile},
        {"drop several", start2, 0, Drop({f.exe, f.lnk, f.doc, f.sub}),
             MakeList({kCmd, kSep, f.aExe, f.aLnk, f.aDoc, f.aSub}), -1},
        {"drop what is not there", start2, 0, Drop({f.folder + u"\\gone.txt"}), start2, 0},
    };
}

class MainWindowEditingTest : public MainWindowTest, public ::testing::WithParamInterface<EditingCase> {};

// Every key, drag and drop: what Data.dat holds and the view selects after it,
// then Ctrl+Z gives back Data.dat's very bytes and Ctrl+Y the change again.
TEST_P(MainWindowEditingTest, ChangesTheListAndUndoGivesItBack) {
    const EditingCase& c = GetParam();
    const CSystemShellLinkFirst systemLinks;
    ASSERT_TRUE(DroppedFileSet().Make());
    WriteBytes(DataFilePath(), Store(c.start));
    Bytes changed, undone, redone;
    int nSelected = -2, nFocused = -2;
    std::optional<CJumpListAction> shown;
    const INT_PTR nEnd = Run(
        [&](HWND h) {
            SelectRow(h, c.nSelect);
            c.user(h);
            if (!IsWindowVisible(h)) return;  // Enter or Escape ended it
            nSelected = SelectedRow(h);
            nFocused = static_cast<int>(SendMessageW(TaskList(h), LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
            changed = ReadBytes(DataFilePath());
            // The second step goes through the popup menu's items.
            for (int i = 0; i < c.nSteps; ++i) i ? (void)SendMessageW(h, WM_COMMAND, IDM_UNDO, 0) : PressListKey(h, 'Z', true);
            undone = ReadBytes(DataFilePath());
            for (int i = 0; i < c.nSteps; ++i) i ? (void)SendMessageW(h, WM_COMMAND, IDM_REDO, 0) : PressListKey(h, 'Y', true);
            redone = ReadBytes(DataFilePath());
            Close(h);
        },
        [&](HWND hEditor) {
            shown = EditorTask(hEditor);
            if (!c.prefilled) {
                SetDlgItemTextW(hEditor, IDC_TITLE, shown->m_strPath.empty() ? L"New" : L"Edited");
                if (shown->m_strPath.empty()) SetDlgItemTextW(hEditor, IDC_PATH, L"notepad.exe");
            }
            SendMessageW(hEditor, WM_COMMAND, IDOK, 0);
        },
        IDOK, [](const CRecordedMessageBox& box) { return box.m_nType & MB_YESNOCANCEL ? IDYES : IDOK; });
    EXPECT_EQ(nEnd, c.nEnd);
    EXPECT_EQ(m_boxes, c.boxes);
    if (c.prefilled) {
        EXPECT_EQ(shown, c.prefilled) << "the editor, filled in from the file";
    }
    EXPECT_EQ(nSelected, c.nSelectedAfter);
    if (c.nSelectedAfter >= 0) {
        EXPECT_EQ(nFocused, c.nSelectedAfter) << "the focus follows the selection";
    }
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.after));
    if (c.nSelectedAfter != -2) {
        EXPECT_EQ(changed, Store(c.after));
        EXPECT_EQ(undone, Store(c.start));
        EXPECT_EQ(redone, Store(c.after));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MainWindowEditingTest, ::testing::ValuesIn(EditingCases()), CaseName());

// Which line between rows (0: above the first) is drawn in the text's colour,
// right of the columns; -1: none.
int DrawnLineBetweenRows(HWND hList) {
    UpdateWindow(hList);
    const int nRows = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    RECT rcClient{};
    GetClientRect(hList, &rcClient);
    const HDC hdc = GetDC(hList);
    int nLine = -1;
    for (int i = 0; i <= nRows && nLine < 0; ++i) {
        RECT rc{};
        rc.left = LVIR_BOUNDS;
        SendMessageW(hList, LVM_GETITEMRECT, std::min(i, nRows - 1), reinterpret_cast<LPARAM>(&rc));
        if (GetPixel(hdc, rcClient.right - 3, i < nRows ? rc.top : rc.bottom) == GetSysColor(COLOR_WINDOWTEXT)) nLine = i;
    }
    ReleaseDC(hList, hdc);
    return nLine;
}

struct DragCase {
    const char* name;
    CTaskList start;
    int nFrom, nOver;  // nOver -1: the bottom edge
    int nLine;         // the line drawn, 0 above the first row; -1 none, -2 not looked at
    bool bScrolled;
};

std::vector<DragCase> DragCases() {
    CTaskList many;
    for (int i = 0; i < 40; ++i) many.Add(i % 2 ? kSep : kPad);
    return {
        {"down", kFour, 0, 2, 3, false},
        {"up", kFour, 3, 1, 1, false},
        {"over itself", kFour, 1, 1, -1, false},
        {"at the bottom edge", many, 0, -1, -2, true},
    };
}

class MainWindowDragTest : public MainWindowTest, public ::testing::WithParamInterface<DragCase> {};

// While a row is dragged, a line shows where it would go, and near the
// bottom edge the list scrolls.
TEST_P(MainWindowDragTest, ShowsWhereTheRowGoesAndScrollsTheList) {
    const DragCase& c = GetParam();
    WriteBytes(DataFilePath(), Store(c.start));
    int nLine = -1, nTop = -1;
    Run([&](HWND h) {
        RECT rc{};
        GetClientRect(TaskList(h), &rc);
        SelectRow(h, c.nFrom);
        DragRow(h, c.nFrom, c.nOver < 0 ? POINT{30, rc.bottom - 2} : RowPoint(h, c.nOver), {-200, 0},
                [&](HWND h2) {
                    nLine = DrawnLineBetweenRows(TaskList(h2));
                    nTop = static_cast<int>(SendMessageW(TaskList(h2), LVM_GETTOPINDEX, 0, 0));
                });
        Close(h);
    });
    if (c.nLine != -2) {
        EXPECT_EQ(nLine, c.nLine);
    }
    EXPECT_EQ(nTop > 0, c.bScrolled);
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.start)) << "Escape changes nothing";
}

INSTANTIATE_TEST_SUITE_P(Cases, MainWindowDragTest, ::testing::ValuesIn(DragCases()), CaseName());

struct KeyboardMenuCase {
    const char* name;
    int nSelect;
    bool bTitleBar;
    bool bDeleteFirst = false;  // then Undo is offered
};
const KeyboardMenuCase kKeyboardMenuCases[] = {{"none selected", -1, false},
                                               {"row 2", 2, false},
                                               {"a row out of view", 39, false},
                                               {"after a delete", 3, false, true},
                                               {"title bar", 1, true}};

class KeyboardMenuTest : public MainWindowTest, public ::testing::WithParamInterface<KeyboardMenuCase> {};

TEST_P(KeyboardMenuTest, OpensAtTheRowAndTheTitleBarShowsTheSystemMenu) {
    const KeyboardMenuCase& c = GetParam();
    CTaskList many;
    for (int i = 0; i < 40; ++i) many.Add(kPad);
    WriteBytes(DataFilePath(), Store(many));
    std::optional<PopupMenuSeen> seen;
    POINT expected{};
    Run([&](HWND h) {
        if (c.bDeleteFirst) SelectRow(h, 0), PressListKey(h, VK_DELETE);
        SelectRow(h, c.nSelect);
        RECT rc{};
        GetWindowRect(c.bTitleBar ? h : TaskList(h), &rc);
        POINT pt{(rc.left + rc.right) / 2, rc.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
        if (c.bTitleBar) {
            EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), HTCAPTION);
        }
        ChooseInNextPopupMenu(-1, seen);
        SendMessageW(h, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h),
                     c.bTitleBar ? MAKELPARAM(pt.x, pt.y) : MAKELPARAM(-1, -1));
        expected = {rc.left, rc.top};
        if (c.nSelect >= 0) {
            RECT rcRow{};
            rcRow.left = LVIR_BOUNDS;
            SendMessageW(TaskList(h), LVM_GETITEMRECT, c.nSelect, reinterpret_cast<LPARAM>(&rcRow));
            expected = {std::max<LONG>(rcRow.left, 0), rcRow.bottom};
            ClientToScreen(TaskList(h), &expected);
        }
        Close(h);
    });
    ASSERT_TRUE(seen.has_value());
    if (c.bTitleBar) {
        EXPECT_EQ(seen->items.back(), u"&About Zembro...");
    } else {
        EXPECT_EQ(seen->items.front(), u"Add New...");
        EXPECT_EQ(seen->items[7], u"Undo");
        EXPECT_EQ(seen->grayed[7], !c.bDeleteFirst) << "Undo offered only after a change";
        EXPECT_TRUE(seen->grayed[8]) << "nothing to redo";
        EXPECT_EQ(seen->rc.left, expected.x);
        EXPECT_EQ(seen->rc.top, expected.y);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyboardMenuTest, ::testing::ValuesIn(kKeyboardMenuCases), CaseName());

// What a screen reader says for the list and each button, and the tooltips
// that name the buttons' keys.
TEST_F(MainWindowTest, ControlsHaveNamesAndButtonsNameTheirKeys) {
    const std::map<int, std::u16string> kTips{{IDC_ADD_NEW, u"Add New Jump List Item (Insert)"},
                                              {IDC_MOVE_UP, u"Move Up (Ctrl+Up)"},
                                              {IDC_MOVE_DOWN, u"Move Down (Ctrl+Down)"},
                                              {IDC_EDIT, u"Edit (F2)"},
                                              {IDC_DELETE, u"Delete (Del)"}};
    WriteBytes(DataFilePath(), Store(kFour));
    Run([&](HWND h) {
        HWND hTips = nullptr;
        while ((hTips = FindWindowExW(nullptr, hTips, TOOLTIPS_CLASSW, nullptr)) && GetWindow(hTips, GW_OWNER) != h) {}
        EXPECT_TRUE(hTips);
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(h, IDC_TASK_LIST_LABEL))) << "the label is never drawn";
        for (int nID : {IDC_TASK_LIST, IDC_ADD_NEW, IDC_ADD_SEPARATOR, IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_EDIT, IDC_DELETE,
                        IDC_RESET, IDC_SHARE_ON_FACEBOOK, IDC_MENU}) {
            const HWND hControl = GetDlgItem(h, nID);
            SCOPED_TRACE(nID);
            ComPtr<IAccessible> pAcc;
            VARIANT self{};
            self.vt = VT_I4;
            BSTR name = nullptr;
            EXPECT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(hControl, OBJID_CLIENT, IID_PPV_ARGS(&pAcc)));
            if (pAcc) {
                EXPECT_EQ(pAcc->get_accName(self, &name), S_OK);
            }
            EXPECT_EQ(std::u16string(name ? reinterpret_cast<const char16_t*>(name) : u""),
                      nID == IDC_TASK_LIST ? u"Jump List tasks" : WindowText(hControl));
            SysFreeString(name);
            wchar_t szTip[128] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.hwnd = h;
            tool.uId = reinterpret_cast<UINT_PTR>(hControl);
            tool.lpszText = szTip;
            SendMessageW(hTips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
            EXPECT_EQ(as_u16(szTip), kTips.count(nID) ? kTips.at(nID) : u"");
        }
        Close(h);
    });
}

}  // namespace
