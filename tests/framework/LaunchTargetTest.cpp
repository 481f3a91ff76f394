// How a task's target is made launchable before it reaches the shell, against
// scratch programs on PATH, scratch App Paths entries and the prefix's own
// handlers for web addresses.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "framework/LaunchTarget.h"
#include "support/Narrow.h"

namespace {

constexpr const wchar_t* kFiles[] = {L"\\bin\\zembrotool.exe", L"\\bin\\zembrotool.bat", L"\\bin\\zembroscript.cmd",
                                     L"\\bin\\zembroeither.exe",
                                     L"\\apps\\hkcu one.exe", L"\\apps\\hklm.exe", L"\\tools\\x.exe", L"\\zembrocwd.exe"};
constexpr wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::wstring Folder(UINT(WINAPI* pfnGet)(LPWSTR, UINT)) {
    wchar_t sz[MAX_PATH] = {};
    pfnGet(sz, MAX_PATH);
    return sz;
}

void Touch(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << Narrow(path);
    CloseHandle(h);
}

void SetAppPath(HKEY hRoot, const std::wstring& name, const std::wstring& value, DWORD dwType = REG_SZ) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(hRoot, (kAppPaths + name).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(hKey, nullptr, 0, dwType, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);
}

// Value pszName (null: the default) of HKEY_CLASSES_ROOT\strKey.
void SetClassesText(const std::wstring& strKey, const wchar_t* pszName, const std::wstring& value) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, strKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);
}

class LaunchTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t szTemp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, szTemp);
        m_root = std::wstring(szTemp) + L"zembro-launch-target-" + std::to_wstring(GetCurrentProcessId());
        for (const wchar_t* sub : {L"", L"\\bin", L"\\bin\\zembrodir.exe", L"\\apps", L"\\tools"})
            CreateDirectoryW((m_root + sub).c_str(), nullptr);
        for (const wchar_t* file : kFiles) Touch(m_root + file);

        m_oldPath.resize(32767);
        m_oldPath.resize(GetEnvironmentVariableW(L"PATH", m_oldPath.data(), 32767));
        SetEnvironmentVariableW(L"PATH", (m_root + L"\\bin;" + m_oldPath).c_str());
        SetEnvironmentVariableW(L"ZEMBRO_APPS", (m_root + L"\\apps").c_str());
        wchar_t szCurrent[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, szCurrent);
        m_oldCurrent = szCurrent;
        SetCurrentDirectoryW(m_root.c_str());

        SetAppPath(HKEY_CURRENT_USER, L"zembrouser.exe", L"\"" + m_root + L"\\apps\\hkcu one.exe\"");
        SetAppPath(HKEY_LOCAL_MACHINE, L"zembromachine.exe", L"%ZEMBRO_APPS%\\hklm.exe", REG_EXPAND_SZ);
        SetAppPath(HKEY_CURRENT_USER, L"zembroboth.exe", m_root + L"\\apps\\hkcu one.exe");
        SetAppPath(HKEY_LOCAL_MACHINE, L"zembroboth.exe", m_root + L"\\apps\\hklm.exe");
        SetAppPath(HKEY_CURRENT_USER, L"zembrostale.exe", m_root + L"\\apps\\gone.exe");
        SetAppPath(HKEY_LOCAL_MACHINE, L"zembrostale.exe", m_root + L"\\apps\\hklm.exe");
        // On the search path and in App Paths.
        SetAppPath(HKEY_CURRENT_USER, L"zembroeither.exe", m_root + L"\\apps\\hklm.exe");
        // In the Windows folder and in the system folder.
        for (const std::wstring& folder : {Folder(GetWindowsDirectoryW), Folder(GetSystemDirectoryW)})
            Touch(folder + L"\\zembrotwice.exe");
        // A scheme with a hyphen and a handler, and its icon.
        SetClassesText(L"zembro-web", L"URL Protocol", L"");
        SetClassesText(L"zembro-web\\shell\\open\\command", nullptr, L"\"C:\\no such\\browser.exe\" \"%1\"");
        SetClassesText(L"zembro-web\\DefaultIcon", nullptr, L"\"%ZEMBRO_APPS%\\hklm.exe\",-3");
    }
    void TearDown() override {
        for (HKEY hRoot : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            for (const wchar_t* name :
                 {L"zembrouser.exe", L"zembromachine.exe", L"zembroboth.exe", L"zembrostale.exe", L"zembroeither.exe"})
                RegDeleteKeyW(hRoot, (kAppPaths + std::wstring(name)).c_str());
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"zembro-web");
        for (const std::wstring& folder : {Folder(GetWindowsDirectoryW), Folder(GetSystemDirectoryW)})
            DeleteFileW((folder + L"\\zembrotwice.exe").c_str());
        SetCurrentDirectoryW(m_oldCurrent.c_str());
        SetEnvironmentVariableW(L"PATH", m_oldPath.c_str());
        SetEnvironmentVariableW(L"ZEMBRO_APPS", nullptr);
        for (const wchar_t* file : kFiles) DeleteFileW((m_root + file).c_str());
        for (const wchar_t* sub : {L"\\bin\\zembrodir.exe", L"\\bin", L"\\apps", L"\\tools", L""})
            RemoveDirectoryW((m_root + sub).c_str());
    }
    std::wstring m_root, m_oldPath, m_oldCurrent;
};

TEST_F(LaunchTargetTest, TargetsResolveAsTheRunBoxWouldOrNotAtAll) {
    const std::wstring system = Folder(GetSystemDirectoryW), windows = Folder(GetWindowsDirectoryW);
    const std::wstring bin = m_root + L"\\bin\\", apps = m_root + L"\\apps\\";
    const std::wstring explorer = windows + L"\\explorer.exe";
    const struct {
        const char* name;
        std::wstring target, arguments;
        std::optional<CLaunchTarget> expected;  // empty: cannot be published
    } cases[] = {
        {"bare name in the system folder", L"cmd", L"/k ver", CLaunchTarget{system + L"\\cmd.exe", L"/k ver", L"cmd.exe"}},
        {"bare name on PATH, PATHEXT's order", L"zembrotool", L"", CLaunchTarget{bin + L"zembrotool.exe", L"", L"zembrotool.exe"}},
        {"the Windows folder before the system folder", L"zembrotwice", L"",
         CLaunchTarget{windows + L"\\zembrotwice.exe", L"", L"zembrotwice.exe"}},
        {"the search path before App Paths", L"zembroeither", L"",
         CLaunchTarget{bin + L"zembroeither.exe", L"", L"zembroeither.exe"}},
        {"a name with its extension as given", L"zembrotool.bat", L"", CLaunchTarget{bin + L"zembrotool.bat", L"", L"zembrotool.bat"}},
        {"spelt as the file system spells it", L"ZEMBROSCRIPT", L"", CLaunchTarget{bin + L"zembroscript.cmd", L"", L"zembroscript.cmd"}},
        {"App Paths in HKCU, quoted", L"zembrouser", L"-x", CLaunchTarget{apps + L"hkcu one.exe", L"-x", L"hkcu one.exe"}},
        {"App Paths in HKLM, expanded", L"zembromachine", L"", CLaunchTarget{apps + L"hklm.exe", L"", L"hklm.exe"}},
        {"HKCU before HKLM", L"zembroboth", L"", CLaunchTarget{apps + L"hkcu one.exe", L"", L"hkcu one.exe"}},
        {"a stale HKCU entry gives way", L"zembrostale", L"", CLaunchTarget{apps + L"hklm.exe", L"", L"hklm.exe"}},
        {"a folder is no program", L"zembrodir", L"", std::nullopt},
        {"unknown name", L"zembro-no-such-program", L"", std::nullopt},
        {"not from the current folder", L"zembrocwd", L"", std::nullopt},
        {"wildcards", L"zembrotoo*", L"", std::nullopt},
        {"URL through explorer", L"https://brellow.example/zembro", L"--ignored",
         CLaunchTarget{explorer, L"\"https://brellow.example/zembro\"", L"https://brellow.example/zembro"}},
        {"URL keeps its percent signs, quotes escaped", L"http://brellow.example/?q=%ZEMBRO_APPS%&s=\"a\"", L"",
         CLaunchTarget{explorer, L"\"http://brellow.example/?q=%ZEMBRO_APPS%&s=%22a%22\"",
                       L"http://brellow.example/?q=%ZEMBRO_APPS%&s=\"a\""}},
        {"scheme without a handler", L"zembro-no-handler://x", L"", std::nullopt},
        {"a scheme with a hyphen that has a handler", L"zembro-web:page", L"",
         CLaunchTarget{explorer, L"\"zembro-web:page\"", L"zembro-web:page"}},
        {"absolute path, even missing", L"C:\\no such\\tool.exe", L"a b", CLaunchTarget{L"C:\\no such\\tool.exe", L"a b", L"tool.exe"}},
        {"network path", L"\\\\server\\share\\t.exe", L"", CLaunchTarget{L"\\\\server\\share\\t.exe", L"", L"t.exe"}},
        {"environment variables", L"%ZEMBRO_APPS%\\hklm.exe", L"", CLaunchTarget{apps + L"hklm.exe", L"", L"hklm.exe"}},
        {"relative path with folders", L"tools\\x.exe", L"", std::nullopt},
        {"relative path upwards", L"..\\x.exe", L"", std::nullopt},
        {"drive-relative path", L"C:x.exe", L"", std::nullopt},
        {"rooted path without a drive", L"\\x.exe", L"", std::nullopt},
        {"nothing", L"", L"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CLaunchTarget> actual = ResolveLaunchTarget(c.target, c.arguments);
        ASSERT_EQ(actual.has_value(), c.expected.has_value()) << (actual ? Narrow(actual->m_strPath) : "");
        if (!actual) continue;
        EXPECT_EQ(Narrow(actual->m_strPath), Narrow(c.expected->m_strPath));
        EXPECT_EQ(Narrow(actual->m_strArguments), Narrow(c.expected->m_strArguments));
        EXPECT_EQ(Narrow(actual->m_strName), Narrow(c.expected->m_strName));
    }
}

// A web task without an icon of its own shows its scheme's, not explorer.exe's;
// one with its own keeps it; a program keeps what it names.
TEST_F(LaunchTargetTest, AWebTaskShowsItsSchemesIcon) {
    const std::wstring hklm = m_root + L"\\apps\\hklm.exe";
    const struct {
        const char* name;
        std::wstring path, iconPath;
        int nIconIndex;
        std::wstring expectedIconPath;
        int nExpectedIndex;
    } cases[] = {
        {"no icon: the scheme's DefaultIcon", L"zembro-web:page", L"", 7, hklm, -3},
        {"its own icon", L"zembro-web:page", L"C:\\icons\\web.ico", 2, L"C:\\icons\\web.ico", 2},
        {"a program without an icon", L"zembrotool", L"", 0, L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CShellTask> task = MakeShellTask(c.path, L"", L"Title", c.iconPath, c.nIconIndex);
        ASSERT_TRUE(task.has_value());
        EXPECT_EQ(Narrow(task->m_strIconPath), Narrow(c.expectedIconPath));
        EXPECT_EQ(task->m_nIconIndex, c.nExpectedIndex);
    }
}

// What the shell's associations may answer for a scheme, and whether that is a
// handler: a command, a DelegateExecute object (ms-settings:) or a packaged app
// (mailto: with the Mail app).
TEST(SchemeHandler, ACommandADelegateOrAPackagedAppIsAHandler) {
    const std::optional<std::wstring> none;
    const struct {
        const char* name;
        CSchemeAssociation answers;
        bool bHandler;
    } cases[] = {
        {"a command", {L"\"C:\\b.exe\" \"%1\"", none, none, none}, true},
        {"DelegateExecute only", {none, L"{17FE9752-0B5A-4665-84CD-569794602F5C}", none, none}, true},
        {"a packaged app only", {none, none, L"microsoft.windowscommunicationsapps_8wekyb3d8bbwe!microsoft.windowslive.mail",
                                 none}, true},
        {"only an icon", {none, none, none, L"C:\\x.dll,1"}, false},
        {"empty answers", {L"", L"", L"", none}, false},
        {"nothing", {}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(NamesHandler(c.answers), c.bHandler) << c.name;
}

TEST(SchemeHandler, DefaultIconTextsBecomeIconLocations) {
    SetEnvironmentVariableW(L"ZEMBRO_ICONS", L"C:\\Icons");
    const struct {
        std::wstring text;
        std::optional<CIconLocation> expected;
    } cases[] = {
        {L"C:\\Windows\\System32\\url.dll,0", CIconLocation{L"C:\\Windows\\System32\\url.dll", 0}},
        {L"C:\\Program Files\\App\\app.exe,-101", CIconLocation{L"C:\\Program Files\\App\\app.exe", -101}},
        {L"\"C:\\Program Files\\App\\app.exe\",1", CIconLocation{L"C:\\Program Files\\App\\app.exe", 1}},
        {L"\"C:\\a,b\\app.exe\"", CIconLocation{L"C:\\a,b\\app.exe", 0}},
        {L"C:\\app.ico", CIconLocation{L"C:\\app.ico", 0}},
        {L"C:\\app.exe, 2 ", CIconLocation{L"C:\\app.exe", 2}},
        {L"%ZEMBRO_ICONS%\\web.ico,3", CIconLocation{L"C:\\Icons\\web.ico", 3}},
        {L"@{Microsoft.WindowsStore_8wekyb3d8bbwe?ms-resource://x}", std::nullopt},
        {L"C:\\app.exe,x", std::nullopt},
        {L"C:\\app.exe,", std::nullopt},
        {L"app.exe,1", std::nullopt},
        {L"%1", std::nullopt},
        {L"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        const std::optional<CIconLocation> actual = ParseIconLocation(c.text);
        ASSERT_EQ(actual.has_value(), c.expected.has_value());
        if (!actual) continue;
        EXPECT_EQ(Narrow(actual->m_strPath), Narrow(c.expected->m_strPath));
        EXPECT_EQ(actual->m_nIndex, c.expected->m_nIndex);
    }
    SetEnvironmentVariableW(L"ZEMBRO_ICONS", nullptr);
}

}  // namespace
