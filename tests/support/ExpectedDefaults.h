#pragma once
// The nine entries a first start shows, spelled out apart from the code that
// makes them, for the tests.
#include "core/Platform.h"
#include "core/ProductLinks.h"
#include "support/Bytes.h"

inline std::u16string ExpectedFolder(platform::SpecialFolder folder) {
    std::u16string path;
    platform::GetSpecialFolderPath(folder, path);
    return path;
}

inline CTaskList ExpectedDefaultList() {
    using platform::SpecialFolder;
    const std::u16string ie = ExpectedFolder(SpecialFolder::ProgramFiles) + u"\\Internet Explorer\\iexplore.exe";
    const std::u16string notepad = ExpectedFolder(SpecialFolder::System) + u"\\notepad.exe";
    const std::u16string calc = ExpectedFolder(SpecialFolder::System) + u"\\calc.exe";
    const std::u16string explorer = ExpectedFolder(SpecialFolder::Windows) + u"\\explorer.exe";
    return MakeList({
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
}
