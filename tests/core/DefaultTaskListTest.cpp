// The nine default entries.
#include <gtest/gtest.h>

#include "core/DataFile.h"
#include "core/DefaultTaskList.h"
#include "core/Platform.h"
#include "support/Bytes.h"
#include "support/ExpectedDefaults.h"
#include "support/TempFolder.h"

namespace {

TEST(DefaultTaskListTest, NineEntriesReplaceWhatTheListHeld) {
    using platform::SpecialFolder;
    for (const SpecialFolder folder : {SpecialFolder::ProgramFiles, SpecialFolder::System, SpecialFolder::Windows})
        EXPECT_FALSE(ExpectedFolder(folder).empty());
    const CTaskList expected = ExpectedDefaultList();
    const std::u16string notepad = expected.GetAt(3).m_strPath;

    CTaskList list;
    for (int i = 0; i < 20; ++i) list.Add(MakeTask(u"old", u"", u"x"));
    FillDefaultTaskList(list);
    EXPECT_EQ(list, expected);
    EXPECT_EQ(notepad.find(u"\\\\"), std::u16string::npos);
}

using DefaultTaskListFileTest = DataFolderTest;

TEST_F(DefaultTaskListFileTest, RoundTripsThroughTheDataFile) {
    CTaskList list;
    FillDefaultTaskList(list);
    CDataFileStore store(DataFilePath());
    ASSERT_TRUE(store.Save(list).Succeeded());
    CTaskList read;
    ASSERT_TRUE(store.Load(read).Succeeded());
    EXPECT_EQ(read, list);
}

}  // namespace
