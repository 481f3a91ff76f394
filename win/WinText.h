#pragma once
// The one place where the core's UTF-16 texts meet the Windows API's wide
// strings. Both are UTF-16 code units on Windows, so nothing is converted.
#include <string>

static_assert(sizeof(wchar_t) == 2, "Windows wide strings are UTF-16");

inline const wchar_t* as_wcstr(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline const wchar_t* as_wcstr(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline const char16_t* as_u16cstr(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline std::u16string as_u16(const wchar_t* s) { return s ? std::u16string(as_u16cstr(s)) : std::u16string(); }
inline std::u16string as_u16(const wchar_t* s, size_t n) { return std::u16string(as_u16cstr(s), n); }
inline std::u16string as_u16(const std::wstring& s) { return as_u16(s.data(), s.size()); }
