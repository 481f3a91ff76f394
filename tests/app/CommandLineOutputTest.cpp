// Which message a failed command line run prints: the window's words for the
// status that decided it, the exit code's meaning when there is none.
#include <gtest/gtest.h>

#include "app/CommandLineOutput.h"
#include "core/CommandLine.h"

namespace {

CDataFileStatus Status(CDataFileStatus::EResult eResult, const char16_t* pszPath) {
    CDataFileStatus status;
    status.m_eResult = eResult;
    status.m_strPath = pszPath;
    return status;
}

TEST(CommandLineOutputTest, AFailureIsToldInTheWordsOfWhatDecidedIt) {
    const CCommandLine publish{CCommandLine::publish, u""};
    const CCommandLine exportList{CCommandLine::exportList, u"C:\\out.dat"};
    const CCommandLine importList{CCommandLine::importList, u"C:\\team.dat"};
    CDataFileStatus damaged = Status(CDataFileStatus::damaged, u"C:\\data\\Data.dat");
    damaged.m_nAnnounced = 5;
    damaged.m_nRead = 2;
    CDataFileStatus importDamaged = damaged;
    importDamaged.m_strPath = u"C:\\team.dat";
    CDataFileStatus tooMany = Status(CDataFileStatus::overLimits, u"C:\\data\\Data.dat");
    tooMany.m_nAnnounced = 100001;
    CDataFileStatus exportFailed = Status(CDataFileStatus::saveFailed, u"C:\\out.dat");
    exportFailed.m_error.m_strMessage = u"Access is denied.";
    const struct {
        const char* name;
        CCommandLine commandLine;
        CCommandLineResult result;
        std::wstring text;
    } cases[] = {
        {"publish over a damaged Data.dat", publish, {kExitListUnreadable, damaged},
         L"Data.dat is damaged: 2 of 5 entries could be read."},
        {"publish over a held Data.dat", publish,
         {kExitListUnreadable, Status(CDataFileStatus::unreadable, u"C:\\data\\Data.dat")},
         L"The Jump List could not be read from \"C:\\data\\Data.dat\"."},
        {"export to a folder it may not write", exportList, {kExitNotWritten, exportFailed},
         L"The list could not be exported to \"C:\\out.dat\".\n\nAccess is denied."},
        {"import of a damaged file", importList, {kExitListUnreadable, importDamaged},
         L"The list could not be imported from \"C:\\team.dat\": the file is damaged (2 of 5 entries could be "
         L"read).\n\nThe list has not been changed."},
        {"import past the limit", importList, {kExitListUnreadable, tooMany},
         L"The change was not made: the list would have 100001 entries, and the limit is 100000."},
        {"import over a Data.dat another program changed", importList,
         {kExitNotWritten, Status(CDataFileStatus::changedOutside, u"C:\\data\\Data.dat")},
         L"Data.dat was changed by another program. The list now shows what it holds; your change was not made."},
        {"the open window is busy", importList, {kExitWindowBusy, CDataFileStatus()},
         L"Zembro's open window is showing a dialog or a message; nothing was done."},
        {"the open window's publish refused by the shell", publish, {kExitShellRefused, CDataFileStatus()},
         L"The taskbar refused the Jump List."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CommandLineFailureText(c.commandLine, c.result), c.text);
    }
}

}  // namespace
