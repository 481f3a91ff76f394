#include "core/Archive.h"

#include <bit>
#include <cstring>

#include "core/Exceptions.h"

namespace {
// Texts are UTF-16LE in the file; on a little-endian machine that is their memory form.
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

void AppendUnits(std::u16string& text, const std::uint8_t* p, std::size_t nUnits) {
    const std::size_t nOld = text.size();
    text.resize(nOld + nUnits);
    if (kLittleEndian) {
        std::memcpy(text.data() + nOld, p, nUnits * 2);
        return;
    }
    for (std::size_t i = 0; i < nUnits; ++i) text[nOld + i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
}
}  // namespace

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(const std::uint8_t* pData, std::size_t cbData)
    : m_mode(load), m_pData(pData), m_cbData(cbData) {}

CArchive::CArchive(CArchiveFile& file, Mode mode, std::size_t cbBuffer)
    : m_mode(mode), m_pFile(&file), m_cbBuffer(cbBuffer < 16 ? 16 : cbBuffer) {
    m_buffer.reserve(m_cbBuffer);
    m_pData = m_buffer.data();
}

void CArchive::Append(const std::uint8_t* p, std::size_t cb) {
    if (m_pFile && m_buffer.size() + cb > m_cbBuffer) {
        if (!m_buffer.empty() && !m_pFile->Write(m_buffer.data(), m_buffer.size())) m_bWriteFailed = true;
        m_buffer.clear();
        if (cb >= m_cbBuffer) {
            if (!m_pFile->Write(p, cb)) m_bWriteFailed = true;
            return;
        }
    }
    m_buffer.insert(m_buffer.end(), p, p + cb);
}

bool CArchive::Close() {
    if (m_pFile && m_mode == store && !m_buffer.empty()) {
        if (!m_pFile->Write(m_buffer.data(), m_buffer.size())) m_bWriteFailed = true;
        m_buffer.clear();
    }
    return !m_bWriteFailed;
}

void CArchive::Reserve(std::size_t cbMore) {
    if (!m_pFile) m_buffer.reserve(m_buffer.size() + cbMore);
}

void CArchive::WriteString(const std::u16string& text) {
    if (kLittleEndian) {
        Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size() * 2);
        return;
    }
    for (char16_t ch : text) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(ch & 0xFF), static_cast<std::uint8_t>(ch >> 8)};
        Append(bytes, 2);
    }
}

CArchive& CArchive::operator<<(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                   static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    Append(bytes, 4);
    return *this;
}

bool CArchive::Fill(std::size_t cbNeeded) {
    if (Available() >= cbNeeded) return true;
    if (!m_pFile) return false;
    // Keep the bytes not yet consumed at the front, then read behind them.
    const std::size_t cbLeft = Available();
    std::memmove(m_buffer.data(), m_buffer.data() + m_nPos, cbLeft);
    m_buffer.resize(m_cbBuffer);
    std::size_t cbHave = cbLeft;
    while (cbHave < cbNeeded) {
        const std::size_t cbRead = m_pFile->Read(m_buffer.data() + cbHave, m_cbBuffer - cbHave);
        if (cbRead == 0) break;
        cbHave += cbRead;
    }
    m_pData = m_buffer.data();
    m_cbData = cbHave;
    m_nPos = 0;
    return cbHave >= cbNeeded;
}

bool CArchive::AtEnd() { return !Fill(1); }

bool CArchive::ReadString(std::u16string& text) {
    text.clear();
    if (!Fill(2)) {
        m_nPos = m_cbData;  // a lone trailing byte is no code unit
        return false;
    }
    for (;;) {
        // Scan the buffered code units for the line feed that ends the text.
        const std::uint8_t* const pStart = m_pData + m_nPos;
        const std::size_t nUnits = Available() / 2;
        std::size_t i = 0;
        while (i < nUnits && !(pStart[2 * i] == 0x0A && pStart[2 * i + 1] == 0)) ++i;
        AppendUnits(text, pStart, i);
        m_nPos += 2 * i;
        if (i < nUnits) {
            m_nPos += 2;
            if (!text.empty() && text.back() == u'\r') text.pop_back();  // CR LF ends it too
            return true;
        }
        if (!Fill(2)) {
            m_nPos = m_cbData;  // the file ended inside the text: keep what was read
            return true;
        }
    }
}

CArchive& CArchive::operator>>(std::int32_t& value) {
    if (!Fill(4)) {
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
