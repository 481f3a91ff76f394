#include "E2ETest.h"

#include <shlobj.h>

#include "win/WinText.h"

namespace {

constexpr wchar_t kProfileKey[] = L"Software\\Brellow\\Zembro by Brellow";
constexpr wchar_t kExplorerKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr wchar_t kExplorerValue[] = L"JumpListItems_Maximum";

std::u16string SystemFolder(int csidl) {
    wchar_t szPath[MAX_PATH] = {};
    EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, szPath), S_OK);
    return as_u16(szPath);
}

}  // namespace

std::u16string DataFile() { return SystemFolder(CSIDL_LOCAL_APPDATA) + u"\\Zembro-by-Brellow\\Data.dat"; }
std::u16string DamagedCopy() { return DataFile() + u".damaged"; }

void WriteDataFile(const Bytes& bytes) {
    CreateDirectoryW(as_wcstr(FolderOf(DataFile())), nullptr);
    WriteBytes(DataFile(), bytes);
}

std::vector<std::u16string> TempFilesLeft() {
    std::vector<std::u16string> left;
    for (const std::u16string& name : FolderEntries(FolderOf(DataFile())))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, u".tmp") == 0) left.push_back(name);
    return left;
}

void E2ETest::SetUp() {
    ASSERT_EQ(FindWindowW(nullptr, kZembroTitle), nullptr) << "a window titled \"Zembro by Brellow\" is open already";
    ASSERT_TRUE(IsHostRegistered()) << "the prefix lacks the stand-in Jump List host";
    ResetState();
}

void E2ETest::TearDown() {
    EXPECT_EQ(FindWindowW(nullptr, kZembroTitle), nullptr) << "Zembro is still running";
    ResetState();
}

void E2ETest::ResetState() {
    const std::u16string folder = FolderOf(DataFile());
    for (const std::u16string& name : FolderEntries(folder)) {
        const std::u16string path = folder + u"\\" + name;
        SetFileAttributesW(as_wcstr(path), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(as_wcstr(path));
    }
    RemoveDirectoryW(as_wcstr(folder));
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProfileKey);
    // Windows always has this key, and the program never creates it.
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kExplorerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(hKey, kExplorerValue);
        RegCloseKey(hKey);
    }
    ClearHostFiles();
    ClearHostSwitches();
}
