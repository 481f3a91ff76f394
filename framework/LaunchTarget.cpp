#include "framework/LaunchTarget.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "win/UniqueHandle.h"

std::wstring ExpandEnvironmentText(const std::wstring& s) {
    const DWORD cch = ExpandEnvironmentStringsW(s.c_str(), nullptr, 0);
    if (cch == 0) return s;
    std::wstring out(cch, L'\0');
    if (ExpandEnvironmentStringsW(s.c_str(), out.data(), cch) == 0) return s;
    out.resize(wcslen(out.c_str()));
    return out;
}

namespace {

constexpr wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// ASSOCF_IS_PROTOCOL (Windows 8 and later), which MinGW's headers declare only
// for newer targets: the association is a URL scheme, not a file type.
constexpr ASSOCF kAssocIsProtocol = static_cast<ASSOCF>(0x00001000);
// What Windows uses when PATHEXT is not set.
constexpr wchar_t kDefaultPathExt[] = L".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC";

bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }
bool IsSeparator(wchar_t ch) { return ch == L'\\' || ch == L'/'; }

// "C:\..." or "\\server\...": the only paths that do not depend on a current folder.
bool IsFullPath(const std::wstring& s) {
    if (s.size() >= 3 && IsAsciiLetter(s[0]) && s[1] == L':' && IsSeparator(s[2])) return true;
    return s.size() >= 2 && IsSeparator(s[0]) && IsSeparator(s[1]);
}

// The scheme of an address ("https" of "https://..."), or empty. One letter
// before the colon is a drive, not a scheme.
std::wstring SchemeOf(const std::wstring& s) {
    const size_t colon = s.find(L':');
    if (colon == std::wstring::npos || colon < 2 || !IsAsciiLetter(s[0])) return {};
    for (size_t i = 1; i < colon; ++i) {
        const wchar_t ch = s[i];
        if (!IsAsciiLetter(ch) && !(ch >= L'0' && ch <= L'9') && ch != L'+' && ch != L'-' && ch != L'.') return {};
    }
    return s.substr(0, colon);
}

// ASSOCSTR_DELEGATEEXECUTE and ASSOCSTR_APPID, which MinGW's headers declare
// only for newer targets.
constexpr ASSOCSTR kAssocStrDelegateExecute = static_cast<ASSOCSTR>(18);
constexpr ASSOCSTR kAssocStrAppId = static_cast<ASSOCSTR>(21);

// One answer of the shell's associations for a URL scheme; none when it has
// none (or the system does not know the question).
std::optional<std::wstring> AssocText(ASSOCSTR eWhat, const std::wstring& strScheme, const wchar_t* pszVerb) {
    // ASSOCF_NOTRUNCATE: a long answer gives its length, not a cut text.
    const ASSOCF flags = kAssocIsProtocol | ASSOCF_NOTRUNCATE;
    std::wstring text(1024, L'\0');
    DWORD cch = static_cast<DWORD>(text.size());
    HRESULT hr = AssocQueryStringW(flags, eWhat, strScheme.c_str(), pszVerb, text.data(), &cch);
    if ((hr == E_POINTER || hr == HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)) && cch > text.size()) {
        text.assign(cch, L'\0');
        hr = AssocQueryStringW(flags, eWhat, strScheme.c_str(), pszVerb, text.data(), &cch);
    }
    if (hr != S_OK) return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Environment(const wchar_t* pszName) {
    const DWORD cch = GetEnvironmentVariableW(pszName, nullptr, 0);
    if (cch == 0) return {};
    std::wstring value(cch, L'\0');
    const DWORD cchCopied = GetEnvironmentVariableW(pszName, value.data(), cch);
    value.resize(cchCopied < cch ? cchCopied : 0);
    return value;
}

std::vector<std::wstring> SplitList(const std::wstring& list) {
    std::vector<std::wstring> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        std::wstring item = list.substr(start, end - start);
        if (item.size() >= 2 && item.front() == L'"' && item.back() == L'"') item = item.substr(1, item.size() - 2);
        if (!item.empty()) items.push_back(item);
        start = end + 1;
    }
    return items;
}

std::wstring SystemFolder(UINT(WINAPI* pfnGet)(LPWSTR, UINT)) {
    wchar_t szFolder[MAX_PATH] = {};
    const UINT cch = pfnGet(szFolder, MAX_PATH);
    return cch > 0 && cch < MAX_PATH ? std::wstring(szFolder, cch) : std::wstring();
}

// Where the shell looks for a bare name, in Microsoft's order for finding an
// application: the Windows folder, the system folder, then PATH; not in any
// current folder, which for a Jump List task is the shell's own and unknown here.
std::vector<std::wstring> SearchFolders() {
    std::vector<std::wstring> folders;
    for (const std::wstring& folder : {SystemFolder(GetSystemWindowsDirectoryW), SystemFolder(GetSystemDirectoryW)})
        if (!folder.empty()) folders.push_back(folder);
    for (const std::wstring& folder : SplitList(Environment(L"PATH"))) folders.push_back(ExpandEnvironmentText(folder));
    return folders;
}

// The full path of an existing file (not a folder) folder\name, spelt as the
// file system spells it, or empty.
std::wstring ExistingFile(std::wstring folder, const std::wstring& name) {
    while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
    if (folder.empty()) return {};
    WIN32_FIND_DATAW found{};
    if (!UniqueFindFile(FindFirstFileW((folder + L"\\" + name).c_str(), &found))) return {};
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return {};
    return folder + L"\\" + found.cFileName;
}

std::wstring FindOnSearchPath(const std::wstring& name) {
    std::vector<std::wstring> candidates;
    if (name.find(L'.') != std::wstring::npos) candidates.push_back(name);
    std::wstring extensions = Environment(L"PATHEXT");
    if (extensions.empty()) extensions = kDefaultPathExt;
    for (const std::wstring& ext : SplitList(extensions)) candidates.push_back(name + ext);
    for (const std::wstring& folder : SearchFolders())
        for (const std::wstring& candidate : candidates) {
            std::wstring path = ExistingFile(folder, candidate);
            if (!path.empty()) return path;
        }
    return {};
}

// The default value of hRoot\strSubKey as text; tolerates a missing terminator.
std::optional<std::wstring> ReadDefaultText(HKEY hRoot, const std::wstring& strSubKey) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(hRoot, strSubKey.c_str(), 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return std::nullopt;
    DWORD dwType = 0, cb = 0;
    std::optional<std::wstring> text;
    if (RegQueryValueExW(hKey, nullptr, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS &&
        (dwType == REG_SZ || dwType == REG_EXPAND_SZ)) {
        std::wstring value(cb / sizeof(wchar_t) + 1, L'\0');
        DWORD cbRead = cb;
        if (RegQueryValueExW(hKey, nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(value.data()), &cbRead) ==
            ERROR_SUCCESS) {
            value.resize(wcsnlen(value.c_str(), cbRead / sizeof(wchar_t)));
            text = dwType == REG_EXPAND_SZ ? ExpandEnvironmentText(value) : value;
        }
    }
    RegCloseKey(hKey);
    return text;
}

// What App Paths under hRoot registers for name: programs such as winword or
// chrome, which the Run box finds though no PATH folder holds them.
std::wstring FindInAppPaths(HKEY hRoot, const std::wstring& name) {
    const std::wstring key = kAppPaths + (name.find(L'.') != std::wstring::npos ? name : name + L".exe");
    std::optional<std::wstring> path = ReadDefaultText(hRoot, key);
    if (!path) return {};
    if (path->size() >= 2 && path->front() == L'"' && path->back() == L'"') *path = path->substr(1, path->size() - 2);
    // An entry left behind by a program that is gone names nothing.
    if (!IsFullPath(*path)) return {};
    const size_t slash = path->find_last_of(L"\\/");
    return ExistingFile(path->substr(0, slash), path->substr(slash + 1));
}

}  // namespace

CSchemeAssociation QuerySchemeAssociation(const std::wstring& strScheme) {
    CSchemeAssociation answers;
    answers.m_strCommand = AssocText(ASSOCSTR_COMMAND, strScheme, L"open");
    // The others only when they matter: most schemes have a command.
    if (!answers.m_strCommand) {
        answers.m_strDelegateExecute = AssocText(kAssocStrDelegateExecute, strScheme, L"open");
        if (!answers.m_strDelegateExecute) answers.m_strAppId = AssocText(kAssocStrAppId, strScheme, nullptr);
    }
    answers.m_strDefaultIcon = AssocText(ASSOCSTR_DEFAULTICON, strScheme, nullptr);
    return answers;
}

bool NamesHandler(const CSchemeAssociation& answers) {
    const auto named = [](const std::optional<std::wstring>& text) { return text && !text->empty(); };
    return named(answers.m_strCommand) || named(answers.m_strDelegateExecute) || named(answers.m_strAppId);
}

std::optional<CIconLocation> ParseIconLocation(const std::wstring& strText) {
    std::wstring text = strText;
    while (!text.empty() && text.back() == L' ') text.pop_back();
    // A packaged app's resource reference ("@{...}") names no file.
    if (text.empty() || text.front() == L'@') return std::nullopt;
    int nIndex = 0;
    const size_t nComma = text.find_last_of(L',');
    // A comma inside a quoted path is the path's.
    const size_t nQuoteEnd = text.size() >= 2 && text.front() == L'"' ? text.find(L'"', 1) : std::wstring::npos;
    if (nComma != std::wstring::npos && (nQuoteEnd == std::wstring::npos || nComma > nQuoteEnd)) {
        std::wstring index = text.substr(nComma + 1);
        while (!index.empty() && index.front() == L' ') index.erase(0, 1);
        const bool bNegative = !index.empty() && index.front() == L'-';
        if (bNegative) index.erase(0, 1);
        if (index.empty() || index.size() > 9 || index.find_first_not_of(L"0123456789") != std::wstring::npos)
            return std::nullopt;
        nIndex = std::stoi(index) * (bNegative ? -1 : 1);
        text.resize(nComma);
        while (!text.empty() && text.back() == L' ') text.pop_back();
    }
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    text = ExpandEnvironmentText(text);
    // Only a full path: the shell would look for another one in its own folder.
    if (!IsFullPath(text)) return std::nullopt;
    return CIconLocation{text, nIndex};
}

std::optional<CLaunchTarget> ResolveLaunchTarget(const std::wstring& strTarget, const std::wstring& strArguments) {
    if (strTarget.empty()) return std::nullopt;

    // Addresses first and as typed: their percent signs are not variables.
    const std::wstring scheme = SchemeOf(strTarget);
    if (!scheme.empty()) {
        const std::wstring windows = SystemFolder(GetSystemWindowsDirectoryW);
        const CSchemeAssociation answers = QuerySchemeAssociation(scheme);
        if (!NamesHandler(answers) || windows.empty()) return std::nullopt;
        // Explorer hands an address to the program the user chose for it. A
        // quote would end the argument early; %22 is the same address.
        std::wstring address;
        for (const wchar_t ch : strTarget) address += ch == L'"' ? std::wstring(L"%22") : std::wstring(1, ch);
        CLaunchTarget target{windows + L"\\explorer.exe", L"\"" + address + L"\"", strTarget};
        // Not explorer's icon: the one the scheme shows.
        if (answers.m_strDefaultIcon) target.m_icon = ParseIconLocation(*answers.m_strDefaultIcon);
        return target;
    }

    const std::wstring target = ExpandEnvironmentText(strTarget);
    if (IsFullPath(target)) return CLaunchTarget{target, strArguments, FileNameOf(target)};
    // A relative path with folders, a drive-relative or rooted path, or wildcards.
    if (target.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos) return std::nullopt;

    std::wstring path = FindOnSearchPath(target);
    if (path.empty()) path = FindInAppPaths(HKEY_CURRENT_USER, target);
    if (path.empty()) path = FindInAppPaths(HKEY_LOCAL_MACHINE, target);
    if (path.empty()) return std::nullopt;
    return CLaunchTarget{path, strArguments, FileNameOf(path)};
}

std::optional<CShellTask> MakeShellTask(const std::wstring& strPath, const std::wstring& strArguments,
                                        const std::wstring& strTitle, const std::wstring& strIconPath,
                                        int nIconIndex) {
    std::optional<CLaunchTarget> target = ResolveLaunchTarget(strPath, strArguments);
    if (!target) return std::nullopt;
    CShellTask task{std::move(target->m_strPath), std::move(target->m_strArguments),
                    strTitle.empty() ? std::move(target->m_strName) : strTitle, strIconPath, nIconIndex};
    if (strIconPath.empty() && target->m_icon) {
        task.m_strIconPath = target->m_icon->m_strPath;
        task.m_nIconIndex = target->m_icon->m_nIndex;
    }
    return task;
}
