// Keys, drag to reorder, undo and redo, dropped files, the keyboard's context
// menu and the names screen readers hear, driven through the real main window.
#include <windows.h>

#include <commctrl.h>
#include <map>
#include <oleacc.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "MainWindowDriver.h"
#include "core/DefaultTaskList.h"
#include "framework/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "tools/HostRecord.h"

using Microsoft::WRL::ComPtr;

namespace {

const CJumpListAction kCmd = MakeTask(u"Command", u"A prompt", u"cmd.exe", u"/k ver", u"shell32.dll", 3);
const CJumpListAction kPad = MakeTask(u"Notes", u"", u"notepad.exe");
const CJumpListAction kWeb = MakeTask(u"Home", u"Maker", u"https://brellow.example/");
const CJumpListAction kSep = MakeSeparator();
const CTaskList kFour = MakeList({kCmd, kPad, kSep, kWeb});
const CJumpListAction kNew = MakeTask(u"New", u"", u"notepad.exe");

HWND List(HWND h) { return GetDlgItem(h, IDC_TASK_LIST); }

// What the dialog's modal loop does with queued input.
void PumpDialog(HWND h) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageW(h, &msg)) TranslateMessage(&msg), DispatchMessageW(&msg);
}

void PressKey(HWND h, UINT vk, bool bCtrl = false) {
    BYTE state[256] = {};
    state[VK_CONTROL] = state[VK_LCONTROL] = bCtrl ? 0x80 : 0;
    SetKeyboardState(state);
    SetFocus(List(h));
    PostMessageW(List(h), WM_KEYDOWN, vk, 1);
    PumpDialog(h);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0;
    SetKeyboardState(state);
}
auto Key(UINT vk, bool bCtrl = false) {
    return [=](HWND h) { PressKey(h, vk, bCtrl); };
}

POINT RowCenter(HWND h, int nRow) {
    RECT rc{};
    rc.left = LVIR_BOUNDS;
    SendMessageW(List(h), LVM_GETITEMRECT, nRow, reinterpret_cast<LPARAM>(&rc));
    return {rc.left + 30, (rc.top + rc.bottom) / 2};
}

// A drag as the list view starts it: the row's LVN_BEGINDRAG, then the mouse
// moves to `to` (list client coordinates); once that move is seen, `atTo`
// runs inside the drag and posts how it ends.
std::function<void(HWND)> g_atTo;
HWND g_hDragDlg = nullptr;
void DragRow(HWND h, int nFrom, POINT to, std::function<void(HWND)> atTo) {
    g_atTo = std::move(atTo);
    g_hDragDlg = h;
    // Where the pointer really is, so that a move the system makes up agrees.
    POINT screen = to;
    ClientToScreen(List(h), &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(List(h), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        g_atTo(g_hDragDlg);
    });
    NMLISTVIEW nm{};
    nm.hdr = {List(h), IDC_TASK_LIST, LVN_BEGINDRAG};
    nm.iItem = nFrom;
    SendMessageW(h, WM_NOTIFY, IDC_TASK_LIST, reinterpret_cast<LPARAM>(&nm));
}
auto Release(POINT pt) {
    return [=](HWND h) { PostMessageW(List(h), WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y)); };
}
auto Drag(int nFrom, int nTo) {
    return [=](HWND h) { DragRow(h, nFrom, RowCenter(h, nTo), [=](HWND h2) { Release(RowCenter(h2, nTo))(h2); }); };
}

// Files as the file manager drops them: a DROPFILES block with a double-NUL list.
void DropFiles(HWND h, const std::vector<std::u16string>& paths) {
    std::u16string list;
    for (const auto& p : paths) list += p + u'\0';
    list += u'\0';
    const HGLOBAL hDrop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * 2);
    auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    memcpy(pDrop + 1, list.data(), list.size() * 2);
    GlobalUnlock(hDrop);
    SendMessageW(h, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
}

CJumpListAction EditorTask(HWND hEditor) {
    const auto text = [&](int nID) { return WindowText(GetDlgItem(hEditor, nID)); };
    return MakeTask(text(IDC_TITLE), text(IDC_DESCRIPTION), text(IDC_PATH), text(IDC_ARGUMENTS), text(IDC_ICON_PATH),
                    std::stoi(Narrow(text(IDC_ICON_INDEX))));
}
void EditorOk(HWND hEditor) {
    if (WindowText(GetDlgItem(hEditor, IDC_PATH)).empty()) SetDlgItemTextW(hEditor, IDC_PATH, L"notepad.exe");
    SetDlgItemTextW(hEditor, IDC_TITLE, WindowText(GetDlgItem(hEditor, IDC_PATH)) == u"notepad.exe" ? L"New" : L"Edited");
    SendMessageW(hEditor, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindowTest, KeysOnTheListRunTheirButtonsCommands) {
    CJumpListAction edited = kCmd;
    edited.m_strTitle = u"Edited";
    const struct {
        const char* name;
        int nSelect;
        std::function<void(HWND)> keys;  // an editor that opens is filled in and OKed
        std::vector<MessageSeen> boxes;
        CTaskList after;
        int nSelectedAfter;
        INT_PTR nEnd = IDCANCEL;  // how the window ended
    } cases[] = {
        {"Del", 1, Key(VK_DELETE), {}, MakeList({kCmd, kSep, kWeb}), -1},
        {"Del, none selected", -1, Key(VK_DELETE), {kSelectToDelete}, kFour, -1},
        {"Ctrl+Del is no command", 1, Key(VK_DELETE, true), {}, kFour, 1},
        {"F2", 0, Key(VK_F2), {}, MakeList({edited, kPad, kSep, kWeb}), -1},
        {"F2 on a separator", 2, Key(VK_F2), {kSeparatorNotEditable}, kFour, 2},
        {"Insert", 1, Key(VK_INSERT), {}, MakeList({kCmd, kPad, kSep, kWeb, kNew}), -1},
        {"Ctrl+Up twice", 3, [](HWND h) { PressKey(h, VK_UP, true), PressKey(h, VK_UP, true); }, {},
         MakeList({kCmd, kWeb, kPad, kSep}), 1},
        {"Ctrl+Down", 0, Key(VK_DOWN, true), {}, MakeList({kPad, kCmd, kSep, kWeb}), 1},
        {"Ctrl+Down, none selected", -1, Key(VK_DOWN, true), {kSelectToMove}, kFour, -1},
        {"Down only moves the selection", 0, Key(VK_DOWN), {}, kFour, 1},
        {"Enter closes", 0, Key(VK_RETURN), {}, kFour, -2, IDOK},
        {"Escape closes", 0, Key(VK_ESCAPE), {}, kFour, -2, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(DataFilePath(), Store(kFour));
        int nSelected = -2, nFocused = -2;
        const INT_PTR nEnd = Run(
            [&](HWND h) {
                SelectRow(h, c.nSelect);
                c.keys(h);
                if (!IsWindowVisible(h) || c.nEnd == IDOK) return;
                nSelected = SelectedRow(h);
                nFocused = static_cast<int>(SendMessageW(List(h), LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
                Close(h);
            },
            EditorOk);
        EXPECT_EQ(nEnd, c.nEnd);
        EXPECT_EQ(m_boxes, c.boxes);
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.after));
        EXPECT_EQ(nSelected, c.nSelectedAfter);
        if (c.nSelectedAfter >= 0) {
            EXPECT_EQ(nFocused, c.nSelectedAfter) << "the focus follows the selection";
        }
    }
}

// Every change can be undone to Data.dat's very bytes, and redone.
TEST_F(MainWindowTest, UndoGivesBackDataDatByteForByteAndRedoTheChange) {
    const std::u16string folder = FolderOf(DataFilePath());
    const std::u16string note = folder + u"\\note.txt";
    WriteBytes(note, Bytes{1});
    const auto undo = Key('Z', true);
    const auto redo = Key('Y', true);
    const auto choose = [](HWND h, int nID) { SendMessageW(h, WM_COMMAND, nID, 0); };
    const struct {
        const char* name;
        CTaskList start;
        int nSelect;
        std::function<void(HWND)> change;
        int nSteps;  // changes made, each undone
    } cases[] = {
        {"add new", kFour, -1, [](HWND h) { Click(h, IDC_ADD_NEW); }, 1},
        {"add separator", kFour, 0, [](HWND h) { Click(h, IDC_ADD_SEPARATOR); }, 1},
        {"edit", kFour, 0, Key(VK_F2), 1},
        {"delete brings the entry back at its row", kFour, 2, Key(VK_DELETE), 1},
        {"delete the last entry", MakeList({kWeb}), 0, Key(VK_DELETE), 1},
        {"move up, twice", kFour, 3, [](HWND h) { Click(h, IDC_MOVE_UP), Click(h, IDC_MOVE_UP); }, 2},
        {"drag", kFour, 0, Drag(0, 3), 1},
        {"reset", kFour, -1, [](HWND h) { Click(h, IDC_RESET); }, 1},
        {"drop", kFour, -1, [&](HWND h) { DropFiles(h, {note, note}); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(DataFilePath(), Store(c.start));
        Bytes changed, undone, redone, undoneTwice;
        std::optional<PopupMenuSeen> seen;
        Run(
            [&](HWND h) {
                SelectRow(h, c.nSelect);
                c.change(h);
                changed = ReadBytes(DataFilePath());
                ClearHostFiles();
                for (int i = 0; i < c.nSteps; ++i) undo(h);
                undone = ReadBytes(DataFilePath());
                ASSERT_TRUE(HostRecordExists()) << "an undo is published";
                EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(c.start));
                redo(h);
                for (int i = 1; i < c.nSteps; ++i) choose(h, IDM_REDO);
                redone = ReadBytes(DataFilePath());
                for (int i = 0; i < c.nSteps + 2; ++i) choose(h, IDM_UNDO);  // past the history: nothing more
                undoneTwice = ReadBytes(DataFilePath());
                ChooseInNextPopupMenu(-1, seen);
                SendMessageW(h, WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
                Close(h);
            },
            EditorOk, IDYES);
        EXPECT_NE(changed, Store(c.start));
        EXPECT_EQ(undone, Store(c.start));
        EXPECT_EQ(redone, changed);
        EXPECT_EQ(undoneTwice, Store(c.start));
        ASSERT_TRUE(seen.has_value());
        EXPECT_EQ(seen->items[6], u"Undo");
        EXPECT_TRUE(seen->grayed[6]) << "nothing left to undo";
        EXPECT_FALSE(seen->grayed[7]) << "the redo is there";
    }
}

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

TEST_F(MainWindowTest, DraggingARowMovesItThereAndCancelsWithNothingChanged) {
    CTaskList many;
    for (int i = 0; i < 40; ++i) many.Add(i % 2 ? kSep : kPad);
    const auto row = [](int n) { return [n](HWND h) { return RowCenter(h, n); }; };
    enum EEnd { drop, escape, outside };
    const struct {
        const char* name;
        CTaskList start;
        int nFrom;
        std::function<POINT(HWND)> to;  // where the mouse goes
        EEnd end;
        int nMarkLine;  // the line between rows drawn there, 0 above the first (-1 none, -2 not looked at)
        CTaskList after;
        bool bScrolled = false;
    } cases[] = {
        {"down", kFour, 0, row(2), drop, 3, MakeList({kPad, kSep, kCmd, kWeb})},
        {"a separator up", kFour, 2, row(0), drop, 0, MakeList({kSep, kCmd, kPad, kWeb})},
        {"below the last row", kFour, 1, [](HWND) { return POINT{30, 250}; }, drop, 4,
         MakeList({kCmd, kSep, kWeb, kPad})},
        {"escape", kFour, 0, row(3), escape, 4, kFour},
        {"dropped outside", kFour, 3, row(0), outside, 0, kFour},
        {"onto itself", kFour, 1, row(1), drop, -1, kFour},
        {"scrolls near the bottom", many, 0,
         [](HWND h) {
             RECT rc{};
             GetClientRect(List(h), &rc);
             return POINT{30, rc.bottom - 2};
         },
         outside, -2, many, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(DataFilePath(), Store(c.start));
        int nLine = -1, nTop = -1, nSelected = -2;
        Run([&](HWND h) {
            SelectRow(h, c.nFrom);
            const POINT to = c.to(h);
            DragRow(h, c.nFrom, to, [&](HWND h2) {
                nLine = DrawnLineBetweenRows(List(h2));
                nTop = static_cast<int>(SendMessageW(List(h2), LVM_GETTOPINDEX, 0, 0));
                if (c.end == escape) PostMessageW(List(h2), WM_KEYDOWN, VK_ESCAPE, 1);
                else Release(c.end == drop ? to : POINT{-40, 20})(h2);
            });
            nSelected = SelectedRow(h);
            Close(h);
        });
        if (c.nMarkLine != -2) {
            EXPECT_EQ(nLine, c.nMarkLine) << "the insertion mark";
        }
        EXPECT_EQ(nTop > 0, c.bScrolled);
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.after));
        if (!(c.after == c.start)) {
            EXPECT_EQ(nSelected, c.nMarkLine - (c.nMarkLine > c.nFrom)) << "the moved row is selected";
        }
        EXPECT_TRUE(m_boxes.empty());
    }
}

// A shortcut made by the system's own shell link, not the stand-in's.
struct SystemShellLink {
    SystemShellLink() {
        using PfnGetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
        const auto pfn = reinterpret_cast<PfnGetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "DllGetClassObject")));
        ComPtr<IClassFactory> pFactory;
        if (pfn && SUCCEEDED(pfn(CLSID_ShellLink, IID_PPV_ARGS(&pFactory))))
            CoRegisterClassObject(CLSID_ShellLink, pFactory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &dwCookie);
    }
    ~SystemShellLink() { CoRevokeClassObject(dwCookie); }
    DWORD dwCookie = 0;
};

TEST_F(MainWindowTest, DroppedFilesAreAdded) {
    const SystemShellLink shellLink;
    ASSERT_NE(shellLink.dwCookie, 0u);
    const std::u16string folder = FolderOf(DataFilePath());
    const std::u16string doc = folder + u"\\Read me.txt", exe = folder + u"\\tool.EXE", sub = folder + u"\\Sub",
                         lnk = folder + u"\\My tool.lnk";
    WriteBytes(doc, Bytes{1});
    WriteBytes(exe, Bytes{1});
    MakeFolder(sub);
    {
        ComPtr<IShellLinkW> pLink;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pLink)));
        pLink->SetPath(as_wcstr(exe));
        pLink->SetArguments(L"/fast");
        pLink->SetDescription(L"Runs the tool");
        pLink->SetIconLocation(as_wcstr(doc), 2);
        ComPtr<IPersistFile> pFile;
        ASSERT_HRESULT_SUCCEEDED(pLink.As(&pFile));
        ASSERT_HRESULT_SUCCEEDED(pFile->Save(as_wcstr(lnk), TRUE));
    }
    const CJumpListAction aDoc = MakeTask(u"Read me", u"", doc), aExe = MakeTask(u"tool", u"", exe, u"", exe),
                          aSub = MakeTask(u"Sub", u"", sub),
                          aLnk = MakeTask(u"My tool", u"Runs the tool", exe, u"/fast", doc, 2);
    const struct {
        const char* name;
        std::vector<std::u16string> files;
        std::optional<CJumpListAction> prefilled;  // the editor opens with it, and OK is pressed
        CTaskList after;
    } cases[] = {
        {"a document", {doc}, aDoc, MakeList({kCmd, kSep, aDoc})},
        {"a program", {exe}, aExe, MakeList({kCmd, kSep, aExe})},
        {"a folder", {sub}, aSub, MakeList({kCmd, kSep, aSub})},
        {"a shortcut", {lnk}, aLnk, MakeList({kCmd, kSep, aLnk})},
        {"several, in order", {exe, lnk, doc, sub}, std::nullopt, MakeList({kCmd, kSep, aExe, aLnk, aDoc, aSub})},
        {"something else", {folder + u"\\gone.txt"}, std::nullopt, MakeList({kCmd, kSep})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(DataFilePath(), Store(MakeList({kCmd, kSep})));
        std::optional<CJumpListAction> shown;
        std::u16string caption;
        Run([&](HWND h) { SelectRow(h, 0), DropFiles(h, c.files), Close(h); },
            [&](HWND hEditor) {
                shown = EditorTask(hEditor);
                caption = WindowText(hEditor);
                SendMessageW(hEditor, WM_COMMAND, IDOK, 0);
            });
        EXPECT_EQ(shown, c.prefilled);
        if (shown) {
            EXPECT_EQ(caption, u"Add New Jump List Item - Zembro by Brellow");
        }
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(c.after));
    }
}

TEST_F(MainWindowTest, KeyboardMenuOpensAtTheRowAndTheTitleBarShowsTheSystemMenu) {
    CTaskList many;
    for (int i = 0; i < 40; ++i) many.Add(kPad);
    WriteBytes(DataFilePath(), Store(many));
    const struct {
        const char* name;
        int nSelect;
        bool bTitleBar;
    } cases[] = {{"none selected", -1, false}, {"row 2", 2, false}, {"a row out of view", 39, false},
                 {"title bar", 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<PopupMenuSeen> seen;
        POINT expected{};
        Run([&](HWND h) {
            SelectRow(h, c.nSelect);
            RECT rc{};
            GetWindowRect(c.bTitleBar ? h : List(h), &rc);
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
                SendMessageW(List(h), LVM_GETITEMRECT, c.nSelect, reinterpret_cast<LPARAM>(&rcRow));
                expected = {std::max<LONG>(rcRow.left, 0), rcRow.bottom};
                ClientToScreen(List(h), &expected);
            }
            Close(h);
        });
        ASSERT_TRUE(seen.has_value());
        if (c.bTitleBar) {
            EXPECT_EQ(seen->items.back(), u"&About Zembro...");
        } else {
            EXPECT_EQ(seen->items.front(), u"Add New...");
            EXPECT_EQ(seen->rc.left, expected.x);
            EXPECT_EQ(seen->rc.top, expected.y);
        }
    }
}

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
