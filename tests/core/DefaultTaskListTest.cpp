// The nine default entries.
#include <gtest/gtest.h>

#include "core/DataFile.h"
#include "core/DefaultTaskList.h"
#include "core/Platform.h"
#include "core/ProductLinks.h"
#include "support/Bytes.h"
#include "support/TempFolder.h"

namespace {

std::u16string Folder(platform::SpecialFolder folder) {
    std::u16string path;
    EXPECT_TRUE(platform::GetSpecialFolderPath(folder, path));
    return path;
}

TEST(DefaultTaskListTest, NineEntriesReplaceWhatTheListHeld) {
    using platform::SpecialFolder;
    const std::u16string ie = Folder(SpecialFolder::ProgramFiles) + u"\\Internet Explorer\\iexplore.exe";
    const std::u16string notepad = Folder(SpecialFolder::System) + u"\\notepad.exe";
    const std::u16string calc = Folder(SpecialFolder::System) + u"\\calc.exe";
    const std::u16string explorer = Folder(SpecialFolder::Windows) + u"\\explorer.exe";
    const CTaskList expected = MakeList({
        MakeTask(u"Internet Explorer", u"Launch Internet Explorer", ie, u"", ie),
        MakeTask(u"Visit Brellow", u"Visit Brellow", kMakerHomePage),
        MakeSeparator(),
        MakeTask(u"Open Notepad", u"Launch Notepad", notepad, u"", notepad),
        MakeTask(u"Open Calculator", u"Launch Calculator", calc, u"", calc),
        MakeTask(u"Windows Explorer", u"Launch Windows Explorer", explorer, u"", explorer),
        MakeSeparator(),
        MakeTask(u"Task Manager", u"Launch Task Manager", u"taskmgr"),
        MakeTask(u"Command Prompt", u"Open Command Prompt", u"cmd"),
    });

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
    ASSERT_TRUE(LoadSaveDataFile(list, true).Succeeded());
    CTaskList read;
    ASSERT_TRUE(LoadSaveDataFile(read, false).Succeeded());
    EXPECT_EQ(read, list);
}

}  // namespace
