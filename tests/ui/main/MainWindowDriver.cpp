#include "MainWindowDriver.h"

#include <commctrl.h>

#include "framework/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "tools/HostRecord.h"
#include "ui/main/ZembroDlg.h"

namespace {

constexpr wchar_t kProfileKey[] = L"Software\\Brellow\\Zembro by Brellow";
const wchar_t* const kHostSwitches[] = {L"FailBeginList", L"FailAddUserTasks", L"FailCommitList"};

HWND List(HWND hDlg) { return GetDlgItem(hDlg, IDC_TASK_LIST); }

std::u16string ItemText(HWND hList, int nRow, int nSubItem) {
    wchar_t szText[512] = {};
    LVITEMW item{};
    item.iSubItem = nSubItem;
    item.pszText = szText;
    item.cchTextMax = 512;
    SendMessageW(hList, LVM_GETITEMTEXTW, nRow, reinterpret_cast<LPARAM>(&item));
    return as_u16(szText);
}

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

}  // namespace

void PrintTo(const Row& row, std::ostream* os) {
    *os << "{" << Narrow(row.number) << " img " << row.image << " \"" << Narrow(row.title) << "\" \""
        << Narrow(row.description) << "\" \"" << Narrow(row.path) << "\" \"" << Narrow(row.arguments) << "\"}";
}

std::vector<Row> ExpectedRows(const CTaskList& list) {
    std::vector<Row> rows;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CJumpListAction& a = list.GetAt(i);
        rows.push_back({as_u16(std::to_wstring(i + 1)), a.m_strTitle, a.m_strDescription, a.m_strPath, a.m_strArguments, i});
    }
    return rows;
}

std::vector<Row> ReadRows(HWND hDlg) {
    const HWND hList = List(hDlg);
    std::vector<Row> rows;
    const int n = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        Row row{ItemText(hList, i, 0), ItemText(hList, i, 1), ItemText(hList, i, 2), ItemText(hList, i, 3),
                ItemText(hList, i, 4)};
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageW(hList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        row.image = item.iImage;
        rows.push_back(row);
    }
    return rows;
}

int ImageCount(HWND hDlg) {
    const auto hImages = reinterpret_cast<HIMAGELIST>(SendMessageW(List(hDlg), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    return hImages ? ImageList_GetImageCount(hImages) : -1;
}

int SelectedRow(HWND hDlg) {
    return static_cast<int>(SendMessageW(List(hDlg), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectRow(HWND hDlg, int nRow) {
    if (nRow < 0) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(hDlg), LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&item));
}

void PressListKey(HWND hDlg, UINT vk, bool bCtrl) {
    BYTE state[256] = {};
    state[VK_CONTROL] = state[VK_LCONTROL] = bCtrl ? 0x80 : 0;
    SetKeyboardState(state);
    SetFocus(List(hDlg));
    PostMessageW(List(hDlg), WM_KEYDOWN, vk, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageW(hDlg, &msg)) TranslateMessage(&msg), DispatchMessageW(&msg);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0;
    SetKeyboardState(state);
}

void Click(HWND hDlg, int nID) { SendMessageW(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0); }

void DoubleClickRow(HWND hDlg, int nRow) {
    const HWND hList = List(hDlg);
    POINT pt{20, 0};
    RECT rc{};
    if (nRow >= 0) {
        rc.left = LVIR_LABEL;
        SendMessageW(hList, LVM_GETITEMRECT, nRow, reinterpret_cast<LPARAM>(&rc));
        pt.y = (rc.top + rc.bottom) / 2;
    } else {
        GetClientRect(hList, &rc);
        pt.y = rc.bottom - 5;
    }
    SendMessageW(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    SendMessageW(hList, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

CJumpListAction EditorTask(HWND hEditor) {
    const auto text = [&](int nID) { return WindowText(GetDlgItem(hEditor, nID)); };
    return MakeTask(text(IDC_TITLE), text(IDC_DESCRIPTION), text(IDC_PATH), text(IDC_ARGUMENTS), text(IDC_ICON_PATH),
                    std::stoi(Narrow(text(IDC_ICON_INDEX))));
}

void TypeTask(HWND hEditor, const CJumpListAction& task) {
    const std::pair<int, std::u16string> fields[] = {
        {IDC_TITLE, task.m_strTitle},         {IDC_PATH, task.m_strPath},
        {IDC_DESCRIPTION, task.m_strDescription}, {IDC_ARGUMENTS, task.m_strArguments},
        {IDC_ICON_PATH, task.m_strIconPath},  {IDC_ICON_INDEX, as_u16(std::to_wstring(task.m_nIconIndex))},
    };
    for (const auto& [nID, text] : fields) SetDlgItemTextW(hEditor, nID, as_wcstr(text));
}

void ChooseInNextPopupMenu(int nItem, std::optional<PopupMenuSeen>& seen) {
    seen.reset();
    g_menuChoice = {nItem, &seen};
    SetTimer(nullptr, 0, 10, MenuTimerProc);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Close(HWND hDlg) { SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

void MainWindowTest::SetUp() {
    DataFolderTest::SetUp();
    // The tests write Data.dat before the window would create its folder.
    MakeFolder(FolderOf(DataFilePath()));
    ASSERT_TRUE(m_ole.Succeeded());
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey);
    for (const wchar_t* pszSwitch : kHostSwitches) SetHostSwitch(pszSwitch, false);
    ClearHostFiles();
    m_app.SetRegistryKey(L"Brellow");
}

void MainWindowTest::TearDown() {
    for (const wchar_t* pszSwitch : kHostSwitches) SetHostSwitch(pszSwitch, false);
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
