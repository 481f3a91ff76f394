#pragma once
// An open key under HKEY_CURRENT_USER, closed when the wrapper goes away.
// Every operation returns the Windows error code (ERROR_SUCCESS on success) and
// leaves its out-parameter alone when it fails. Open never creates a key (a
// missing key stays missing); Create makes the keys on the way.
#include <windows.h>

#include <vector>

#include "win/UniqueHandle.h"

class CRegistryKey {
public:
    CRegistryKey() = default;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Opens HKEY_CURRENT_USER\pszSubKey with samDesired. On success the key held
    // before (if any) is closed; on failure the wrapper keeps what it held.
    [[nodiscard]] LONG Open(const wchar_t* pszSubKey, REGSAM samDesired);
    // As Open, but creates HKEY_CURRENT_USER\pszSubKey and the keys above it
    // when they are missing.
    [[nodiscard]] LONG Create(const wchar_t* pszSubKey, REGSAM samDesired);

    // dwValue receives the number only when the value is a REG_DWORD of exactly
    // four bytes. A value of another type or length gives ERROR_INVALID_DATA; a
    // missing one ERROR_FILE_NOT_FOUND; no open key ERROR_INVALID_HANDLE.
    [[nodiscard]] LONG QueryDWORDValue(const wchar_t* pszValueName, DWORD& dwValue) const;
    // Stores dwValue as a REG_DWORD, little-endian, four bytes.
    [[nodiscard]] LONG SetDWORDValue(const wchar_t* pszValueName, DWORD dwValue);
    // data receives a REG_BINARY of any length, as stored. A value of another
    // type gives ERROR_INVALID_DATA.
    [[nodiscard]] LONG QueryBinaryValue(const wchar_t* pszValueName, std::vector<BYTE>& data) const;
    [[nodiscard]] LONG SetBinaryValue(const wchar_t* pszValueName, const void* pData, DWORD cbData);
    [[nodiscard]] LONG DeleteValue(const wchar_t* pszValueName);

    // Closes the key if one is held; safe to call on a closed wrapper.
    void Close() { m_hKey.reset(); }
    bool IsOpen() const { return m_hKey.valid(); }

private:
    UniqueRegKey m_hKey;
};
