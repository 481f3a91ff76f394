#pragma once
// Registry values as the tests see them behind the code's back: type and raw
// bytes under HKEY_CURRENT_USER, or absent.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

struct CStoredValue {
    DWORD m_dwType = REG_NONE;
    std::vector<BYTE> m_bytes;
    bool operator==(const CStoredValue&) const = default;
};
using StoredValue = std::optional<CStoredValue>;
inline constexpr std::nullopt_t kAbsent = std::nullopt;

inline std::vector<BYTE> Le32(std::uint32_t n) { return {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)}; }
inline StoredValue Dword(std::uint32_t n) { return CStoredValue{REG_DWORD, Le32(n)}; }
inline StoredValue Raw(DWORD dwType, std::vector<BYTE> bytes) { return CStoredValue{dwType, std::move(bytes)}; }
inline StoredValue Text(const wchar_t* psz) {
    const auto* p = reinterpret_cast<const BYTE*>(psz);
    return CStoredValue{REG_SZ, std::vector<BYTE>(p, p + (lstrlenW(psz) + 1) * sizeof(wchar_t))};
}

inline bool KeyExists(const wchar_t* pszKey) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    RegCloseKey(hKey);
    return true;
}

inline void CreateKey(const wchar_t* pszKey) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, pszKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
}

inline StoredValue ReadValue(const wchar_t* pszKey, const wchar_t* pszName) {
    CStoredValue value;
    DWORD cb = 0;
    const DWORD dwFlags = RRF_RT_ANY | RRF_NOEXPAND;
    if (RegGetValueW(HKEY_CURRENT_USER, pszKey, pszName, dwFlags, &value.m_dwType, nullptr, &cb) != ERROR_SUCCESS)
        return kAbsent;
    value.m_bytes.resize(cb);
    if (RegGetValueW(HKEY_CURRENT_USER, pszKey, pszName, dwFlags, &value.m_dwType, value.m_bytes.data(), &cb) !=
        ERROR_SUCCESS)
        return kAbsent;
    value.m_bytes.resize(cb);
    return value;
}

// Absent deletes the value; the key must exist.
inline void WriteValue(const wchar_t* pszKey, const wchar_t* pszName, const StoredValue& value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, pszKey, pszName);
        return;
    }
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, pszKey, pszName, value->m_dwType, value->m_bytes.data(),
                              static_cast<DWORD>(value->m_bytes.size())),
              ERROR_SUCCESS);
}
