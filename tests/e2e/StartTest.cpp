// Zembro.exe's start: what it shows, saves, publishes and tells for each state
// of Data.dat; one running copy; placement and column widths kept across runs.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "E2ETest.h"
#include "win/WinText.h"
#include "res/resource.h"

namespace {

Bytes WithTail(Bytes b) {
    AppendLine(b, u"not an entry");
    return b;
}

std::u16string DamagedText(const std::u16string& strRead) {
    return u"Data.dat is damaged: " + strRead + u" A copy of the damaged file was kept as " + DamagedCopy() + u".";
}

TEST_F(E2ETest, StartShowsWhatDataDatHoldsAndSeedsTheDefaultsWhenItHoldsNothing) {
    const struct {
        const char* name;
        std::optional<Bytes> file;  // none: no Data.dat
        std::vector<MessageSeen> boxes;
        CTaskList shown;            // and stored, unless the file is kept
        bool bFileKept;             // Data.dat byte for byte as it was
        bool bPublished;            // the shell received `shown`
        bool bDamaged = false;      // a copy of the file is kept beside it
    } cases[] = {
        {"first start", std::nullopt, {}, Defaults(), false, true},
        {"no records", Bytes{0, 0, 0, 0}, {}, Defaults(), false, true},
        {"a negative count", Bytes{0xFF, 0xFF, 0xFF, 0xFF}, {{DamagedText(u"no entry could be read."), kWarning}},
         Defaults(), false, true, true},
        {"a stored list", Store(kFour), {}, kFour, true, false},
        {"bytes after the last entry", WithTail(Store(kFour)),
         {{DamagedText(u"bytes follow its 4 entries, which could be read."), kWarning}}, kFour, true, false, true},
        {"two of three entries complete", TwoOfThree(),
         {{DamagedText(u"2 of 3 entries could be read."), kWarning}}, MakeList({kCmd, kPad}), true, false, true},
        {"empty", Bytes{}, {{DamagedText(u"no entry could be read."), kWarning}}, Defaults(), false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        if (c.file) WriteDataFile(*c.file);
        std::vector<Row> rows;
        std::vector<MessageSeen> boxes;
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            EXPECT_EQ(WindowTitle(zembro.Main()), kZembroTitle);
            rows = ReadRows(zembro.Main());
            boxes = zembro.Boxes();
            EXPECT_TRUE(zembro.Close());
        }
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(rows, ExpectedRows(c.shown));
        EXPECT_EQ(ReadBytes(DataFile()), c.bFileKept ? *c.file : Store(c.shown));
        if (c.bPublished) {
            const std::optional<HostRecord> record = ReadHostRecord();
            ASSERT_TRUE(record.has_value());
            EXPECT_EQ(record->tasks, ExpectedEntries(c.shown));
        } else {
            EXPECT_FALSE(HostRecordExists()) << "a stored list is not published at start";
        }
        EXPECT_EQ(TempFilesLeft(), std::vector<std::u16string>{}) << "a save left its temporary file behind";
        if (c.bDamaged) {
            EXPECT_EQ(ReadBytes(DamagedCopy()), *c.file);
        } else {
            EXPECT_FALSE(FileExists(DamagedCopy()));
        }
    }
}

// Another program holds Data.dat while Zembro starts and lets go while the
// message is up: Retry shows the stored list, Cancel ends with nothing written.
TEST_F(E2ETest, DataDatHeldByAnotherProgramAtStartIsNeverReplaced) {
    for (const int nAnswer : {IDRETRY, IDCANCEL}) {
        SCOPED_TRACE(nAnswer);
        ResetState();
        WriteDataFile(Store(kFour));
        std::optional<FileLock> hold(std::in_place, DataFile());
        CZembroDriver zembro;
        ASSERT_TRUE(zembro.Launch());
        const HWND hBox = zembro.WaitForMessageBox();
        ASSERT_NE(hBox, nullptr);
        hold.reset();
        EXPECT_EQ(zembro.Answer(hBox, nAnswer), NotRead(DataFile(), ERROR_SHARING_VIOLATION));
        if (nAnswer == IDRETRY) {
            ASSERT_TRUE(zembro.WaitUntilReady());
            EXPECT_EQ(ReadRows(zembro.Main()), ExpectedRows(kFour));
            EXPECT_TRUE(zembro.Boxes().empty());
            EXPECT_TRUE(zembro.Close());
        } else {
            EXPECT_TRUE(zembro.Process().Wait(kDeadlineMs)) << "Cancel did not end the program";
        }
        EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
        EXPECT_FALSE(HostRecordExists());
        EXPECT_EQ(FolderEntries(FolderOf(DataFile())), std::vector<std::u16string>{u"Data.dat"});
    }
}

// Waits until the window shows as asked; the program may take a moment.
bool WaitUntil(const std::function<bool()>& condition) {
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (!condition()) {
        if (GetTickCount64() >= ullDeadline) return false;
        Sleep(10);
    }
    return true;
}

// Shows the window as asked until it stays so for a moment: ShowWindow on
// another process's window returns before the window has changed, and under
// Wine a fresh maximise is now and then undone by the X server's answer.
bool ShowAndKeep(HWND hWnd, int nCmdShow) {
    const auto shown = [&] { return nCmdShow == SW_MINIMIZE ? IsIconic(hWnd) : IsZoomed(hWnd); };
    int nSteady = 0;
    return WaitUntil([&] {
        if (!shown()) {
            ShowWindow(hWnd, nCmdShow);
            nSteady = 0;
        }
        Sleep(20);
        return shown() && ++nSteady >= 10;
    });
}

TEST_F(E2ETest, ASecondCopyBringsTheFirstForwardAndEnds) {
    WriteDataFile(Store(kFour));
    CZembroDriver first;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(ShowAndKeep(first.Main(), SW_MINIMIZE));

    CZembroProcess second;
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(second.Wait(kDeadlineMs)) << "the second copy kept running";
    EXPECT_EQ(second.ExitCode(), 0u);

    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first.Main()); })) << "the first copy stayed minimised";
    EXPECT_TRUE(IsWindowVisible(first.Main()));
    EXPECT_EQ(GetForegroundWindow(), first.Main());
    EXPECT_EQ(ReadRows(first.Main()), ExpectedRows(kFour));
    EXPECT_TRUE(first.Boxes().empty());
    EXPECT_TRUE(first.Close());
    EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
    EXPECT_FALSE(HostRecordExists()) << "neither copy had anything to publish";
}

WINDOWPLACEMENT AsPlacement(const std::vector<BYTE>& bytes) {
    WINDOWPLACEMENT wp{};
    EXPECT_EQ(bytes.size(), 44u);
    std::memcpy(&wp, bytes.data(), std::min<size_t>(bytes.size(), sizeof(wp)));
    return wp;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// The first run moves and sizes the window and its columns, then ends in one
// of the ways below; the next run opens as that way left it.
TEST_F(E2ETest, PlacementAndColumnWidthsAreKeptFromOneRunToTheNext) {
    const std::vector<int> kDefaultWidths{50, 110, 110, 100, 80};
    const std::vector<int> kWidths{60, 150, 0, 120, 33};
    const auto clearPreferences = [](CZembroDriver& zembro) {
        zembro.SetDialogScript([&](HWND hSettings) {
            for (int nID : {IDC_REMEMBER_LOCATION, IDC_REMEMBER_COLUMN_WIDTH})
                EXPECT_TRUE(ToggleCheckBox(hSettings, nID));
            PressButton(hSettings, IDOK);
        });
        EXPECT_TRUE(Choose(zembro.Main(), IDM_SETTINGS, zembro.Answering()));
    };
    const struct {
        const char* name;
        std::function<void(CZembroDriver&)> end;  // before the window closes
        std::optional<UINT> storedShow;           // none: no placement stored
        bool bWidthsStored;
        bool bMaximised;  // at the next start
        bool bPlaced;     // the next start's normal rectangle is the first run's
    } cases[] = {
        {"as it is", [](CZembroDriver&) {}, SW_SHOWNORMAL, true, false, true},
        {"maximised", [](CZembroDriver& z) { EXPECT_TRUE(ShowAndKeep(z.Main(), SW_MAXIMIZE)); }, SW_SHOWMAXIMIZED,
         true, true, true},
        {"minimised", [](CZembroDriver& z) { EXPECT_TRUE(ShowAndKeep(z.Main(), SW_MINIMIZE)); }, std::nullopt, true,
         false, false},
        {"with both preferences cleared", clearPreferences, std::nullopt, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        WriteDataFile(Store(kFour));
        RECT rcSet{};
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            SetWindowPos(zembro.Main(), nullptr, 60, 40, 1000, 620, SWP_NOZORDER | SWP_NOACTIVATE);
            rcSet = WindowRect(zembro.Main());
            for (int i = 0; i < 5; ++i) SetColumnWidth(zembro.Main(), i, kWidths[i]);
            c.end(zembro);
            EXPECT_TRUE(zembro.Close());
        }
        const std::optional<std::vector<BYTE>> location = ProfileBinary(L"Location");
        ASSERT_EQ(location.has_value(), c.storedShow.has_value());
        if (location) {
            const WINDOWPLACEMENT wp = AsPlacement(*location);
            EXPECT_EQ(wp.length, 44u);
            EXPECT_EQ(wp.showCmd, *c.storedShow);
            EXPECT_TRUE(SameRect(wp.rcNormalPosition, rcSet));
        }
        for (int i = 0; i < 5; ++i) {
            const std::wstring name = L"Column" + std::to_wstring(i);
            EXPECT_EQ(ProfileDword(name.c_str()),
                      c.bWidthsStored ? std::optional<DWORD>(kWidths[i]) : std::nullopt) << i;
        }

        CZembroDriver zembro;
        ASSERT_TRUE(zembro.Start());
        EXPECT_EQ(IsZoomed(zembro.Main()) != FALSE, c.bMaximised);
        ShowWindow(zembro.Main(), SW_RESTORE);
        EXPECT_TRUE(WaitUntil([&] { return !IsZoomed(zembro.Main()); }));
        EXPECT_EQ(SameRect(WindowRect(zembro.Main()), rcSet), c.bPlaced);
        std::vector<int> widths;
        for (int i = 0; i < 5; ++i) widths.push_back(ColumnWidth(zembro.Main(), i));
        EXPECT_EQ(widths, c.bWidthsStored ? kWidths : kDefaultWidths);
        EXPECT_EQ(ReadRows(zembro.Main()), ExpectedRows(kFour));
        EXPECT_TRUE(zembro.Close());
    }
}

}  // namespace
