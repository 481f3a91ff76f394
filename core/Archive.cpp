#include "core/Archive.h"

#include "core/Exceptions.h"

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(const std::uint8_t* pData, std::size_t cbData)
    : m_mode(load), m_pData(pData), m_cbData(cbData) {}

void CArchive::WriteString(const std::u16string& text) {
    const std::size_t nStart = m_buffer.size();
    m_buffer.resize(nStart + text.size() * 2);
    std::uint8_t* p = m_buffer.data() + nStart;
    for (char16_t ch : text) {
        *p++ = static_cast<std::uint8_t>(ch & 0xFF);
        *p++ = static_cast<std::uint8_t>(ch >> 8);
    }
}

bool CArchive::ReadString(std::u16string& text) {
    text.clear();
    if (m_cbData - m_nPos < 2) {
        m_nPos = m_cbData;  // a lone trailing byte is no code unit
        return false;
    }
    while (m_cbData - m_nPos >= 2) {
        const char16_t ch = static_cast<char16_t>(m_pData[m_nPos] | (m_pData[m_nPos + 1] << 8));
        m_nPos += 2;
        if (ch == u'\n') return true;
        if (ch == u'\r' && m_cbData - m_nPos >= 2 && m_pData[m_nPos] == 0x0A && m_pData[m_nPos + 1] == 0) {
            m_nPos += 2;
            return true;
        }
        text.push_back(ch);
    }
    m_nPos = m_cbData;
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
