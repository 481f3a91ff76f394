#pragma once
// One entry of the Jump List (a task or a separator), the task list, and their
// byte form in the data file.
#include <climits>
#include <cstdint>
#include <string>

#include "core/Archive.h"
#include "core/Array.h"

class CJumpListAction {
public:
    std::u16string m_strTitle;
    std::u16string m_strDescription;  // shown in the list view, never published
    std::u16string m_strPath;         // a file path, a bare program name or a URL
    std::u16string m_strArguments;
    std::u16string m_strIconPath;     // empty when the task names no icon file
    std::int32_t m_nIconIndex = 0;
    std::int32_t m_bSeparator = 0;    // nonzero: a separator; kept as read (2 stays 2)

    // Storing: writes the five texts, each ended by CR LF, then the two integers.
    // A CR or LF inside a text is written as a space, so that it cannot end the
    // field early and shift every later one. Loading: overwrites all seven fields;
    // throws CArchiveException(endOfFile) when an integer is cut short.
    void Serialize(CArchive& ar);
    // The storing half of Serialize, for a record the caller may not change.
    void Store(CArchive& ar) const;
    // How many bytes Store writes.
    std::size_t StoredSize() const;

    bool operator==(const CJumpListAction&) const = default;
};

using CTaskList = CArray<CJumpListAction, const CJumpListAction&>;

// Writes the count and the records to a storing archive.
void StoreTaskList(const CTaskList& list, CArchive& ar);

// Storing: writes the count and the records. Loading: empties list first, then
// reads; on CArchiveException the records read completely stay in list.
// pnAnnounced, when given, receives the count the bytes announce (0 when they
// are too short to hold one). A count above nMaxEntries throws
// CArchiveException(tooManyEntries) before any record is read.
void ArchiveTaskList(CTaskList& list, CArchive& ar, std::int32_t* pnAnnounced = nullptr,
                     std::int32_t nMaxEntries = INT32_MAX);
