#pragma once
// The byte stream of the data file: UTF-16LE texts ended by CR LF, and 32-bit
// little-endian integers. A storing archive appends to a byte buffer; a loading
// archive reads from bytes it does not own (the whole file, already read).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // Storing archive: the bytes go to GetBuffer().
    CArchive();
    // Loading archive over [pData, pData + cbData); the bytes must outlive it.
    CArchive(const std::uint8_t* pData, std::size_t cbData);

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    // Writes the text's code units: no length, no terminator.
    void WriteString(const std::u16string& text);
    // Reads one line: CR LF or a lone LF ends it and is consumed. At the end of
    // the bytes it keeps what was read; returns false only when nothing was left.
    bool ReadString(std::u16string& text);

    CArchive& operator<<(std::int32_t value);
    // Throws CArchiveException(endOfFile) when fewer than 4 bytes are left.
    CArchive& operator>>(std::int32_t& value);

    // Storing: makes room for cbMore bytes more, so that a large list is written without regrowth.
    void Reserve(std::size_t cbMore);

    const std::vector<std::uint8_t>& GetBuffer() const { return m_buffer; }

private:
    Mode m_mode;
    std::vector<std::uint8_t> m_buffer;
    const std::uint8_t* m_pData = nullptr;
    std::size_t m_cbData = 0;
    std::size_t m_nPos = 0;
};
