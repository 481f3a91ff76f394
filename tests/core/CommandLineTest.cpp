// The switches for scripts: what each reads, writes, publishes and exits with.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/DataFile.h"
#include "core/DefaultTaskList.h"
#include "support/Bytes.h"
#include "support/CaseName.h"
#include "support/TempFolder.h"

namespace {

const CTaskList kStored = MakeList({MakeTask(u"Stored", u"d", u"cmd", u"/k"), MakeSeparator()});
const CTaskList kImported = MakeList({MakeTask(u"Imported", u"", u"notepad", u"", u"", 2)});

// Records what reached the Jump List; refuses on request.
class CShellRecorder : public IJumpListEnvironment {
public:
    bool m_bFailBegin = false, m_bFailCommit = false;
    bool m_bCommitted = false;
    CTaskList m_published;

    std::unique_ptr<IJumpList> CreateJumpList() override { return std::make_unique<CList>(*this); }
    void ShowError(const CPublishError&) override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

private:
    class CList : public IJumpList {
    public:
        explicit CList(CShellRecorder& shell) : m_shell(shell) {}
        bool InitializeList() override { return !m_shell.m_bFailBegin; }
        bool AddTask(const std::u16string& strPath, const std::u16string& strArguments, const std::u16string& strTitle,
                     const std::u16string& strIconPath, std::int32_t nIconIndex) override {
            m_list.Add(MakeTask(strTitle, u"", strPath, strArguments, strIconPath, nIconIndex));
            return true;
        }
        bool AddTaskSeparator() override {
            m_list.Add(MakeSeparator());
            return true;
        }
        bool CommitList() override {
            if (m_shell.m_bFailCommit) return false;
            m_shell.m_bCommitted = true;
            m_shell.m_published = m_list;
            return true;
        }

    private:
        CShellRecorder& m_shell;
        CTaskList m_list;
    };
};

// As the Jump List receives a list: descriptions stay in the program.
CTaskList AsPublished(CTaskList list) {
    for (int i = 0; i < list.GetSize(); ++i) list.ElementAt(i).m_strDescription.clear();
    return list;
}

TEST(CommandLineTest, SwitchesAreReadCaseInsensitivelyWithSlashOrDash) {
    using C = CCommandLine;
    const struct {
        std::vector<std::u16string> args;
        C::ECommand command;
        std::u16string file;
    } cases[] = {
        {{}, C::window, u""},
        {{u"/publish"}, C::publish, u""},
        {{u"-PUBLISH"}, C::publish, u""},
        {{u"/Export", u"C:\\a b.dat"}, C::exportList, u"C:\\a b.dat"},
        {{u"-import", u"list.dat"}, C::importList, u"list.dat"},
        {{u"/publish", u"extra"}, C::bad, u""},
        {{u"/export"}, C::bad, u""},
        {{u"/import", u""}, C::bad, u""},
        {{u"/import", u"a", u"b"}, C::bad, u""},
        {{u"publish"}, C::bad, u""},
        {{u"/publishing"}, C::bad, u""},
        {{u"/"}, C::bad, u""},
        {{u"/?"}, C::help, u""},
        {{u"-HELP"}, C::help, u""},
        {{u"/help", u"publish"}, C::bad, u""},
        {{u"/??"}, C::bad, u""},
    };
    for (const auto& c : cases) {
        const CCommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.m_eCommand, c.command) << (c.args.empty() ? "(none)" : std::string(c.args[0].begin(), c.args[0].end()));
        EXPECT_EQ(parsed.m_strFile, c.file);
    }
}

// What each switch reads, writes, publishes and exits with, from each state of the files.
enum class Shell { Accepts, RefusesBegin, RefusesCommit };

struct SwitchCase {
    const char* name;
    std::optional<Bytes> dataFile;  // none: there is no Data.dat
    std::optional<Bytes> otherFile; // the file to import, or one in the export's place
    CCommandLine::ECommand command;
    Shell shell;
    int nExit;
    std::optional<CTaskList> published;  // none: nothing reached the shell
    std::optional<Bytes> dataFileAfter;  // none: no Data.dat
    std::optional<Bytes> otherFileAfter;
    std::optional<Bytes> copyAfter = std::nullopt;  // Data.dat.damaged
    bool bDataFileReadOnly = false;
};

std::vector<SwitchCase> SwitchCases() {
    Bytes damaged;
    AppendInt(damaged, 2);
    AppendRecord(damaged, kStored.GetAt(0));
    Bytes tooMany;
    AppendInt(tooMany, kMaxTaskListEntries + 1);
    Bytes negativeCount = Store(kImported);
    std::fill_n(negativeCount.begin(), 4, 0xFF);
    CTaskList defaults;
    FillDefaultTaskList(defaults);
    return {
        {"publish, first run", std::nullopt, std::nullopt, CCommandLine::publish, Shell::Accepts, kExitDone, defaults,
         Store(defaults), std::nullopt},
        {"publish, stored", Store(kStored), std::nullopt, CCommandLine::publish, Shell::Accepts, kExitDone, kStored,
         Store(kStored), std::nullopt},
        {"publish, damaged", damaged, std::nullopt, CCommandLine::publish, Shell::Accepts, kExitListUnreadable,
         std::nullopt, damaged, std::nullopt},
        {"publish, begin refused", Store(kStored), std::nullopt, CCommandLine::publish, Shell::RefusesBegin,
         kExitShellRefused, std::nullopt, Store(kStored), std::nullopt},
        {"publish, commit refused", Store(kStored), std::nullopt, CCommandLine::publish, Shell::RefusesCommit,
         kExitShellRefused, std::nullopt, Store(kStored), std::nullopt},
        {"export, stored", Store(kStored), Store(kImported), CCommandLine::exportList, Shell::Accepts, kExitDone,
         std::nullopt, Store(kStored), Store(kStored)},
        {"export, first run", std::nullopt, std::nullopt, CCommandLine::exportList, Shell::Accepts, kExitDone,
         std::nullopt, std::nullopt, Store(defaults)},
        {"export, damaged", damaged, std::nullopt, CCommandLine::exportList, Shell::Accepts, kExitListUnreadable,
         std::nullopt, damaged, std::nullopt},
        {"import", Store(kStored), Store(kImported), CCommandLine::importList, Shell::Accepts, kExitDone, kImported,
         Store(kImported), Store(kImported)},
        {"import, damaged file", Store(kStored), damaged, CCommandLine::importList, Shell::Accepts,
         kExitListUnreadable, std::nullopt, Store(kStored), damaged},
        {"import, no file", Store(kStored), std::nullopt, CCommandLine::importList, Shell::Accepts,
         kExitListUnreadable, std::nullopt, Store(kStored), std::nullopt},
        {"publish, stored empty list", Store(CTaskList()), std::nullopt, CCommandLine::publish, Shell::Accepts,
         kExitDone, defaults, Store(defaults), std::nullopt},
        {"publish, read-only Data.dat", Store(kStored), std::nullopt, CCommandLine::publish, Shell::Accepts,
         kExitNotWritten, kStored, Store(kStored), std::nullopt, std::nullopt, true},
        // Saved first: a refused shell leaves Data.dat holding the import, and says so.
        {"import, begin refused", Store(kStored), Store(kImported), CCommandLine::importList, Shell::RefusesBegin,
         kExitShellRefused, std::nullopt, Store(kImported), Store(kImported)},
        {"import, commit refused", Store(kStored), Store(kImported), CCommandLine::importList, Shell::RefusesCommit,
         kExitShellRefused, std::nullopt, Store(kImported), Store(kImported)},
        {"import, read-only Data.dat", Store(kStored), Store(kImported), CCommandLine::importList, Shell::Accepts,
         kExitNotWritten, std::nullopt, Store(kStored), Store(kImported), std::nullopt, true},
        {"import over a damaged Data.dat", damaged, Store(kImported), CCommandLine::importList, Shell::Accepts,
         kExitDone, kImported, Store(kImported), Store(kImported), damaged},
        {"import over a Data.dat announcing too many", tooMany, Store(kImported), CCommandLine::importList,
         Shell::Accepts, kExitDone, kImported, Store(kImported), Store(kImported), tooMany},
        {"import, negative count", Store(kStored), negativeCount, CCommandLine::importList, Shell::Accepts,
         kExitListUnreadable, std::nullopt, Store(kStored), negativeCount},
    };
}

class CommandLineSwitchTest : public DataFolderTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(CommandLineSwitchTest, WritesOnlyWhatItMustAndSaysHowItEnded) {
    const SwitchCase& c = GetParam();
    const std::u16string other = FolderOf(DataFilePath()) + u"\\other.dat";
    GetDataFilePath();
    if (c.dataFile) WriteBytes(DataFilePath(), *c.dataFile);
    if (c.otherFile) WriteBytes(other, *c.otherFile);
    if (c.bDataFileReadOnly) SetReadOnly(DataFilePath(), true);
    CShellRecorder shell;
    shell.m_bFailBegin = c.shell == Shell::RefusesBegin;
    shell.m_bFailCommit = c.shell == Shell::RefusesCommit;
    CCommandLine commandLine;
    commandLine.m_eCommand = c.command;
    commandLine.m_strFile = other;

    CDataFileStore store(DataFilePath());
    EXPECT_EQ(RunCommandLine(commandLine, shell, store).m_nExit, c.nExit);
    if (c.bDataFileReadOnly) SetReadOnly(DataFilePath(), false);
    EXPECT_EQ(shell.m_bCommitted, c.published.has_value());
    if (c.published) {
        EXPECT_EQ(shell.m_published, AsPublished(*c.published));
    }
    EXPECT_EQ(FileExists(DataFilePath()), c.dataFileAfter.has_value());
    EXPECT_EQ(ReadBytes(DataFilePath()), c.dataFileAfter.value_or(Bytes{}));
    EXPECT_EQ(FileExists(other), c.otherFileAfter.has_value());
    EXPECT_EQ(ReadBytes(other), c.otherFileAfter.value_or(Bytes{}));
    EXPECT_EQ(FileExists(DataFilePath() + u".damaged"), c.copyAfter.has_value());
    EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.copyAfter.value_or(Bytes{}));
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineSwitchTest, ::testing::ValuesIn(SwitchCases()), CaseName());

using CommandLineRunTest = DataFolderTest;

TEST_F(CommandLineRunTest, ExportThatCannotBeWrittenSaysSo) {
    GetDataFilePath();
    WriteBytes(DataFilePath(), Store(kStored));
    CShellRecorder shell;
    CCommandLine commandLine;
    commandLine.m_eCommand = CCommandLine::exportList;
    commandLine.m_strFile = FolderOf(DataFilePath()) + u"\\no such folder\\list.dat";
    CDataFileStore store(DataFilePath());
    EXPECT_EQ(RunCommandLine(commandLine, shell, store).m_nExit, kExitNotWritten);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

}  // namespace
