#include "ui/main/DataFileTexts.h"

#include "framework/App.h"
#include "res/resource.h"
#include "win/WinText.h"

namespace {

template <typename T>
std::wstring Number(T n) {
    return std::to_wstring(n);
}

// The system's reason, on lines of its own; nothing when there is none.
std::wstring Reason(const CDataFileStatus& status) {
    return status.m_error.m_strMessage.empty() ? std::wstring() : L"\n\n" + std::wstring(as_wcstr(status.m_error.m_strMessage));
}

}  // namespace

std::wstring FileNameOfPath(const std::u16string& strPath) {
    const size_t nSlash = strPath.find_last_of(u'\\');
    return as_wcstr(nSlash == std::u16string::npos ? strPath : strPath.substr(nSlash + 1));
}

std::wstring SaveFailureText(const CDataFileStatus& status) {
    const std::wstring strPath = as_wcstr(status.m_strPath);
    switch (status.m_eResult) {
    case CDataFileStatus::changedOutside:
        return AfxFormatText(IDS_SAVE_CHANGED_OUTSIDE, {FileNameOfPath(status.m_strPath)});
    case CDataFileStatus::overLimits:
        return status.m_nAnnounced > kMaxTaskListEntries
                   ? AfxFormatText(IDS_SAVE_OVER_ENTRY_LIMIT, {Number(status.m_nAnnounced), Number(kMaxTaskListEntries)})
                   : AfxFormatText(IDS_SAVE_OVER_BYTE_LIMIT, {Number(status.m_cbFile), Number(kMaxTaskListFileBytes)});
    case CDataFileStatus::saveRefused: return AfxFormatText(IDS_SAVE_REFUSED, {strPath});
    default:
        if (status.m_strPath.empty()) return AfxLoadText(IDS_SAVE_NO_FOLDER);
        return AfxFormatText(IDS_SAVE_FAILED, {strPath}) + Reason(status);
    }
}

std::wstring DataFileNotReadText(const CDataFileStatus& status) {
    const std::wstring strPath = as_wcstr(status.m_strPath);
    if (status.m_eResult != CDataFileStatus::tooLarge) return AfxFormatText(IDS_NOT_READ, {strPath}) + Reason(status);
    return status.m_cbFile > kMaxTaskListFileBytes
               ? AfxFormatText(IDS_NOT_READ_TOO_MANY_BYTES,
                               {strPath, Number(status.m_cbFile), Number(kMaxTaskListFileBytes)})
               : AfxFormatText(IDS_NOT_READ_TOO_MANY_ENTRIES,
                               {strPath, Number(status.m_nAnnounced), Number(kMaxTaskListEntries)});
}

std::wstring UnreadDataFileText(const CDataFileStatus& status) {
    return DataFileNotReadText(status) + AfxLoadText(IDS_UNREAD_RETRY);
}

std::wstring DamagedDataFileText(const CDataFileStatus& status) {
    const std::wstring strName = FileNameOfPath(status.m_strPath);
    if (status.m_nAnnounced > status.m_nRead)
        return AfxFormatText(IDS_DAMAGED_SOME_READ, {strName, Number(status.m_nRead), Number(status.m_nAnnounced)});
    if (status.m_nRead > 0) return AfxFormatText(IDS_DAMAGED_BYTES_AFTER, {strName, Number(status.m_nRead)});
    return AfxFormatText(IDS_DAMAGED_NONE_READ, {strName});
}

std::wstring DamagedDataFileReportText(const CDataFileStatus& status) {
    const std::wstring strText = DamagedDataFileText(status);
    if (!status.m_strCopyPath.empty()) return strText + AfxFormatText(IDS_DAMAGED_COPY_KEPT, {as_wcstr(status.m_strCopyPath)});
    return strText +
           (status.m_error.m_strMessage.empty()
                ? AfxLoadText(IDS_DAMAGED_NO_COPY)
                : AfxFormatText(IDS_DAMAGED_NO_COPY_REASON, {as_wcstr(status.m_error.m_strMessage)})) +
           AfxLoadText(IDS_DAMAGED_REPLACE_QUESTION);
}

std::wstring ImportRefusedText(const CDataFileStatus& status) {
    const std::wstring strPath = as_wcstr(status.m_strPath);
    std::wstring strText;
    switch (status.m_eResult) {
    case CDataFileStatus::damaged:
        strText = AfxFormatText(IDS_IMPORT_REFUSED_DAMAGED, {strPath, Number(status.m_nRead), Number(status.m_nAnnounced)});
        break;
    case CDataFileStatus::tooLarge:
        strText = status.m_cbFile > kMaxTaskListFileBytes
                      ? AfxFormatText(IDS_IMPORT_REFUSED_TOO_MANY_BYTES,
                                      {strPath, Number(status.m_cbFile), Number(kMaxTaskListFileBytes)})
                      : AfxFormatText(IDS_IMPORT_REFUSED_TOO_MANY_ENTRIES,
                                      {strPath, Number(status.m_nAnnounced), Number(kMaxTaskListEntries)});
        break;
    default: strText = AfxFormatText(IDS_IMPORT_REFUSED_UNREADABLE, {strPath}) + Reason(status); break;
    }
    return strText + AfxLoadText(IDS_IMPORT_NOT_CHANGED);
}

std::wstring ExportFailedText(const std::u16string& strPath, const CDataFileStatus& status) {
    return AfxFormatText(IDS_EXPORT_FAILED, {as_wcstr(strPath)}) + Reason(status);
}

std::wstring CommandLineExitText(int nExit) {
    switch (nExit) {
    case kExitShellRefused: return AfxLoadText(IDS_EXIT_SHELL_REFUSED);
    case kExitListUnreadable: return AfxLoadText(IDS_EXIT_LIST_UNREADABLE);
    case kExitNotWritten: return AfxLoadText(IDS_EXIT_NOT_WRITTEN);
    case kExitWindowBusy: return AfxLoadText(IDS_EXIT_WINDOW_BUSY);
    default: return AfxFormatText(IDS_EXIT_OTHER, {Number(nExit)});
    }
}

std::wstring CommandLineDoneText(const CCommandLine& commandLine) {
    switch (commandLine.m_eCommand) {
    case CCommandLine::publish: return AfxLoadText(IDS_DONE_PUBLISH);
    case CCommandLine::exportList: return AfxFormatText(IDS_DONE_EXPORT, {as_wcstr(commandLine.m_strFile)});
    case CCommandLine::importList: return AfxFormatText(IDS_DONE_IMPORT, {as_wcstr(commandLine.m_strFile)});
    default: return L"";
    }
}
