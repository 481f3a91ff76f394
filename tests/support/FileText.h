#pragma once
// A whole file's bytes, read while its writer may still hold it open; empty
// when it is missing. For tests that check files other processes write. A
// program that holds the file without sharing (Zembro reading Data.dat) is
// waited out for a while, as Zembro waits out others.
#include <windows.h>

#include <string>

inline std::string ReadFileText(const std::wstring& path) {
    std::string text;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int nTry = 0; nTry < 200; ++nTry) {
        h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(10);
    }
    if (h == INVALID_HANDLE_VALUE) return text;
    text.resize(GetFileSize(h, nullptr));
    DWORD cb = 0;
    ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &cb, nullptr);
    text.resize(cb);
    CloseHandle(h);
    return text;
}
