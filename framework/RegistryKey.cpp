#include "framework/RegistryKey.h"

LONG CRegistryKey::Open(const wchar_t* pszSubKey, REGSAM samDesired) {
    HKEY hKey = nullptr;
    const LONG lResult = RegOpenKeyExW(HKEY_CURRENT_USER, pszSubKey, 0, samDesired, &hKey);
    if (lResult != ERROR_SUCCESS) return lResult;
    m_hKey.reset(hKey);
    return ERROR_SUCCESS;
}

LONG CRegistryKey::Create(const wchar_t* pszSubKey, REGSAM samDesired) {
    HKEY hKey = nullptr;
    const LONG lResult = RegCreateKeyExW(HKEY_CURRENT_USER, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         samDesired, nullptr, &hKey, nullptr);
    if (lResult != ERROR_SUCCESS) return lResult;
    m_hKey.reset(hKey);
    return ERROR_SUCCESS;
}

LONG CRegistryKey::QueryDWORDValue(const wchar_t* pszValueName, DWORD& dwValue) const {
    if (!m_hKey) return ERROR_INVALID_HANDLE;
    DWORD dwType = REG_NONE;
    DWORD dwRead = 0;
    DWORD cb = sizeof(dwRead);
    const LONG lResult =
        RegQueryValueExW(m_hKey.get(), pszValueName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwRead), &cb);
    // Longer than four bytes: whatever its type, it is no DWORD we can use.
    if (lResult == ERROR_MORE_DATA) return ERROR_INVALID_DATA;
    if (lResult != ERROR_SUCCESS) return lResult;
    // A short REG_DWORD would leave part of the number unread.
    if (dwType != REG_DWORD || cb != sizeof(dwRead)) return ERROR_INVALID_DATA;
    dwValue = dwRead;
    return ERROR_SUCCESS;
}

LONG CRegistryKey::SetDWORDValue(const wchar_t* pszValueName, DWORD dwValue) {
    if (!m_hKey) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(m_hKey.get(), pszValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                          sizeof(dwValue));
}

LONG CRegistryKey::QueryBinaryValue(const wchar_t* pszValueName, std::vector<BYTE>& data) const {
    if (!m_hKey) return ERROR_INVALID_HANDLE;
    // The value may change between asking for its size and reading it: ask again.
    for (int nAttempt = 0; nAttempt < 4; ++nAttempt) {
        DWORD dwType = REG_NONE;
        DWORD cb = 0;
        LONG lResult = RegQueryValueExW(m_hKey.get(), pszValueName, nullptr, &dwType, nullptr, &cb);
        if (lResult != ERROR_SUCCESS) return lResult;
        if (dwType != REG_BINARY) return ERROR_INVALID_DATA;
        std::vector<BYTE> buffer(cb);
        lResult = RegQueryValueExW(m_hKey.get(), pszValueName, nullptr, &dwType, buffer.data(), &cb);
        if (lResult == ERROR_MORE_DATA) continue;
        if (lResult != ERROR_SUCCESS) return lResult;
        if (dwType != REG_BINARY) return ERROR_INVALID_DATA;
        buffer.resize(cb);
        data.swap(buffer);
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

LONG CRegistryKey::SetBinaryValue(const wchar_t* pszValueName, const void* pData, DWORD cbData) {
    if (!m_hKey) return ERROR_INVALID_HANDLE;
    return RegSetValueExW(m_hKey.get(), pszValueName, 0, REG_BINARY, static_cast<const BYTE*>(pData), cbData);
}

LONG CRegistryKey::DeleteValue(const wchar_t* pszValueName) {
    if (!m_hKey) return ERROR_INVALID_HANDLE;
    return RegDeleteValueW(m_hKey.get(), pszValueName);
}
