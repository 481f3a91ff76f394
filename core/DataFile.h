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
        missing,         // load: there is no such file; the list is unchanged
        unreadable,      // load: the file exists but could not be opened or read (m_error); list unchanged
        tooLarge,        // load: over the size (m_cbFile) or entry (m_nAnnounced) limit; list unchanged
        damaged,         // load: the bytes do not end where the announced records do; the complete records were kept
        saveFailed,      // save: the previous file is unchanged; see m_error
        saveRefused,     // save: Data.dat holds a list that was not read, so it was left alone
        noFolder,        // the local application data folder is unknown; nothing done
        overLimits,      // save: the list (m_nAnnounced entries, m_cbFile bytes) would pass a limit; nothing written
        changedOutside,  // save: Data.dat no longer holds what this store last read or wrote; nothing written
    };
    EResult m_eResult = ok;
    std::u16string m_strPath;       // the file (empty when noFolder)
    platform::SystemError m_error;  // unreadable, saveFailed; damaged with no copy: why
    std::int32_t m_nAnnounced = 0;  // damaged, tooLarge, overLimits: how many entries the file announces
    std::int32_t m_nRead = 0;       // damaged: how many were read completely
    std::uint64_t m_cbFile = 0;     // tooLarge, overLimits: the file's size in bytes
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

// How many bytes list takes in a file.
std::uint64_t StoredBytes(const CTaskList& list);
// Whether a file of list could be read back: neither limit is passed.
bool FitsTheLimits(const CTaskList& list);

// Reads a task list from an open file within the limits above. list is
// replaced on ok and damaged only. The file is whole only when its bytes end
// exactly where the last announced record does: a negative count, a short
// record or bytes after the last record make it damaged. A read error is
// unreadable, never damaged.
CDataFileStatus ReadTaskList(platform::CReadFile& file, CTaskList& list);

// Any task list file (Data.dat, an export): a file held by another program is
// retried for kBusyRetryMilliseconds; the save replaces the file atomically and
// refuses a list that could not be read back (overLimits).
CDataFileStatus LoadTaskListFile(const std::u16string& strPath, CTaskList& list);
CDataFileStatus SaveTaskListFile(const std::u16string& strPath, const CTaskList& list);

// What a file held when it was last read or written: enough to tell that
// another program has written it since.
struct CFileFingerprint {
    bool m_bExists = false;
    std::uint64_t m_cbFile = 0;
    std::uint64_t m_nHash = 0;  // of every byte
    bool operator==(const CFileFingerprint&) const = default;
};

// Data.dat for one owner (the window, one command line run). It remembers
// what it last read or wrote, so a save never replaces a list it did not see:
// one written by another program since, or one it could not read.
class CDataFileStore {
public:
    // strPath: Data.dat's full path; empty when the data folder is unknown.
    explicit CDataFileStore(std::u16string strPath);
    const std::u16string& GetPath() const { return m_strPath; }

    enum class EDamaged { keepCopy, leaveAlone };
    // Reads Data.dat as LoadTaskListFile does. A damaged file is first copied
    // to the first free GetDamagedCopyPath name (keepCopy); until a copy is
    // kept, or while the file is unread or too large, saves are refused.
    CDataFileStatus Load(CTaskList& list, EDamaged eDamaged = EDamaged::keepCopy);
    // Writes list atomically; a failed save leaves the previous file byte for
    // byte. Refused, with nothing written, as CheckSave says.
    CDataFileStatus Save(const CTaskList& list);
    CDataFileStatus LoadSaveDataFile(CTaskList& list, bool bSave) { return bSave ? Save(list) : Load(list); }

    // Whether Save(list) would go ahead now: ok, or the reason it would not
    // (noFolder, saveRefused, overLimits, changedOutside, or saveFailed when
    // Data.dat cannot be opened to be compared).
    CDataFileStatus CheckSave(const CTaskList& list) const;
    // Data.dat no longer holds what this store last read or wrote. False when
    // that cannot be told now (the file is held by another program).
    bool ChangedOutside() const;

    // The user's yes to replacing a damaged Data.dat of which no copy could be
    // kept: lifts the save refusal until the next load.
    void AllowSavingOverDataFile() { m_bUnread = false; }
    // A Data.dat that was not taken (damaged or too large) is copied aside
    // whole, so the next save may replace it. False when no copy could be made
    // (status.m_error says why); status.m_strCopyPath names the copy.
    bool SetAsideUnreadFile(CDataFileStatus& status);

private:
    void CreateDataFolder() const;

    std::u16string m_strPath;
    // What Data.dat held at the last load or save; a store that has seen
    // nothing knows it as missing.
    CFileFingerprint m_known;
    bool m_bUnread = false;
};

// At start: removes the temporary files of saves to Data.dat that were killed.
void RemoveLeftoverSaveFiles();
