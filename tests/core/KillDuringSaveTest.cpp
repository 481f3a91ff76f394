// A save killed at any moment leaves Data.dat as the old list or the new one,
// whole; the next start removes what the killed save left.
#include <windows.h>

#include <random>
#include <string>

#include "core/DataFile.h"
#include "core/KillDuringSave.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"

namespace {

std::wstring SaverPath() {
    wchar_t szPath[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath, cch);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"zembro_saver.exe";
}

using KillDuringSaveTest = DataFolderTest;

TEST_F(KillDuringSaveTest, DataDatIsAlwaysOneListWhole) {
    const Bytes bytesA = Store(MegabyteList(u'a')), bytesB = Store(MegabyteList(u'b'));
    GetDataFilePath();
    WriteBytes(DataFilePath(), bytesA);
    HANDLE hReady = CreateEventW(nullptr, TRUE, FALSE, kSaverReadyEvent);
    std::mt19937 random(20261208);
    int nTorn = 0, nLeftTemp = 0, nA = 0, nB = 0;
    constexpr int kKills = 100;
    for (int nKill = 0; nKill < kKills; ++nKill) {
        ResetEvent(hReady);
        std::wstring commandLine = L"\"" + SaverPath() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        ASSERT_EQ(WaitForSingleObject(hReady, 20000), WAIT_OBJECT_0) << "the saver never saved";
        Sleep(std::uniform_int_distribution<DWORD>(0, 60)(random));
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        const Bytes stored = ReadBytes(DataFilePath());
        if (stored == bytesA) ++nA;
        else if (stored == bytesB) ++nB;
        else ++nTorn;
        const size_t nEntries = FolderEntries(FolderOf(DataFilePath())).size();
        if (nEntries > 1) ++nLeftTemp;
        RemoveLeftoverSaveFiles();
        EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
    }
    CloseHandle(hReady);
    EXPECT_EQ(nTorn, 0);
    // Shown in the test's output, for the record: how often a kill came mid-save.
    std::printf("%d kills: Data.dat old list %d, new list %d, torn %d; a temporary file left %d times\n", kKills, nA,
                nB, nTorn, nLeftTemp);
}

}  // namespace
