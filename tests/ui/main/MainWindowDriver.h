#pragma once
// Runs the real main window in the test's thread and drives it like a user:
// clicks, menu choices, double-clicks; reads back its rows, the profile and
// what the stand-in Jump List host received.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/JumpListAction.h"
#include "framework/App.h"
#include "framework/OleInit.h"
#include "support/MessagesSeen.h"
#include "support/ModalAnswerer.h"
#include "support/ProfileValues.h"
#include "support/TempFolder.h"

struct Row {
    std::u16string number, title, description, path, arguments;
    int image = -1;
    bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* os);

// The rows the view should show for list: numbered from 1, row n on image n.
std::vector<Row> ExpectedRows(const CTaskList& list);
std::vector<Row> ReadRows(HWND hDlg);
int ImageCount(HWND hDlg);
int SelectedRow(HWND hDlg);
void SelectRow(HWND hDlg, int nRow);

// What a user's actions send.
void Click(HWND hDlg, int nID);
// A key pressed while the list view has the focus (with Ctrl held when bCtrl),
// handled as the dialog's modal loop would.
void PressListKey(HWND hDlg, UINT vk, bool bCtrl = false);
void DoubleClickRow(HWND hDlg, int nRow);  // -1: below the last row

// The task editor's fields, read and typed.
CJumpListAction EditorTask(HWND hEditor);
void TypeTask(HWND hEditor, const CJumpListAction& task);

// Arms a choice in the next popup menu this thread opens: once the menu is up,
// its position and item texts are recorded and the nth selectable item is
// chosen with the keyboard (-1: the menu is closed with Escape).
struct PopupMenuSeen {
    RECT rc{};
    std::vector<std::u16string> items;  // "" for a separator line
    std::vector<bool> grayed;
};
void ChooseInNextPopupMenu(int nItem, std::optional<PopupMenuSeen>& seen);


class MainWindowTest : public DataFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the main window until script has ended it (or it ends itself).
    // nested runs in every other dialog that opens meanwhile (task editor,
    // settings, about box); message boxes are answered with nAnswer. Returns
    // how DoModal ended.
    INT_PTR Run(const std::function<void(HWND)>& script, const std::function<void(HWND)>& nested = {},
                int nAnswer = IDOK, const std::function<int(const CRecordedMessageBox&)>& boxScript = {});
    // The same, with each message box answered as boxScript chooses.
    INT_PTR Run(const std::function<void(HWND)>& script,
                const std::function<int(const CRecordedMessageBox&)>& boxScript);

    // The message boxes of the last Run; each was checked to carry the
    // application title and to be modal to the main window.
    std::vector<MessageSeen> m_boxes;
    CWinApp m_app;

private:
    CScopedOleInit m_ole;
};

// Dispatches what this thread's queue holds, as a modal loop would.
void Pump();
// Ends the main window as Escape does.
void Close(HWND hDlg);
