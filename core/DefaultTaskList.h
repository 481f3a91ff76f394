#pragma once
// The nine entries a new or reset task list starts with.
#include <cstdint>
#include <string>

#include "core/JumpListAction.h"

// Empties list and fills it with the default entries. Nothing is saved or published.
void FillDefaultTaskList(CTaskList& list);

// Appends a task. Note the order: the path comes before the description.
void AddDefaultTask(CTaskList& list, const std::u16string& strTitle, const std::u16string& strPath,
                    const std::u16string& strDescription, const std::u16string& strArguments,
                    const std::u16string& strIconPath, std::int32_t nIconIndex);

// Appends a separator: five empty texts, icon index 0, flag 1.
void AddDefaultSeparator(CTaskList& list);
