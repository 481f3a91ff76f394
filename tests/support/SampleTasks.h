#pragma once
// The entries the main window's tests and the end-to-end suite store and
// change, the default list, and a damaged Data.dat.
#include "support/Bytes.h"
#include "support/ExpectedDefaults.h"

inline const CJumpListAction kCmd = MakeTask(u"Command", u"A prompt", u"cmd.exe", u"/k ver", u"shell32.dll", 3);
inline const CJumpListAction kPad = MakeTask(u"Notes", u"", u"notepad.exe");
inline const CJumpListAction kWeb = MakeTask(u"Home", u"Maker", u"https://brellow.example/", u"", u"", -1);
inline const CJumpListAction kSep = MakeSeparator();
inline const CTaskList kFour = MakeList({kCmd, kPad, kSep, kWeb});

inline CTaskList Defaults() { return ExpectedDefaultList(); }

// Three entries announced, the third cut short inside its integers.
inline Bytes TwoOfThree() {
    Bytes b;
    AppendInt(b, 3);
    AppendRecord(b, kCmd);
    AppendRecord(b, kPad);
    Bytes third;
    AppendRecord(third, kWeb);
    b.insert(b.end(), third.begin(), third.end() - 6);
    return b;
}
