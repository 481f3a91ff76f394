// Where Data.dat lives, and what a load or a save does to it and to the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "core/DataFile.h"
#include "core/Platform.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"

namespace {

const CTaskList kStored = MakeList({MakeTask(u"Stored", u"d", u"cmd", u"/k"), MakeSeparator()});
const CTaskList kChanged = MakeList({MakeTask(u"Changed", u"", u"notepad")});

using DataFileTest = DataFolderTest;

TEST_F(DataFileTest, PathIsTheTitleWithHyphensInLocalAppData) {
    const std::u16string path = GetDataFilePath();
    EXPECT_EQ(path, DataFilePath());
    const std::u16string suffix = u"\\Zembro-by-Brellow\\Data.dat";
    ASSERT_GT(path.size(), suffix.size());
    EXPECT_EQ(path.substr(path.size() - suffix.size()), suffix);
    EXPECT_EQ(path.find(u"\\\\"), std::u16string::npos);
}

TEST_F(DataFileTest, FirstRunCreatesTheFolderAndLeavesTheListAlone) {
    EXPECT_FALSE(FolderExists(FolderOf(DataFilePath())));
    CTaskList list = kStored;
    EXPECT_EQ(LoadSaveDataFile(list, false).m_eResult, CDataFileStatus::missing);
    EXPECT_TRUE(FolderExists(FolderOf(DataFilePath())));
    EXPECT_FALSE(FileExists(DataFilePath()));
    EXPECT_EQ(list, kStored);

    EXPECT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kStored));
}

TEST_F(DataFileTest, SaveThenLoadRoundTripsAndLeavesNoTemporaryFile) {
    CTaskList list = kStored;
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    CTaskList read = kChanged;
    EXPECT_TRUE(LoadSaveDataFile(read, false).Succeeded());
    EXPECT_EQ(read, kStored);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

TEST_F(DataFileTest, SavesThatCannotHappenLeaveThePreviousBytes) {
    enum class Obstacle { ReadOnly, Locked };
    for (Obstacle obstacle : {Obstacle::ReadOnly, Obstacle::Locked}) {
        SCOPED_TRACE(static_cast<int>(obstacle));
        CTaskList list = kStored;
        ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
        const Bytes before = ReadBytes(DataFilePath());

        CDataFileStatus status;
        CTaskList changed = kChanged;
        if (obstacle == Obstacle::ReadOnly) {
            SetReadOnly(DataFilePath(), true);
            status = LoadSaveDataFile(changed, true);
            SetReadOnly(DataFilePath(), false);
        } else {
            FileLock lock(DataFilePath());
            status = LoadSaveDataFile(changed, true);
        }
        EXPECT_EQ(status.m_eResult, CDataFileStatus::saveFailed);
        EXPECT_EQ(status.m_strPath, DataFilePath());
        EXPECT_NE(status.m_error.m_dwCode, 0u);
        EXPECT_FALSE(status.m_error.m_strMessage.empty());
        EXPECT_EQ(ReadBytes(DataFilePath()), before);
        EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
        TearDown();
        SetUp();
    }
}

// A write that fails half way (a full disk, say) must not reach Data.dat.
TEST_F(DataFileTest, WriteErrorHalfWayLeavesThePreviousBytes) {
    CTaskList list = kStored;
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    const Bytes before = ReadBytes(DataFilePath());
    const auto writeHalfThenFail = [](CArchiveFile& file) {
        const std::uint8_t bytes[] = {9, 0, 0, 0};
        return file.Write(bytes, sizeof bytes) && false;
    };
    platform::SystemError error;
    EXPECT_FALSE(platform::ReplaceFileContents(DataFilePath(), platform::EReplace::replaceExisting,
                                               writeHalfThenFail, error));
    EXPECT_NE(error.m_dwCode, 0u);
    EXPECT_EQ(ReadBytes(DataFilePath()), before);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

// A Data.dat that is there but was not read is never taken for a missing one,
// and nothing is saved over it until a load reads it.
TEST_F(DataFileTest, FileThatIsThereButUnreadLeavesTheListAndRefusesSaves) {
    enum class Obstacle { HeldByAnother, IsAFolder, TooLong, TooManyEntries };
    struct Case {
        const char* name;
        Obstacle obstacle;
        CDataFileStatus::EResult result;
    };
    const Case cases[] = {
        {"HeldByAnother", Obstacle::HeldByAnother, CDataFileStatus::unreadable},
        {"IsAFolder", Obstacle::IsAFolder, CDataFileStatus::unreadable},
        {"TooLong", Obstacle::TooLong, CDataFileStatus::tooLarge},
        {"TooManyEntries", Obstacle::TooManyEntries, CDataFileStatus::tooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetDataFilePath();
        Bytes tooMany;
        AppendInt(tooMany, kMaxTaskListEntries + 1);
        switch (c.obstacle) {
        case Obstacle::HeldByAnother: WriteBytes(DataFilePath(), Store(kStored)); break;
        case Obstacle::IsAFolder: MakeFolder(DataFilePath()); break;
        case Obstacle::TooLong: SetFileLength(DataFilePath(), kMaxTaskListFileBytes + 1); break;
        case Obstacle::TooManyEntries: WriteBytes(DataFilePath(), tooMany); break;
        }
        CTaskList list = kChanged;
        CDataFileStatus status;
        {
            std::unique_ptr<FileLock> lock;
            if (c.obstacle == Obstacle::HeldByAnother) lock = std::make_unique<FileLock>(DataFilePath());
            status = LoadSaveDataFile(list, false);
        }
        EXPECT_EQ(status.m_eResult, c.result);
        EXPECT_TRUE(status.LeftUnread());
        EXPECT_EQ(list, kChanged);
        if (c.result == CDataFileStatus::unreadable) {
            EXPECT_NE(status.m_error.m_dwCode, 0u);
            EXPECT_FALSE(status.m_error.m_strMessage.empty());
        }
        if (c.obstacle == Obstacle::TooLong) {
            EXPECT_EQ(status.m_cbFile, kMaxTaskListFileBytes + 1);
        }
        if (c.obstacle == Obstacle::TooManyEntries) {
            EXPECT_EQ(status.m_nAnnounced, kMaxTaskListEntries + 1);
        }

        const std::vector<std::u16string> entries = FolderEntries(FolderOf(DataFilePath()));
        EXPECT_EQ(LoadSaveDataFile(list, true).m_eResult, CDataFileStatus::saveRefused);
        EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), entries);
        TearDown();
        SetUp();
    }
}

TEST_F(DataFileTest, HoldThatEndsWithinTheRetryIsWaitedOut) {
    CTaskList list = kStored;
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    auto lock = std::make_unique<FileLock>(DataFilePath());
    std::thread release([&lock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyRetryMilliseconds / 4));
        lock.reset();
    });
    CTaskList read = kChanged;
    const CDataFileStatus status = LoadSaveDataFile(read, false);
    release.join();
    EXPECT_EQ(status.m_eResult, CDataFileStatus::ok);
    EXPECT_EQ(read, kStored);
}

// Only a load that reads the file, or the user's yes, lifts the refusal.
TEST_F(DataFileTest, RefusalEndsWhenTheFileIsReadOrTheUserAllows) {
    Bytes tooMany;
    AppendInt(tooMany, kMaxTaskListEntries + 1);
    for (bool bAllow : {false, true}) {
        SCOPED_TRACE(bAllow);
        GetDataFilePath();
        WriteBytes(DataFilePath(), tooMany);
        CTaskList list = kChanged;
        ASSERT_TRUE(LoadSaveDataFile(list, false).LeftUnread());
        ASSERT_EQ(LoadSaveDataFile(list, true).m_eResult, CDataFileStatus::saveRefused);
        if (bAllow) {
            AllowSavingOverDataFile();
        } else {
            WriteBytes(DataFilePath(), Store(kStored));  // another program mends it
            ASSERT_TRUE(LoadSaveDataFile(list, false).Succeeded());
            list = kChanged;
        }
        EXPECT_TRUE(LoadSaveDataFile(list, true).Succeeded());
        EXPECT_EQ(ReadBytes(DataFilePath()), Store(kChanged));
    }
}

// A read error anywhere is the system's error, never the end of the file.
TEST_F(DataFileTest, ReadErrorIsUnreadableWithTheSystemsReason) {
    class CFailingFile : public platform::CReadFile {
    public:
        CFailingFile(Bytes bytes, std::size_t cbBeforeError) : m_bytes(std::move(bytes)), m_cbLeft(cbBeforeError) {}
        std::size_t Read(std::uint8_t* p, std::size_t cb) override {
            if (m_cbLeft == 0) throw CFileException(platform::SystemError{23, u"Data error (cyclic redundancy check)."});
            const std::size_t n = std::min({cb, m_cbLeft, m_bytes.size() - m_nPos});
            std::copy_n(m_bytes.begin() + static_cast<long>(m_nPos), n, p);
            m_nPos += n;
            m_cbLeft -= n;
            return n;
        }
        std::uint64_t GetLength() const override { return m_bytes.size(); }

    private:
        Bytes m_bytes;
        std::size_t m_cbLeft, m_nPos = 0;
    };
    const Bytes bytes = Store(MakeList({kStored.GetAt(0), kStored.GetAt(1), kChanged.GetAt(0)}));
    for (std::size_t cbBeforeError : {std::size_t{0}, std::size_t{2}, std::size_t{4}, std::size_t{30}, bytes.size() - 1}) {
        SCOPED_TRACE(cbBeforeError);
        CFailingFile file(bytes, cbBeforeError);
        CTaskList list = kChanged;
        const CDataFileStatus status = ReadTaskList(file, list);
        EXPECT_EQ(status.m_eResult, CDataFileStatus::unreadable);
        EXPECT_EQ(status.m_error.m_dwCode, 23u);
        EXPECT_EQ(status.m_error.m_strMessage, u"Data error (cyclic redundancy check).");
        EXPECT_EQ(list, kChanged);
    }
}

TEST_F(DataFileTest, EntryLimitCountsTheAnnouncedEntriesOnly) {
    Bytes atLimit;
    AppendInt(atLimit, kMaxTaskListEntries);
    AppendRecord(atLimit, kStored.GetAt(0));
    GetDataFilePath();
    WriteBytes(DataFilePath(), atLimit);
    CTaskList list;
    const CDataFileStatus status = LoadSaveDataFile(list, false);
    EXPECT_EQ(status.m_eResult, CDataFileStatus::damaged);
    EXPECT_EQ(status.m_nAnnounced, kMaxTaskListEntries);
    EXPECT_EQ(list.GetSize(), 1);
}

TEST_F(DataFileTest, DamagedFileKeepsCompleteRecordsAndACopy) {
    struct Case {
        const char* name;
        Bytes bytes;
        int announced, read;
    };
    Bytes threeAnnouncedTwoPresent = {3, 0, 0, 0};
    AppendRecord(threeAnnouncedTwoPresent, kStored.GetAt(0));
    AppendRecord(threeAnnouncedTwoPresent, kStored.GetAt(1));
    const Case cases[] = {
        {"EmptyFile", Bytes{}, 0, 0},
        {"ThreeAnnouncedTwoPresent", threeAnnouncedTwoPresent, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetDataFilePath();
        WriteBytes(DataFilePath(), c.bytes);
        CTaskList list = kChanged;
        const CDataFileStatus status = LoadSaveDataFile(list, false);
        EXPECT_EQ(status.m_eResult, CDataFileStatus::damaged);
        EXPECT_EQ(status.m_nAnnounced, c.announced);
        EXPECT_EQ(status.m_nRead, c.read);
        EXPECT_EQ(list.GetSize(), c.read);
        EXPECT_EQ(status.m_strCopyPath, DataFilePath() + u".damaged");
        EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.bytes);

        // The next save replaces Data.dat and leaves the damaged copy alone.
        ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
        EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.bytes);
        TearDown();
        SetUp();
    }
}

// A copy never replaces an earlier one; the same damage twice is one copy.
TEST_F(DataFileTest, DamagedCopiesTakeTheFirstFreeName) {
    GetDataFilePath();
    const Bytes first = {1, 0};
    const Bytes second = {2, 0, 0};
    const struct {
        Bytes damaged;
        const char16_t* copy;
    } loads[] = {{first, u".damaged"}, {second, u".damaged-2"}, {second, u".damaged-2"}, {first, u".damaged-3"}};
    for (const auto& load : loads) {
        WriteBytes(DataFilePath(), load.damaged);
        CTaskList list;
        const CDataFileStatus status = LoadSaveDataFile(list, false);
        ASSERT_EQ(status.m_eResult, CDataFileStatus::damaged);
        EXPECT_EQ(status.m_strCopyPath, DataFilePath() + load.copy);
    }
    EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), first);
    EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged-2"), second);
    EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged-3"), first);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())),
              (std::vector<std::u16string>{u"Data.dat", u"Data.dat.damaged", u"Data.dat.damaged-2",
                                           u"Data.dat.damaged-3"}));
}

TEST_F(DataFileTest, LeftoverTemporaryFilesOfKilledSavesAreRemoved) {
    GetDataFilePath();
    const std::u16string folder = FolderOf(DataFilePath());
    for (const char16_t* name : {u"Data.dat", u"Data.dat.tmp", u"Data.dat.~12-3.tmp", u"Data.dat.~9.tmp",
                                 u"Data.dat.damaged", u"Other.dat.~12-3.tmp", u"Data.dat.~12-3.txt"})
        WriteBytes(folder + u"\\" + name, Bytes{1});
    RemoveLeftoverSaveFiles();
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::u16string>{u"Data.dat", u"Data.dat.damaged",
                                                                   u"Data.dat.~12-3.txt", u"Other.dat.~12-3.tmp"}));
}

// Two savers at once: Data.dat is always one of the two lists, whole.
TEST_F(DataFileTest, ConcurrentSavesNeverTearTheFile) {
    CTaskList a, b;
    for (int i = 0; i < 200; ++i) {
        a.Add(MakeTask(u"Task A " + std::u16string(40, u'a'), u"d", u"cmd", u"/k"));
        b.Add(MakeTask(u"B", u"", u"notepad"));
    }
    const Bytes bytesA = Store(a), bytesB = Store(b);
    GetDataFilePath();
    int nTorn = 0, nBothFailed = 0;
    for (int nRound = 0; nRound < 200; ++nRound) {
        CDataFileStatus statusA, statusB;
        std::thread saverA([&] { statusA = SaveTaskListFile(DataFilePath(), a); });
        std::thread saverB([&] { statusB = SaveTaskListFile(DataFilePath(), b); });
        saverA.join();
        saverB.join();
        // One save may lose the race to the other (the file was busy), never both.
        nBothFailed += !statusA.Succeeded() && !statusB.Succeeded();
        const Bytes stored = ReadBytes(DataFilePath());
        if (stored != bytesA && stored != bytesB) ++nTorn;
    }
    EXPECT_EQ(nTorn, 0);
    EXPECT_EQ(nBothFailed, 0);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

#ifndef _WIN32
// These need a local application data folder the test can choose.
TEST_F(DataFileTest, TrailingBackslashFromTheShellGivesOneBackslash) {
    const std::string root(getenv("ZEMBRO_LOCALAPPDATA"));
    setenv("ZEMBRO_LOCALAPPDATA", (root + "\\").c_str(), 1);
    EXPECT_EQ(GetDataFilePath(), DataFilePath());
    EXPECT_TRUE(FolderExists(FolderOf(DataFilePath())));
}

TEST_F(DataFileTest, UnknownFolderDoesNothingAndSaysSo) {
    setenv("ZEMBRO_LOCALAPPDATA", "", 1);
    EXPECT_EQ(GetDataFilePath(), u"");
    CTaskList list = kStored;
    EXPECT_EQ(LoadSaveDataFile(list, false).m_eResult, CDataFileStatus::noFolder);
    EXPECT_EQ(list, kStored);
    EXPECT_EQ(LoadSaveDataFile(list, true).m_eResult, CDataFileStatus::noFolder);
}
#endif

}  // namespace
