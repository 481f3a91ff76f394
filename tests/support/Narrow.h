#pragma once
// ASCII for test output and names: other characters show as '?', a line break as '|'.
#include <string>
#include <string_view>

inline std::string Narrow(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) out.push_back(c == u'\n' ? '|' : c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}
#ifdef _WIN32
inline std::string Narrow(std::wstring_view s) { return Narrow(std::u16string_view(reinterpret_cast<const char16_t*>(s.data()), s.size())); }
inline std::string Narrow(const wchar_t* psz) { return Narrow(std::wstring_view(psz ? psz : L"")); }
#endif
inline std::string Narrow(const std::u16string& s) { return Narrow(std::u16string_view(s)); }
