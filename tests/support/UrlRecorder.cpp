// Stands in for the browser in a test prefix: registered as the program that
// opens http and https addresses, it appends each address it is given, with
// the show command it was started with, to
// %LOCALAPPDATA%\ZembroUrlRecorder\opened.txt as a UTF-8 line "SHOW<TAB>URL".
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* psz) {
    const int cb = WideCharToMultiByte(CP_UTF8, 0, psz, -1, nullptr, 0, nullptr, nullptr);
    if (cb <= 1) return {};
    std::string text(static_cast<size_t>(cb - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, psz, -1, text.data(), cb, nullptr, nullptr);
    return text;
}

// Two addresses opened at once start two recorders: the one that finds the
// file open waits for the other instead of losing its line.
bool AppendLine(const std::wstring& path, const std::string& line) {
    for (int nAttempt = 0; nAttempt < 200; ++nAttempt) {
        HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
            Sleep(10);
            continue;
        }
        DWORD cb = 0;
        const BOOL bWritten = WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &cb, nullptr);
        CloseHandle(h);
        return bWritten && cb == line.size();
    }
    return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int nArgs = 0;
    LPWSTR* ppszArgs = CommandLineToArgvW(GetCommandLineW(), &nArgs);
    if (!ppszArgs) return 1;
    if (nArgs < 2) {
        LocalFree(ppszArgs);
        return 2;
    }

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    const int nShow = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;

    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    std::wstring folder = std::wstring(szFolder) + L"\\ZembroUrlRecorder";
    CreateDirectoryW(folder.c_str(), nullptr);

    std::string line = std::to_string(nShow) + "\t" + Utf8(ppszArgs[1]);
    for (int i = 2; i < nArgs; ++i) line += " " + Utf8(ppszArgs[i]);
    line += "\n";
    LocalFree(ppszArgs);
    return AppendLine(folder + L"\\opened.txt", line) ? 0 : 3;
}
