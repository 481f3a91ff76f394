#pragma once
// The two lists that the saver process writes in turn while the test kills it.
#include "core/JumpListAction.h"

// About 1 MB stored: 2,000 tasks whose texts are filled with `fill`.
inline CTaskList MegabyteList(char16_t fill) {
    CTaskList list;
    for (int i = 0; i < 2000; ++i) {
        CJumpListAction task;
        task.m_strTitle = task.m_strDescription = std::u16string(100, fill);
        task.m_strPath = task.m_strArguments = std::u16string(60, fill);
        task.m_strIconPath = std::u16string(30, fill);
        task.m_nIconIndex = i;
        list.Add(task);
    }
    return list;
}

inline constexpr wchar_t kSaverReadyEvent[] = L"ZembroSaverReady";
