#include "MainWindowDriver.h"

#include <commctrl.h>
#include <shlobj.h>

#include "win/WinText.h"
#include "tools/HostRecord.h"
#include "ui/main/ZembroDlg.h"

namespace {

constexpr wchar_t kProfileKey[] = L"Software\\Brellow\\Zembro by Brellow";

struct PendingMenuChoice {
    int nItem = -1;
    std::optional<PopupMenuSeen>* pSeen = nullptr;
} g_menuChoice;

void CALLBACK MenuTimerProc(HWND, UINT, UINT_PTR idEvent, DWORD) {
    HWND hMenu = FindWindowW(L"#32768", nullptr);
    if (!hMenu || !IsWindowVisible(hMenu)) return;  // not up yet: try again
    KillTimer(nullptr, idEvent);
    PopupMenuSeen seen;
    GetWindowRect(hMenu, &seen.rc);
    const auto hPopup = reinterpret_cast<HMENU>(SendMessageW(hMenu, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(hPopup); ++i) {
        wchar_t szText[64] = {};
        GetMenuStringW(hPopup, i, szText, 64, MF_BYPOSITION);
        seen.items.push_back(as_u16(szText));
        seen.grayed.push_back((GetMenuState(hPopup, i, MF_BYPOSITION) & MF_GRAYED) != 0);
    }
    *g_menuChoice.pSeen = seen;
    if (g_menuChoice.nItem < 0) return (void)PostMessageW(hMenu, WM_KEYDOWN, VK_ESCAPE, 0);
    // The first Down selects the first item; separators are skipped.
    for (int i = 0; i <= g_menuChoice.nItem; ++i) PostMessageW(hMenu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(hMenu, WM_KEYDOWN, VK_RETURN, 0);
}

std::function<void(HWND)> g_atTo;
HWND g_hDragDlg = nullptr;

}  // namespace

int ImageCount(HWND hDlg) {
    const auto hImages = reinterpret_cast<HIMAGELIST>(SendMessageW(TaskList(hDlg), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    return hImages ? ImageList_GetImageCount(hImages) : -1;
}

void PressListKey(HWND hDlg, UINT vk, bool bCtrl) {
    BYTE state[256] = {};
    state[VK_CONTROL] = state[VK_LCONTROL] = bCtrl ? 0x80 : 0;
    SetKeyboardState(state);
    SetFocus(TaskList(hDlg));
    PostMessageW(TaskList(hDlg), WM_KEYDOWN, vk, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageW(hDlg, &msg)) TranslateMessage(&msg), DispatchMessageW(&msg);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0;
    SetKeyboardState(state);
}

void ChooseInNextPopupMenu(int nItem, std::optional<PopupMenuSeen>& seen) {
    seen.reset();
    g_menuChoice = {nItem, &seen};
    SetTimer(nullptr, 0, 10, MenuTimerProc);
}

void DragRow(HWND h, int nFrom, POINT to, POINT end, std::function<void(HWND)> atTo) {
    g_atTo = [=](HWND h2) {
        if (atTo) atTo(h2);
        if (end.x < -100) {
            PostMessageW(TaskList(h2), WM_KEYDOWN, VK_ESCAPE, 1);
        } else {
            PostMessageW(TaskList(h2), WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
        }
    };
    g_hDragDlg = h;
    POINT screen = to;  // where the pointer is, so a move the system makes up agrees
    ClientToScreen(TaskList(h), &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(TaskList(h), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) { KillTimer(nullptr, id), g_atTo(g_hDragDlg); });
    NMLISTVIEW nm{};
    nm.hdr = {TaskList(h), IDC_TASK_LIST, LVN_BEGINDRAG};
    nm.iItem = nFrom;
    SendMessageW(h, WM_NOTIFY, IDC_TASK_LIST, reinterpret_cast<LPARAM>(&nm));
}
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

void Close(HWND hDlg) { SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

void MainWindowTest::SetUp() {
    DataFolderTest::SetUp();
    // The tests write Data.dat before the window would create its folder.
    MakeFolder(FolderOf(DataFilePath()));
    ASSERT_TRUE(m_ole.Succeeded());
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey);
    ClearHostSwitches();
    ClearHostFiles();
    m_app.SetRegistryKey(L"Brellow");
}

void MainWindowTest::TearDown() {
    ClearHostSwitches();
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey);
    DataFolderTest::TearDown();
}

INT_PTR MainWindowTest::Run(const std::function<void(HWND)>& script,
                            const std::function<int(const CRecordedMessageBox&)>& boxScript) {
    return Run(script, {}, IDOK, boxScript);
}

INT_PTR MainWindowTest::Run(const std::function<void(HWND)>& script, const std::function<void(HWND)>& nested,
                            int nAnswer, const std::function<int(const CRecordedMessageBox&)>& boxScript) {
    CZembroDlg dlg;
    m_app.m_pMainWnd = &dlg;
    INT_PTR nResult = 0;
    {
        CModalAnswerer answerer(nAnswer);
        // The window a box should be modal to; a box at start comes before the script runs.
        std::vector<HWND> owners;
        answerer.SetMessageBoxScript([&](const CRecordedMessageBox& box) {
            owners.push_back(dlg.m_hWnd);
            return boxScript ? boxScript(box) : nAnswer;
        });
        answerer.SetDialogScript([&](HWND hWnd) {
            if (hWnd == dlg.m_hWnd) {
                script(hWnd);
            } else if (nested) {
                nested(hWnd);
            } else {
                ADD_FAILURE() << "an unexpected dialog opened: " << Narrow(WindowText(hWnd));
            }
        });
        nResult = dlg.DoModal();
        m_boxes.clear();
        for (size_t i = 0; i < answerer.MessageBoxes().size(); ++i) {
            const CRecordedMessageBox& box = answerer.MessageBoxes()[i];
            m_boxes.push_back({box.m_strText, box.m_nType});
            EXPECT_EQ(box.m_strCaption, u"Zembro by Brellow");
            EXPECT_EQ(box.m_hWndOwner, owners[i]) << "every message is modal to the main window";
        }
    }
    m_app.m_pMainWnd = nullptr;
    return nResult;
}
