#pragma once
// The few system services the task list core needs. Implemented once for
// Windows (core/win/PlatformWin.cpp) and once for POSIX (core/posix/, used by
// the native tests, benchmarks and fuzzing only).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Archive.h"
#include "core/Exceptions.h"

namespace platform {

enum class SpecialFolder { LocalAppData, ProgramFiles, System, Windows };

// The folder's path without a trailing backslash, as the shell reports it
// (never created). False when the system cannot tell.
bool GetSpecialFolderPath(SpecialFolder folder, std::u16string& strPath);

// The application title (string resource IDS_APPLICATION_TITLE of the program),
// e.g. "Zembro by Brellow"; empty when the program has none.
std::u16string GetApplicationTitle();

// Creates one folder level; failures (it exists, no access) are ignored.
void CreateFolder(const std::u16string& strPath);

// An open file being read: the archive's bytes, and how many there are.
class CReadFile : public CArchiveFile {
public:
    virtual std::uint64_t GetLength() const = 0;
    // Reading only: a write is refused.
    bool Write(const std::uint8_t*, std::size_t) override { return false; }
};

// Opens an existing file for reading, without sharing. Null when it is
// missing (error's kind notFound), held open by another process (busy) or not
// readable; error then says why.
std::unique_ptr<CReadFile> OpenFileForReading(const std::u16string& strPath, SystemError& error);

enum class EReplace { replaceExisting, keepExisting };

// Replaces strPath's contents with what write puts into the file it is handed,
// or leaves strPath byte for byte as it was. The bytes go to a temporary file
// of a name no other save uses (strPath + ".~<unique>.tmp", created
// exclusively), which is flushed and then moved over strPath. A read-only or
// locked strPath fails before anything is written; with keepExisting an
// existing strPath fails (kind exists). write returns false when a write
// failed. On failure the temporary file is removed and error says why.
bool ReplaceFileContents(const std::u16string& strPath, EReplace eReplace,
                         const std::function<bool(CArchiveFile&)>& write, SystemError& error);

// Deletes the temporary files that saves to strPath left when they were killed
// (and the fixed "strPath.tmp" of earlier versions). A file a running save
// still holds open is left alone.
void RemoveLeftoverTempFiles(const std::u16string& strPath);

}  // namespace platform
