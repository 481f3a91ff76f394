// Zembro.exe run by a script: no window, what it writes and publishes, and the
// exit code that tells how it ended.
#include <windows.h>

#include <optional>

#include "E2ETest.h"
#include "core/CommandLine.h"
#include "win/WinText.h"
#include "res/resource.h"

namespace {

struct ScriptRun {
    DWORD dwExit = 0xFFFFFFFF;
    bool bShowedWindow = false;
};

bool HasVisibleWindow(DWORD dwProcessId) {
    struct Search {
        DWORD dwProcessId;
        bool bFound;
    } search{dwProcessId, false};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<Search*>(lParam);
            DWORD dwPid = 0;
            GetWindowThreadProcessId(hWnd, &dwPid);
            if (dwPid == pSearch->dwProcessId && IsWindowVisible(hWnd)) pSearch->bFound = true;
            return !pSearch->bFound;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.bFound;
}

// Runs Zembro.exe with arguments until it ends, watching for any window of it.
ScriptRun RunScripted(const std::wstring& arguments) {
    CZembroProcess process(arguments);
    ScriptRun run;
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (process.Running() && GetTickCount64() < ullDeadline) {
        if (HasVisibleWindow(process.Id())) run.bShowedWindow = true;
        PumpMessages();
        Sleep(5);
    }
    EXPECT_FALSE(process.Running()) << "Zembro.exe " << Narrow(as_u16(arguments)) << " did not end";
    run.dwExit = process.ExitCode();
    return run;
}

std::u16string TempFile(const wchar_t* pszName) {
    wchar_t szFolder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szFolder);
    return as_u16(szFolder) + as_u16(pszName);
}

std::wstring Quoted(const std::u16string& path) { return L"\"" + std::wstring(as_wcstr(path)) + L"\""; }

TEST_F(E2ETest, PublishSendsTheStoredListWithNoWindow) {
    const struct {
        const char* name;
        std::optional<Bytes> file;  // none: no Data.dat
        const wchar_t* pszHostSwitch;
        bool bHeld;                 // another program holds Data.dat meanwhile
        DWORD dwExit;
        std::optional<CTaskList> published;
    } cases[] = {
        {"a stored list", Store(kFour), nullptr, false, kExitDone, kFour},
        {"no Data.dat", std::nullopt, nullptr, false, kExitDone, Defaults()},
        {"commit refused", Store(kFour), L"FailCommitList", false, kExitShellRefused, std::nullopt},
        {"held by another program", Store(kFour), nullptr, true, kExitListUnreadable, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        if (c.file) WriteDataFile(*c.file);
        if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, true);
        ScriptRun run;
        {
            std::optional<FileLock> hold;
            if (c.bHeld) hold.emplace(DataFile());
            run = RunScripted(L"/publish");
        }
        if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, false);
        EXPECT_EQ(run.dwExit, c.dwExit);
        EXPECT_FALSE(run.bShowedWindow);
        EXPECT_EQ(HostRecordExists(), c.published.has_value());
        if (c.published) {
            EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(*c.published));
            EXPECT_EQ(ReadBytes(DataFile()), Store(*c.published));
        } else {
            EXPECT_EQ(ReadBytes(DataFile()), *c.file);
        }
    }
}

// An administrator's round trip: one profile's list exported, imported into a
// profile that has none, gives Data.dat back byte for byte.
TEST_F(E2ETest, ExportThenImportOnAFreshProfileGivesDataDatBack) {
    const std::u16string exported = TempFile(L"Zembro tasks.dat");
    DeleteFileW(as_wcstr(exported));
    WriteDataFile(Store(kFour));
    const ScriptRun exportRun = RunScripted(L"-EXPORT " + Quoted(exported));
    EXPECT_EQ(exportRun.dwExit, static_cast<DWORD>(kExitDone));
    EXPECT_EQ(ReadBytes(exported), Store(kFour));

    ResetState();
    const ScriptRun importRun = RunScripted(L"/import " + Quoted(exported));
    EXPECT_EQ(importRun.dwExit, static_cast<DWORD>(kExitDone));
    EXPECT_FALSE(exportRun.bShowedWindow || importRun.bShowedWindow);
    EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
    ASSERT_TRUE(HostRecordExists());
    EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(kFour));
    DeleteFileW(as_wcstr(exported));
}

// With the window open, the window makes the import its own change: shown at
// once, undoable, and never overwritten by the window's older list. While the
// window shows a message, nothing is changed and the script hears "busy".
TEST_F(E2ETest, ImportWithTheWindowOpenIsTheWindowsOwnChange) {
    const std::u16string team = TempFile(L"team.dat");
    const CTaskList kTeam = MakeList({MakeTask(u"Team", u"", u"calc.exe"), MakeSeparator()});
    WriteBytes(team, Store(kTeam));
    WriteDataFile(Store(kFour));
    CZembroDriver zembro;
    ASSERT_TRUE(zembro.Start());

    const ScriptRun imported = RunScripted(L"/import " + Quoted(team));
    EXPECT_EQ(imported.dwExit, static_cast<DWORD>(kExitDone));
    EXPECT_EQ(ReadRows(zembro.Main()), ExpectedRows(kTeam));
    EXPECT_EQ(ReadBytes(DataFile()), Store(kTeam));
    EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(kTeam));

    // A change in the window goes on from the import, not from its old list.
    SelectRow(zembro.Main(), 0);
    ASSERT_TRUE(Click(zembro.Main(), IDC_MOVE_DOWN, zembro.Answering()));
    EXPECT_EQ(ReadBytes(DataFile()), Store(MakeList({kTeam.GetAt(1), kTeam.GetAt(0)})));
    ASSERT_TRUE(Choose(zembro.Main(), IDM_UNDO, zembro.Answering()));
    ASSERT_TRUE(Choose(zembro.Main(), IDM_UNDO, zembro.Answering()));
    EXPECT_EQ(ReadBytes(DataFile()), Store(kFour)) << "the import is one undo step";

    SelectRow(zembro.Main(), -1);
    PressButton(zembro.Main(), IDC_DELETE);  // "Select a Jump List ..." stays up
    const HWND hBox = zembro.WaitForMessageBox();
    ASSERT_NE(hBox, nullptr);
    const ScriptRun busy = RunScripted(L"/import " + Quoted(team));
    EXPECT_EQ(busy.dwExit, static_cast<DWORD>(kExitWindowBusy));
    EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
    zembro.Answer(hBox);
    EXPECT_TRUE(zembro.Close());
    DeleteFileW(as_wcstr(team));
}

TEST_F(E2ETest, ABadCommandLineShowsTheUsageAndExitsWith3) {
    CZembroDriver zembro;
    ASSERT_TRUE(zembro.Launch(L"/frobnicate"));
    const HWND hBox = zembro.WaitForMessageBox();
    ASSERT_NE(hBox, nullptr);
    const MessageSeen usage = zembro.Answer(hBox);
    EXPECT_TRUE(usage.text.starts_with(u"Zembro.exe [/publish | /export FILE | /import FILE]\n\n"))
        << Narrow(usage.text);
    EXPECT_EQ(usage.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    ASSERT_TRUE(zembro.Process().Wait(kDeadlineMs));
    EXPECT_EQ(zembro.Process().ExitCode(), static_cast<DWORD>(kExitBadCommandLine));
    EXPECT_FALSE(FileExists(DataFile()));
    EXPECT_FALSE(HostRecordExists());
}

}  // namespace
