#include "ui/main/DataFileTexts.h"

#include "win/WinText.h"

namespace {

std::wstring Quoted(const std::u16string& strPath) { return L"\"" + std::wstring(as_wcstr(strPath)) + L"\""; }

}  // namespace

std::wstring FileNameOfPath(const std::u16string& strPath) {
    const size_t nSlash = strPath.find_last_of(u'\\');
    return as_wcstr(nSlash == std::u16string::npos ? strPath : strPath.substr(nSlash + 1));
}

std::wstring SaveFailureText(const CDataFileStatus& status) {
    std::wstring strText;
    if (status.m_eResult == CDataFileStatus::changedOutside) {
        strText = FileNameOfPath(status.m_strPath) +
                  L" was changed by another program. The list now shows what it holds; your change was not made.";
    } else if (status.m_eResult == CDataFileStatus::overLimits) {
        strText = L"The change was not made: the list would ";
        strText += status.m_nAnnounced > kMaxTaskListEntries
                       ? L"have " + std::to_wstring(status.m_nAnnounced) + L" entries, and the limit is " +
                             std::to_wstring(kMaxTaskListEntries) + L"."
                       : L"take " + std::to_wstring(status.m_cbFile) + L" bytes, and the limit is " +
                             std::to_wstring(kMaxTaskListFileBytes) + L" bytes.";
    } else if (status.m_eResult == CDataFileStatus::saveRefused) {
        strText = L"The Jump List was not saved to \"" + std::wstring(as_wcstr(status.m_strPath)) +
                  L"\": the list that file holds has not been read, and saving would replace it.";
    } else if (status.m_strPath.empty()) {
        strText = L"The Jump List could not be saved: the folder for local application data could not be found.";
    } else {
        strText = L"The Jump List could not be saved to \"" + std::wstring(as_wcstr(status.m_strPath)) + L"\".";
        if (!status.m_error.m_strMessage.empty())
            strText += L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
    }
    return strText;
}

std::wstring DataFileNotReadText(const CDataFileStatus& status) {
    const std::wstring strPath = as_wcstr(status.m_strPath);
    std::wstring strText;
    if (status.m_eResult == CDataFileStatus::tooLarge) {
        strText = L"The Jump List in \"" + strPath + L"\" is too large to be read: ";
        if (status.m_cbFile > kMaxTaskListFileBytes)
            strText += L"the file holds " + std::to_wstring(status.m_cbFile) + L" bytes, and the limit is " +
                       std::to_wstring(kMaxTaskListFileBytes) + L" bytes.";
        else
            strText += L"it announces " + std::to_wstring(status.m_nAnnounced) + L" entries, and the limit is " +
                       std::to_wstring(kMaxTaskListEntries) + L".";
    } else {
        strText = L"The Jump List could not be read from \"" + strPath + L"\".";
        if (!status.m_error.m_strMessage.empty())
            strText += L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
    }
    return strText;
}

std::wstring UnreadDataFileText(const CDataFileStatus& status) {
    return DataFileNotReadText(status) +
           L"\n\nNothing is saved over the file until it has been read. Choose Retry to read it again, or "
           L"Cancel to close without changing anything.";
}

std::wstring DamagedDataFileText(const CDataFileStatus& status) {
    std::wstring strText = FileNameOfPath(status.m_strPath) + L" is damaged: ";
    if (status.m_nAnnounced > status.m_nRead)
        strText += std::to_wstring(status.m_nRead) + L" of " + std::to_wstring(status.m_nAnnounced) +
                   L" entries could be read.";
    else if (status.m_nRead > 0)
        strText += L"bytes follow its " + std::to_wstring(status.m_nRead) + L" entries, which could be read.";
    else
        strText += L"no entry could be read.";
    return strText;
}

std::wstring ImportRefusedText(const CDataFileStatus& status) {
    std::wstring strText = L"The list could not be imported from " + Quoted(status.m_strPath);
    switch (status.m_eResult) {
    case CDataFileStatus::damaged:
        strText += L": the file is damaged (" + std::to_wstring(status.m_nRead) + L" of " +
                   std::to_wstring(status.m_nAnnounced) + L" entries could be read).";
        break;
    case CDataFileStatus::tooLarge:
        strText += status.m_cbFile > kMaxTaskListFileBytes
                       ? L": the file is too large (" + std::to_wstring(status.m_cbFile) + L" bytes; the limit is " +
                             std::to_wstring(kMaxTaskListFileBytes) + L")."
                       : L": the file announces too many entries (" + std::to_wstring(status.m_nAnnounced) +
                             L"; the limit is " + std::to_wstring(kMaxTaskListEntries) + L").";
        break;
    default:
        strText += L": the file could not be read.";
        if (!status.m_error.m_strMessage.empty()) strText += L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
        break;
    }
    return strText + L"\n\nThe list has not been changed.";
}

std::wstring ExportFailedText(const std::u16string& strPath, const CDataFileStatus& status) {
    std::wstring strText = L"The list could not be exported to " + Quoted(strPath) + L".";
    if (!status.m_error.m_strMessage.empty()) strText += L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
    return strText;
}

std::wstring CommandLineExitText(int nExit) {
    switch (nExit) {
    case kExitShellRefused: return L"The taskbar refused the Jump List.";
    case kExitListUnreadable: return L"The list could not be read; nothing was written.";
    case kExitNotWritten: return L"A file could not be written.";
    case kExitWindowBusy: return L"Zembro's open window is showing a dialog or a message; nothing was done.";
    default: return L"Zembro ended with exit code " + std::to_wstring(nExit) + L".";
    }
}

std::wstring CommandLineDoneText(const CCommandLine& commandLine) {
    switch (commandLine.m_eCommand) {
    case CCommandLine::publish: return L"The Jump List was published to the taskbar.";
    case CCommandLine::exportList: return L"The list was exported to " + Quoted(commandLine.m_strFile) + L".";
    case CCommandLine::importList:
        return L"The list was imported from " + Quoted(commandLine.m_strFile) + L" and published.";
    default: return L"";
    }
}
