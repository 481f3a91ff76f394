#include "ui/main/DroppedFiles.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <cwchar>

#include "ui/main/ShortcutTarget.h"
#include "win/WinText.h"

using Microsoft::WRL::ComPtr;

namespace {

bool EndsWithNoCase(const std::wstring& str, const wchar_t* pszEnd) {
    const size_t cch = wcslen(pszEnd);
    return str.size() >= cch && ::CompareStringOrdinal(str.c_str() + str.size() - cch, static_cast<int>(cch), pszEnd,
                                                        static_cast<int>(cch), TRUE) == CSTR_EQUAL;
}

// The last part of a path; a drive's root ("C:\") is its own name.
std::wstring LastPart(const std::wstring& strPath) {
    std::wstring str = strPath;
    while (str.size() > 3 && str.back() == L'\\') str.pop_back();
    const size_t nSlash = str.find_last_of(L'\\');
    const std::wstring strName = nSlash == std::wstring::npos ? str : str.substr(nSlash + 1);
    return strName.empty() ? str : strName;
}

std::wstring WithoutExtension(const std::wstring& strName) {
    const size_t nDot = strName.find_last_of(L'.');
    return nDot == std::wstring::npos || nDot == 0 ? strName : strName.substr(0, nDot);
}

// What Windows Installer says of an advertised shortcut: whether it is one,
// and its component's installed path. msi.dll is loaded from the system folder
// only when a shortcut is dropped, so a start never waits for it.
void ReadInstallerFacts(CShortcutFacts& facts) {
    using PfnGetShortcutTarget = UINT(WINAPI*)(LPCWSTR, LPWSTR, LPWSTR, LPWSTR);
    using PfnGetComponentPath = int(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR, LPDWORD);
    constexpr int kInstallStateMoreData = -3, kInstallStateLocal = 3, kInstallStateSource = 4;
    const HMODULE hMsi = ::LoadLibraryExW(L"msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!hMsi) return;
    const auto pfnTarget = reinterpret_cast<PfnGetShortcutTarget>(
        reinterpret_cast<void*>(::GetProcAddress(hMsi, "MsiGetShortcutTargetW")));
    const auto pfnPath = reinterpret_cast<PfnGetComponentPath>(
        reinterpret_cast<void*>(::GetProcAddress(hMsi, "MsiGetComponentPathW")));
    // A product code and a component code are GUIDs in braces; a feature id is
    // at most 38 characters.
    wchar_t szProduct[39] = {}, szFeature[39] = {}, szComponent[39] = {};
    if (pfnTarget && pfnPath &&
        pfnTarget(facts.m_strLinkPath.c_str(), szProduct, szFeature, szComponent) == ERROR_SUCCESS &&
        szProduct[0] && szComponent[0]) {
        facts.m_bAdvertised = true;
        std::wstring path(MAX_PATH, L'\0');
        DWORD cch = static_cast<DWORD>(path.size());
        int state = pfnPath(szProduct, szComponent, path.data(), &cch);
        if (state == kInstallStateMoreData) {
            path.assign(++cch, L'\0');
            state = pfnPath(szProduct, szComponent, path.data(), &cch);
        }
        if (state == kInstallStateLocal || state == kInstallStateSource)
            facts.m_strComponentPath = path.substr(0, wcsnlen(path.c_str(), path.size()));
    }
    ::FreeLibrary(hMsi);
}

std::wstring InstallerFolder() {
    wchar_t szWindows[MAX_PATH] = {};
    const UINT cch = ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    return cch > 0 && cch < MAX_PATH ? std::wstring(szWindows, cch) + L"\\Installer" : std::wstring();
}

// The task a shortcut stands for, titled with the shortcut's name: what it
// points at (ShortcutTarget.h), with its arguments, description and icon; or
// the shortcut itself, with its description and icon. None when it cannot be read.
std::optional<CJumpListAction> TaskFromShortcut(const std::wstring& strPath) {
    ComPtr<IShellLinkW> pLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pLink))))
        return std::nullopt;
    ComPtr<IPersistFile> pFile;
    if (FAILED(pLink.As(&pFile)) || FAILED(pFile->Load(strPath.c_str(), STGM_READ))) return std::nullopt;

    std::vector<wchar_t> buffer(32768);
    const auto text = [&buffer](HRESULT hr) {
        // Each buffer starts empty: a link to no file leaves GetPath's so (S_FALSE).
        return SUCCEEDED(hr) ? as_u16(std::wstring(buffer.data())) : std::u16string();
    };
    CShortcutFacts facts;
    facts.m_strLinkPath = strPath;
    facts.m_strInstallerFolder = InstallerFolder();
    buffer[0] = L'\0';
    facts.m_strTargetPath = as_wcstr(text(pLink->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, 0)));
    ReadInstallerFacts(facts);
    const CShortcutTarget target = ShortcutTarget(facts);

    CJumpListAction task;
    task.m_strPath = as_u16(target.m_strPath);
    buffer[0] = L'\0';
    if (!target.m_bThroughShortcut)
        task.m_strArguments = text(pLink->GetArguments(buffer.data(), static_cast<int>(buffer.size())));
    buffer[0] = L'\0';
    task.m_strDescription = text(pLink->GetDescription(buffer.data(), static_cast<int>(buffer.size())));
    buffer[0] = L'\0';
    int nIcon = 0;
    task.m_strIconPath = text(pLink->GetIconLocation(buffer.data(), static_cast<int>(buffer.size()), &nIcon));
    task.m_nIconIndex = task.m_strIconPath.empty() ? 0 : nIcon;
    task.m_strTitle = as_u16(WithoutExtension(LastPart(strPath)));
    return task;
}

}  // namespace

std::optional<CJumpListAction> TaskFromDroppedPath(const std::wstring& strPath) {
    const DWORD dwAttributes = ::GetFileAttributesW(strPath.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    CJumpListAction task;
    task.m_strPath = as_u16(strPath);
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        task.m_strTitle = as_u16(LastPart(strPath));
        return task;
    }
    if (EndsWithNoCase(strPath, L".lnk")) return TaskFromShortcut(strPath);
    task.m_strTitle = as_u16(WithoutExtension(LastPart(strPath)));
    if (EndsWithNoCase(strPath, L".exe")) task.m_strIconPath = task.m_strPath;
    return task;
}

std::vector<std::wstring> DroppedPaths(HDROP hDrop) {
    std::vector<std::wstring> arrPaths;
    const UINT nFiles = ::DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < nFiles; ++i) {
        const UINT cch = ::DragQueryFileW(hDrop, i, nullptr, 0);
        if (cch == 0) continue;
        std::wstring strPath(cch + 1, L'\0');
        strPath.resize(::DragQueryFileW(hDrop, i, strPath.data(), cch + 1));
        arrPaths.push_back(std::move(strPath));
    }
    return arrPaths;
}

std::vector<CJumpListAction> TasksFromDroppedPaths(const std::vector<std::wstring>& arrPaths) {
    std::vector<CJumpListAction> arrTasks;
    for (const std::wstring& strPath : arrPaths)
        if (std::optional<CJumpListAction> task = TaskFromDroppedPath(strPath)) arrTasks.push_back(std::move(*task));
    return arrTasks;
}
