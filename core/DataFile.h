#pragma once
// Where the task list is stored ("Data.dat" in a per-user data folder) and how
// it is loaded and saved. Nothing is held between calls.
#include <cstdint>
#include <string>

#include "core/JumpListAction.h"
#include "core/Platform.h"

// What a load or save did, for the window to report. A missing or unreadable
// file on load is no failure worth a word (Unavailable); the rest is.
struct CDataFileStatus {
    enum EResult {
        ok,
        unavailable,  // load: the file could not be opened; the list is unchanged
        damaged,      // load: the file ended early; the complete records were kept
        saveFailed,   // save: the previous file is unchanged; see m_error
        noFolder,     // the local application data folder is unknown; nothing done
    };
    EResult m_eResult = ok;
    std::u16string m_strPath;      // the data file (empty when noFolder)
    platform::SystemError m_error; // saveFailed: the system's reason
    std::int32_t m_nAnnounced = 0; // damaged: how many entries the file announces
    std::int32_t m_nRead = 0;      // damaged: how many were read completely

    bool Succeeded() const { return m_eResult == ok; }
};

// The full path of Data.dat, e.g. C:\Users\Ann\AppData\Local\Zembro-by-Brellow\Data.dat.
// Creates the data folder (the last level only) when missing. Empty when the
// local application data folder cannot be determined.
std::u16string GetDataFilePath();

// The copy of a damaged data file kept next to it.
std::u16string GetDamagedCopyPath(const std::u16string& strDataFilePath);

// bSave: writes list to the data file, atomically; a failed save leaves the
// previous file byte for byte. Otherwise: replaces list with the file's records;
// a file that cannot be opened leaves list unchanged; a damaged file leaves the
// complete records in list and is copied to Data.dat.damaged first.
CDataFileStatus LoadSaveDataFile(CTaskList& list, bool bSave);
