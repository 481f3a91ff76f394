#pragma once
// What the main window offers the keyboard and assistive technology beyond
// its controls: keys on the task list that run the buttons' and the menu's
// commands, tooltips on the buttons that name those keys, and the list's
// accessible name.
#include <windows.h>

// Subclasses hList so that each key of the window reaches hList's parent as
// the WM_COMMAND its button or menu item sends, before the list view sees it
// (Ctrl+Up would otherwise also move the list's focus away from the moved row).
void AttachListKeys(HWND hList);

// Buttons' tooltips, "Caption (Key)", in a tooltip window owned by hDlg.
HWND CreateButtonTips(HWND hDlg);

// Names hList "Jump List tasks" for screen readers, through a hidden label
// (id nLabelID) before it in tab order and the list's own text; nothing shows.
void NameTaskList(HWND hDlg, HWND hList, int nLabelID);
