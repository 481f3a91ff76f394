#include "support/TempFolder.h"

#include "core/DataFile.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "win/WinText.h"
#include "support/FileText.h"
#else
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

#include <filesystem>
#include <fstream>
#endif

std::u16string FolderOf(const std::u16string& path) { return path.substr(0, path.find_last_of(u'\\')); }

#ifdef _WIN32

Bytes ReadBytes(const std::u16string& path) {
    const std::string text = ReadFileText(as_wcstr(path));
    return Bytes(text.begin(), text.end());
}

void WriteBytes(const std::u16string& path, const Bytes& bytes) {
    // A window that reads Data.dat holds it for a moment, without sharing.
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int nTry = 0; nTry < 200; ++nTry) {
        h = CreateFileW(as_wcstr(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(10);
    }
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD cb = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &cb, nullptr);
    CloseHandle(h);
}

bool FileExists(const std::u16string& path) {
    const DWORD attr = GetFileAttributesW(as_wcstr(path));
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::u16string& path) {
    const DWORD attr = GetFileAttributesW(as_wcstr(path));
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolder(const std::u16string& path) { ASSERT_TRUE(CreateDirectoryW(as_wcstr(path), nullptr)); }

void MoveOver(const std::u16string& from, const std::u16string& to) {
    ASSERT_TRUE(MoveFileExW(as_wcstr(from), as_wcstr(to), MOVEFILE_REPLACE_EXISTING));
}

void RemoveFile(const std::u16string& path) { ASSERT_TRUE(DeleteFileW(as_wcstr(path))); }

void SetReadOnly(const std::u16string& path, bool bReadOnly) {
    SetFileAttributesW(as_wcstr(path), bReadOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

std::vector<std::u16string> FolderEntries(const std::u16string& folder) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found{};
    HANDLE hFind = FindFirstFileW(as_wcstr(folder + u"\\*"), &found);
    if (hFind == INVALID_HANDLE_VALUE) return names;
    do {
        const std::u16string name = as_u16(found.cFileName);
        if (name != u"." && name != u"..") names.push_back(name);
    } while (FindNextFileW(hFind, &found));
    FindClose(hFind);
    std::sort(names.begin(), names.end());
    return names;
}

void SetFileLength(const std::u16string& path, std::uint64_t cb) {
    HANDLE h = CreateFileW(as_wcstr(path), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(cb);
    EXPECT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
}

FileLock::FileLock(const std::u16string& path)
    : m_handle(reinterpret_cast<std::intptr_t>(
          CreateFileW(as_wcstr(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))) {}

FileLock::~FileLock() {
    if (reinterpret_cast<HANDLE>(m_handle) != INVALID_HANDLE_VALUE) CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

void DataFolderTest::SetUp() {
    m_strDataFile = GetDataFilePath();  // the prefix's own local application data folder
    ASSERT_FALSE(m_strDataFile.empty());
    RemoveDataFolder();
}

void DataFolderTest::RemoveDataFolder() {
    // Whatever a test left: Data.dat (a folder too), its copies, temporary files.
    const std::u16string folder = FolderOf(m_strDataFile);
    WIN32_FIND_DATAW found{};
    HANDLE hFind = FindFirstFileW(as_wcstr(folder + u"\\*"), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::u16string name = as_u16(found.cFileName);
            if (name == u"." || name == u"..") continue;
            const std::u16string path = folder + u"\\" + name;
            SetFileAttributesW(as_wcstr(path), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileW(as_wcstr(path))) RemoveDirectoryW(as_wcstr(path));
        } while (FindNextFileW(hFind, &found));
        FindClose(hFind);
    }
    RemoveDirectoryW(as_wcstr(folder));
}

void DataFolderTest::TearDown() { RemoveDataFolder(); }

#else

namespace {
std::string Native(const std::u16string& path) {
    std::string out;
    for (char16_t ch : path) out.push_back(ch == u'\\' ? '/' : static_cast<char>(ch));
    return out;
}
}  // namespace

Bytes ReadBytes(const std::u16string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::u16string& path, const Bytes& bytes) {
    std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out.good());
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::u16string& path) { return std::filesystem::is_regular_file(Native(path)); }
bool FolderExists(const std::u16string& path) { return std::filesystem::is_directory(Native(path)); }

void MakeFolder(const std::u16string& path) { ASSERT_TRUE(std::filesystem::create_directory(Native(path))); }

void MoveOver(const std::u16string& from, const std::u16string& to) {
    ASSERT_EQ(::rename(Native(from).c_str(), Native(to).c_str()), 0);
}

void RemoveFile(const std::u16string& path) { ASSERT_EQ(::unlink(Native(path).c_str()), 0); }

void SetReadOnly(const std::u16string& path, bool bReadOnly) { ::chmod(Native(path).c_str(), bReadOnly ? 0444 : 0644); }

std::vector<std::u16string> FolderEntries(const std::u16string& folder) {
    std::vector<std::u16string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Native(folder), error)) {
        const std::string name = entry.path().filename().string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SetFileLength(const std::u16string& path, std::uint64_t cb) {
    std::ofstream(Native(path), std::ios::binary | std::ios::app).close();
    std::filesystem::resize_file(Native(path), cb);
}

FileLock::FileLock(const std::u16string& path) : m_handle(::open(Native(path).c_str(), O_RDONLY)) {
    if (m_handle >= 0) ::flock(static_cast<int>(m_handle), LOCK_EX);
}

FileLock::~FileLock() {
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
}

void DataFolderTest::SetUp() {
    char templ[] = "/tmp/zembro-test-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    m_strNativeRoot = templ;
    ::setenv("ZEMBRO_LOCALAPPDATA", templ, 1);
    m_strDataFile = std::u16string(m_strNativeRoot.begin(), m_strNativeRoot.end()) + u"\\Zembro-by-Brellow\\Data.dat";
}

void DataFolderTest::RemoveDataFolder() { std::filesystem::remove_all(m_strNativeRoot); }

void DataFolderTest::TearDown() {
    RemoveDataFolder();
    ::unsetenv("ZEMBRO_LOCALAPPDATA");
}

#endif
