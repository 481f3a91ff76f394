#pragma once
// Turns what the file manager drops on the main window into tasks: a program,
// a document, a folder, or what a shortcut stands for.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "core/JumpListAction.h"

// The paths a drop carries, in its order.
std::vector<std::wstring> DroppedPaths(HDROP hDrop);

// The task a dropped path stands for, titled with its name: a folder as
// itself, a program with its own icon, a shortcut as what it points at (with
// its arguments, description and icon) or, when that is no file, the shortcut
// itself. None for what is neither a file nor a folder (gone meanwhile, or a
// shortcut that cannot be read).
std::optional<CJumpListAction> TaskFromDroppedPath(const std::wstring& strPath);
// The tasks of every path that stands for one, in the drop's order.
std::vector<CJumpListAction> TasksFromDroppedPaths(const std::vector<std::wstring>& arrPaths);
