// A row's icon is looked up once for the run, and again only when its file
// was written since: the refresh after every change does not extract it anew.
#include <windows.h>

#include <commctrl.h>

#include "MainWindowDriver.h"
#include "framework/WinText.h"
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

}  // namespace
