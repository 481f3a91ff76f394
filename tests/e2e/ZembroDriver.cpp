#include "ZembroDriver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <thread>

#include "win/WinText.h"
#include "res/resource.h"

namespace {

// How long a helper thread waits for the program to handle one message: the
// test's own, shorter deadline decides the outcome.
constexpr DWORD kSendTimeoutMs = 60000;

bool IsDialogClass(HWND hWnd) {
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    return lstrcmpW(szClass, L"#32770") == 0;
}

// Sends a message from a detached thread, which ends when the program has
// handled it or is gone, and owns what it uses; the event is set once handled.
std::shared_ptr<void> SendFromThread(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<void> done(CreateEventW(nullptr, TRUE, FALSE, nullptr), CloseHandle);
    std::thread([=] {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
            SetEvent(done.get());
    }).detach();
    return done;
}

}  // namespace

CZembroDriver::~CZembroDriver() {
    if (!m_process || !m_process->Running()) return;
    // A test that stopped half way may have left a dialog open: cancel it, so
    // that the main window can close.
    for (int nRound = 0; nRound < 5; ++nRound) {
        const std::vector<HWND> open = OpenDialogs();
        if (open.empty()) break;
        for (HWND hWnd : open) {
            const HWND hCancel = GetDlgItem(hWnd, IDCANCEL);
            PressButton(hWnd, hCancel && IsWindowVisible(hCancel) ? IDCANCEL : IDOK);
        }
        Sleep(100);
    }
    m_process->Stop(kDeadlineMs);
}

bool CZembroDriver::Launch(const std::wstring& arguments) {
    m_process = std::make_unique<CZembroProcess>(arguments);
    return m_process->Started();
}

bool CZembroDriver::WaitUntilReady() {
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (GetTickCount64() < ullDeadline) {
        if (!m_process->Running()) {
            ADD_FAILURE() << "Zembro.exe ended during its start, exit code " << m_process->ExitCode();
            return false;
        }
        AnswerOpenWindows();
        // The rows are the last thing its start adds before it waits for input,
        // and the count is asked with a message it only takes then.
        DWORD_PTR nRows = 0;
        HWND hWnd = m_process->MainWindow();
        if (hWnd && IsWindowVisible(hWnd) && IsWindowEnabled(hWnd) &&
            SendMessageTimeoutW(TaskList(hWnd), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 200, &nRows) && nRows > 0 &&
            OpenDialogs().empty()) {
            m_hMain = hWnd;
            return true;
        }
        PumpMessages();
        Sleep(10);
    }
    ADD_FAILURE() << "the main window did not take input in time";
    return false;
}

std::vector<HWND> CZembroDriver::OpenDialogs() const {
    struct Search {
        DWORD dwProcessId;
        std::vector<HWND> found;
    } search{m_process ? m_process->Id() : 0, {}};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<Search*>(lParam);
            DWORD dwPid = 0;
            GetWindowThreadProcessId(hWnd, &dwPid);
            if (dwPid == pSearch->dwProcessId && IsDialogClass(hWnd) && IsWindowVisible(hWnd) &&
                IsWindowEnabled(hWnd) && !TaskList(hWnd))
                pSearch->found.push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool CZembroDriver::IsMessageBox(HWND hWnd) const {
    // The program's message boxes carry its title, and no dialog of its own does.
    return WindowTitle(hWnd) == kZembroTitle && GetDlgItem(hWnd, 0xFFFF);
}

void CZembroDriver::AnswerOpenWindows() {
    for (HWND hWnd : OpenDialogs()) {
        if (!m_handled.insert(hWnd).second) continue;
        if (IsMessageBox(hWnd)) {
            EXPECT_EQ(GetWindow(hWnd, GW_OWNER), m_process->MainWindow()) << "a message is modal to the main window";
            m_boxes.push_back(ReadMessageBox(hWnd));
            PressButton(hWnd, IDOK);
        } else if (m_script) {
            m_script(hWnd);
        } else {
            ADD_FAILURE() << "an unexpected window opened: " << Narrow(as_u16(WindowTitle(hWnd)));
            PressButton(hWnd, IDCANCEL);
        }
    }
}

bool CZembroDriver::Do(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<void> done = SendFromThread(hWnd, message, wParam, lParam);
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (WaitForSingleObject(done.get(), 10) != WAIT_OBJECT_0) {
        if (GetTickCount64() >= ullDeadline) {
            ADD_FAILURE() << "the program did not finish message 0x" << std::hex << message << std::dec << " in time";
            return false;
        }
        AnswerOpenWindows();
        PumpMessages();
    }
    return true;
}

Sender CZembroDriver::Answering() {
    return [this](HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) { return Do(hWnd, message, wParam, lParam); };
}

HWND CZembroDriver::WaitForMessageBox(DWORD dwTimeoutMs) {
    const ULONGLONG ullDeadline = GetTickCount64() + dwTimeoutMs;
    do {
        for (HWND hWnd : OpenDialogs())
            if (IsMessageBox(hWnd) && m_handled.insert(hWnd).second) return hWnd;
        PumpMessages();
        Sleep(10);
    } while (GetTickCount64() < ullDeadline);
    ADD_FAILURE() << "no message box opened";
    return nullptr;
}

MessageSeen CZembroDriver::Answer(HWND hBox, int nButton) {
    if (!hBox) return {};
    const MessageSeen box = ReadMessageBox(hBox);
    PressButton(hBox, nButton);
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (IsWindow(hBox) && IsWindowVisible(hBox) && GetTickCount64() < ullDeadline) Sleep(10);
    EXPECT_FALSE(IsWindow(hBox) && IsWindowVisible(hBox)) << "the message box stayed open";
    return box;
}

bool CZembroDriver::Close() {
    PostMessageW(m_hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!m_process->Wait(kDeadlineMs)) {
        ADD_FAILURE() << "the program did not end when its window closed";
        return false;
    }
    EXPECT_EQ(m_process->ExitCode(), 0u);
    return m_process->ExitCode() == 0;
}
