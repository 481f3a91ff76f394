// A Data.dat that is there but cannot be read, or is damaged with no copy
// kept: the user decides, and nothing of the stored list is lost meanwhile.
#include <windows.h>

#include <memory>
#include <optional>

#include "MainWindowDriver.h"
#include "core/DataFile.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"
#include "tools/HostRecord.h"

namespace {

const CTaskList kStored = MakeList({MakeTask(u"Command", u"A prompt", u"cmd.exe", u"/k ver"), MakeSeparator(),
                                    MakeTask(u"Notes", u"", u"notepad.exe")});

// Three announced, two present.
Bytes TwoOfThree() {
    Bytes b;
    AppendInt(b, 3);
    AppendRecord(b, kStored.GetAt(0));
    AppendRecord(b, kStored.GetAt(1));
    return b;
}

class UnreadDataFileTest : public MainWindowTest {
protected:
    // Nothing but Data.dat in its folder, as it was, and nothing published or stored in the profile.
    void ExpectNothingWritten(const Bytes& before) {
        EXPECT_EQ(ReadBytes(DataFilePath()), before);
        EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
        EXPECT_FALSE(HostRecordExists());
        EXPECT_FALSE(ProfileBinary(L"Location").has_value());
        EXPECT_FALSE(ProfileDword(L"Column0").has_value());
    }
};

TEST_F(UnreadDataFileTest, HeldByAnotherProgramRetryShowsTheListOnceItIsLetGo) {
    WriteBytes(DataFilePath(), Store(kStored));
    auto hold = std::make_unique<FileLock>(DataFilePath());
    std::vector<Row> rows;
    Run([&](HWND h) {
            rows = ReadRows(h);
            Close(h);
        },
        [&](const CRecordedMessageBox&) {
            hold.reset();  // the other program lets go while the message is up
            return IDRETRY;
        });
    EXPECT_EQ(m_boxes, std::vector<MessageSeen>{NotRead(DataFilePath(), ERROR_SHARING_VIOLATION)});
    EXPECT_EQ(rows, ExpectedRows(kStored));
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kStored));
    EXPECT_FALSE(HostRecordExists()) << "a stored list is not published at start";
}

TEST_F(UnreadDataFileTest, CancelEndsWithNothingWritten) {
    Bytes tooMany;
    AppendInt(tooMany, 100001);
    AppendRecord(tooMany, kStored.GetAt(0));
    const MessageSeen kTooMany{u"The Jump List in \"" + DataFilePath() +
                                   u"\" is too large to be read: it announces 100001 entries, and the limit is 100000." +
                                   kUnreadTail,
                               kRetryCancel};
    enum class Obstacle { Held, TooManyEntries, IsAFolder };
    const struct {
        const char* name;
        Obstacle obstacle;
        int nRetries;  // before Cancel: each reads again under the same rules
        MessageSeen box;
    } cases[] = {
        {"held by another program", Obstacle::Held, 0, NotRead(DataFilePath(), ERROR_SHARING_VIOLATION)},
        {"too many entries", Obstacle::TooManyEntries, 1, kTooMany},
        {"a folder in its place", Obstacle::IsAFolder, 2, NotRead(DataFilePath(), ERROR_ACCESS_DENIED)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(as_wcstr(DataFilePath()));
        if (c.obstacle == Obstacle::IsAFolder) MakeFolder(DataFilePath());
        else WriteBytes(DataFilePath(), c.obstacle == Obstacle::Held ? Store(kStored) : tooMany);
        const Bytes before = ReadBytes(DataFilePath());
        std::optional<FileLock> hold;
        if (c.obstacle == Obstacle::Held) hold.emplace(DataFilePath());
        int nAsked = 0;
        const INT_PTR nResult = Run([](HWND h) { Close(h); },
                                    [&](const CRecordedMessageBox&) { return nAsked++ < c.nRetries ? IDRETRY : IDCANCEL; });
        hold.reset();
        EXPECT_EQ(nResult, IDCANCEL);
        EXPECT_EQ(m_boxes, std::vector<MessageSeen>(c.nRetries + 1, c.box));
        if (c.obstacle == Obstacle::IsAFolder) {
            EXPECT_TRUE(FolderExists(DataFilePath()));
            EXPECT_FALSE(HostRecordExists());
            RemoveDirectoryW(as_wcstr(DataFilePath()));
        } else {
            ExpectNothingWritten(before);
        }
    }
}

// Every copy name is taken (by copies of other damage): no copy can be kept,
// so the damaged file is replaced only on the user's yes.
TEST_F(UnreadDataFileTest, DamagedWithNoCopyIsReplacedOnlyOnYes) {
    const MessageSeen kAsked{u"Data.dat is damaged: 2 of 3 entries could be read. No copy of the damaged file could "
                             u"be kept.\n\nReplace the damaged file with the entries that could be read when the list is "
                                 u"next saved? Choose No to close without changing it.",
                             MB_YESNO | MB_ICONWARNING};
    for (const int nAnswer : {IDYES, IDNO}) {
        SCOPED_TRACE(nAnswer == IDYES ? "Yes" : "No");
        for (int n = 1; n <= 999; ++n) WriteBytes(GetDamagedCopyPath(DataFilePath(), n), Bytes{1});
        WriteBytes(DataFilePath(), TwoOfThree());
        std::vector<Row> rows;
        const INT_PTR nResult = Run(
            [&](HWND h) {
                rows = ReadRows(h);
                Click(h, IDC_ADD_SEPARATOR);
                Close(h);
            },
            [&](const CRecordedMessageBox&) { return nAnswer; });
        EXPECT_EQ(m_boxes, std::vector<MessageSeen>{kAsked});
        EXPECT_EQ(nResult, IDCANCEL);
        if (nAnswer == IDYES) {
            EXPECT_EQ(rows, ExpectedRows(MakeList({kStored.GetAt(0), kStored.GetAt(1)})));
            EXPECT_EQ(ReadBytes(DataFilePath()), Store(MakeList({kStored.GetAt(0), kStored.GetAt(1), MakeSeparator()})));
        } else {
            EXPECT_TRUE(rows.empty()) << "the window ended before it showed";
            EXPECT_EQ(ReadBytes(DataFilePath()), TwoOfThree());
            EXPECT_FALSE(HostRecordExists());
        }
        EXPECT_FALSE(FileExists(GetDamagedCopyPath(DataFilePath(), 1000)));
        TearDown();
        SetUp();
    }
}

}  // namespace
