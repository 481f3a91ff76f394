#pragma once
// Drives Zembro's windows as a user's clicks and typing would, and reads them
// back: the window tests' windows in this process and the end-to-end suite's
// in a Zembro.exe of its own alike. A list view message that carries a pointer
// gets its buffer in the memory of the process that owns the window.
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/JumpListAction.h"
#include "support/MessagesSeen.h"

// How long a window may take to handle one message.
inline constexpr DWORD kDeadlineMs = 10000;

struct Row {
    std::u16string number, title, description, path, arguments;
    int image = -1;
    bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* os);
// The rows the main window shows for list: numbered from 1, row n on image n.
std::vector<Row> ExpectedRows(const CTaskList& list);

// Sends a command's message and returns once the window has handled it; false
// when it did not in time. SendNow suits a window of this thread, whose dialogs
// a CModalAnswerer answers; CZembroDriver::Sender answers another process's
// windows while it waits.
using Sender = std::function<bool(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)>;
bool SendNow(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Runs this thread's messages while waiting: another process may be showing
// or activating a window of this thread.
void PumpMessages();

// The main window's list view, read and selected.
HWND TaskList(HWND hMain);
std::vector<Row> ReadRows(HWND hMain);
int SelectedRow(HWND hMain);
void SelectRow(HWND hMain, int nRow);  // -1: none
// A point of row nRow in the list's client area; -1: below the last row.
POINT RowPoint(HWND hMain, int nRow);
int ColumnWidth(HWND hMain, int nColumn);
void SetColumnWidth(HWND hMain, int nColumn, int nWidth);
RECT WindowRect(HWND hWnd);

// What a user's clicks send.
bool Click(HWND hDlg, int nID, const Sender& send = SendNow);
bool Choose(HWND hMain, int nMenuID, const Sender& send = SendNow);  // a popup menu item
bool DoubleClickRow(HWND hMain, int nRow, const Sender& send = SendNow);  // -1: below the last row
// Presses a dialog's button and goes on: the dialog handles it later.
void PressButton(HWND hDlg, int nID);
// Turns a check box over as a click does: the box changes, then its dialog is told.
bool ToggleCheckBox(HWND hDlg, int nID);

// A control's text, asked of the control: GetWindowText does not ask another process's.
std::u16string ControlText(HWND hDlg, int nID);
// Types text into a control, which tells its dialog as typing does; false when it was not taken in time.
bool SetControlText(HWND hDlg, int nID, const std::u16string& text);

// The task editor's fields, read and typed.
CJumpListAction EditorTask(HWND hEditor);
void TypeTask(HWND hEditor, const CJumpListAction& task);

// A message box's text, buttons and icon; the icon is told by its pixels on
// the screen, since an icon handle means nothing in another process.
MessageSeen ReadMessageBox(HWND hBox);
