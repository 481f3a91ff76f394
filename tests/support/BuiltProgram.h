#pragma once
// Programs the build puts beside the test programs: in the folder of the
// running test program or in one of the folders above it.
#include <windows.h>

#include <string>

// The full path of pszName there, nearest first; empty when none is found.
inline std::wstring FindBuiltProgram(const wchar_t* pszName) {
    wchar_t szPath[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring folder(szPath, cch < MAX_PATH ? cch : 0);
    for (int nLevel = 0; nLevel < 4; ++nLevel) {
        const size_t slash = folder.find_last_of(L'\\');
        if (slash == std::wstring::npos) break;
        folder.erase(slash);
        const std::wstring candidate = folder + L"\\" + pszName;
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return {};
}
