#pragma once
// Whole numbers as the user types them into an edit control, and back.
// Portable: no Windows header.
#include <cstdint>
#include <string>
#include <string_view>

// Accepts optional blanks (space, tab) around an optional sign and at least one
// ASCII digit; nothing else. The value must fit the type; ParseUInt32 refuses a
// minus sign (even "-0"). On failure n is untouched.
bool ParseInt32(std::u16string_view text, std::int32_t& n);
bool ParseUInt32(std::u16string_view text, std::uint32_t& n);

// Decimal, with a leading '-' for negative values.
std::u16string FormatNumber(std::int64_t n);
