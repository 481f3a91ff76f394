#pragma once
// The main window's message boxes about Data.dat, each told only as often as
// it helps: a failed save once per command, a damaged file once until a whole
// one is read or another program writes it, and none while a command handed
// over from the command line runs (its exit code tells instead).
#include <windows.h>

#include "core/DataFile.h"

class CDialog;

class CDataFileMessages {
public:
    explicit CDataFileMessages(CDialog& owner) : m_owner(owner) {}

    // A new command: its first failed save is told.
    void BeginCommand() { m_bSaveFailureReported = false; }
    void SaveFailed(const CDataFileStatus& status);
    // Retry (true) or Cancel for a Data.dat that is there but was not read.
    bool AskRetryUnread(const CDataFileStatus& status);
    // When no copy could be kept the user is asked first; false when the
    // answer is to leave the file alone. Then saves over it are allowed.
    bool Damaged(const CDataFileStatus& status, CDataFileStore& store);
    // A whole file was read, or another program wrote one: a damaged file is news again.
    void ForgetDamage() { m_bDamageReported = false; }

    // While true, nothing is shown.
    bool m_bQuiet = false;

private:
    CDialog& m_owner;
    bool m_bSaveFailureReported = false;
    bool m_bDamageReported = false;
};
