#include "core/DataFile.h"

#include <vector>

#include "core/Platform.h"

namespace {

// Collapses each pair of backslashes, left to right without overlap.
std::u16string CollapseDoubleBackslashes(const std::u16string& path) {
    std::u16string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        out.push_back(path[i]);
        if (path[i] == u'\\' && i + 1 < path.size() && path[i + 1] == u'\\') ++i;
    }
    return out;
}

CDataFileStatus Save(CTaskList& list, const std::u16string& strPath) {
    CDataFileStatus status;
    status.m_strPath = strPath;
    CArchive ar;
    ArchiveTaskList(list, ar);
    if (!platform::ReplaceFileContents(strPath, strPath + u".tmp", ar.GetBuffer(), status.m_error))
        status.m_eResult = CDataFileStatus::saveFailed;
    return status;
}

CDataFileStatus Load(CTaskList& list, const std::u16string& strPath) {
    CDataFileStatus status;
    status.m_strPath = strPath;
    std::vector<std::uint8_t> bytes;
    if (platform::ReadWholeFile(strPath, bytes, status.m_error) != platform::ReadResult::Ok) {
        status.m_eResult = CDataFileStatus::unavailable;
        return status;
    }
    CArchive ar(bytes.data(), bytes.size());
    try {
        ArchiveTaskList(list, ar);
    } catch (const CArchiveException&) {
        status.m_eResult = CDataFileStatus::damaged;
        status.m_nAnnounced = AnnouncedTaskCount(bytes.data(), bytes.size());
        status.m_nRead = list.GetSize();
        // Keep the damaged bytes before the next save replaces them.
        platform::CopyFileOver(strPath, GetDamagedCopyPath(strPath));
    }
    return status;
}

}  // namespace

std::u16string GetDataFilePath() {
    std::u16string strFolder;
    if (!platform::GetSpecialFolderPath(platform::SpecialFolder::LocalAppData, strFolder)) return {};
    std::u16string strName = platform::GetApplicationTitle();
    for (char16_t& ch : strName)
        if (ch == u' ') ch = u'-';
    std::u16string strPath = CollapseDoubleBackslashes(strFolder + u"\\" + strName);
    platform::CreateFolder(strPath);
    return CollapseDoubleBackslashes(strPath + u"\\Data.dat");
}

std::u16string GetDamagedCopyPath(const std::u16string& strDataFilePath) { return strDataFilePath + u".damaged"; }

CDataFileStatus LoadSaveDataFile(CTaskList& list, bool bSave) {
    const std::u16string strPath = GetDataFilePath();
    if (strPath.empty()) {
        CDataFileStatus status;
        status.m_eResult = CDataFileStatus::noFolder;
        return status;
    }
    return bSave ? Save(list, strPath) : Load(list, strPath);
}
