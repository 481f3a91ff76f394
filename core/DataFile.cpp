#include "core/DataFile.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/Platform.h"

namespace {

// Set while Data.dat holds a list that the last load did not take: nothing
// may be saved over it then.
bool s_bDataFileUnread = false;

constexpr unsigned kBusyPollMilliseconds = 100;
// Beyond this many copies something else is wrong; the copy is then not made.
constexpr int kMaxDamagedCopies = 999;

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

// Opens strPath, waiting out another program's hold on it for a while.
std::unique_ptr<platform::CReadFile> OpenWhenFree(const std::u16string& strPath, platform::SystemError& error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyRetryMilliseconds);
    for (;;) {
        std::unique_ptr<platform::CReadFile> file = platform::OpenFileForReading(strPath, error);
        if (file || error.m_eKind != platform::SystemError::EKind::busy ||
            std::chrono::steady_clock::now() >= deadline)
            return file;
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPollMilliseconds));
    }
}

// Copies strFrom to strTo through a temporary file; never replaces strTo.
bool CopyToNewFile(const std::u16string& strFrom, const std::u16string& strTo, platform::SystemError& error) {
    std::unique_ptr<platform::CReadFile> from = platform::OpenFileForReading(strFrom, error);
    if (!from) return false;
    // A read error ends the copy as a failed write does, so the temporary file is removed.
    std::optional<platform::SystemError> readError;
    const auto copy = [&from, &readError](CArchiveFile& to) {
        std::vector<std::uint8_t> chunk(64 * 1024);
        try {
            while (const std::size_t cb = from->Read(chunk.data(), chunk.size()))
                if (!to.Write(chunk.data(), cb)) return false;
        } catch (const CFileException& e) {
            readError = e.m_error;
            return false;
        }
        return true;
    };
    const bool bCopied = platform::ReplaceFileContents(strTo, platform::EReplace::keepExisting, copy, error);
    if (readError) error = *readError;
    return bCopied;
}

// Whether two files hold the same bytes; false when either cannot be read.
bool SameBytes(const std::u16string& strA, const std::u16string& strB) {
    platform::SystemError error;
    std::unique_ptr<platform::CReadFile> a = platform::OpenFileForReading(strA, error);
    std::unique_ptr<platform::CReadFile> b = a ? platform::OpenFileForReading(strB, error) : nullptr;
    if (!b || a->GetLength() != b->GetLength()) return false;
    try {
        std::vector<std::uint8_t> chunkA(64 * 1024), chunkB(64 * 1024);
        for (;;) {
            const std::size_t cbA = a->Read(chunkA.data(), chunkA.size());
            std::size_t cbB = 0;
            while (cbB < cbA) {
                const std::size_t cb = b->Read(chunkB.data() + cbB, cbA - cbB);
                if (cb == 0) return false;
                cbB += cb;
            }
            if (cbA == 0) return true;
            if (!std::equal(chunkA.begin(), chunkA.begin() + static_cast<long>(cbA), chunkB.begin())) return false;
        }
    } catch (const CFileException&) {
        return false;
    }
}

bool Exists(const std::u16string& strPath) {
    platform::SystemError error;
    return platform::OpenFileForReading(strPath, error) || error.m_eKind != platform::SystemError::EKind::notFound;
}

// Keeps the damaged bytes under the first free copy name; status says where.
void KeepDamagedCopy(CDataFileStatus& status) {
    int n = 1;
    while (n <= kMaxDamagedCopies && Exists(GetDamagedCopyPath(status.m_strPath, n))) ++n;
    // Still damaged as at the last copy (a save over it failed): that copy
    // serves, rather than one more at every load.
    if (n > 1 && SameBytes(status.m_strPath, GetDamagedCopyPath(status.m_strPath, n - 1))) {
        status.m_strCopyPath = GetDamagedCopyPath(status.m_strPath, n - 1);
        return;
    }
    // Another program may take a free name meanwhile: the copy never replaces it.
    for (; n <= kMaxDamagedCopies; ++n) {
        const std::u16string strCopy = GetDamagedCopyPath(status.m_strPath, n);
        if (CopyToNewFile(status.m_strPath, strCopy, status.m_error)) {
            status.m_strCopyPath = strCopy;
            status.m_error = {};
            return;
        }
        if (status.m_error.m_eKind != platform::SystemError::EKind::exists) return;
    }
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

std::u16string GetDamagedCopyPath(const std::u16string& strDataFilePath, int nCopy) {
    std::u16string strCopy = strDataFilePath + u".damaged";
    if (nCopy > 1) {
        const std::string digits = std::to_string(nCopy);
        strCopy += u'-';
        strCopy.append(digits.begin(), digits.end());
    }
    return strCopy;
}

CDataFileStatus ReadTaskList(platform::CReadFile& file, CTaskList& list) {
    CDataFileStatus status;
    status.m_cbFile = file.GetLength();
    if (status.m_cbFile > kMaxTaskListFileBytes) {
        status.m_eResult = CDataFileStatus::tooLarge;
        return status;
    }
    CTaskList read;
    try {
        CArchive ar(file, CArchive::load);
        ArchiveTaskList(read, ar, &status.m_nAnnounced, kMaxTaskListEntries);
    } catch (const CArchiveException& e) {
        if (e.m_cause == CArchiveException::tooManyEntries) {
            status.m_eResult = CDataFileStatus::tooLarge;
            return status;
        }
        status.m_eResult = CDataFileStatus::damaged;
        status.m_nRead = read.GetSize();
    } catch (const CFileException& e) {
        status.m_eResult = CDataFileStatus::unreadable;
        status.m_error = e.m_error;
        return status;
    }
    list = std::move(read);
    return status;
}

CDataFileStatus LoadTaskListFile(const std::u16string& strPath, CTaskList& list) {
    CDataFileStatus status;
    std::unique_ptr<platform::CReadFile> file = OpenWhenFree(strPath, status.m_error);
    if (file) status = ReadTaskList(*file, list);
    else if (status.m_error.m_eKind == platform::SystemError::EKind::notFound) status.m_eResult = CDataFileStatus::missing;
    else status.m_eResult = CDataFileStatus::unreadable;
    status.m_strPath = strPath;
    return status;
}

CDataFileStatus SaveTaskListFile(const std::u16string& strPath, const CTaskList& list) {
    CDataFileStatus status;
    status.m_strPath = strPath;
    const auto write = [&list](CArchiveFile& file) {
        CArchive ar(file, CArchive::store);
        StoreTaskList(list, ar);
        return ar.Close();
    };
    if (!platform::ReplaceFileContents(strPath, platform::EReplace::replaceExisting, write, status.m_error))
        status.m_eResult = CDataFileStatus::saveFailed;
    return status;
}

CDataFileStatus LoadSaveDataFile(CTaskList& list, bool bSave) {
    const std::u16string strPath = GetDataFilePath();
    if (strPath.empty()) {
        CDataFileStatus status;
        status.m_eResult = CDataFileStatus::noFolder;
        return status;
    }
    if (bSave) {
        if (!s_bDataFileUnread) return SaveTaskListFile(strPath, list);
        CDataFileStatus refused;
        refused.m_eResult = CDataFileStatus::saveRefused;
        refused.m_strPath = strPath;
        return refused;
    }
    CDataFileStatus status = LoadTaskListFile(strPath, list);
    if (status.m_eResult == CDataFileStatus::damaged) KeepDamagedCopy(status);
    s_bDataFileUnread = status.LeftUnread() ||
                        (status.m_eResult == CDataFileStatus::damaged && status.m_strCopyPath.empty());
    return status;
}

void AllowSavingOverDataFile() { s_bDataFileUnread = false; }

void RemoveLeftoverSaveFiles() {
    const std::u16string strPath = GetDataFilePath();
    if (!strPath.empty()) platform::RemoveLeftoverTempFiles(strPath);
}
