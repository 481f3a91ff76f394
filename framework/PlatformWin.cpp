// The task list core's system services, on Windows.
#include <windows.h>
#include <shlobj.h>

#include "core/Platform.h"
#include "framework/UniqueHandle.h"
#include "framework/WinText.h"

namespace platform {
namespace {

constexpr UINT kIdsApplicationTitle = 57344;

SystemError ErrorFrom(DWORD dwCode) {
    SystemError error;
    error.m_dwCode = dwCode;
    wchar_t* pszMessage = nullptr;
    const DWORD cch = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, dwCode, 0, reinterpret_cast<wchar_t*>(&pszMessage), 0, nullptr);
    if (cch && pszMessage) {
        std::u16string text = as_u16(pszMessage, cch);
        while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
        error.m_strMessage = text;
    } else {
        error.m_strMessage = u"System error " + as_u16(std::to_wstring(dwCode));
    }
    LocalFree(pszMessage);
    return error;
}


}  // namespace

bool GetSpecialFolderPath(SpecialFolder folder, std::u16string& strPath) {
    int csidl = CSIDL_LOCAL_APPDATA;
    switch (folder) {
    case SpecialFolder::LocalAppData: csidl = CSIDL_LOCAL_APPDATA; break;
    case SpecialFolder::ProgramFiles: csidl = CSIDL_PROGRAM_FILES; break;
    case SpecialFolder::System: csidl = CSIDL_SYSTEM; break;
    case SpecialFolder::Windows: csidl = CSIDL_WINDOWS; break;
    }
    wchar_t szPath[MAX_PATH] = {};
    // Never create the folder here; a path is only trusted when the call says so.
    if (!SHGetSpecialFolderPathW(nullptr, szPath, csidl, FALSE) || !szPath[0]) return false;
    strPath = as_u16(szPath);
    return true;
}

std::u16string GetApplicationTitle() {
    const wchar_t* pszTitle = nullptr;
    // Length 0 hands back a pointer into the resource itself, with no terminator.
    const int cch = LoadStringW(GetModuleHandleW(nullptr), kIdsApplicationTitle, reinterpret_cast<LPWSTR>(&pszTitle), 0);
    return cch > 0 ? as_u16(pszTitle, static_cast<size_t>(cch)) : std::u16string();
}

void CreateFolder(const std::u16string& strPath) { CreateDirectoryW(as_wcstr(strPath), nullptr); }

ReadResult ReadWholeFile(const std::u16string& strPath, std::vector<std::uint8_t>& bytes, SystemError& error) {
    // No sharing: while another process holds the file, the load does nothing.
    UniqueFileHandle file(CreateFileW(as_wcstr(strPath), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        error = ErrorFrom(GetLastError());
        return ReadResult::Unavailable;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        error = ErrorFrom(size.QuadPart > 0x7FFFFFFF ? ERROR_FILE_TOO_LARGE : GetLastError());
        return ReadResult::Unavailable;
    }
    std::vector<std::uint8_t> data(static_cast<size_t>(size.QuadPart));
    DWORD cbTotal = 0;
    while (cbTotal < data.size()) {
        DWORD cbRead = 0;
        if (!ReadFile(file.get(), data.data() + cbTotal, static_cast<DWORD>(data.size() - cbTotal), &cbRead, nullptr)) {
            error = ErrorFrom(GetLastError());
            return ReadResult::Unavailable;
        }
        if (cbRead == 0) break;  // the file shrank under us: keep what is there
        cbTotal += cbRead;
    }
    data.resize(cbTotal);
    bytes.swap(data);
    return ReadResult::Ok;
}

bool ReplaceFileContents(const std::u16string& strPath, const std::u16string& strTempPath,
                         const std::vector<std::uint8_t>& bytes, SystemError& error) {
    // A read-only or locked data file is left alone: check before writing anything.
    // The attribute is checked by itself too, since an administrator's open may pass.
    const DWORD dwAttributes = GetFileAttributesW(as_wcstr(strPath));
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
        error = ErrorFrom(ERROR_ACCESS_DENIED);
        return false;
    }
    {
        UniqueFileHandle target(CreateFileW(as_wcstr(strPath), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target.valid() && GetLastError() != ERROR_FILE_NOT_FOUND) {
            error = ErrorFrom(GetLastError());
            return false;
        }
    }
    UniqueFileHandle temp(CreateFileW(as_wcstr(strTempPath), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!temp.valid()) {
        error = ErrorFrom(GetLastError());
        return false;
    }
    DWORD cbTotal = 0;
    bool ok = true;
    while (ok && cbTotal < bytes.size()) {
        DWORD cbWritten = 0;
        ok = WriteFile(temp.get(), bytes.data() + cbTotal, static_cast<DWORD>(bytes.size() - cbTotal), &cbWritten,
                       nullptr) &&
             cbWritten > 0;
        cbTotal += cbWritten;
    }
    // Flush before the rename, so that a crash cannot leave a renamed empty file.
    ok = ok && FlushFileBuffers(temp.get());
    if (!ok) error = ErrorFrom(GetLastError());
    if (!::CloseHandle(temp.release()) && ok) {
        error = ErrorFrom(GetLastError());
        ok = false;
    }
    if (ok && !MoveFileExW(as_wcstr(strTempPath), as_wcstr(strPath), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ErrorFrom(GetLastError());
        ok = false;
    }
    if (!ok) DeleteFileW(as_wcstr(strTempPath));
    return ok;
}

bool CopyFileOver(const std::u16string& strFrom, const std::u16string& strTo) {
    return CopyFileW(as_wcstr(strFrom), as_wcstr(strTo), FALSE) != FALSE;
}

}  // namespace platform
