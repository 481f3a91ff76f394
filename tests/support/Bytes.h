#pragma once
// Builds data file bytes by hand, so that tests state the format independently
// of the writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/JumpListAction.h"

using Bytes = std::vector<std::uint8_t>;

inline void AppendInt(Bytes& b, std::int32_t n) {
    const auto u = static_cast<std::uint32_t>(n);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

inline void AppendText(Bytes& b, const std::u16string& s) {
    for (char16_t ch : s) {
        b.push_back(static_cast<std::uint8_t>(ch & 0xFF));
        b.push_back(static_cast<std::uint8_t>(ch >> 8));
    }
}

inline void AppendLine(Bytes& b, const std::u16string& s) {
    AppendText(b, s);
    AppendText(b, u"\r\n");
}

inline void AppendRecord(Bytes& b, const CJumpListAction& a) {
    for (const auto* s : {&a.m_strTitle, &a.m_strDescription, &a.m_strPath, &a.m_strArguments, &a.m_strIconPath})
        AppendLine(b, *s);
    AppendInt(b, a.m_nIconIndex);
    AppendInt(b, a.m_bSeparator);
}

inline CJumpListAction MakeTask(std::u16string title, std::u16string description, std::u16string path,
                                std::u16string arguments = u"", std::u16string iconPath = u"", std::int32_t index = 0) {
    CJumpListAction a;
    a.m_strTitle = std::move(title);
    a.m_strDescription = std::move(description);
    a.m_strPath = std::move(path);
    a.m_strArguments = std::move(arguments);
    a.m_strIconPath = std::move(iconPath);
    a.m_nIconIndex = index;
    return a;
}

inline CJumpListAction MakeSeparator(std::int32_t flag = 1) {
    CJumpListAction a;
    a.m_bSeparator = flag;
    return a;
}

inline CTaskList MakeList(std::initializer_list<CJumpListAction> items) {
    CTaskList list;
    for (const auto& a : items) list.Add(a);
    return list;
}

// A file in memory, read or written in the pieces the archive asks for.
class CMemoryFile : public CArchiveFile {
public:
    explicit CMemoryFile(Bytes bytes = {}) : m_bytes(std::move(bytes)) {}
    std::size_t Read(std::uint8_t* p, std::size_t cb) override {
        const std::size_t n = std::min(cb, m_bytes.size() - m_nPos);
        std::copy_n(m_bytes.begin() + static_cast<long>(m_nPos), n, p);
        m_nPos += n;
        return n;
    }
    bool Write(const std::uint8_t* p, std::size_t cb) override {
        m_bytes.insert(m_bytes.end(), p, p + cb);
        return true;
    }
    Bytes m_bytes;

private:
    std::size_t m_nPos = 0;
};

// The buffer sizes the file-backed archive is tested with: the smallest, one
// that splits records at odd places, and the program's own.
inline constexpr std::size_t kArchiveBufferSizes[] = {16, 37, 64 * 1024};

// Writes list in memory, and checks that a file-backed archive writes the same bytes.
inline Bytes Store(CTaskList list) {
    CArchive ar;
    ArchiveTaskList(list, ar);
    for (std::size_t cbBuffer : kArchiveBufferSizes) {
        CMemoryFile file;
        CArchive fileArchive(file, CArchive::store, cbBuffer);
        ArchiveTaskList(list, fileArchive);
        EXPECT_TRUE(fileArchive.Close());
        EXPECT_EQ(file.m_bytes, ar.GetBuffer()) << "buffer of " << cbBuffer << " bytes";
    }
    return ar.GetBuffer();
}
