#pragma once
// The program's stored preferences, read and written past its own profile
// code: HKCU\Software\Brellow\Zembro by Brellow\Settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

inline constexpr wchar_t kSettingsKey[] = L"Software\\Brellow\\Zembro by Brellow\\Settings";

// A value of another type reads as missing.
inline std::optional<DWORD> ProfileDword(const wchar_t* pszName) {
    DWORD dwValue = 0, cb = sizeof(dwValue), dwType = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, pszName, RRF_RT_ANY, &dwType, &dwValue, &cb) != ERROR_SUCCESS ||
        dwType != REG_DWORD)
        return std::nullopt;
    return dwValue;
}

inline std::optional<std::vector<BYTE>> ProfileBinary(const wchar_t* pszName) {
    std::vector<BYTE> data(256);
    DWORD cb = static_cast<DWORD>(data.size()), dwType = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, pszName, RRF_RT_ANY, &dwType, data.data(), &cb) !=
            ERROR_SUCCESS ||
        dwType != REG_BINARY)
        return std::nullopt;
    data.resize(cb);
    return data;
}

inline void SetProfileDword(const wchar_t* pszName, DWORD dwValue) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, pszName, REG_DWORD, &dwValue, sizeof(dwValue)),
              ERROR_SUCCESS);
}

inline void SetProfileBinary(const wchar_t* pszName, const void* pData, DWORD cb) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, pszName, REG_BINARY, pData, cb), ERROR_SUCCESS);
}
