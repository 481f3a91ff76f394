// Where Data.dat lives, and what a load or a save does to it and to the list.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/DataFile.h"
#include "core/Platform.h"
#include "support/Bytes.h"
#include "support/CaseName.h"
#include "support/TempFolder.h"

namespace {

const CTaskList kStored = MakeList({MakeTask(u"Stored", u"d", u"cmd", u"/k"), MakeSeparator()});
const CTaskList kChanged = MakeList({MakeTask(u"Changed", u"", u"notepad")});

// Data.dat through one store, as the window and each command line run own one.
class DataFileTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        m_store.emplace(DataFilePath());
    }
    std::optional<CDataFileStore> m_store;
};

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
    EXPECT_EQ(m_store->LoadSaveDataFile(list, false).m_eResult, CDataFileStatus::missing);
    EXPECT_TRUE(FolderExists(FolderOf(DataFilePath())));
    EXPECT_FALSE(FileExists(DataFilePath()));
    EXPECT_EQ(list, kStored);

    EXPECT_TRUE(m_store->LoadSaveDataFile(list, true).Succeeded());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kStored));
}

TEST_F(DataFileTest, SaveThenLoadRoundTripsAndLeavesNoTemporaryFile) {
    CTaskList list = kStored;
    ASSERT_TRUE(m_store->LoadSaveDataFile(list, true).Succeeded());
    CTaskList read = kChanged;
    EXPECT_TRUE(m_store->LoadSaveDataFile(read, false).Succeeded());
    EXPECT_EQ(read, kStored);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

TEST_F(DataFileTest, SavesThatCannotHappenLeaveThePreviousBytes) {
    enum class Obstacle { ReadOnly, Locked };
    for (Obstacle obstacle : {Obstacle::ReadOnly, Obstacle::Locked}) {
        SCOPED_TRACE(static_cast<int>(obstacle));
        CTaskList list = kStored;
        ASSERT_TRUE(m_store->LoadSaveDataFile(list, true).Succeeded());
        const Bytes before = ReadBytes(DataFilePath());

        CDataFileStatus status;
        CTaskList changed = kChanged;
        if (obstacle == Obstacle::ReadOnly) {
            SetReadOnly(DataFilePath(), true);
            status = m_store->LoadSaveDataFile(changed, true);
            SetReadOnly(DataFilePath(), false);
        } else {
            FileLock lock(DataFilePath());
            status = m_store->LoadSaveDataFile(changed, true);
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
    ASSERT_TRUE(m_store->LoadSaveDataFile(list, true).Succeeded());
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
            status = m_store->LoadSaveDataFile(list, false);
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
        EXPECT_EQ(m_store->LoadSaveDataFile(list, true).m_eResult, CDataFileStatus::saveRefused);
        EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), entries);
        TearDown();
        SetUp();
    }
}

TEST_F(DataFileTest, HoldThatEndsWithinTheRetryIsWaitedOut) {
    CTaskList list = kStored;
    ASSERT_TRUE(m_store->LoadSaveDataFile(list, true).Succeeded());
    auto lock = std::make_unique<FileLock>(DataFilePath());
    std::thread release([&lock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyRetryMilliseconds / 4));
        lock.reset();
    });
    CTaskList read = kChanged;
    const CDataFileStatus status = m_store->LoadSaveDataFile(read, false);
    release.join();
    EXPECT_EQ(status.m_eResult, CDataFileStatus::ok);
    EXPECT_EQ(read, kStored);
}

// Only a load that reads the file lifts the refusal of a file that was not read.
TEST_F(DataFileTest, RefusalEndsWhenTheFileIsRead) {
    Bytes tooMany;
    AppendInt(tooMany, kMaxTaskListEntries + 1);
    GetDataFilePath();
    WriteBytes(DataFilePath(), tooMany);
    CTaskList list = kChanged;
    ASSERT_TRUE(m_store->Load(list).LeftUnread());
    ASSERT_EQ(m_store->Save(list).m_eResult, CDataFileStatus::saveRefused);
    WriteBytes(DataFilePath(), Store(kStored));  // another program mends it
    ASSERT_TRUE(m_store->Load(list).Succeeded());
    EXPECT_TRUE(m_store->Save(kChanged).Succeeded());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kChanged));
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
    const CDataFileStatus status = m_store->LoadSaveDataFile(list, false);
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
        const CDataFileStatus status = m_store->LoadSaveDataFile(list, false);
        EXPECT_EQ(status.m_eResult, CDataFileStatus::damaged);
        EXPECT_EQ(status.m_nAnnounced, c.announced);
        EXPECT_EQ(status.m_nRead, c.read);
        EXPECT_EQ(list.GetSize(), c.read);
        EXPECT_EQ(status.m_strCopyPath, DataFilePath() + u".damaged");
        EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.bytes);

        // The next save replaces Data.dat and leaves the damaged copy alone.
        ASSERT_TRUE(m_store->LoadSaveDataFile(list, true).Succeeded());
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
        const CDataFileStatus status = m_store->LoadSaveDataFile(list, false);
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
    int nTorn = 0, nBothFailed = 0, nClashes = 0;
    for (int nRound = 0; nRound < 200; ++nRound) {
        CDataFileStatus statusA, statusB;
        std::thread saverA([&] { statusA = SaveTaskListFile(DataFilePath(), a); });
        std::thread saverB([&] { statusB = SaveTaskListFile(DataFilePath(), b); });
        saverA.join();
        saverB.join();
        // One save may lose the race to the other (the file was busy), never both.
        nBothFailed += !statusA.Succeeded() && !statusB.Succeeded();
        // Two saves never clash on a temporary name (which would fail as "exists").
        for (const CDataFileStatus* status : {&statusA, &statusB})
            nClashes += !status->Succeeded() && status->m_error.m_eKind == platform::SystemError::EKind::exists;
        const Bytes stored = ReadBytes(DataFilePath());
        if (stored != bytesA && stored != bytesB) ++nTorn;
    }
    EXPECT_EQ(nTorn, 0);
    EXPECT_EQ(nBothFailed, 0);
    EXPECT_EQ(nClashes, 0);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

// A file is whole only when its bytes end where the last announced record does.
struct MiscountCase {
    const char* name;
    Bytes bytes;
    int announced, read;
};

std::vector<MiscountCase> MiscountCases() {
    const CTaskList five = MakeList({kStored.GetAt(0), kStored.GetAt(1), kChanged.GetAt(0), kStored.GetAt(0),
                                     kStored.GetAt(1)});
    const Bytes whole = Store(five);
    const auto withCount = [&whole](std::int32_t n) {
        Bytes b = whole;
        Bytes count;
        AppendInt(count, n);
        std::copy(count.begin(), count.end(), b.begin());
        return b;
    };
    Bytes trailing = whole;
    trailing.push_back(0);
    return {
        {"NegativeCount", withCount(-1), -1, 0},
        {"NegativeCountAlone", Bytes{0xFF, 0xFF, 0xFF, 0xFF}, -1, 0},
        {"LowCountWithRecordsAfter", withCount(2), 2, 2},
        {"HighCount", withCount(6), 6, 5},
        {"ByteAfterTheLastRecord", trailing, 5, 5},
        {"Truncated", Bytes(whole.begin(), whole.end() - 3), 5, 4},
    };
}

class MiscountedDataFileTest : public DataFileTest, public ::testing::WithParamInterface<MiscountCase> {};

TEST_P(MiscountedDataFileTest, IsDamagedAndCopiedBeforeAnySave) {
    const MiscountCase& c = GetParam();
    GetDataFilePath();
    WriteBytes(DataFilePath(), c.bytes);
    CTaskList list = kChanged;
    const CDataFileStatus status = m_store->Load(list);
    EXPECT_EQ(status.m_eResult, CDataFileStatus::damaged);
    EXPECT_EQ(status.m_nAnnounced, c.announced);
    EXPECT_EQ(status.m_nRead, c.read);
    EXPECT_EQ(list.GetSize(), c.read);
    EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.bytes);
    // An import file gets the same verdict, and no copy.
    CTaskList imported = kChanged;
    EXPECT_EQ(LoadTaskListFile(DataFilePath(), imported).m_eResult, CDataFileStatus::damaged);
}

INSTANTIATE_TEST_SUITE_P(Cases, MiscountedDataFileTest, ::testing::ValuesIn(MiscountCases()), CaseName());

// A damaged Data.dat of which no copy can be kept is never saved over.
TEST_F(DataFileTest, DamagedFileWithoutACopyRefusesEverySave) {
    GetDataFilePath();
    const Bytes damaged = {3, 0, 0, 0};
    WriteBytes(DataFilePath(), damaged);
    for (int n = 1; n <= 999; ++n) WriteBytes(GetDamagedCopyPath(DataFilePath(), n), Bytes{9});
    CTaskList list;
    const CDataFileStatus status = m_store->Load(list);
    ASSERT_EQ(status.m_eResult, CDataFileStatus::damaged);
    EXPECT_TRUE(status.m_strCopyPath.empty());
    for (const CTaskList& save : {kStored, kChanged})
        EXPECT_EQ(m_store->Save(save).m_eResult, CDataFileStatus::saveRefused);
    EXPECT_EQ(ReadBytes(DataFilePath()), damaged);
    // Until the user says yes.
    m_store->AllowSavingOverDataFile();
    EXPECT_TRUE(m_store->Save(kChanged).Succeeded());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kChanged));
}

// What another program does to Data.dat after the store read it is never saved over.
enum class OutsideChange { Rewritten, SameSizeRewritten, Replaced, Deleted, CreatedWhereThereWasNone };

class DataFileChangedOutsideTest : public DataFileTest, public ::testing::WithParamInterface<OutsideChange> {};

TEST_P(DataFileChangedOutsideTest, IsNeverSavedOver) {
    using Change = OutsideChange;
    const Change change = GetParam();
    const CTaskList kOther = MakeList({MakeTask(u"Other", u"", u"calc")});
    const CTaskList kSameSize = MakeList({MakeTask(u"Stored", u"e", u"cmd", u"/k"), MakeSeparator()});
    GetDataFilePath();
    CTaskList list;
    if (change != Change::CreatedWhereThereWasNone) WriteBytes(DataFilePath(), Store(kStored));
    m_store->Load(list);
    ASSERT_FALSE(m_store->ChangedOutside());
    Bytes left;
    switch (change) {
    case Change::Rewritten: left = Store(kOther); break;
    case Change::SameSizeRewritten: left = Store(kSameSize); break;
    case Change::Replaced: left = Store(kOther); break;
    case Change::Deleted: break;
    case Change::CreatedWhereThereWasNone: left = Store(kOther); break;
    }
    if (change == Change::Replaced) {
        WriteBytes(DataFilePath() + u".new", left);
        MoveOver(DataFilePath() + u".new", DataFilePath());
    } else if (change == Change::Deleted) {
        RemoveFile(DataFilePath());
    } else {
        WriteBytes(DataFilePath(), left);
    }
    EXPECT_TRUE(m_store->ChangedOutside());
    EXPECT_EQ(m_store->Save(kChanged).m_eResult, CDataFileStatus::changedOutside);
    EXPECT_EQ(ReadBytes(DataFilePath()), left);
    // Once read again, the store saves.
    m_store->Load(list);
    EXPECT_FALSE(m_store->ChangedOutside());
    EXPECT_TRUE(m_store->Save(kChanged).Succeeded());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kChanged));
}

INSTANTIATE_TEST_SUITE_P(Cases, DataFileChangedOutsideTest,
                         ::testing::Values(OutsideChange::Rewritten, OutsideChange::SameSizeRewritten,
                                           OutsideChange::Replaced, OutsideChange::Deleted,
                                           OutsideChange::CreatedWhereThereWasNone),
                         [](const auto& info) -> std::string {
                             switch (info.param) {
                             case OutsideChange::Rewritten: return "Rewritten";
                             case OutsideChange::SameSizeRewritten: return "SameSizeRewritten";
                             case OutsideChange::Replaced: return "Replaced";
                             case OutsideChange::Deleted: return "Deleted";
                             case OutsideChange::CreatedWhereThereWasNone: return "CreatedWhereThereWasNone";
                             }
                             return "Unknown";
                         });

// Every list the store saves is one it reads back whole; one past a limit is
// refused with nothing written.
TEST_F(DataFileTest, SavesStopAtTheLimitsThatLoadsKeep) {
    const std::size_t cchForExactLimit = (kMaxTaskListFileBytes - 4 - 28) / 2;
    CTaskList atByteLimit = MakeList({MakeTask(std::u16string(cchForExactLimit, u'x'), u"", u"")});
    CTaskList pastByteLimit = MakeList({MakeTask(std::u16string(cchForExactLimit + 1, u'x'), u"", u"")});
    CTaskList atEntryLimit, pastEntryLimit;
    for (int i = 0; i < kMaxTaskListEntries; ++i) atEntryLimit.Add(MakeSeparator());
    pastEntryLimit = atEntryLimit;
    pastEntryLimit.Add(MakeSeparator());
    ASSERT_EQ(StoredBytes(atByteLimit), kMaxTaskListFileBytes);
    CTaskList list;
    m_store->Load(list);
    for (const CTaskList* fits : {&atByteLimit, &atEntryLimit}) {
        ASSERT_TRUE(m_store->Save(*fits).Succeeded());
        CTaskList read;
        EXPECT_EQ(CDataFileStore(DataFilePath()).Load(read).m_eResult, CDataFileStatus::ok);
        EXPECT_EQ(read.GetSize(), fits->GetSize());
    }
    const Bytes before = ReadBytes(DataFilePath());
    for (const CTaskList* past : {&pastByteLimit, &pastEntryLimit}) {
        const CDataFileStatus status = m_store->Save(*past);
        EXPECT_EQ(status.m_eResult, CDataFileStatus::overLimits);
        EXPECT_EQ(status.m_nAnnounced, past->GetSize());
        EXPECT_EQ(status.m_cbFile, StoredBytes(*past));
        EXPECT_EQ(SaveTaskListFile(DataFilePath() + u".export", *past).m_eResult, CDataFileStatus::overLimits);
    }
    EXPECT_EQ(ReadBytes(DataFilePath()), before);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

// A file held for the whole load is given up after the retry, not much later.
TEST_F(DataFileTest, FileHeldThroughoutIsGivenUpAfterTheRetry) {
    GetDataFilePath();
    WriteBytes(DataFilePath(), Store(kStored));
    FileLock lock(DataFilePath());
    CTaskList list;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_store->Load(list).m_eResult, CDataFileStatus::unreadable);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(ms.count(), kBusyRetryMilliseconds - 100);
    EXPECT_LE(ms.count(), kBusyRetryMilliseconds + 1000);
}

#ifndef _WIN32
// These need a local application data folder the test can choose.
TEST_F(DataFileTest, TrailingBackslashFromTheShellGivesOneBackslash) {
    const std::string root(getenv("ZEMBRO_LOCALAPPDATA"));
    setenv("ZEMBRO_LOCALAPPDATA", (root + "\\").c_str(), 1);
    EXPECT_EQ(GetDataFilePath(), DataFilePath());
    EXPECT_TRUE(FolderExists(FolderOf(DataFilePath())));
}

// A dangling link is a name that looks free until the copy is made under it,
// as a name another program takes between the look and the move.
TEST_F(DataFileTest, CopyNameTakenAfterTheLookGoesToTheNextName) {
    GetDataFilePath();
    const Bytes damaged = {1, 0};
    WriteBytes(DataFilePath(), damaged);
    const std::string root(getenv("ZEMBRO_LOCALAPPDATA"));
    const std::string taken = root + "/Zembro-by-Brellow/Data.dat.damaged";
    ASSERT_EQ(::symlink((root + "/nowhere").c_str(), taken.c_str()), 0);
    CTaskList list;
    const CDataFileStatus status = m_store->Load(list);
    EXPECT_EQ(status.m_strCopyPath, DataFilePath() + u".damaged-2");
    EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged-2"), damaged);
}

// A write refused half way through the archive's buffered writes (a full
// disk) leaves Data.dat as it was.
TEST_F(DataFileTest, WriteRefusedInTheMiddleOfASaveLeavesThePreviousBytes) {
    CTaskList list;
    m_store->Load(list);
    ASSERT_TRUE(m_store->Save(kStored).Succeeded());
    const Bytes before = ReadBytes(DataFilePath());
    CTaskList large;
    for (int i = 0; i < 2000; ++i) large.Add(MakeTask(std::u16string(100, u'x'), u"", u"cmd"));
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 100 * 1024;  // past the archive's first buffer, short of the list
    ::setrlimit(RLIMIT_FSIZE, &small);
    const CDataFileStatus status = m_store->Save(large);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(status.m_eResult, CDataFileStatus::saveFailed);
    EXPECT_EQ(ReadBytes(DataFilePath()), before);
    EXPECT_EQ(FolderEntries(FolderOf(DataFilePath())), std::vector<std::u16string>{u"Data.dat"});
}

TEST_F(DataFileTest, UnknownFolderDoesNothingAndSaysSo) {
    setenv("ZEMBRO_LOCALAPPDATA", "", 1);
    EXPECT_EQ(GetDataFilePath(), u"");
    m_store.emplace(GetDataFilePath());
    CTaskList list = kStored;
    EXPECT_EQ(m_store->LoadSaveDataFile(list, false).m_eResult, CDataFileStatus::noFolder);
    EXPECT_EQ(list, kStored);
    EXPECT_EQ(m_store->LoadSaveDataFile(list, true).m_eResult, CDataFileStatus::noFolder);
}
#endif

}  // namespace
