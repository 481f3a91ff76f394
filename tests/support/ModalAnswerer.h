#pragma once
// Answers the modal windows that the test's own thread opens, through a WH_CBT
// hook on HCBT_ACTIVATE. Message boxes are recorded and answered with a chosen
// button. Any other dialog is handed to a script that runs once inside that
// dialog's own modal loop, so the test can drive it like a user.
// While an answerer lives, a watchdog ends the whole test process with a
// message if it is not destroyed within its deadline: a dialog that never ends
// fails the run instead of hanging it.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct CRecordedMessageBox {
    std::u16string m_strText;
    std::u16string m_strCaption;
    UINT m_nType = 0;            // its buttons and icon, e.g. MB_YESNOCANCEL | MB_ICONQUESTION
    HWND m_hWndOwner = nullptr;  // the window it was modal to
    std::vector<int> m_arrVisibleButtons;  // the ids of every button shown, in window order
};

class CModalAnswerer {
public:
    // nButton: what message boxes are answered with (IDOK, IDYES, IDCANCEL, ...).
    explicit CModalAnswerer(int nButton = IDOK, DWORD dwDeadlineMs = 30000);
    ~CModalAnswerer();
    CModalAnswerer(const CModalAnswerer&) = delete;
    CModalAnswerer& operator=(const CModalAnswerer&) = delete;

    void SetAnswer(int nButton) { m_nButton = nButton; }
    // Chooses each message box's answer from what it says, as it opens; it runs
    // while the box is up, so it may also look at the program's state then.
    void SetMessageBoxScript(std::function<int(const CRecordedMessageBox&)> script) { m_boxScript = std::move(script); }
    // Runs script(hWndDialog) once for every dialog that is not a message box,
    // from a zero-delay timer of that dialog, once it is up and in its loop.
    void SetDialogScript(std::function<void(HWND)> script) { m_script = std::move(script); }

    const std::vector<CRecordedMessageBox>& MessageBoxes() const { return m_arrBoxes; }

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK ScriptTimerProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD);
    static DWORD WINAPI WatchdogThread(void* pParam);
    void OnActivate(HWND hWnd);

    int m_nButton;
    std::function<void(HWND)> m_script;
    std::function<int(const CRecordedMessageBox&)> m_boxScript;
    std::vector<CRecordedMessageBox> m_arrBoxes;
    std::vector<HWND> m_arrOpen;  // dialogs seen and not yet destroyed
    HHOOK m_hHook = nullptr;
    HANDLE m_hStop = nullptr;
    HANDLE m_hWatchdog = nullptr;
    DWORD m_dwDeadlineMs;
};

// The text of a window (a control's text, a dialog's caption).
std::u16string WindowText(HWND hWnd);
