#pragma once
// The byte stream of the data file: UTF-16LE texts ended by CR LF, and 32-bit
// little-endian integers. An archive works either on memory (a storing archive
// collects its bytes in GetBuffer(); a loading one reads bytes it does not own)
// or, through a buffer of its own, on a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An open file as an archive sees it.
class CArchiveFile {
public:
    virtual ~CArchiveFile() = default;
    // Reads up to cb bytes; returns how many were read, 0 only at the end. A
    // read error throws CFileException: it must never pass for the end.
    virtual std::size_t Read(std::uint8_t* p, std::size_t cb) = 0;
    // Writes all cb bytes; false when the file refused them.
    virtual bool Write(const std::uint8_t* p, std::size_t cb) = 0;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // Storing archive in memory: the bytes go to GetBuffer().
    CArchive();
    // Loading archive over [pData, pData + cbData); the bytes must outlive it.
    CArchive(const std::uint8_t* pData, std::size_t cbData);
    // Archive over an open file, with a buffer of cbBuffer bytes. A storing one
    // must be closed with Close() to write what is still buffered.
    CArchive(CArchiveFile& file, Mode mode, std::size_t cbBuffer = 64 * 1024);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    // Writes the text's code units: no length, no terminator.
    void WriteString(const std::u16string& text);
    // Reads one line: CR LF or a lone LF ends it and is consumed. At the end of
    // the bytes it keeps what was read; returns false only when nothing was left.
    bool ReadString(std::u16string& text);

    // Loading: whether every byte has been read (it reads ahead to know).
    bool AtEnd();

    CArchive& operator<<(std::int32_t value);
    // Throws CArchiveException(endOfFile) when fewer than 4 bytes are left.
    CArchive& operator>>(std::int32_t& value);

    // Storing to memory: makes room for cbMore bytes more, so that a large
    // list is written without regrowth.
    void Reserve(std::size_t cbMore);
    // Storing to a file: writes the buffered bytes. False when any write failed.
    bool Close();

    const std::vector<std::uint8_t>& GetBuffer() const { return m_buffer; }

private:
    void Append(const std::uint8_t* p, std::size_t cb);
    // Loading: makes at least cbNeeded bytes available when the input has them.
    bool Fill(std::size_t cbNeeded);
    std::size_t Available() const { return m_cbData - m_nPos; }

    Mode m_mode;
    CArchiveFile* m_pFile = nullptr;
    std::size_t m_cbBuffer = 0;
    bool m_bWriteFailed = false;
    std::vector<std::uint8_t> m_buffer;  // storing: pending bytes; loading a file: the window
    const std::uint8_t* m_pData = nullptr;
    std::size_t m_cbData = 0;
    std::size_t m_nPos = 0;
};
