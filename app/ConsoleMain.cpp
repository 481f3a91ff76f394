// Zembro.com's entry point: the console companion that a prompt finds before
// Zembro.exe. It prints the usage itself and hands every switch to Zembro.exe
// beside it, with its own standard handles, and waits for it: the shell ties
// a Jump List to the program that publishes it, so only Zembro.exe may.
#include <windows.h>

#include <string>

#include "app/CommandLineOutput.h"
#include "app/DllSearch.h"
#include "framework/App.h"
#include "res/resource.h"
#include "core/CommandLine.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"

namespace {

// The full path of this program's folder's Zembro.exe; empty when the
// system cannot tell where this program is.
std::wstring ProgramBeside() {
    std::wstring strPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD cch = ::GetModuleFileNameW(nullptr, strPath.data(), static_cast<DWORD>(strPath.size()));
        if (cch == 0) return {};
        // A path cut to the buffer's size fills it: try a bigger one.
        if (cch < strPath.size()) {
            strPath.resize(cch);
            break;
        }
        strPath.resize(strPath.size() * 2);
    }
    return strPath.substr(0, strPath.find_last_of(L'\\') + 1) + L"Zembro.exe";
}

// A copy of this process's standard handle that the child inherits; the
// handle itself (null, or not one) when there is nothing to copy.
HANDLE InheritableStdHandle(DWORD nStdHandle, UniqueKernelHandle& owner) {
    const HANDLE hStd = ::GetStdHandle(nStdHandle);
    if (!hStd || hStd == INVALID_HANDLE_VALUE) return hStd;
    HANDLE hCopy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), hStd, ::GetCurrentProcess(), &hCopy, 0, TRUE,
                           DUPLICATE_SAME_ACCESS))
        return hStd;
    owner.reset(hCopy);
    return hCopy;
}

// Starts Zembro.exe with this program's arguments. bWait: with this
// program's standard handles, until it ends, and its exit code is this
// one's. Otherwise (the window) at once, with 0.
int RunProgramBeside(bool bWait) {
    const std::wstring strProgram = ProgramBeside();
    // CreateProcessW may write into the command line it is given.
    std::wstring strCommand = L"\"" + strProgram + L"\"";
    const std::wstring strTail = CommandLineTail();
    if (!strTail.empty()) strCommand += L" " + strTail;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    UniqueKernelHandle input, output, error;
    if (bWait) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = InheritableStdHandle(STD_INPUT_HANDLE, input);
        startup.hStdOutput = InheritableStdHandle(STD_OUTPUT_HANDLE, output);
        startup.hStdError = InheritableStdHandle(STD_ERROR_HANDLE, error);
    }
    PROCESS_INFORMATION info{};
    if (strProgram.empty() || !::CreateProcessW(strProgram.c_str(), strCommand.data(), nullptr, nullptr,
                                                bWait ? TRUE : FALSE, 0, nullptr, nullptr, &startup, &info)) {
        const DWORD dwError = ::GetLastError();
        WriteStdText(STD_ERROR_HANDLE,
                     AfxFormatText(IDS_CONSOLE_PROGRAM_NOT_STARTED, {strProgram, AfxSystemMessage(dwError)}));
        return kExitProgramNotStarted;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    if (!bWait) return kExitDone;
    // Zembro.exe bounds its own waits (a held Data.dat, a hung window).
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD dwExit = kExitProgramNotStarted;
    ::GetExitCodeProcess(process.get(), &dwExit);
    return static_cast<int>(dwExit);
}

}  // namespace

int wmain() {
    RestrictDllSearchToSystemFolder();
    const CCommandLine commandLine = ParseCommandLine(CommandLineArguments());
    switch (commandLine.m_eCommand) {
    case CCommandLine::help: WriteStdText(STD_OUTPUT_HANDLE, AfxLoadText(IDS_COMMAND_LINE_USAGE)); return kExitDone;
    case CCommandLine::bad:
        WriteStdText(STD_ERROR_HANDLE, AfxLoadText(IDS_COMMAND_LINE_USAGE));
        return kExitBadCommandLine;
    case CCommandLine::window: return RunProgramBeside(false);
    default: return RunProgramBeside(true);
    }
}
