// What the refresh after every change does again and what it leaves: a row's
// icon is looked up once for the run, and again only when its file was written
// since; only the rows that show something new are drawn again.
#include <windows.h>

#include <commctrl.h>

#include <set>

#include "MainWindowDriver.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"

namespace {

std::u16string TestFile(const wchar_t* pszName) {
    wchar_t szPath[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath, cch);
    return as_u16(path.substr(0, path.find_last_of(L'\\') + 1) + pszName);
}

// The centre pixel of row nRow's image, drawn over white.
COLORREF RowCentre(HWND hDlg, int nRow) {
    const auto hImages =
        reinterpret_cast<HIMAGELIST>(SendDlgItemMessageW(hDlg, IDC_TASK_LIST, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(hImages, &cx, &cy);
    HDC hdcScreen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = CreateCompatibleBitmap(hdcScreen, cx, cy);
    ReleaseDC(nullptr, hdcScreen);
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    RECT rc{0, 0, cx, cy};
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(hImages, nRow, hdc, 0, 0, ILD_NORMAL);
    const COLORREF colour = GetPixel(hdc, cx / 2, cy / 2);
    SelectObject(hdc, hOld);
    DeleteObject(hbm);
    DeleteDC(hdc);
    return colour;
}

void SetLastWrite(const std::u16string& path, const FILETIME& ft) {
    HANDLE h = CreateFileW(as_wcstr(path), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
}

TEST_F(MainWindowTest, ARowsIconIsLookedUpAgainOnlyWhenItsFileChanged) {
    const std::u16string icon = FolderOf(DataFilePath()) + u"\\task.ico";
    WriteBytes(icon, ReadBytes(TestFile(L"red.ico")));
    FILETIME ftFirst{};
    ftFirst.dwHighDateTime = 0x01D00000;
    SetLastWrite(icon, ftFirst);
    WriteBytes(DataFilePath(), Store(MakeList({MakeTask(u"Icon", u"", icon)})));
    std::vector<COLORREF> seen;
    Run([&](HWND h) {
        seen.push_back(RowCentre(h, 0));
        // Other bytes, the same last-write time: the kept image serves.
        WriteBytes(icon, ReadBytes(TestFile(L"green.ico")));
        SetLastWrite(icon, ftFirst);
        Click(h, IDC_ADD_SEPARATOR);
        seen.push_back(RowCentre(h, 0));
        // Written since: looked up again.
        FILETIME ftLater = ftFirst;
        ftLater.dwHighDateTime += 1;
        SetLastWrite(icon, ftLater);
        Click(h, IDC_ADD_SEPARATOR);
        seen.push_back(RowCentre(h, 0));
        Close(h);
    });
    EXPECT_EQ(seen, (std::vector<COLORREF>{RGB(0xFF, 0, 0), RGB(0xFF, 0, 0), RGB(0, 0x80, 0)}));
}

// The rows that the next paint of the list draws again.
std::set<int> RowsToRedraw(HWND hDlg) {
    const HWND hList = GetDlgItem(hDlg, IDC_TASK_LIST);
    HRGN hRegion = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(hList, hRegion, FALSE);
    std::set<int> rows;
    const int nRows = static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < nRows; ++i) {
        RECT rc{};
        rc.left = LVIR_BOUNDS;
        if (!SendMessageW(hList, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc))) continue;
        // The row's inside: a deleted neighbour's area may share its edge line.
        InflateRect(&rc, 0, -1);
        if (RectInRegion(hRegion, &rc)) rows.insert(i);
    }
    DeleteObject(hRegion);
    return rows;
}

TEST_F(MainWindowTest, AChangeRedrawsOnlyTheRowsThatShowSomethingNew) {
    const std::u16string icon = FolderOf(DataFilePath()) + u"\\row0.ico";
    enum class ERow0 { same, gone, newIcon };  // what happens to row 0's file before the command
    const struct {
        const char* name;
        int nSelect, nCommand;
        ERow0 eRow0;
        std::set<int> redrawn;
    } cases[] = {
        {"move up", 3, IDC_MOVE_UP, ERow0::same, {2, 3}},
        {"move down", 0, IDC_MOVE_DOWN, ERow0::same, {0, 1}},
        {"row 0 turns grey, row 4 moves up", 4, IDC_MOVE_UP, ERow0::gone, {0, 3, 4}},
        {"row 0 gets a new icon, row 4 moves up", 4, IDC_MOVE_UP, ERow0::newIcon, {0, 3, 4}},
        {"delete the last row", 4, IDC_DELETE, ERow0::same, {}},
        {"delete the first row", 0, IDC_DELETE, ERow0::same, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(icon, ReadBytes(TestFile(L"red.ico")));
        CTaskList list;
        list.Add(MakeTask(u"Kept", u"", icon));
        for (const char16_t* title : {u"B", u"C", u"D", u"E"}) list.Add(MakeTask(title, u"", u"cmd"));
        WriteBytes(DataFilePath(), Store(list));
        std::set<int> redrawn;
        Run([&](HWND h) {
            SelectRow(h, c.nSelect);
            UpdateWindow(GetDlgItem(h, IDC_TASK_LIST));  // nothing left to draw
            if (c.eRow0 == ERow0::gone) DeleteFileW(as_wcstr(icon));
            if (c.eRow0 == ERow0::newIcon) {
                WriteBytes(icon, ReadBytes(TestFile(L"green.ico")));
                FILETIME ftLater{};
                ftLater.dwHighDateTime = 0x01F00000;
                SetLastWrite(icon, ftLater);
            }
            Click(h, c.nCommand);
            redrawn = RowsToRedraw(h);
            Close(h);
        });
        EXPECT_EQ(redrawn, c.redrawn);
    }
}

}  // namespace
