#pragma once
// Starts the real Zembro.exe and drives it from outside with support/WindowDriver.h,
// answering the message boxes and dialogs it opens while a command waits. Every
// wait has a deadline; the program is ended with the driver.
#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/MessagesSeen.h"
#include "support/WindowDriver.h"
#include "support/ZembroProcess.h"

class CZembroDriver {
public:
    // What every dialog that is not a message box is handed to, once, while a
    // command waits for its end. Without one, such a dialog fails the test.
    using DialogScript = std::function<void(HWND)>;

    CZembroDriver() = default;
    // Cancels what is still open and closes or ends the program.
    ~CZembroDriver();
    CZembroDriver(const CZembroDriver&) = delete;
    CZembroDriver& operator=(const CZembroDriver&) = delete;

    // Starts Zembro.exe and waits until its main window takes input, answering
    // the message boxes it shows meanwhile with OK. A test failure when it does not.
    bool Start() { return Launch() && WaitUntilReady(); }
    // The two halves of Start, for a test that answers a box at start itself;
    // Launch may pass arguments after the program's name.
    bool Launch(const std::wstring& arguments = L"");
    bool WaitUntilReady();
    HWND Main() const { return m_hMain; }
    CZembroProcess& Process() { return *m_process; }

    void SetDialogScript(DialogScript script) { m_script = std::move(script); }
    // Every message box answered so far, in order.
    const std::vector<MessageSeen>& Boxes() const { return m_boxes; }
    // For the commands of support/WindowDriver.h: sends from a helper thread and
    // waits until the program has handled the message, answering the windows it
    // opens meanwhile.
    Sender Answering();

    // The next message box; answered by the caller.
    HWND WaitForMessageBox(DWORD dwTimeoutMs = kDeadlineMs);
    // Reads a message box, presses one of its buttons and waits until it is gone.
    MessageSeen Answer(HWND hBox, int nButton = IDOK);

    // Closes the main window as its close box does and waits for the program
    // to end; false when it did not end by itself with exit code 0.
    bool Close();

private:
    bool Do(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Answers the message boxes and hands the dialogs that are open now.
    void AnswerOpenWindows();
    // Top-level dialogs of the program, the main window excepted, that take input.
    std::vector<HWND> OpenDialogs() const;
    bool IsMessageBox(HWND hWnd) const;

    std::unique_ptr<CZembroProcess> m_process;
    HWND m_hMain = nullptr;
    DialogScript m_script;
    std::vector<MessageSeen> m_boxes;
    std::set<HWND> m_handled;
};
