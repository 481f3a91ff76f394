#pragma once
// Export and import as the user goes through them: which file (a task list,
// *.dat, in Data.dat's own format and limits), whether the imported entries
// replace the list or follow its last entry, and what went wrong.
#include <windows.h>

#include <optional>
#include <string>

#include "core/JumpListAction.h"

class CDialog;

// Asks for the file and writes list to it; a failure is told.
void ExportTaskList(CDialog& owner, const CTaskList& list);
// Asks for the file, reads it (one not read whole is told, and refused) and
// asks how: the list to commit, or none when the user cancelled.
std::optional<CTaskList> AskForImportedList(CDialog& owner, const CTaskList& current);

// The file to export to (bExport: "Zembro tasks.dat" offered) or to import
// from; false when the user cancelled.
bool AskForTaskListFile(HWND hOwner, bool bExport, std::u16string& strPath);

enum { kIdReplaceList = 1001, kIdAddAfterLast = 1002 };

// kIdReplaceList, kIdAddAfterLast or IDCANCEL. Where the task dialog cannot be
// shown, a message box asks the same (Yes: replace, No: add after the last
// entry) and gives the same ids.
int AskHowToImport(HWND hOwner, const std::u16string& strPath, int nEntries);
