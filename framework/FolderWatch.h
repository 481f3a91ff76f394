#pragma once
// Tells when something in one folder changes (a file named, renamed, deleted,
// resized or written), through a handle a dialog's loop waits for
// (CDialog::AddWaitHandle): no timer, no thread.
#include <windows.h>

#include <string>

#include "win/UniqueHandle.h"

class CFolderWatch {
public:
    // False when the folder cannot be watched (the handle is then null).
    bool Start(const std::wstring& strFolder);
    HANDLE GetHandle() const { return m_hChange.valid() ? m_hChange.get() : nullptr; }
    // After the handle was signalled: armed for the next change first, so a
    // change made while this one is looked at is not missed. False when the
    // watch has ended.
    bool Rearm();

private:
    UniqueChangeNotification m_hChange;
};
