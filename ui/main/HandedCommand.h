#pragma once
// The command line's /publish and /import handed to the open window, both
// ends of it: the command line finds the window and sends WM_COPYDATA tagged
// kWindowCommandTag; the window takes the command from the message and
// answers with the exit code.
#include <windows.h>

#include "core/CommandLine.h"

// A running copy's main window: titled pszTitle and holding the task list
// (a message box of that copy carries the title too). Null when none.
HWND FindMainWindow(const wchar_t* pszTitle);

// Sends commandLine (publish, or import with its file made a full path) to
// hWnd and returns the window's exit code. A window that does not answer in
// time (a hung one) counts as busy: nothing waits without end.
int HandToRunningWindow(HWND hWnd, CCommandLine commandLine);

// The command a WM_COPYDATA carries: publish or import, bad for anything else.
CCommandLine HandedCommandOf(const COPYDATASTRUCT* pData);
