#pragma once
// The application object: keeps the program to one running copy per desktop,
// prepares the common controls, OLE and the profile, and runs the main window
// as the program's only message loop.
#include <windows.h>

#include "core/CommandLine.h"
#include "framework/App.h"

class CZembroApp : public CWinApp {
public:
    // The title comes from the string table; the program asks to be restarted
    // after a crash or an update, without recovery.
    CZembroApp();
    ~CZembroApp() override;

    // Always FALSE: either a command line switch was carried out, or a running
    // copy was brought forward, or the main window has run and closed. Nothing
    // here shows a message but the usage (a bad command line, /?); a switch's
    // outcome is written to the standard handles when there are any.
    BOOL InitInstance() override;
    // Ends OLE; the process exits with the base class's code (the command
    // line's exit code, 0 after the window).
    int ExitInstance() override;

private:
    int RunWithoutWindow(const CCommandLine& commandLine);
};

// The top-level window titled pszTitle (a running copy's main window, or any
// other window that carries exactly that title) restored, shown, raised and
// activated. False when there is none.
bool ActivateRunningInstance(const wchar_t* pszTitle);
