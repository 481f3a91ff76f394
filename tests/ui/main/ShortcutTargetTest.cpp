// What a task made from a dropped shortcut launches, over stand-in answers of
// the shell link and of Windows Installer.
#include <gtest/gtest.h>

#include <string>

#include "ui/main/ShortcutTarget.h"
#include "support/Narrow.h"

namespace {

constexpr wchar_t kLink[] = L"C:\\Users\\u\\Desktop\\Word.lnk";
constexpr wchar_t kInstaller[] = L"C:\\Windows\\Installer";


TEST(ShortcutTarget, AdvertisedAndFilelessShortcutsDoNotBecomeIconPaths) {
    const std::wstring word = L"C:\\Program Files\\Microsoft Office\\root\\Office16\\WINWORD.EXE";
    const std::wstring icon = L"C:\\Windows\\Installer\\{90160000-0011-0000-1000-0000000FF1CE}\\wordicon.exe";
    const struct {
        const char* name;
        std::wstring target;  // GetPath
        bool bAdvertised;
        std::wstring component;  // MsiGetComponentPath
        CShortcutTarget expected;
    } cases[] = {
        {"a plain shortcut", L"C:\\Tools\\tool.exe", false, L"", {L"C:\\Tools\\tool.exe", false}},
        {"advertised, installed", icon, true, word, {word, false}},
        {"advertised, not installed (only advertised)", icon, true, L"", {kLink, true}},
        {"advertised, its component a registry key path", icon, true, L"02:\\Software\\Microsoft\\Office",
         {kLink, true}},
        {"advertised, on a network share", icon, true, L"\\\\server\\apps\\word.exe", {L"\\\\server\\apps\\word.exe", false}},
        {"GetPath in the Installer folder, product unknown", icon, false, L"", {kLink, true}},
        {"the Installer folder in another case", L"c:\\WINDOWS\\installer\\{x}\\i.exe", false, L"", {kLink, true}},
        {"a file beside the Installer folder", L"C:\\Windows\\InstallerTool.exe", false, L"",
         {L"C:\\Windows\\InstallerTool.exe", false}},
        {"no file-system target (a Store app)", L"", false, L"", {kLink, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CShortcutFacts facts;
        facts.m_strLinkPath = kLink;
        facts.m_strTargetPath = c.target;
        facts.m_bAdvertised = c.bAdvertised;
        facts.m_strComponentPath = c.component;
        facts.m_strInstallerFolder = kInstaller;
        const CShortcutTarget target = ShortcutTarget(facts);
        EXPECT_EQ(Narrow(target.m_strPath), Narrow(c.expected.m_strPath));
        EXPECT_EQ(target.m_bThroughShortcut, c.expected.m_bThroughShortcut);
    }
}

}  // namespace
