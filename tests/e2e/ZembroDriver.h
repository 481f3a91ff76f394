#pragma once
// Drives the real Zembro.exe from outside, as a user's clicks would: window
// messages to its buttons and dialogs, its list view read and selected through
// the program's own memory, its message boxes read and answered. Every wait
// has a deadline; the program is ended with the driver.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "core/JumpListAction.h"
#include "support/MessagesSeen.h"
#include "support/ZembroProcess.h"

inline constexpr DWORD kDeadlineMs = 10000;

struct Row {
    std::u16string number, title, description, path, arguments;
    bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* os);
// The rows the main window shows for list: numbered from 1.
std::vector<Row> ExpectedRows(const CTaskList& list);


// A message sent from a helper thread: the test goes on, and answers what the
// message opens, while the program handles it.
class CSentMessage {
public:
    // text, when given, is what lParam points to (WM_SETTEXT).
    CSentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                 std::optional<std::wstring> text = std::nullopt);
    // True once the program has handled the message.
    bool Done(DWORD dwTimeoutMs = 0) const;

private:
    struct CState;
    std::shared_ptr<CState> m_state;
};

// A window's text, asked of the window itself (edit controls keep theirs).
std::u16string TextOf(HWND hWnd);
std::u16string ControlText(HWND hDlg, int nID);
// Types text into a control of a dialog; false when the program did not take it in time.
bool SetControlText(HWND hDlg, int nID, const std::wstring& text);
// Presses a dialog's button (OK, Cancel, Locate...); the dialog handles it later.
void PressButton(HWND hDlg, int nID);
// Turns a check box over as a click does: the box changes, then its dialog is told.
bool ToggleCheckBox(HWND hDlg, int nID);

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
    // the message boxes it shows meanwhile. A test failure when it does not.
    bool Start() { return Launch() && WaitUntilReady(); }
    // The two halves of Start, for a test that answers a box at start itself;
    // Launch may pass arguments after the program's name.
    bool Launch(const std::wstring& arguments = L"");
    bool WaitUntilReady();
    HWND Main() const { return m_hMain; }
    CZembroProcess& Process() { return *m_process; }

    // What message boxes are answered with (IDOK, IDYES, IDNO, IDCANCEL).
    void SetAnswer(int nButton) { m_nAnswer = nButton; }
    void SetDialogScript(DialogScript script) { m_script = std::move(script); }
    // Every message box answered so far, in order.
    const std::vector<MessageSeen>& Boxes() const { return m_boxes; }

    // A click on a button of the main window, and a choice of an item of its
    // popup menu. Each returns once the program has handled it.
    bool Click(int nID);
    bool Choose(int nMenuID);
    bool DoubleClickRow(int nRow);  // -1: below the last row
    // Sends one message and waits until the program has handled it, answering
    // the windows it opens meanwhile.
    bool Do(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam = 0);

    std::vector<Row> Rows() const;
    // Waits until the list shows nRows rows; false at the deadline.
    bool WaitForRows(int nRows) const;
    int SelectedRow() const;
    void SelectRow(int nRow);
    int ColumnWidth(int nColumn) const;
    void SetColumnWidth(int nColumn, int nWidth);
    RECT WindowRect() const;

    // The next dialog with this caption, or the next message box; answered by the caller.
    HWND WaitForDialog(const std::wstring& caption, DWORD dwTimeoutMs = kDeadlineMs);
    HWND WaitForMessageBox(DWORD dwTimeoutMs = kDeadlineMs);
    // A message box that is open now and not yet answered; null when none.
    HWND FindMessageBox();
    // A message box's text, buttons and icon.
    static MessageSeen Read(HWND hBox);
    // Reads a message box, presses one of its buttons and waits until it is gone.
    MessageSeen Answer(HWND hBox, int nButton = IDOK);

    // Closes the main window as its close box does and waits for the program
    // to end; false when it did not end by itself with exit code 0.
    bool Close();

private:
    // Answers the message boxes and hands the dialogs that are open now.
    void AnswerOpenWindows();
    // Top-level dialogs of the program, the main window excepted, that take input.
    std::vector<HWND> OpenDialogs() const;
    bool IsMessageBox(HWND hWnd) const;

    std::unique_ptr<CZembroProcess> m_process;
    HWND m_hMain = nullptr;
    int m_nAnswer = IDOK;
    DialogScript m_script;
    std::vector<MessageSeen> m_boxes;
    std::set<HWND> m_handled;
};
