#pragma once
// Runs the real main window in the test's thread, where support/WindowDriver.h
// drives it like a user; adds what only works in this thread: keys handled as
// the modal loop would, popup menus, the rows' image list.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/OleInit.h"
#include "support/ModalAnswerer.h"
#include "support/ProfileValues.h"
#include "support/TempFolder.h"
#include "support/WindowDriver.h"

// How many images the rows' image list holds.
int ImageCount(HWND hDlg);

// A key pressed while the list view has the focus (with Ctrl held when bCtrl),
// handled as the dialog's modal loop would.
void PressListKey(HWND hDlg, UINT vk, bool bCtrl = false);

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

// A drag as the list view starts it: the row's LVN_BEGINDRAG, then the mouse
// moves to `to` (list client coordinates); there `atTo` runs inside the drag
// and posts how the drag ends: a release at `end`, or Escape when end.x < -100.
void DragRow(HWND h, int nFrom, POINT to, POINT end, std::function<void(HWND)> atTo = {});

// Files as the file manager drops them: a DROPFILES block with a double-NUL list.
void DropFiles(HWND h, const std::vector<std::u16string>& paths);

// Ends the main window as Escape does.
void Close(HWND hDlg);
