// Any bytes read as a data file: never a crash, a leak or a read out of bounds,
// and whatever reads without error writes back to the same records.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Exceptions.h"
#include "core/JumpListAction.h"

namespace {

// The input as a file read in small pieces, the way the program reads Data.dat.
class CInputFile : public CArchiveFile {
public:
    CInputFile(const std::uint8_t* pData, std::size_t cbData) : m_pData(pData), m_cbLeft(cbData) {}
    std::size_t Read(std::uint8_t* p, std::size_t cb) override {
        const std::size_t n = cb < m_cbLeft ? cb : m_cbLeft;
        std::memcpy(p, m_pData, n);
        m_pData += n;
        m_cbLeft -= n;
        return n;
    }
    bool Write(const std::uint8_t*, std::size_t) override { return false; }

private:
    const std::uint8_t* m_pData;
    std::size_t m_cbLeft;
};

// Reads through ar; false when the end-of-file error ended the read.
bool Read(CArchive& ar, CTaskList& list) {
    try {
        ArchiveTaskList(list, ar);
    } catch (const CArchiveException&) {
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
    CTaskList list;
    CArchive ar(pData, cbData);
    const bool bComplete = Read(ar, list);

    // A buffered file archive must read exactly what the in-memory one read.
    CInputFile file(pData, cbData);
    CArchive fileArchive(file, CArchive::load, 16);
    CTaskList fromFile;
    if (Read(fileArchive, fromFile) != bComplete || !(fromFile == list)) std::abort();
    if (!bComplete) return 0;

    CArchive stored;
    ArchiveTaskList(list, stored);
    CTaskList reread;
    CArchive reload(stored.GetBuffer().data(), stored.GetBuffer().size());
    ArchiveTaskList(reread, reload);
    // Texts read from a file hold no line feed, so they come back as they were,
    // except a lone CR, which the writer turns into a space.
    if (reread.GetSize() != list.GetSize()) std::abort();
    for (int i = 0; i < list.GetSize(); ++i) {
        CJumpListAction expected = list.GetAt(i);
        for (std::u16string* pText : {&expected.m_strTitle, &expected.m_strDescription, &expected.m_strPath,
                                      &expected.m_strArguments, &expected.m_strIconPath})
            for (char16_t& ch : *pText)
                if (ch == u'\r') ch = u' ';
        if (!(reread.GetAt(i) == expected)) std::abort();
    }
    return 0;
}
