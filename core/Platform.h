#pragma once
// The few system services the task list core needs. Implemented once for
// Windows (framework/PlatformWin.cpp) and once for POSIX (core/posix/, used by
// the native tests, benchmarks and fuzzing only).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Archive.h"

namespace platform {

// Why a file operation failed: the system's error code and its own wording.
struct SystemError {
    std::uint32_t m_dwCode = 0;
    std::u16string m_strMessage;
};

enum class SpecialFolder { LocalAppData, ProgramFiles, System, Windows };

// The folder's path without a trailing backslash, as the shell reports it
// (never created). False when the system cannot tell.
bool GetSpecialFolderPath(SpecialFolder folder, std::u16string& strPath);

// The application title (string resource 57344), e.g. "Zembro by Brellow".
std::u16string GetApplicationTitle();

// Creates one folder level; failures (it exists, no access) are ignored.
void CreateFolder(const std::u16string& strPath);

// Opens an existing file for reading, without sharing. Null when it is missing,
// held open by another process or not readable; error then says why.
std::unique_ptr<CArchiveFile> OpenFileForReading(const std::u16string& strPath, SystemError& error);

// Replaces strPath's contents with what write puts into the file it is handed,
// or leaves strPath byte for byte as it was. The bytes go to strTempPath first,
// which is flushed and then moved over strPath. A read-only or locked strPath
// fails before anything is written. write returns false when a write failed. On
// failure the temporary file is removed and error says why.
bool ReplaceFileContents(const std::u16string& strPath, const std::u16string& strTempPath,
                         const std::function<bool(CArchiveFile&)>& write, SystemError& error);

// Copies a file over any existing copy. False on failure.
bool CopyFileOver(const std::u16string& strFrom, const std::u16string& strTo);

}  // namespace platform
