// Any bytes read as a data file: never a crash, a leak or a read out of bounds,
// and whatever reads without error writes back to the same records.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Exceptions.h"
#include "core/JumpListAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
    CTaskList list;
    CArchive ar(pData, cbData);
    try {
        ArchiveTaskList(list, ar);
    } catch (const CArchiveException&) {
        return 0;
    }
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
