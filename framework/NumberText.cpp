#include "framework/NumberText.h"

namespace {

bool IsBlank(char16_t ch) { return ch == u' ' || ch == u'\t'; }

// Splits text into sign and magnitude; the magnitude saturates just above any
// 32-bit limit, so it cannot overflow however many digits there are.
bool ParseMagnitude(std::u16string_view text, bool& bNegative, std::uint64_t& nMagnitude) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    bNegative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        bNegative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    constexpr std::uint64_t kCeiling = 0x1'0000'0000ull;
    std::uint64_t n = 0;
    for (char16_t ch : text) {
        if (ch < u'0' || ch > u'9') return false;
        n = n * 10 + static_cast<std::uint64_t>(ch - u'0');
        if (n > kCeiling) n = kCeiling;
    }
    nMagnitude = n;
    return true;
}

}  // namespace

bool ParseInt32(std::u16string_view text, std::int32_t& n) {
    bool bNegative = false;
    std::uint64_t nMagnitude = 0;
    if (!ParseMagnitude(text, bNegative, nMagnitude)) return false;
    if (nMagnitude > (bNegative ? 0x8000'0000ull : 0x7FFF'FFFFull)) return false;
    n = static_cast<std::int32_t>(bNegative ? -static_cast<std::int64_t>(nMagnitude)
                                            : static_cast<std::int64_t>(nMagnitude));
    return true;
}

bool ParseUInt32(std::u16string_view text, std::uint32_t& n) {
    bool bNegative = false;
    std::uint64_t nMagnitude = 0;
    if (!ParseMagnitude(text, bNegative, nMagnitude) || bNegative) return false;
    if (nMagnitude > 0xFFFF'FFFFull) return false;
    n = static_cast<std::uint32_t>(nMagnitude);
    return true;
}

std::u16string FormatNumber(std::int64_t n) {
    // Work on the negative side: it also holds the most negative value.
    std::u16string digits;
    std::int64_t rest = n < 0 ? n : -n;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' - rest % 10));
        rest /= 10;
    } while (rest != 0);
    if (n < 0) digits.insert(digits.begin(), u'-');
    return digits;
}
