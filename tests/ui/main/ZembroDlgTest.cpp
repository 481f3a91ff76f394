// The main window at start: what it loads, seeds, saves, publishes and tells;
// its columns, icons, menus, minimum size and layout.
#include <windows.h>

#include <commctrl.h>

#include <gmock/gmock.h>

#include <cstring>

#include "MainWindowDriver.h"
#include "core/ProductLinks.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "support/IconSize.h"
#include "support/OpenedUrls.h"
#include "support/SampleTasks.h"
#include "tools/HostRecord.h"

namespace {

Bytes NoneOfOne() {
    Bytes b;
    AppendInt(b, 1);
    AppendLine(b, u"cut short");
    return b;
}

std::u16string ExeFolder() {
    wchar_t szPath[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath, cch);
    return as_u16(path.substr(0, path.find_last_of(L'\\')));
}

// The screen's DPI, which the program's windows open at.
int ScreenDpi() {
    HDC hdc = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hdc, LOGPIXELSX);
    ReleaseDC(nullptr, hdc);
    return nDpi;
}

// A pixel of an image as drawn over white.
COLORREF PixelOf(HIMAGELIST hImages, int nImage, int x, int y) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bmi.bmiHeader.biHeight = 64;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hbm = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    memset(pBits, 0xFF, 64 * 64 * 4);
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    ImageList_Draw(hImages, nImage, hdc, 0, 0, ILD_NORMAL);
    const COLORREF color = GetPixel(hdc, x, y);
    SelectObject(hdc, hOld);
    DeleteObject(hbm);
    DeleteDC(hdc);
    return color;
}

TEST_F(MainWindowTest, StartLoadsSeedsAndTellsWhatWentWrongOnce) {
    const std::u16string strDamaged = u" A copy of the damaged file was kept as " + DataFilePath() + u".damaged.";
    const struct {
        const char* name;
        std::optional<Bytes> file;
        std::vector<MessageSeen> boxes;
        CTaskList shown;
        std::optional<Bytes> stored;  // none: Data.dat as it was
        bool bPublished;
        const wchar_t* pszHostSwitch = nullptr;
        bool bAddSeparator = false;  // then the user adds a separator
    } cases[] = {
        {"no data file", std::nullopt, {}, Defaults(), Store(Defaults()), true},
        {"no records", Bytes{0, 0, 0, 0}, {}, Defaults(), Store(Defaults()), true},
        {"a stored list", Store(MakeList({kWeb, MakeSeparator(), kCmd})), {}, MakeList({kWeb, MakeSeparator(), kCmd}),
         std::nullopt, false},
        {"two of three read", TwoOfThree(),
         {{u"Data.dat is damaged: 2 of 3 entries could be read." + strDamaged, MB_OK | MB_ICONWARNING}},
         MakeList({kCmd, kPad}), std::nullopt, false},
        {"none of one read", NoneOfOne(),
         {{u"Data.dat is damaged: 0 of 1 entries could be read." + strDamaged, MB_OK | MB_ICONWARNING}}, Defaults(),
         Store(Defaults()), true},
        {"count cut short", Bytes{1, 0},
         {{u"Data.dat is damaged: no entry could be read." + strDamaged, MB_OK | MB_ICONWARNING}}, Defaults(),
         Store(Defaults()), true},
        // The defaults seeded at a first start are saved whatever the shell refuses.
        {"no data file, begin refused", std::nullopt, {kInitializeFailed}, Defaults(), Store(Defaults()), false,
         L"FailBeginList"},
        {"no data file, tasks refused", std::nullopt, {kCommitFailed}, Defaults(), Store(Defaults()), false,
         L"FailAddUserTasks"},
        {"no data file, commit refused", std::nullopt, {kCommitFailed}, Defaults(), Store(Defaults()), false,
         L"FailCommitList"},
        // The reload after the refusal finds the same damage: not told again.
        {"damaged, then a refused change", TwoOfThree(),
         {{u"Data.dat is damaged: 2 of 3 entries could be read." + strDamaged, MB_OK | MB_ICONWARNING},
          kInitializeFailed},
         MakeList({kCmd, kPad}), std::nullopt, false, L"FailBeginList", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(as_wcstr(DataFilePath() + u".damaged"));
        DeleteFileW(as_wcstr(DataFilePath()));
        if (c.file) WriteBytes(DataFilePath(), *c.file);
        ClearHostFiles();
        if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, true);
        std::vector<Row> rows;
        int nImages = 0;
        Run([&](HWND h) {
            if (c.bAddSeparator) Click(h, IDC_ADD_SEPARATOR);
            rows = ReadRows(h);
            nImages = ImageCount(h);
            Close(h);
        });
        if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, false);

        EXPECT_EQ(m_boxes, c.boxes);
        EXPECT_EQ(rows, ExpectedRows(c.shown));
        EXPECT_EQ(nImages, c.shown.GetSize());
        EXPECT_EQ(ReadBytes(DataFilePath()), c.stored ? *c.stored : *c.file);
        EXPECT_EQ(HostRecordExists(), c.bPublished);
        if (c.bPublished) {
            EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(c.shown));
        }
        const bool bDamaged = !c.boxes.empty() && c.boxes[0].type == (MB_OK | MB_ICONWARNING);
        if (bDamaged) {
            EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), *c.file);
        } else {
            EXPECT_FALSE(FileExists(DataFilePath() + u".damaged"));
        }
    }
}

// Each row shows the icon of its path at its icon index, never the one of its
// icon file, and row n uses image n.
TEST_F(MainWindowTest, RowsShowTheIconOfTheirPath) {
    const std::u16string strIcons = ExeFolder() + u"\\zembro_three_icons.exe";
    WriteBytes(DataFilePath(), Store(MakeList({MakeTask(u"Blue", u"", strIcons, u"", u"notepad.exe", 2),
                                               MakeTask(u"Red", u"", strIcons, u"", strIcons, 0), MakeSeparator(),
                                               MakeTask(u"Green", u"", strIcons, u"", u"", 1)})));
    std::vector<COLORREF> centres, corners;
    int cx = 0, cy = 0;
    Run([&](HWND h) {
        const auto hImages =
            reinterpret_cast<HIMAGELIST>(SendDlgItemMessageW(h, IDC_TASK_LIST, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ImageList_GetIconSize(hImages, &cx, &cy);
        for (const Row& row : ReadRows(h)) {
            centres.push_back(PixelOf(hImages, row.image, cx / 2, cy / 2));
            corners.push_back(PixelOf(hImages, row.image, 0, 0));
        }
        Close(h);
    });
    // The small-icon size at the screen's DPI: 16 px at 96, 24 at 144.
    EXPECT_EQ(cx, MulDiv(16, ScreenDpi(), 96));
    EXPECT_EQ(cy, cx);
    // The separator icon: a black line across a transparent square.
    EXPECT_EQ(centres, (std::vector<COLORREF>{RGB(0, 0, 0xFF), RGB(0xFF, 0, 0), RGB(0, 0, 0), RGB(0, 0x80, 0)}));
    EXPECT_EQ(corners[2], RGB(0xFF, 0xFF, 0xFF));
}

TEST_F(MainWindowTest, TheWindowIsSetUpAsDesigned) {
    WriteBytes(DataFilePath(), Store(MakeList({kCmd})));
    const HICON hProgramIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZEMBRO));
    Run([&](HWND h) {
        const HWND hList = GetDlgItem(h, IDC_TASK_LIST);
        EXPECT_EQ(WindowText(h), u"Zembro by Brellow");
        // Grid lines, subitem images, full-row selection; no flat scroll bars (0x100).
        EXPECT_EQ(SendMessageW(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x123, 0x23);
        const struct {
            const wchar_t* caption;
            int width;
        } kColumns[] = {{L"Sr", 50}, {L"Title", 110}, {L"Description", 110}, {L"Application Path", 100},
                        {L"Arguments", 80}};
        const HWND hHeader = reinterpret_cast<HWND>(SendMessageW(hList, LVM_GETHEADER, 0, 0));
        EXPECT_EQ(SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0), 5);
        for (int i = 0; i < 5; ++i) {
            wchar_t szText[64] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = szText;
            column.cchTextMax = 64;
            SendMessageW(hList, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
            EXPECT_STREQ(szText, kColumns[i].caption);
            EXPECT_EQ(column.cx, MulDiv(kColumns[i].width, ScreenDpi(), 96));
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        }

        const HMENU hSysMenu = GetSystemMenu(h, FALSE);
        const int nItems = GetMenuItemCount(hSysMenu);
        wchar_t szAbout[64] = {};
        GetMenuStringW(hSysMenu, IDM_ABOUTBOX, szAbout, 64, MF_BYCOMMAND);
        EXPECT_STREQ(szAbout, L"&About Zembro...");
        EXPECT_EQ(GetMenuItemID(hSysMenu, nItems - 1), static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_EQ(GetMenuState(hSysMenu, nItems - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

        // Both icons drawn for their sizes at the window's DPI.
        const auto hBig = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
        EXPECT_NE(hBig, hProgramIcon);
        EXPECT_EQ(IconWidth(hBig), GetSystemMetrics(SM_CXICON));
        const auto hSmall = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
        EXPECT_NE(hSmall, hProgramIcon);
        EXPECT_EQ(IconWidth(hSmall), GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(h, WM_QUERYDRAGICON, 0, 0)), hProgramIcon);

        // The size at start is the smallest; the layout moves the controls.
        RECT rcWindow{};
        GetWindowRect(h, &rcWindow);
        MINMAXINFO info{};
        SendMessageW(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, rcWindow.right - rcWindow.left);
        EXPECT_EQ(info.ptMinTrackSize.y, rcWindow.bottom - rcWindow.top);
        const auto clientRect = [h](int nID) {
            RECT rc{};
            GetWindowRect(GetDlgItem(h, nID), &rc);
            MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&rc), 2);
            return rc;
        };
        const RECT rcList = clientRect(IDC_TASK_LIST), rcAdd = clientRect(IDC_ADD_NEW), rcUp = clientRect(IDC_MOVE_UP);
        SetWindowPos(h, nullptr, 0, 0, rcWindow.right - rcWindow.left + 120, rcWindow.bottom - rcWindow.top + 60,
                     SWP_NOMOVE | SWP_NOZORDER);
        const RECT rcList2 = clientRect(IDC_TASK_LIST), rcAdd2 = clientRect(IDC_ADD_NEW), rcUp2 = clientRect(IDC_MOVE_UP);
        EXPECT_EQ(rcList2.right - rcList.right, 120);
        EXPECT_EQ(rcList2.bottom - rcList.bottom, 60);
        EXPECT_EQ(rcAdd2.top - rcAdd.top, 60);
        EXPECT_EQ(rcAdd2.left, rcAdd.left);
        EXPECT_EQ(rcUp2.left - rcUp.left, 120);
        EXPECT_EQ(rcUp2.top, rcUp.top);
        Close(h);
    });
    EXPECT_TRUE(m_boxes.empty());
}

// Moved to a monitor of 1.5 times the DPI: the rows' images, the columns and the
// smallest size grow with it, and the rows and the selection stay.
TEST_F(MainWindowTest, ADpiChangeScalesImagesColumnsAndSmallestSize) {
    WriteBytes(DataFilePath(), Store(MakeList({kCmd, MakeSeparator()})));
    Run([&](HWND h) {
        const HWND hList = GetDlgItem(h, IDC_TASK_LIST);
        const auto imageSize = [hList] {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(hList, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
                                  &cx, &cy);
            return cx;
        };
        const int cxImage = imageSize(), cxColumn = static_cast<int>(SendMessageW(hList, LVM_GETCOLUMNWIDTH, 1, 0));
        ListView_SetItemState(hList, 1, LVIS_SELECTED, LVIS_SELECTED);
        RECT rc{};
        GetWindowRect(h, &rc);
        const int nDpi = ScreenDpi() * 3 / 2;
        RECT rcSuggested{rc.left, rc.top, rc.left + (rc.right - rc.left) * 3 / 2, rc.top + (rc.bottom - rc.top) * 3 / 2};
        SendMessageW(h, WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rcSuggested));
        EXPECT_EQ(imageSize(), cxImage * 3 / 2);
        EXPECT_EQ(SendMessageW(hList, LVM_GETCOLUMNWIDTH, 1, 0), cxColumn * 3 / 2);
        MINMAXINFO info{};
        SendMessageW(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, (rc.right - rc.left) * 3 / 2);
        EXPECT_EQ(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageW(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
        Close(h);
    });
}

TEST_F(MainWindowTest, F1TheShareButtonAndTheAboutItemLeadOut) {
    WriteBytes(DataFilePath(), Store(MakeList({kCmd})));
    CUrlRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    std::u16string strAbout;
    Run(
        [&](HWND h) {
            // F1 over a control: the system hands the control WM_HELP, which
            // goes on to the window.
            const HWND hButton = GetDlgItem(h, IDC_RESET);
            HELPINFO help{sizeof(help), HELPINFO_WINDOW, IDC_RESET, hButton, 0, {0, 0}};
            SendMessageW(hButton, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            Click(h, IDC_SHARE_ON_FACEBOOK);
            SendMessageW(h, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            Close(h);
        },
        [&](HWND hAbout) {
            strAbout = WindowText(hAbout);
            SendMessageW(hAbout, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
    EXPECT_EQ(strAbout, u"About Zembro by Brellow");
    EXPECT_THAT(recorder.WaitForOpened(2),
                testing::UnorderedElementsAre(
                    COpenedUrl{SW_SHOWMAXIMIZED, kProductPage},
                    COpenedUrl{SW_SHOWMAXIMIZED, u"http://www.facebook.com/sharer.php?u=https://brellow.example/zembro"}));
    EXPECT_TRUE(m_boxes.empty());
    // None of them changes the list.
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(MakeList({kCmd})));
    EXPECT_FALSE(HostRecordExists());
}

TEST_F(MainWindowTest, EnterEscapeAndExitEndTheWindow) {
    WriteBytes(DataFilePath(), Store(MakeList({kCmd})));
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        INT_PTR nResult;
    } cases[] = {
        {"Enter", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), IDOK},
        {"Escape", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), IDCANCEL},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
        {"Exit", WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run([&](HWND h) { PostMessageW(h, c.message, c.wParam, 0); }), c.nResult);
        EXPECT_TRUE(m_boxes.empty());
    }
}

}  // namespace
