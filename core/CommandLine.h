#pragma once
// Zembro.exe's switches for scripts and deployment: publish the stored list,
// export it to a file, or import a file as the list. The exit code says what
// happened. A running window is handed publish and import (see the app); this
// is the work when there is none.
#include <string>
#include <vector>

#include "core/JumpListPublisher.h"

struct CCommandLine {
    enum ECommand {
        window,      // no switch: the program's window
        publish,     // /publish
        exportList,  // /export FILE
        importList,  // /import FILE
        help,        // /? or /help: the usage is asked for
        bad,         // anything else: the usage is shown
    };
    ECommand m_eCommand = window;
    std::u16string m_strFile;
};

enum ECommandLineExit {
    kExitDone = 0,
    kExitShellRefused = 1,    // the shell would not begin or commit the Jump List
    kExitListUnreadable = 2,  // Data.dat (or the file to import) is unreadable, damaged or over the limits
    kExitBadCommandLine = 3,
    kExitNotWritten = 4,      // the export file or Data.dat could not be written
    kExitWindowBusy = 5,      // the open window has a dialog or message open; nothing was done
    kExitProgramNotStarted = 6,  // Zembro.com could not start Zembro.exe beside it
};

// What the command line hands a running window (as WM_COPYDATA, tagged
// kWindowCommandTag): publish, or import with the file's full path.
inline constexpr unsigned long kWindowCommandTag = 0x5A4D4252;  // "ZMBR"
std::u16string EncodeWindowCommand(const CCommandLine& commandLine);
// bad for anything EncodeWindowCommand does not make.
CCommandLine DecodeWindowCommand(const std::u16string& strData);

// args: the words after the program's name. Switches are case-insensitive,
// and "-" works like "/".
CCommandLine ParseCommandLine(const std::vector<std::u16string>& args);

// The exit code a publication ends with: a save refused or failed says most
// (2 past the limits, else 4), then the shell's refusal (1).
int ExitCodeOf(const CPublishResult& result);

// How a run ended: the exit code, and the file's status that decided a
// failure (empty path when the shell decided it).
struct CCommandLineResult {
    int m_nExit = kExitDone;
    CDataFileStatus m_status;
};

// Carries out publish, exportList or importList on Data.dat through store.
// A stored list that cannot be taken whole is never written over: /import
// keeps a copy of a damaged or too-large Data.dat first, saves, then
// publishes; /publish and /export write nothing when they exit 2.
CCommandLineResult RunCommandLine(const CCommandLine& commandLine, IJumpListEnvironment& env, CDataFileStore& store);
