#include "ui/main/ShortcutTarget.h"

#include <cwctype>

namespace {

// "C:\..." or "\\server\...": a file's full path, not a registry key path ("02:\...").
bool IsFullFilePath(const std::wstring& s) {
    const auto letter = [](wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); };
    if (s.size() >= 3 && letter(s[0]) && s[1] == L':' && s[2] == L'\\') return true;
    return s.size() >= 3 && s[0] == L'\\' && s[1] == L'\\';
}

// Whether path lies in folder (case-insensitive, ASCII being all a Windows
// folder name needs here).
bool IsInFolder(const std::wstring& path, std::wstring folder) {
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (folder.empty() || path.size() <= folder.size() || path[folder.size()] != L'\\') return false;
    for (size_t i = 0; i < folder.size(); ++i)
        if (std::towlower(path[i]) != std::towlower(folder[i])) return false;
    return true;
}

}  // namespace

CShortcutTarget ShortcutTarget(const CShortcutFacts& facts) {
    const CShortcutTarget shortcut{facts.m_strLinkPath, true};
    if (facts.m_bAdvertised)
        return IsFullFilePath(facts.m_strComponentPath) ? CShortcutTarget{facts.m_strComponentPath, false} : shortcut;
    // GetPath of an advertised shortcut that Windows Installer did not
    // recognise (its product is gone) is still only an icon.
    if (facts.m_strTargetPath.empty() || IsInFolder(facts.m_strTargetPath, facts.m_strInstallerFolder)) return shortcut;
    return {facts.m_strTargetPath, false};
}
