// The task list core's system services, on Windows.
#include <windows.h>
#include <shlobj.h>

#include "core/Platform.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"

namespace platform {
namespace {

// The application title's string id, the one the framework and every program
// built on it use (MFC's AFX_IDS_APP_TITLE).
constexpr UINT kApplicationTitleId = 0xE000;


SystemError ErrorFrom(DWORD dwCode) {
    SystemError error;
    error.m_dwCode = dwCode;
    switch (dwCode) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: error.m_eKind = SystemError::EKind::notFound; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: error.m_eKind = SystemError::EKind::busy; break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: error.m_eKind = SystemError::EKind::exists; break;
    default: break;
    }
    wchar_t* pszMessage = nullptr;
    const DWORD cch = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, dwCode, 0, reinterpret_cast<wchar_t*>(&pszMessage), 0, nullptr);
    const UniqueLocalMem<wchar_t> message(pszMessage);
    if (cch && message) {
        std::u16string text = as_u16(message.get(), cch);
        while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
        error.m_strMessage = text;
    } else {
        error.m_strMessage = u"System error " + as_u16(std::to_wstring(dwCode));
    }
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
    const int cch = LoadStringW(GetModuleHandleW(nullptr), kApplicationTitleId, reinterpret_cast<LPWSTR>(&pszTitle), 0);
    return cch > 0 ? as_u16(pszTitle, static_cast<size_t>(cch)) : std::u16string();
}

void CreateFolder(const std::u16string& strPath) { CreateDirectoryW(as_wcstr(strPath), nullptr); }

namespace {

class CWinFile : public CReadFile {
public:
    explicit CWinFile(HANDLE h) : m_file(h) {}
    std::size_t Read(std::uint8_t* p, std::size_t cb) override {
        DWORD cbRead = 0;
        if (!ReadFile(m_file.get(), p, static_cast<DWORD>(cb > 0x40000000 ? 0x40000000 : cb), &cbRead, nullptr))
            throw CFileException(ErrorFrom(GetLastError()));
        return cbRead;
    }
    bool Write(const std::uint8_t* p, std::size_t cb) override {
        while (cb > 0) {
            DWORD cbWritten = 0;
            const DWORD cbChunk = static_cast<DWORD>(cb > 0x40000000 ? 0x40000000 : cb);
            if (!WriteFile(m_file.get(), p, cbChunk, &cbWritten, nullptr) || cbWritten == 0) {
                m_dwError = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
                return false;
            }
            p += cbWritten;
            cb -= cbWritten;
        }
        return true;
    }
    std::uint64_t GetLength() const override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(m_file.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }
    HANDLE Handle() const { return m_file.get(); }
    // Closes the file now; false when the system could not finish writing it.
    bool Close() { return CloseHandle(m_file.release()) != FALSE; }
    DWORD m_dwError = 0;

private:
    UniqueKernelHandle m_file;
};

LONG s_nTempFiles = 0;

// Creates strPath.~<process>-<n>.tmp exclusively, so no two saves share a file.
HANDLE CreateTempFileFor(const std::u16string& strPath, std::u16string& strTempPath) {
    for (int nTry = 0; nTry < 100; ++nTry) {
        const std::wstring suffix = L".~" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(InterlockedIncrement(&s_nTempFiles)) + L".tmp";
        strTempPath = strPath + as_u16(suffix);
        HANDLE h = CreateFileW(as_wcstr(strTempPath), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::unique_ptr<CReadFile> OpenFileForReading(const std::u16string& strPath, SystemError& error) {
    // No sharing: while another process holds the file, the load does nothing.
    HANDLE h = CreateFileW(as_wcstr(strPath), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = ErrorFrom(GetLastError());
        return nullptr;
    }
    return std::make_unique<CWinFile>(h);
}

bool ReplaceFileContents(const std::u16string& strPath, EReplace eReplace,
                         const std::function<bool(CArchiveFile&)>& write, SystemError& error) {
    if (eReplace == EReplace::replaceExisting) {
        // A read-only or locked file is left alone: check before writing anything.
        // The attribute is checked by itself too, since an administrator's open may pass.
        const DWORD dwAttributes = GetFileAttributesW(as_wcstr(strPath));
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
            error = ErrorFrom(ERROR_ACCESS_DENIED);
            return false;
        }
        UniqueKernelHandle target(CreateFileW(as_wcstr(strPath), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target.valid() && GetLastError() != ERROR_FILE_NOT_FOUND) {
            error = ErrorFrom(GetLastError());
            return false;
        }
    }
    std::u16string strTempPath;
    HANDLE hTemp = CreateTempFileFor(strPath, strTempPath);
    if (hTemp == INVALID_HANDLE_VALUE) {
        error = ErrorFrom(GetLastError());
        return false;
    }
    CWinFile temp(hTemp);
    bool ok = write(temp);
    if (!ok) error = ErrorFrom(temp.m_dwError ? temp.m_dwError : ERROR_WRITE_FAULT);
    // Flush before the rename, so that a crash cannot leave a renamed, unwritten file.
    if (ok && !FlushFileBuffers(temp.Handle())) {
        error = ErrorFrom(GetLastError());
        ok = false;
    }
    if (!temp.Close() && ok) {
        error = ErrorFrom(GetLastError());
        ok = false;
    }
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
    const DWORD dwMove = MOVEFILE_WRITE_THROUGH | (eReplace == EReplace::replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (ok && !MoveFileExW(as_wcstr(strTempPath), as_wcstr(strPath), dwMove)) {
        error = ErrorFrom(GetLastError());
        ok = false;
    }
    if (!ok) DeleteFileW(as_wcstr(strTempPath));
    return ok;
}

void RemoveLeftoverTempFiles(const std::u16string& strPath) {
    DeleteFileW(as_wcstr(strPath + u".tmp"));
    const std::u16string strFolder = strPath.substr(0, strPath.find_last_of(u'\\') + 1);
    const std::u16string strName = strPath.substr(strFolder.size());
    WIN32_FIND_DATAW found{};
    const UniqueFindFile find(FindFirstFileW(as_wcstr(strPath + u".~*.tmp"), &found));
    if (!find) return;
    do {
        // Short names may match the pattern too: check the long one. A save
        // still running holds its file without sharing, so it is not deleted.
        const std::u16string strFound = as_u16(found.cFileName);
        if (strFound.size() > strName.size() + 6 && strFound.compare(0, strName.size() + 2, strName + u".~") == 0 &&
            strFound.compare(strFound.size() - 4, 4, u".tmp") == 0)
            DeleteFileW(as_wcstr(strFolder + strFound));
    } while (FindNextFileW(find.get(), &found));
}

}  // namespace platform
