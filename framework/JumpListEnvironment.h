#pragma once
// The publisher's surroundings on Windows: the shell's Jump List through
// CJumpList, error messages in message boxes, and the hourglass.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/JumpListPublisher.h"

// A CJumpList that commits automatically, as the publisher's Jump List. Each
// task reaches the shell as MakeShellTask (LaunchTarget.h) makes it; AddTask
// is false for a task that names nothing launchable.
std::unique_ptr<IJumpList> CreateShellJumpList();

// The string table entries the words are taken from, which the program's
// resources hold (as AFX_IDS_APP_TITLE).
constexpr UINT AFX_IDS_PUBLISH_INITIALIZE_FAILED = 0xE010;  // "Failed to Initialize Jump List"
constexpr UINT AFX_IDS_PUBLISH_COMMIT_FAILED = 0xE011;
constexpr UINT AFX_IDS_PUBLISH_TASKS_SKIPPED = 0xE012;  // %1: the names, each after a line break
constexpr UINT AFX_IDS_PUBLISH_MORE_SKIPPED = 0xE013;   // %1: how many more
constexpr UINT AFX_IDS_UNTITLED_TASK = 0xE014;

// The words for error, from the string table: a skipped task by its name (or
// "(untitled task)"), ten at most and then how many more, since a message
// longer than the screen helps nobody.
std::wstring PublishErrorText(const CPublishError& error);

class CJumpListEnvironment : public IJumpListEnvironment {
public:
    // Errors show in message boxes owned by hWndOwner (null: none) with
    // strCaption, the application title, as their caption.
    // bShowErrors false: errors are dropped (the caller tells them otherwise).
    CJumpListEnvironment(HWND hWndOwner, std::u16string strCaption, bool bShowErrors = true);

    std::unique_ptr<IJumpList> CreateJumpList() override;
    // PublishErrorText in a modal box, with an OK button and the stop icon.
    void ShowError(const CPublishError& error) override;
    // The application object's hourglass, so that its dialogs keep it too.
    // Without an application object there is none.
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    HWND m_hWndOwner;
    bool m_bShowErrors;
    std::u16string m_strCaption;
};
