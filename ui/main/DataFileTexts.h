#pragma once
// What the user reads when a list file could not be read or written, and what
// the command line prints: one builder per message, used by the window's
// message boxes and by the command line's output alike, so that both say the
// same words. Each takes the status that decided the failure.
#include <string>

#include "core/CommandLine.h"
#include "core/DataFile.h"

// The last part of a path: "Data.dat" for ...\Zembro-by-Brellow\Data.dat.
std::wstring FileNameOfPath(const std::u16string& strPath);

// A failed or refused save of Data.dat: the file, and the reason (the
// system's, the limit, another program's change, an unread file).
std::wstring SaveFailureText(const CDataFileStatus& status);
// Data.dat was not read (unreadable or over the limits): the file and why.
std::wstring DataFileNotReadText(const CDataFileStatus& status);
// The window's Retry / Cancel question after DataFileNotReadText.
std::wstring UnreadDataFileText(const CDataFileStatus& status);
// Data.dat is damaged: how many entries could be read. No word of a copy.
std::wstring DamagedDataFileText(const CDataFileStatus& status);
// The window's message for a damaged Data.dat: DamagedDataFileText and where
// its copy was kept, or, when none could be, why and whether to replace it.
std::wstring DamagedDataFileReportText(const CDataFileStatus& status);
// An import file that was not read whole; the list was not changed.
std::wstring ImportRefusedText(const CDataFileStatus& status);
// The export to strPath failed; status.m_error says why when it can.
std::wstring ExportFailedText(const std::u16string& strPath, const CDataFileStatus& status);

// The command line's own lines, for a run that ended with this exit code
// where no file's status tells more (a command handed to the open window,
// a refusal the shell gave no words for).
std::wstring CommandLineExitText(int nExit);
// The one line that tells a script the command was done.
std::wstring CommandLineDoneText(const CCommandLine& commandLine);
