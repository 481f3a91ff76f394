#include "ui/main/DataFileMessages.h"

#include <string>

#include "framework/Dialog.h"
#include "ui/main/DataFileTexts.h"

void CDataFileMessages::SaveFailed(const CDataFileStatus& status) {
    if (m_bSaveFailureReported || m_bQuiet) return;
    m_bSaveFailureReported = true;
    m_owner.MessageBox(SaveFailureText(status).c_str(), nullptr, MB_OK | MB_ICONERROR);
}

bool CDataFileMessages::AskRetryUnread(const CDataFileStatus& status) {
    return m_owner.MessageBox(UnreadDataFileText(status).c_str(), nullptr, MB_RETRYCANCEL | MB_ICONWARNING) ==
           IDRETRY;
}

bool CDataFileMessages::Damaged(const CDataFileStatus& status, CDataFileStore& store) {
    if (m_bDamageReported) return true;
    m_bDamageReported = true;
    const std::wstring strText = DamagedDataFileReportText(status);
    if (!status.m_strCopyPath.empty()) {
        m_owner.MessageBox(strText.c_str(), nullptr, MB_OK | MB_ICONWARNING);
        return true;
    }
    if (m_owner.MessageBox(strText.c_str(), nullptr, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return false;
    store.AllowSavingOverDataFile();
    return true;
}
