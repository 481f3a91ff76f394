#pragma once
// Where the preferences live in the application profile: the settings dialog
// writes them and the main window reads the same entries, with the same default of 1.

inline constexpr wchar_t kSettingsSection[] = L"Settings";
inline constexpr wchar_t kRememberLocationEntry[] = L"m_bRememberLocation";
inline constexpr wchar_t kRememberColumnWidthEntry[] = L"m_bRememberColumnWidth";
