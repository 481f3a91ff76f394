#include "framework/DialogTemplate.h"

#include <optional>
#include <string>
#include <utility>

namespace {

constexpr std::uint16_t kStaticClassAtom = 0x0082;
constexpr std::uint32_t kStaticTypeMask = 0x1F;  // SS_TYPEMASK
constexpr std::uint32_t kStaticIcon = 0x03;      // SS_ICON
constexpr std::uint32_t kSetFont = 0x40;         // DS_SETFONT (DS_SHELLFONT includes it)

class CReader {
public:
    CReader(const std::uint8_t* pData, std::size_t cb) : m_pData(pData), m_cb(cb) {}

    bool Skip(std::size_t cb) {
        if (m_cb - m_nAt < cb) return false;
        m_nAt += cb;
        return true;
    }
    std::optional<std::uint16_t> Word() {
        if (m_cb - m_nAt < 2) return std::nullopt;
        const auto n = static_cast<std::uint16_t>(m_pData[m_nAt] | m_pData[m_nAt + 1] << 8);
        m_nAt += 2;
        return n;
    }
    std::optional<std::uint32_t> Dword() {
        const std::optional<std::uint16_t> lo = Word(), hi = lo ? Word() : std::nullopt;
        if (!hi) return std::nullopt;
        return static_cast<std::uint32_t>(*lo | static_cast<std::uint32_t>(*hi) << 16);
    }
    // A null-terminated UTF-16 string, kept in *pText when asked for.
    bool SkipString(std::u16string* pText = nullptr) {
        for (;;) {
            const std::optional<std::uint16_t> ch = Word();
            if (!ch) return false;
            if (*ch == 0) return true;
            if (pText) pText->push_back(static_cast<char16_t>(*ch));
        }
    }
    // A "sz_Or_Ord": 0 (none), 0xFFFF and an ordinal, or a string (kept in
    // *pText when asked for). The ordinal, 0 for none or a string; empty when
    // cut short.
    std::optional<std::uint16_t> NameOrOrdinal(bool& bOrdinal, std::u16string* pText = nullptr) {
        bOrdinal = false;
        const std::optional<std::uint16_t> first = Word();
        if (!first) return std::nullopt;
        if (*first == 0) return 0;
        if (*first == 0xFFFF) {
            bOrdinal = true;
            return Word();
        }
        if (pText) pText->push_back(static_cast<char16_t>(*first));
        if (!SkipString(pText)) return std::nullopt;
        return 0;
    }
    // Items start on a 4-byte boundary from the template's start.
    bool AlignDword() { return Skip((4 - m_nAt % 4) % 4); }

private:
    const std::uint8_t* m_pData;
    std::size_t m_cb;
    std::size_t m_nAt = 0;
};

// "Static" in any case.
bool IsStaticClassName(const std::u16string& strClass) {
    constexpr char16_t kName[] = u"static";
    if (strClass.size() != 6) return false;
    for (std::size_t i = 0; i < 6; ++i) {
        const char16_t ch = strClass[i] >= u'A' && strClass[i] <= u'Z' ? strClass[i] - u'A' + u'a' : strClass[i];
        if (ch != kName[i]) return false;
    }
    return true;
}

}  // namespace

bool FindTemplatePictures(const std::uint8_t* pData, std::size_t cbData, std::vector<CTemplatePicture>& pictures) {
    if (!pData) return false;
    CReader r(pData, cbData);
    const std::optional<std::uint16_t> version = r.Word(), signature = version ? r.Word() : std::nullopt;
    if (!signature) return false;
    const bool bEx = *version == 1 && *signature == 0xFFFF;
    std::optional<std::uint32_t> style;
    std::optional<std::uint16_t> nItems;
    if (bEx) {
        // help id, extended style, style
        if (!r.Skip(8) || !(style = r.Dword())) return false;
    } else {
        // The first two words were the style.
        style = static_cast<std::uint32_t>(*version | static_cast<std::uint32_t>(*signature) << 16);
        if (!r.Skip(4)) return false;  // extended style
    }
    if (!(nItems = r.Word()) || !r.Skip(8)) return false;  // count, x, y, cx, cy
    bool bOrdinal = false;
    if (!r.NameOrOrdinal(bOrdinal) || !r.NameOrOrdinal(bOrdinal) || !r.SkipString()) return false;  // menu, class, title
    if (*style & kSetFont) {
        // point size; DIALOGEX adds weight, italic and character set
        if (!r.Skip(bEx ? 6 : 2) || !r.SkipString()) return false;
    }

    std::vector<CTemplatePicture> found;
    for (std::size_t i = 0; i < *nItems; ++i) {
        if (!r.AlignDword()) return false;
        std::optional<std::uint32_t> itemStyle;
        if (bEx) {
            // help id, extended style, style, x, y, cx, cy, id (a DWORD)
            if (!r.Skip(8) || !(itemStyle = r.Dword()) || !r.Skip(12)) return false;
        } else {
            // style, extended style, x, y, cx, cy, id (a WORD)
            if (!(itemStyle = r.Dword()) || !r.Skip(14)) return false;
        }
        bool bClassAtom = false, bTitleOrdinal = false;
        std::u16string strClass;
        const std::optional<std::uint16_t> classAtom = r.NameOrOrdinal(bClassAtom, &strClass);
        const std::optional<std::uint16_t> title = classAtom ? r.NameOrOrdinal(bTitleOrdinal) : std::nullopt;
        const std::optional<std::uint16_t> cbExtra = title ? r.Word() : std::nullopt;
        if (!cbExtra || !r.Skip(*cbExtra)) return false;
        const bool bStatic = bClassAtom ? *classAtom == kStaticClassAtom : IsStaticClassName(strClass);
        if (bStatic && (*itemStyle & kStaticTypeMask) == kStaticIcon && bTitleOrdinal)
            found.push_back({i, *title});
    }
    pictures = std::move(found);
    return true;
}
