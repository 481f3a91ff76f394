#pragma once
// What an export or an import asks the user: which file (a task list, *.dat),
// and whether the imported entries replace the list or follow its last entry.
#include <windows.h>

#include <string>

// The file to export to (bExport: "Zembro tasks.dat" offered) or to import
// from; false when the user cancelled.
bool AskForTaskListFile(HWND hOwner, bool bExport, std::u16string& strPath);

enum { kIdReplaceList = 1001, kIdAddAfterLast = 1002 };

// kIdReplaceList, kIdAddAfterLast or IDCANCEL. Where the task dialog cannot be
// shown, a message box asks the same (Yes: replace, No: add after the last
// entry) and gives the same ids.
int AskHowToImport(HWND hOwner, const std::u16string& strPath, int nEntries);
