#pragma once
// What a command line run tells its caller besides the exit code: one line on
// standard output when it was done, the program's message on standard error
// when it was not. Zembro.com gives Zembro.exe its own standard handles, so
// the lines reach the prompt; a Zembro.exe with none (started from Explorer or
// a shortcut) writes nothing and still shows nothing.
#include <windows.h>

#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/JumpListPublisher.h"

// The words after the program's name, as the C runtime would split them.
std::vector<std::u16string> CommandLineArguments();
// The program's own command line without its name: what it was given, as typed.
std::wstring CommandLineTail();

// Writes strText and a line end to STD_OUTPUT_HANDLE or STD_ERROR_HANDLE: to a
// console as text, to a file or pipe as UTF-8 with CR LF line ends. Nothing
// when the handle is missing.
void WriteStdText(DWORD nStdHandle, const std::wstring& strText);

// The publisher with the shell's Jump List, its refusals written to standard
// error (the words it would put in a message box).
class CConsoleEnvironment : public IJumpListEnvironment {
public:
    std::unique_ptr<IJumpList> CreateJumpList() override;
    void ShowError(const CPublishError& error) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    bool ShowedError() const { return m_bShowedError; }

private:
    bool m_bShowedError = false;
};

// The message for a run that failed: the one the window would show for the
// status that decided it, or, with no status (a command the open window
// carried out), what the exit code means.
std::wstring CommandLineFailureText(const CCommandLine& commandLine, const CCommandLineResult& result);

// Writes what the run ended with: the done line, or the failure's message
// unless the publisher has already told it (bErrorShown).
void ReportCommandLineResult(const CCommandLine& commandLine, const CCommandLineResult& result, bool bErrorShown);
