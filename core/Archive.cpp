#include "core/Archive.h"

#include <bit>
#include <cstring>

#include "core/Exceptions.h"

namespace {
// Texts are UTF-16LE in the file; on a little-endian machine that is their memory form.
constexpr bool kLittleEndian = std::endian::native == std::endian::little;
}  // namespace

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(const std::uint8_t* pData, std::size_t cbData)
    : m_mode(load), m_pData(pData), m_cbData(cbData) {}

void CArchive::WriteString(const std::u16string& text) {
    if (kLittleEndian) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
        m_buffer.insert(m_buffer.end(), p, p + text.size() * 2);
        return;
    }
    for (char16_t ch : text) {
        m_buffer.push_back(static_cast<std::uint8_t>(ch & 0xFF));
        m_buffer.push_back(static_cast<std::uint8_t>(ch >> 8));
    }
}

void CArchive::Reserve(std::size_t cbMore) { m_buffer.reserve(m_buffer.size() + cbMore); }

bool CArchive::ReadString(std::u16string& text) {
    text.clear();
    const std::size_t nUnits = (m_cbData - m_nPos) / 2;
    if (nUnits == 0) {
        m_nPos = m_cbData;  // a lone trailing byte is no code unit
        return false;
    }
    // Find the line feed that ends the text; a CR right before it is part of the terminator.
    const std::uint8_t* const pStart = m_pData + m_nPos;
    std::size_t nLength = nUnits, nConsumed = nUnits;
    for (std::size_t i = 0; i < nUnits; ++i) {
        if (pStart[2 * i] == 0x0A && pStart[2 * i + 1] == 0) {
            nLength = (i > 0 && pStart[2 * i - 2] == 0x0D && pStart[2 * i - 1] == 0) ? i - 1 : i;
            nConsumed = i + 1;
            break;
        }
    }
    text.resize(nLength);
    if (kLittleEndian) {
        std::memcpy(text.data(), pStart, nLength * 2);
    } else {
        for (std::size_t i = 0; i < nLength; ++i)
            text[i] = static_cast<char16_t>(pStart[2 * i] | (pStart[2 * i + 1] << 8));
    }
    m_nPos = nConsumed == nUnits ? m_cbData : m_nPos + nConsumed * 2;
    return true;
}

CArchive& CArchive::operator<<(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                   static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    m_buffer.insert(m_buffer.end(), bytes, bytes + 4);
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& value) {
    if (m_cbData - m_nPos < 4) {
        m_nPos = m_cbData;
        throw CArchiveException(CArchiveException::endOfFile);
    }
    const std::uint8_t* p = m_pData + m_nPos;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                      (static_cast<std::uint32_t>(p[2]) << 16) |
                                      (static_cast<std::uint32_t>(p[3]) << 24));
    m_nPos += 4;
    return *this;
}
