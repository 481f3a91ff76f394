#include "core/DataFile.h"

#include <memory>

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
    const auto write = [&list](CArchiveFile& file) {
        CArchive ar(file, CArchive::store);
        ArchiveTaskList(list, ar);
        return ar.Close();
    };
    if (!platform::ReplaceFileContents(strPath, strPath + u".tmp", write, status.m_error))
        status.m_eResult = CDataFileStatus::saveFailed;
    return status;
}

CDataFileStatus Load(CTaskList& list, const std::u16string& strPath) {
    CDataFileStatus status;
    status.m_strPath = strPath;
    std::unique_ptr<CArchiveFile> file = platform::OpenFileForReading(strPath, status.m_error);
    if (!file) {
        status.m_eResult = CDataFileStatus::unavailable;
        return status;
    }
    try {
        CArchive ar(*file, CArchive::load);
        ArchiveTaskList(list, ar, &status.m_nAnnounced);
    } catch (const CArchiveException&) {
        status.m_eResult = CDataFileStatus::damaged;
        status.m_nRead = list.GetSize();
    }
    file.reset();  // the copy below needs the file closed
    if (status.m_eResult == CDataFileStatus::damaged) {
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
