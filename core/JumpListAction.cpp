#include "core/JumpListAction.h"

namespace {

const std::u16string kLineEnd = u"\r\n";

void WriteField(CArchive& ar, const std::u16string& text) {
    if (text.find_first_of(u"\r\n") == std::u16string::npos) {
        ar.WriteString(text);
    } else {
        std::u16string oneLine = text;
        for (char16_t& ch : oneLine)
            if (ch == u'\r' || ch == u'\n') ch = u' ';
        ar.WriteString(oneLine);
    }
    ar.WriteString(kLineEnd);
}

}  // namespace

void CJumpListAction::Serialize(CArchive& ar) {
    std::u16string* const texts[] = {&m_strTitle, &m_strDescription, &m_strPath, &m_strArguments, &m_strIconPath};
    if (ar.IsStoring()) {
        for (const std::u16string* pText : texts) WriteField(ar, *pText);
        ar << m_nIconIndex << m_bSeparator;
    } else {
        for (std::u16string* pText : texts) ar.ReadString(*pText);
        ar >> m_nIconIndex >> m_bSeparator;
    }
}

void ArchiveTaskList(CTaskList& list, CArchive& ar) {
    if (ar.IsStoring()) {
        const int n = list.GetSize();
        ar << static_cast<std::int32_t>(n);
        for (int i = 0; i < n; ++i) {
            CJumpListAction action = list.GetAt(i);
            action.Serialize(ar);
        }
        return;
    }
    list.RemoveAll();
    std::int32_t n = 0;
    ar >> n;
    for (std::int32_t i = 0; i < n; ++i) {
        CJumpListAction action;
        action.Serialize(ar);
        list.Add(action);
    }
}

std::int32_t AnnouncedTaskCount(const std::uint8_t* pData, std::size_t cbData) {
    if (cbData < 4) return 0;
    CArchive ar(pData, cbData);
    std::int32_t n = 0;
    ar >> n;
    return n;
}
