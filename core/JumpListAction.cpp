#include "core/JumpListAction.h"

#include <utility>

namespace {

const std::u16string kLineEnd = u"\r\n";
constexpr std::size_t kFixedRecordBytes = 5 * 4 + 2 * 4;  // five terminators, two integers

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
    if (ar.IsStoring()) {
        Store(ar);
        return;
    }
    for (std::u16string* pText : {&m_strTitle, &m_strDescription, &m_strPath, &m_strArguments, &m_strIconPath})
        ar.ReadString(*pText);
    ar >> m_nIconIndex >> m_bSeparator;
}

void CJumpListAction::Store(CArchive& ar) const {
    for (const std::u16string* pText : {&m_strTitle, &m_strDescription, &m_strPath, &m_strArguments, &m_strIconPath})
        WriteField(ar, *pText);
    ar << m_nIconIndex << m_bSeparator;
}

std::size_t CJumpListAction::StoredSize() const {
    return kFixedRecordBytes +
           2 * (m_strTitle.size() + m_strDescription.size() + m_strPath.size() + m_strArguments.size() +
                m_strIconPath.size());
}

void StoreTaskList(const CTaskList& list, CArchive& ar) {
    const int n = list.GetSize();
    std::size_t cbTotal = 4;
    for (int i = 0; i < n; ++i) cbTotal += list.GetAt(i).StoredSize();
    ar.Reserve(cbTotal);
    ar << static_cast<std::int32_t>(n);
    for (int i = 0; i < n; ++i) list.GetAt(i).Store(ar);
}

void ArchiveTaskList(CTaskList& list, CArchive& ar, std::int32_t* pnAnnounced, std::int32_t nMaxEntries) {
    if (ar.IsStoring()) {
        StoreTaskList(list, ar);
        return;
    }
    list.RemoveAll();
    if (pnAnnounced) *pnAnnounced = 0;
    std::int32_t n = 0;
    ar >> n;
    if (pnAnnounced) *pnAnnounced = n;
    if (n > nMaxEntries) throw CArchiveException(CArchiveException::tooManyEntries);
    for (std::int32_t i = 0; i < n; ++i) {
        CJumpListAction action;
        action.Serialize(ar);
        list.Add(std::move(action));
    }
}
