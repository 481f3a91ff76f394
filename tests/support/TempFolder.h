#pragma once
// A test fixture that gives each test an empty data folder, and small file
// helpers that work the same natively and under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::u16string& path);          // empty when missing
void WriteBytes(const std::u16string& path, const Bytes& bytes);
bool FileExists(const std::u16string& path);
bool FolderExists(const std::u16string& path);
void MakeFolder(const std::u16string& path);
void MoveOver(const std::u16string& from, const std::u16string& to);  // replaces to
void RemoveFile(const std::u16string& path);
void SetReadOnly(const std::u16string& path, bool bReadOnly);
std::u16string FolderOf(const std::u16string& path);
// The names in a folder, sorted; empty when there is no such folder.
std::vector<std::u16string> FolderEntries(const std::u16string& folder);
// Sets a file's length, filling with zeros (quickly: no bytes are written).
void SetFileLength(const std::u16string& path, std::uint64_t cb);

// Holds a file open without sharing (an advisory lock natively) while it lives.
class FileLock {
public:
    explicit FileLock(const std::u16string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::intptr_t m_handle;
};

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Data.dat's path; the data folder does not exist until something asks for it.
    std::u16string DataFilePath() const { return m_strDataFile; }

private:
    void RemoveDataFolder();
    std::u16string m_strDataFile;
    std::string m_strNativeRoot;
};
