#include "framework/FolderWatch.h"

bool CFolderWatch::Start(const std::wstring& strFolder) {
    m_hChange.reset(::FindFirstChangeNotificationW(
        strFolder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
    return m_hChange.valid();
}

bool CFolderWatch::Rearm() {
    if (m_hChange.valid() && ::FindNextChangeNotification(m_hChange.get())) return true;
    m_hChange.reset();
    return false;
}
