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

// FNV-1a over every byte a file has: cheap, and any change of the bytes a
// program would make shows.
class CHash {
public:
    void Add(const std::uint8_t* p, std::size_t cb) {
        for (std::size_t i = 0; i < cb; ++i) m_nHash = (m_nHash ^ p[i]) * 1099511628211ull;
        m_cb += cb;
    }
    CFileFingerprint Fingerprint() const { return {true, m_cb, m_nHash}; }

private:
    std::uint64_t m_nHash = 14695981039346656037ull;
    std::uint64_t m_cb = 0;
};

// A file being read whose bytes are hashed as they pass.
class CHashingReader : public platform::CReadFile {
public:
    explicit CHashingReader(platform::CReadFile& file) : m_file(file) {}
    std::size_t Read(std::uint8_t* p, std::size_t cb) override {
        const std::size_t cbRead = m_file.Read(p, cb);
        m_hash.Add(p, cbRead);
        return cbRead;
    }
    std::uint64_t GetLength() const override { return m_file.GetLength(); }
    // The fingerprint of the whole file: what was not read yet is read now.
    CFileFingerprint Finish() {
        std::vector<std::uint8_t> chunk(64 * 1024);
        while (Read(chunk.data(), chunk.size())) {}
        return m_hash.Fingerprint();
    }

private:
    platform::CReadFile& m_file;
    CHash m_hash;
};

// A file being written whose bytes are hashed as they pass.
class CHashingWriter : public CArchiveFile {
public:
    explicit CHashingWriter(CArchiveFile& file) : m_file(file) {}
    std::size_t Read(std::uint8_t*, std::size_t) override { return 0; }
    bool Write(const std::uint8_t* p, std::size_t cb) override {
        m_hash.Add(p, cb);
        return m_file.Write(p, cb);
    }
    CFileFingerprint Fingerprint() const { return m_hash.Fingerprint(); }

private:
    CArchiveFile& m_file;
    CHash m_hash;
};

CDataFileStatus ReadAndFingerprint(platform::CReadFile& file, CTaskList& list, CFileFingerprint* pPrint) {
    CDataFileStatus status;
    status.m_cbFile = file.GetLength();
    if (status.m_cbFile > kMaxTaskListFileBytes) {
        status.m_eResult = CDataFileStatus::tooLarge;
        return status;
    }
    CHashingReader hashing(file);
    CTaskList read;
    try {
        CArchive ar(hashing, CArchive::load);
        try {
            ArchiveTaskList(read, ar, &status.m_nAnnounced, kMaxTaskListEntries);
            // A negative count reads as no record, and a lowered one leaves
            // records behind it: neither is the whole list.
            if (status.m_nAnnounced < 0 || !ar.AtEnd()) throw CArchiveException(CArchiveException::endOfFile);
        } catch (const CArchiveException& e) {
            if (e.m_cause == CArchiveException::tooManyEntries) {
                status.m_eResult = CDataFileStatus::tooLarge;
                return status;
            }
            status.m_eResult = CDataFileStatus::damaged;
            status.m_nRead = read.GetSize();
        }
        if (pPrint) *pPrint = hashing.Finish();
    } catch (const CFileException& e) {
        status.m_eResult = CDataFileStatus::unreadable;
        status.m_error = e.m_error;
        return status;
    }
    list = std::move(read);
    return status;
}

// Opens and reads a task list file, waiting out another program's hold.
CDataFileStatus LoadAndFingerprint(const std::u16string& strPath, CTaskList& list, CFileFingerprint* pPrint) {
    CDataFileStatus status;
    std::unique_ptr<platform::CReadFile> file = OpenWhenFree(strPath, status.m_error);
    if (file) {
        status = ReadAndFingerprint(*file, list, pPrint);
    } else if (status.m_error.m_eKind == platform::SystemError::EKind::notFound) {
        status.m_eResult = CDataFileStatus::missing;
        if (pPrint) *pPrint = {};
    } else {
        status.m_eResult = CDataFileStatus::unreadable;
    }
    status.m_strPath = strPath;
    return status;
}

// What strPath holds now, without waiting; false when it cannot be read.
bool CurrentFingerprint(const std::u16string& strPath, CFileFingerprint& print, platform::SystemError& error) {
    std::unique_ptr<platform::CReadFile> file = platform::OpenFileForReading(strPath, error);
    if (!file) {
        print = {};
        return error.m_eKind == platform::SystemError::EKind::notFound;
    }
    try {
        print = CHashingReader(*file).Finish();
    } catch (const CFileException& e) {
        error = e.m_error;
        return false;
    }
    return true;
}

CDataFileStatus WriteAndFingerprint(const std::u16string& strPath, const CTaskList& list, CFileFingerprint* pPrint) {
    CDataFileStatus status;
    status.m_strPath = strPath;
    if (!FitsTheLimits(list)) {
        status.m_eResult = CDataFileStatus::overLimits;
        status.m_nAnnounced = list.GetSize();
        status.m_cbFile = StoredBytes(list);
        return status;
    }
    const auto write = [&list, pPrint](CArchiveFile& file) {
        CHashingWriter hashing(file);
        CArchive ar(hashing, CArchive::store);
        StoreTaskList(list, ar);
        const bool bWritten = ar.Close();
        if (pPrint) *pPrint = hashing.Fingerprint();
        return bWritten;
    };
    if (!platform::ReplaceFileContents(strPath, platform::EReplace::replaceExisting, write, status.m_error))
        status.m_eResult = CDataFileStatus::saveFailed;
    return status;
}

bool Exists(const std::u16string& strPath) {
    platform::SystemError error;
    return platform::OpenFileForReading(strPath, error) || error.m_eKind != platform::SystemError::EKind::notFound;
}

// Keeps strPath's bytes under the first free copy name; status says where.
// bReuseSameCopy: a copy holding the same bytes serves (a save over the file
// failed since), rather than one more at every load.
void KeepCopy(const std::u16string& strPath, CDataFileStatus& status, bool bReuseSameCopy) {
    int n = 1;
    while (n <= kMaxDamagedCopies && Exists(GetDamagedCopyPath(strPath, n))) ++n;
    if (bReuseSameCopy && n > 1 && SameBytes(strPath, GetDamagedCopyPath(strPath, n - 1))) {
        status.m_strCopyPath = GetDamagedCopyPath(strPath, n - 1);
        return;
    }
    // Another program may take a free name meanwhile: the copy never replaces it.
    for (; n <= kMaxDamagedCopies; ++n) {
        const std::u16string strCopy = GetDamagedCopyPath(strPath, n);
        if (CopyToNewFile(strPath, strCopy, status.m_error)) {
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

std::uint64_t StoredBytes(const CTaskList& list) {
    std::uint64_t cb = 4;
    for (int i = 0; i < list.GetSize(); ++i) cb += list.GetAt(i).StoredSize();
    return cb;
}

bool FitsTheLimits(const CTaskList& list) {
    return list.GetSize() <= kMaxTaskListEntries && StoredBytes(list) <= kMaxTaskListFileBytes;
}

CDataFileStatus ReadTaskList(platform::CReadFile& file, CTaskList& list) {
    return ReadAndFingerprint(file, list, nullptr);
}

CDataFileStatus LoadTaskListFile(const std::u16string& strPath, CTaskList& list) {
    return LoadAndFingerprint(strPath, list, nullptr);
}

CDataFileStatus SaveTaskListFile(const std::u16string& strPath, const CTaskList& list) {
    return WriteAndFingerprint(strPath, list, nullptr);
}

CDataFileStore::CDataFileStore(std::u16string strPath) : m_strPath(std::move(strPath)) {}

CDataFileStatus CDataFileStore::Load(CTaskList& list, EDamaged eDamaged) {
    CDataFileStatus status;
    if (m_strPath.empty()) {
        status.m_eResult = CDataFileStatus::noFolder;
        return status;
    }
    CreateDataFolder();
    CFileFingerprint print;
    status = LoadAndFingerprint(m_strPath, list, &print);
    if (status.LeftUnread()) {
        m_bUnread = true;
        return status;
    }
    m_known = print;
    m_bUnread = false;
    if (status.m_eResult == CDataFileStatus::damaged) {
        if (eDamaged == EDamaged::keepCopy) KeepCopy(m_strPath, status, true);
        m_bUnread = status.m_strCopyPath.empty();
    }
    return status;
}

CDataFileStatus CDataFileStore::CheckSave(const CTaskList& list) const {
    CDataFileStatus status;
    status.m_strPath = m_strPath;
    if (m_strPath.empty()) {
        status.m_eResult = CDataFileStatus::noFolder;
    } else if (m_bUnread) {
        status.m_eResult = CDataFileStatus::saveRefused;
    } else if (!FitsTheLimits(list)) {
        status.m_eResult = CDataFileStatus::overLimits;
        status.m_nAnnounced = list.GetSize();
        status.m_cbFile = StoredBytes(list);
    } else {
        CFileFingerprint now;
        if (!CurrentFingerprint(m_strPath, now, status.m_error))
            status.m_eResult = CDataFileStatus::saveFailed;
        else if (!(now == m_known))
            status.m_eResult = CDataFileStatus::changedOutside;
    }
    return status;
}

CDataFileStatus CDataFileStore::Save(const CTaskList& list) {
    CDataFileStatus status = CheckSave(list);
    if (!status.Succeeded()) return status;
    CreateDataFolder();
    CFileFingerprint print;
    status = WriteAndFingerprint(m_strPath, list, &print);
    if (status.Succeeded()) m_known = print;
    return status;
}

void CDataFileStore::CreateDataFolder() const {
    // As GetDataFilePath does at every call: the folder may have been removed since.
    platform::CreateFolder(m_strPath.substr(0, m_strPath.find_last_of(u'\\')));
}

bool CDataFileStore::ChangedOutside() const {
    CFileFingerprint now;
    platform::SystemError error;
    return !m_strPath.empty() && CurrentFingerprint(m_strPath, now, error) && !(now == m_known);
}

bool CDataFileStore::SetAsideUnreadFile(CDataFileStatus& status) {
    // The copy must hold exactly what the next save replaces.
    CFileFingerprint before, after;
    if (!CurrentFingerprint(m_strPath, before, status.m_error)) return false;
    KeepCopy(m_strPath, status, false);
    if (status.m_strCopyPath.empty() || !CurrentFingerprint(m_strPath, after, status.m_error) || !(after == before))
        return false;
    m_known = after;
    m_bUnread = false;
    return true;
}

void RemoveLeftoverSaveFiles() {
    const std::u16string strPath = GetDataFilePath();
    if (!strPath.empty()) platform::RemoveLeftoverTempFiles(strPath);
}
