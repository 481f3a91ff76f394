#pragma once
// A whole file's bytes, read while its writer may still hold it open; empty
// when it is missing. For tests that check files other processes write.
#include <windows.h>

#include <string>

inline std::string ReadFileText(const std::wstring& path) {
    std::string text;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return text;
    text.resize(GetFileSize(h, nullptr));
    DWORD cb = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &cb, nullptr);
    text.resize(cb);
    CloseHandle(h);
    return text;
}
