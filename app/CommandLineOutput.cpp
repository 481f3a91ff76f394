#include "app/CommandLineOutput.h"

#include <shellapi.h>

#include "win/UniqueHandle.h"
#include "win/WinText.h"
#include "ui/main/DataFileTexts.h"
#include "framework/JumpListEnvironment.h"

namespace {

// A handle to a console that this process is not attached to (Zembro.exe, a
// windowed program, handed Zembro.com's console) takes no console calls:
// attach to the parent's console, which is that one.
bool IsConsole(HANDLE hOut) {
    DWORD dwMode = 0;
    if (::GetConsoleMode(hOut, &dwMode)) return true;
    if (::GetFileType(hOut) != FILE_TYPE_CHAR) return false;
    return ::AttachConsole(ATTACH_PARENT_PROCESS) && ::GetConsoleMode(hOut, &dwMode);
}

std::string Utf8(const std::wstring& strText) {
    if (strText.empty()) return {};
    const int cb = ::WideCharToMultiByte(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(cb > 0 ? cb : 0), '\0');
    if (cb > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, strText.data(), static_cast<int>(strText.size()), bytes.data(), cb, nullptr,
                              nullptr);
    return bytes;
}

}  // namespace

std::vector<std::u16string> CommandLineArguments() {
    std::vector<std::u16string> args;
    int nArgs = 0;
    const UniqueLocalMem<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &nArgs));
    if (!argv) return args;
    for (int i = 1; i < nArgs; ++i) args.push_back(as_u16(argv.get()[i]));
    return args;
}

std::wstring CommandLineTail() {
    // The program's name ends at its closing quote, or at the first blank:
    // no escapes count there, as CommandLineToArgvW reads it.
    const wchar_t* p = ::GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

void WriteStdText(DWORD nStdHandle, const std::wstring& strText) {
    const HANDLE hOut = ::GetStdHandle(nStdHandle);
    if (!hOut || hOut == INVALID_HANDLE_VALUE) return;
    if (IsConsole(hOut)) {
        const std::wstring strLine = strText + L"\n";
        DWORD cchWritten = 0;
        ::WriteConsoleW(hOut, strLine.data(), static_cast<DWORD>(strLine.size()), &cchWritten, nullptr);
        return;
    }
    // Files and pipes get what other Windows tools write there.
    std::wstring strLines;
    for (const wchar_t ch : strText) {
        if (ch == L'\n') strLines += L'\r';
        strLines += ch;
    }
    const std::string bytes = Utf8(strLines + L"\r\n");
    DWORD cbWritten = 0;
    ::WriteFile(hOut, bytes.data(), static_cast<DWORD>(bytes.size()), &cbWritten, nullptr);
}

std::unique_ptr<IJumpList> CConsoleEnvironment::CreateJumpList() { return CreateShellJumpList(); }

void CConsoleEnvironment::ShowError(const CPublishError& error) {
    m_bShowedError = true;
    WriteStdText(STD_ERROR_HANDLE, PublishErrorText(error));
}

std::wstring CommandLineFailureText(const CCommandLine& commandLine, const CCommandLineResult& result) {
    const CDataFileStatus& status = result.m_status;
    if (status.m_eResult == CDataFileStatus::ok) return CommandLineExitText(result.m_nExit);
    if (commandLine.m_eCommand == CCommandLine::exportList && result.m_nExit == kExitNotWritten)
        return ExportFailedText(commandLine.m_strFile, status);
    // The file to import, not Data.dat, was not taken (a list over the limits
    // is refused by the save, and said as the window says it).
    if (commandLine.m_eCommand == CCommandLine::importList && result.m_nExit == kExitListUnreadable &&
        status.m_eResult != CDataFileStatus::overLimits)
        return ImportRefusedText(status);
    switch (status.m_eResult) {
    case CDataFileStatus::missing:
    case CDataFileStatus::unreadable:
    case CDataFileStatus::tooLarge: return DataFileNotReadText(status);
    case CDataFileStatus::damaged: return DamagedDataFileText(status);
    default: return SaveFailureText(status);
    }
}

void ReportCommandLineResult(const CCommandLine& commandLine, const CCommandLineResult& result, bool bErrorShown) {
    if (result.m_nExit == kExitDone) {
        WriteStdText(STD_OUTPUT_HANDLE, CommandLineDoneText(commandLine));
        return;
    }
    if (result.m_nExit == kExitShellRefused && bErrorShown) return;
    WriteStdText(STD_ERROR_HANDLE, CommandLineFailureText(commandLine, result));
}
