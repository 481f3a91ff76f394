#pragma once
// The main window's popup menu (resource IDR_POPUP_MENU): where it opens and
// which of its items are grey. A chosen item reaches the owner as the
// ordinary WM_COMMAND of its id.
#include <windows.h>

#include "win/UniqueHandle.h"

class CPopupMenu {
public:
    // What can be done now; the rest is grey.
    struct CState {
        bool m_bCanUndo = false, m_bCanRedo = false;
        bool m_bCanRun = false;  // a task (not a separator) is selected
    };
    // At pt (screen).
    void Show(HWND hOwner, POINT pt, const CState& state);

private:
    // Loaded at its first use: the window shows sooner.
    UniqueMenu m_menu;
};

// Where a menu asked for from the keyboard (Shift+F10, the menu key) opens:
// under the selected row of hList, scrolled into view, or at the list's corner.
POINT KeyboardMenuPoint(HWND hList);
