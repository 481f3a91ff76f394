#pragma once
// Where the task list is stored ("Data.dat" in a per-user data folder) and how
// it is loaded and saved. No byte of a stored list is replaced unless the store
// read it first, or a copy of it was kept, or the user said yes.
#include <cstdint>
#include <string>

#include "core/JumpListAction.h"
#include "core/Platform.h"

// Larger files are refused before any memory is spent on them.
inline constexpr std::uint64_t kMaxTaskListFileBytes = 64ull * 1024 * 1024;
inline constexpr std::int32_t kMaxTaskListEntries = 100000;
// How long a file held by another program is retried before it is reported.
inline constexpr unsigned kBusyRetryMilliseconds = 2000;

// What a load or save did, for the window to report.
struct CDataFileStatus {
    enum EResult {
        ok,
        missing,      // load: there is no such file; the list is unchanged
        unreadable,   // load: the file exists but could not be opened or read (m_error); list unchanged
        tooLarge,     // load: over the size (m_cbFile) or entry (m_nAnnounced) limit; list unchanged
        damaged,      // load: the file ended early; the complete records were kept
        saveFailed,   // save: the previous file is unchanged; see m_error
        saveRefused,  // save: Data.dat holds a list that was not read, so it was left alone
        noFolder,     // the local application data folder is unknown; nothing done
    };
    EResult m_eResult = ok;
    std::u16string m_strPath;       // the file (empty when noFolder)
    platform::SystemError m_error;  // unreadable, saveFailed; damaged with no copy: why
    std::int32_t m_nAnnounced = 0;  // damaged, tooLarge: how many entries the file announces
    std::int32_t m_nRead = 0;       // damaged: how many were read completely
    std::uint64_t m_cbFile = 0;     // tooLarge: the file's size in bytes
    std::u16string m_strCopyPath;   // damaged, Data.dat only: where its copy was kept; empty when none was

    bool Succeeded() const { return m_eResult == ok; }
    // The file is there but its list was not taken (a retry may read it).
    bool LeftUnread() const { return m_eResult == unreadable || m_eResult == tooLarge; }
};

// The full path of Data.dat, e.g. C:\Users\Ann\AppData\Local\Zembro-by-Brellow\Data.dat.
// Creates the data folder (the last level only) when missing. Empty when the
// local application data folder cannot be determined.
std::u16string GetDataFilePath();

// The name of the nth copy of a damaged data file: Data.dat.damaged, then
// Data.dat.damaged-2, -3, ...
std::u16string GetDamagedCopyPath(const std::u16string& strDataFilePath, int nCopy = 1);

// Reads a task list from an open file within the limits above. list is
// replaced on ok and damaged only. A read error is unreadable, never damaged.
CDataFileStatus ReadTaskList(platform::CReadFile& file, CTaskList& list);

// Any task list file (Data.dat, an export): a file held by another program is
// retried for kBusyRetryMilliseconds; the save replaces the file atomically.
CDataFileStatus LoadTaskListFile(const std::u16string& strPath, CTaskList& list);
CDataFileStatus SaveTaskListFile(const std::u16string& strPath, const CTaskList& list);

// bSave: writes list to the data file, atomically; a failed save leaves the
// previous file byte for byte. Refused (saveRefused) while the last load left
// Data.dat unread: unreadable, too large, or damaged with no copy kept.
// Otherwise: loads as LoadTaskListFile; a damaged file is copied first, to the
// first free GetDamagedCopyPath name.
CDataFileStatus LoadSaveDataFile(CTaskList& list, bool bSave);

// The user's yes to replacing a damaged Data.dat of which no copy could be
// kept: lifts the save refusal until the next load.
void AllowSavingOverDataFile();

// At start: removes the temporary files of saves to Data.dat that were killed.
void RemoveLeftoverSaveFiles();
