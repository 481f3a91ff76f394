// Where Data.dat lives, and what a load or a save does to it and to the list.
#include <gtest/gtest.h>

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
    EXPECT_EQ(LoadSaveDataFile(list, false).m_eResult, CDataFileStatus::unavailable);
    EXPECT_TRUE(FolderExists(FolderOf(DataFilePath())));
    EXPECT_FALSE(FileExists(DataFilePath()));
    EXPECT_EQ(list, kStored);

    EXPECT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    EXPECT_EQ(ReadBytes(DataFilePath()), Store(kStored));
}

TEST_F(DataFileTest, SaveThenLoadRoundTripsAndReplacesTheList) {
    CTaskList list = kStored;
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    CTaskList read = kChanged;
    EXPECT_TRUE(LoadSaveDataFile(read, false).Succeeded());
    EXPECT_EQ(read, kStored);
    EXPECT_FALSE(FileExists(DataFilePath() + u".tmp"));
}

TEST_F(DataFileTest, SavesThatCannotHappenLeaveThePreviousBytes) {
    enum class Obstacle { ReadOnly, Locked, TempIsAFolder };
    for (Obstacle obstacle : {Obstacle::ReadOnly, Obstacle::Locked, Obstacle::TempIsAFolder}) {
        SCOPED_TRACE(static_cast<int>(obstacle));
        CTaskList list = kStored;
        ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
        const Bytes before = ReadBytes(DataFilePath());
        const std::u16string temp = DataFilePath() + u".tmp";

        CDataFileStatus status;
        CTaskList changed = kChanged;
        if (obstacle == Obstacle::ReadOnly) {
            SetReadOnly(DataFilePath(), true);
            status = LoadSaveDataFile(changed, true);
            SetReadOnly(DataFilePath(), false);
        } else if (obstacle == Obstacle::Locked) {
            FileLock lock(DataFilePath());
            status = LoadSaveDataFile(changed, true);
        } else {
            MakeFolder(temp);
            status = LoadSaveDataFile(changed, true);
        }
        EXPECT_EQ(status.m_eResult, CDataFileStatus::saveFailed);
        EXPECT_EQ(status.m_strPath, DataFilePath());
        EXPECT_NE(status.m_error.m_dwCode, 0u);
        EXPECT_FALSE(status.m_error.m_strMessage.empty());
        EXPECT_EQ(ReadBytes(DataFilePath()), before);
        if (obstacle != Obstacle::TempIsAFolder) {
            EXPECT_FALSE(FileExists(temp));
        }
        TearDown();
        SetUp();
    }
}

// A write that fails half way (a full disk, say) must not reach Data.dat.
TEST_F(DataFileTest, WriteErrorHalfWayLeavesThePreviousBytes) {
    CTaskList list = kStored;
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    const Bytes before = ReadBytes(DataFilePath());
    const std::u16string temp = DataFilePath() + u".tmp";
    const auto writeHalfThenFail = [](CArchiveFile& file) {
        const std::uint8_t bytes[] = {9, 0, 0, 0};
        return file.Write(bytes, sizeof bytes) && false;
    };
    platform::SystemError error;
    EXPECT_FALSE(platform::ReplaceFileContents(DataFilePath(), temp, writeHalfThenFail, error));
    EXPECT_NE(error.m_dwCode, 0u);
    EXPECT_EQ(ReadBytes(DataFilePath()), before);
    EXPECT_FALSE(FileExists(temp));
}

TEST_F(DataFileTest, LockedFileIsNotLoaded) {
    CTaskList list = kStored;
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    FileLock lock(DataFilePath());
    CTaskList read = kChanged;
    EXPECT_EQ(LoadSaveDataFile(read, false).m_eResult, CDataFileStatus::unavailable);
    EXPECT_EQ(read, kChanged);
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
        EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.bytes);
        EXPECT_TRUE(FileExists(DataFilePath() + u".damaged"));

        // The next save replaces Data.dat and leaves the damaged copy alone.
        ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
        EXPECT_EQ(ReadBytes(DataFilePath() + u".damaged"), c.bytes);
    }
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
