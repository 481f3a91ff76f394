// Zembro.com typed at a prompt: it waits, prints what happened (read back
// from the files its output was sent to) and returns the exit code.
#include <windows.h>

#include <string>

#include "E2ETest.h"
#include "core/CommandLine.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"
#include "support/ZembroProcess.h"

namespace {

struct ConsoleRun {
    DWORD dwExit = 0xFFFFFFFF;
    std::string strOut;  // the bytes written to standard output
    std::string strErr;
};

std::u16string TempFile(const wchar_t* pszName) {
    wchar_t szFolder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szFolder);
    return as_u16(szFolder) + as_u16(pszName);
}

std::string ReadText(const std::u16string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

UniqueKernelHandle InheritableFile(const std::u16string& path) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    return UniqueKernelHandle(CreateFileW(as_wcstr(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Runs Zembro.com (beside Zembro.exe) until it ends, its output sent to files:
// under Wine a pipe would be held open by Wine's own services.
ConsoleRun RunConsole(const std::wstring& arguments) {
    std::wstring strProgram = FindProgram();
    strProgram.replace(strProgram.size() - 4, 4, L".com");
    const std::u16string outPath = TempFile(L"zembro-stdout.txt"), errPath = TempFile(L"zembro-stderr.txt");
    ConsoleRun run;
    {
        UniqueKernelHandle out = InheritableFile(outPath), err = InheritableFile(errPath);
        EXPECT_TRUE(out.valid() && err.valid());
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out.get();
        si.hStdError = err.get();
        std::wstring strCommand = L"\"" + strProgram + L"\" " + arguments;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(strProgram.c_str(), strCommand.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                            &pi)) {
            ADD_FAILURE() << "Zembro.com did not start: " << GetLastError();
            return run;
        }
        const UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
        EXPECT_EQ(WaitForSingleObject(process.get(), kDeadlineMs), WAIT_OBJECT_0) << "Zembro.com did not end";
        GetExitCodeProcess(process.get(), &run.dwExit);
    }
    run.strOut = ReadText(outPath);
    run.strErr = ReadText(errPath);
    DeleteFileW(as_wcstr(outPath));
    DeleteFileW(as_wcstr(errPath));
    return run;
}

std::string Utf8Path(const std::u16string& path) {
    const std::wstring wide = as_wcstr(path);
    std::string bytes(wide.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

constexpr char kUsageStart[] = "Zembro.exe [/publish | /export FILE | /import FILE]\r\n\r\nWith no switch, Zembro opens";
constexpr char kUsageEnd[] = "5 the open window is busy with a dialog (nothing was done).\r\n";

bool IsUsage(const std::string& strText) {
    return strText.rfind(kUsageStart, 0) == 0 && strText.size() > sizeof(kUsageEnd) &&
           strText.compare(strText.size() - (sizeof(kUsageEnd) - 1), std::string::npos, kUsageEnd) == 0;
}

TEST_F(E2ETest, TheConsoleCompanionPrintsWhatHappenedAndReturnsTheExitCode) {
    // "Zembro Tëam" checks that a name outside ASCII reaches a file as UTF-8.
    const std::u16string team = TempFile(L"Zembro T\u00EBam.dat");
    const std::u16string damaged = TempFile(L"damaged.dat");
    Bytes damagedBytes = Store(kFour);
    damagedBytes[0] = 5;  // announces 5 entries, holds 4
    const CTaskList kTeam = MakeList({MakeTask(u"Team", u"", u"calc.exe"), MakeSeparator()});
    const struct {
        const char* name;
        std::wstring arguments;
        const wchar_t* pszHostSwitch;
        DWORD dwExit;
        std::string strOut;  // "usage": the usage
        std::string strErr;
        const CTaskList* pPublished;  // null: nothing published
    } cases[] = {
        {"publish", L"/publish", nullptr, kExitDone, "The Jump List was published to the taskbar.\r\n", "", &kFour},
        {"publish refused by the shell", L"/publish", L"FailCommitList", kExitShellRefused, "",
         "Failed to Commit Jump List\r\n", nullptr},
        {"import", L"/import \"" + std::wstring(as_wcstr(team)) + L"\"", nullptr, kExitDone,
         "The list was imported from \"" + Utf8Path(team) + "\" and published.\r\n", "", &kTeam},
        {"import of a damaged file", L"-IMPORT \"" + std::wstring(as_wcstr(damaged)) + L"\"", nullptr,
         kExitListUnreadable, "",
         "The list could not be imported from \"" + Utf8Path(damaged) +
             "\": the file is damaged (4 of 5 entries could be read).\r\n\r\nThe list has not been changed.\r\n",
         nullptr},
        {"a bad switch", L"/frobnicate", nullptr, kExitBadCommandLine, "", "usage", nullptr},
        {"/?", L"/?", nullptr, kExitDone, "usage", "", nullptr},
        {"/help", L"/Help", nullptr, kExitDone, "usage", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        WriteDataFile(Store(kFour));
        WriteBytes(team, Store(kTeam));
        WriteBytes(damaged, damagedBytes);
        if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, true);
        const ConsoleRun run = RunConsole(c.arguments);
        if (c.pszHostSwitch) SetHostSwitch(c.pszHostSwitch, false);
        EXPECT_EQ(run.dwExit, c.dwExit);
        if (c.strOut == "usage") {
            EXPECT_TRUE(IsUsage(run.strOut)) << run.strOut;
        } else {
            EXPECT_EQ(run.strOut, c.strOut);
        }
        if (c.strErr == "usage") {
            EXPECT_TRUE(IsUsage(run.strErr)) << run.strErr;
        } else {
            EXPECT_EQ(run.strErr, c.strErr);
        }
        EXPECT_EQ(HostRecordExists(), c.pPublished != nullptr);
        if (c.pPublished && HostRecordExists()) {
            EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(*c.pPublished));
        }
    }
    DeleteFileW(as_wcstr(team));
    DeleteFileW(as_wcstr(damaged));
}

}  // namespace
