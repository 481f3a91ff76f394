#pragma once
// The publisher's surroundings on Windows: the shell's Jump List through
// CJumpList, error messages in message boxes, and the hourglass.
#include <windows.h>

#include <memory>
#include <string>

#include "core/JumpListPublisher.h"

// A CJumpList that commits automatically, as the publisher's Jump List. Each
// task reaches the shell as MakeShellTask (LaunchTarget.h) makes it; AddTask
// is false for a task that names nothing launchable.
std::unique_ptr<IJumpList> CreateShellJumpList();

class CJumpListEnvironment : public IJumpListEnvironment {
public:
    // Errors show in message boxes owned by hWndOwner (null: none) with
    // strCaption, the application title, as their caption.
    // bShowErrors false: errors are dropped (the caller tells them otherwise).
    CJumpListEnvironment(HWND hWndOwner, std::u16string strCaption, bool bShowErrors = true);

    std::unique_ptr<IJumpList> CreateJumpList() override;
    // Modal, with an OK button and the stop icon.
    void ShowError(const std::u16string& strMessage) override;
    // The application object's hourglass, so that its dialogs keep it too.
    // Without an application object there is none.
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    HWND m_hWndOwner;
    bool m_bShowErrors;
    std::u16string m_strCaption;
};
