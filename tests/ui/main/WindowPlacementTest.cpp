// The main window's placement and column widths in the profile: when they are
// read, when written, and what the two preferences change.
#include <windows.h>

#include <cstring>

#include "MainWindowDriver.h"
#include "res/resource.h"
#include "support/Bytes.h"

namespace {

const wchar_t* const kColumnNames[] = {L"Column0", L"Column1", L"Column2", L"Column3", L"Column4"};

std::vector<BYTE> Placement(UINT showCmd, RECT rcNormal) {
    WINDOWPLACEMENT wp{sizeof(wp), 0, showCmd, {-1, -1}, {-1, -1}, rcNormal};
    std::vector<BYTE> bytes(sizeof(wp));
    std::memcpy(bytes.data(), &wp, sizeof(wp));
    return bytes;
}

WINDOWPLACEMENT AsPlacement(const std::vector<BYTE>& bytes) {
    WINDOWPLACEMENT wp{};
    EXPECT_EQ(bytes.size(), 44u);
    std::memcpy(&wp, bytes.data(), std::min<size_t>(bytes.size(), sizeof(wp)));
    return wp;
}

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

class WindowPlacementTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteBytes(DataFilePath(), Store(MakeList({MakeTask(u"Notes", u"", u"notepad.exe")})));
    }
};

TEST_F(WindowPlacementTest, FirstRunWritesThePlacementAndEveryColumnWidth) {
    RECT rcClosed{};
    std::vector<int> widthsAtStart;
    Run([&](HWND h) {
        for (int i = 0; i < 5; ++i) widthsAtStart.push_back(ColumnWidth(h, i));
        SetColumnWidth(h, 1, 150);
        SetWindowPos(h, nullptr, 70, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        rcClosed = WindowRect(h);
        Close(h);
    });
    // The default widths at the screen's DPI.
    HDC hdc = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hdc, LOGPIXELSX);
    ReleaseDC(nullptr, hdc);
    std::vector<int> defaults;
    for (int width : {50, 110, 110, 100, 80}) defaults.push_back(MulDiv(width, nDpi, 96));
    EXPECT_EQ(widthsAtStart, defaults);
    const DWORD kWidths[] = {50, 150, 110, 100, 80};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ProfileDword(kColumnNames[i]), kWidths[i]) << i;
    const std::optional<std::vector<BYTE>> location = ProfileBinary(L"Location");
    ASSERT_TRUE(location.has_value());
    const WINDOWPLACEMENT wp = AsPlacement(*location);
    EXPECT_EQ(wp.length, 44u);
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_TRUE(wp.rcNormalPosition == rcClosed);
    // Both taken at the window's DPI, which is stored beside them.
    EXPECT_EQ(ProfileDword(L"LocationDpi"), static_cast<DWORD>(nDpi));
    EXPECT_EQ(ProfileDword(L"ColumnDpi"), static_cast<DWORD>(nDpi));
}

int ScreenDpiNow() {
    HDC hdc = GetDC(nullptr);
    const int nDpi = GetDeviceCaps(hdc, LOGPIXELSX);
    ReleaseDC(nullptr, hdc);
    return nDpi;
}

// Pixels taken on a monitor of another scaling come back at the window's: the
// window at the same place and the same size for the eye, the columns too; a
// DPI no monitor has counts as none, as for the values stored before the DPI
// was (used as they are).
TEST_F(WindowPlacementTest, StoredPixelsAreConvertedFromTheDpiBesideThem) {
    const int nDpi = ScreenDpiNow();
    const RECT rcHalf{150, 120, 600, 420}, rcFull{150, 120, 1050, 720};
    const struct {
        const char* name;
        std::optional<DWORD> dpi;  // stored beside both
        RECT rcStored;
        int nColumn1Stored;
    } cases[] = {
        {"taken at half the DPI", static_cast<DWORD>(nDpi / 2), rcHalf, 150},
        {"taken at the window's DPI", static_cast<DWORD>(nDpi), rcFull, 300},
        {"none stored", std::nullopt, rcFull, 300},
        {"a DPI no monitor has", 5u, rcFull, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brellow\\Zembro by Brellow");
        const std::vector<BYTE> placement = Placement(SW_SHOWNORMAL, c.rcStored);
        SetProfileBinary(L"Location", placement.data(), static_cast<DWORD>(placement.size()));
        SetProfileDword(L"Column1", static_cast<DWORD>(c.nColumn1Stored));
        if (c.dpi) {
            SetProfileDword(L"LocationDpi", *c.dpi);
            SetProfileDword(L"ColumnDpi", *c.dpi);
        }
        RECT rcOpened{};
        int nColumn1 = -1;
        Run([&](HWND h) {
            rcOpened = WindowRect(h);
            nColumn1 = ColumnWidth(h, 1);
            Close(h);
        });
        EXPECT_TRUE(rcOpened == rcFull);
        EXPECT_EQ(nColumn1, 300);
        // Stored again at the window's DPI: the next start opens the same.
        EXPECT_EQ(ProfileDword(L"LocationDpi"), static_cast<DWORD>(nDpi));
        EXPECT_EQ(ProfileDword(L"ColumnDpi"), static_cast<DWORD>(nDpi));
        EXPECT_EQ(ProfileDword(L"Column1"), 300u);
    }
}

// At sign-out the window may never be destroyed: the end of the session stores
// what a close would; a shutdown that was cancelled stores nothing.
TEST_F(WindowPlacementTest, TheEndOfTheSessionStoresThePlacementAndTheWidths) {
    for (const BOOL bEnding : {TRUE, FALSE}) {
        SCOPED_TRACE(bEnding ? "ending" : "cancelled");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brellow\\Zembro by Brellow");
        RECT rcWindow{};
        std::optional<std::vector<BYTE>> location;
        std::optional<DWORD> column1;
        Run([&](HWND h) {
            SetColumnWidth(h, 1, 150);
            SetWindowPos(h, nullptr, 70, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            rcWindow = WindowRect(h);
            SendMessageW(h, WM_ENDSESSION, bEnding, ENDSESSION_LOGOFF);
            location = ProfileBinary(L"Location");
            column1 = ProfileDword(L"Column1");
            Close(h);
        });
        EXPECT_EQ(location.has_value(), bEnding == TRUE);
        if (location) {
            EXPECT_TRUE(AsPlacement(*location).rcNormalPosition == rcWindow);
        }
        EXPECT_EQ(column1, bEnding ? std::optional<DWORD>(150) : std::nullopt);
    }
}

TEST_F(WindowPlacementTest, AMaximisedWindowReopensMaximisedOverItsNormalRectangle) {
    RECT rcNormal{};
    Run([&](HWND h) {
        SetWindowPos(h, nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        rcNormal = WindowRect(h);
        ShowWindow(h, SW_MAXIMIZE);
        Close(h);
    });
    const WINDOWPLACEMENT stored = AsPlacement(ProfileBinary(L"Location").value_or(std::vector<BYTE>{}));
    EXPECT_EQ(stored.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_TRUE(stored.rcNormalPosition == rcNormal);

    bool bZoomed = false;
    RECT rcRestored{};
    Run([&](HWND h) {
        bZoomed = IsZoomed(h);
        ShowWindow(h, SW_RESTORE);
        rcRestored = WindowRect(h);
        Close(h);
    });
    EXPECT_TRUE(bZoomed);
    EXPECT_TRUE(rcRestored == rcNormal);
}

TEST_F(WindowPlacementTest, AMinimisedWindowKeepsTheStoredPlacementButStoresItsWidths) {
    const std::vector<BYTE> before = Placement(SW_SHOWNORMAL, {150, 120, 1050, 720});
    SetProfileBinary(L"Location", before.data(), static_cast<DWORD>(before.size()));
    Run([&](HWND h) {
        SetColumnWidth(h, 3, 33);
        ShowWindow(h, SW_MINIMIZE);
        Close(h);
    });
    EXPECT_EQ(ProfileBinary(L"Location"), before);
    EXPECT_EQ(ProfileDword(L"Column3"), 33u);
}

// What is stored is used at start only while its preference is on; a value
// that is no placement is ignored; a width of 0 survives.
TEST_F(WindowPlacementTest, StoredValuesAreUsedWhileTheirPreferenceIsOn) {
    const RECT rcStored{150, 120, 1050, 720};
    const std::vector<BYTE> placement = Placement(SW_SHOWNORMAL, rcStored);
    const struct {
        const char* name;
        std::optional<DWORD> flag;  // both preferences; none: not stored (on)
        std::vector<BYTE> location;
        bool bPlaced;         // the window opens at rcStored
        int nWidth2AtStart;   // Column2 is stored as 0, and stays 0
        bool bWritten;        // Location and widths are written at close
    } cases[] = {
        {"preferences on", 1, placement, true, 0, true},
        {"preferences not stored", std::nullopt, placement, true, 0, true},
        {"any nonzero value counts as on", 7, placement, true, 0, true},
        {"preferences off", 0, placement, false, 110, false},
        {"43 bytes", 1, std::vector<BYTE>(placement.begin(), placement.end() - 1), false, 0, true},
        {"88 bytes", 1, [&] { auto b = placement; b.insert(b.end(), placement.begin(), placement.end()); return b; }(),
         false, 0, true},
        {"a show command Windows does not know", 1, Placement(SW_MAX + 1, rcStored), false, 0, true},
        {"on no monitor", 1, Placement(SW_SHOWNORMAL, {-32000, -32000, -31100, -31400}), false, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brellow\\Zembro by Brellow");
        if (c.flag) {
            SetProfileDword(L"m_bRememberLocation", *c.flag);
            SetProfileDword(L"m_bRememberColumnWidth", *c.flag);
        }
        SetProfileBinary(L"Location", c.location.data(), static_cast<DWORD>(c.location.size()));
        SetProfileDword(L"Column2", 0);
        RECT rcOpened{};
        int nWidth2 = -1;
        Run([&](HWND h) {
            rcOpened = WindowRect(h);
            nWidth2 = ColumnWidth(h, 2);
            Close(h);
        });
        EXPECT_EQ(rcOpened == rcStored, c.bPlaced);
        EXPECT_EQ(nWidth2, c.nWidth2AtStart);
        EXPECT_EQ(ProfileDword(L"Column0").has_value(), c.bWritten);
        EXPECT_EQ(ProfileDword(L"Column2"), 0u);
        const std::optional<std::vector<BYTE>> stored = ProfileBinary(L"Location");
        if (c.bWritten)
            EXPECT_TRUE(AsPlacement(stored.value_or(std::vector<BYTE>{})).rcNormalPosition == rcOpened);
        else
            EXPECT_EQ(stored, c.location);
    }
}

// A stored width no screen can show is not used; zero is a width a user can drag to.
TEST_F(WindowPlacementTest, StoredWidthsBeyondAnyScreenAreIgnored) {
    const int nTooWide = 4 * GetSystemMetrics(SM_CXSCREEN) + 1;
    const struct {
        int nColumn, nStored, nShown;
    } cases[] = {{0, 0, 0}, {1, -5, 110}, {2, nTooWide, 110}, {3, nTooWide - 1, nTooWide - 1}, {4, 37, 37}};
    for (const auto& c : cases) SetProfileDword(kColumnNames[c.nColumn], static_cast<DWORD>(c.nStored));
    std::vector<int> shown;
    Run([&](HWND h) {
        for (int i = 0; i < 5; ++i) shown.push_back(ColumnWidth(h, i));
        Close(h);
    });
    for (const auto& c : cases) EXPECT_EQ(shown[c.nColumn], c.nShown) << "column " << c.nColumn;
}

// The preferences as the settings dialog leaves them govern the close of the
// same run: OK with both boxes cleared stops the writing, Cancel changes nothing.
TEST_F(WindowPlacementTest, SettingsTakeEffectWhenTheWindowCloses) {
    for (const int nEnd : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(nEnd == IDOK ? "OK" : "Cancel");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brellow\\Zembro by Brellow");
        Run([&](HWND h) {
                SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDM_SETTINGS, 0), 0);
                Close(h);
            },
            [&](HWND hSettings) {
                CheckDlgButton(hSettings, IDC_REMEMBER_LOCATION, BST_UNCHECKED);
                CheckDlgButton(hSettings, IDC_REMEMBER_COLUMN_WIDTH, BST_UNCHECKED);
                SendMessageW(hSettings, WM_COMMAND, MAKEWPARAM(nEnd, BN_CLICKED), 0);
            });
        EXPECT_EQ(ProfileBinary(L"Location").has_value(), nEnd == IDCANCEL);
        EXPECT_EQ(ProfileDword(L"Column4").has_value(), nEnd == IDCANCEL);
        EXPECT_EQ(ProfileDword(L"m_bRememberLocation"), nEnd == IDOK ? std::optional<DWORD>(0) : std::nullopt);
    }
}

}  // namespace
