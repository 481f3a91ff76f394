#pragma once
// The entries the main window's command and editing tests store and change,
// and the default list as this prefix's folders make it.
#include "core/DefaultTaskList.h"
#include "support/Bytes.h"

inline const CJumpListAction kCmd = MakeTask(u"Command", u"A prompt", u"cmd.exe", u"/k ver", u"shell32.dll", 3);
inline const CJumpListAction kPad = MakeTask(u"Notes", u"", u"notepad.exe", u"", u"", 0);
inline const CJumpListAction kWeb = MakeTask(u"Home", u"Maker", u"https://brellow.example/", u"", u"", -1);
inline const CJumpListAction kSep = MakeSeparator();
inline const CTaskList kFour = MakeList({kCmd, kPad, kSep, kWeb});

inline CTaskList Defaults() {
    CTaskList list;
    FillDefaultTaskList(list);
    return list;
}
