#include "ZembroDriver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

#include "framework/WinText.h"
#include "res/resource.h"

namespace {

// How long a helper thread waits for the program to handle one message: the
// test's own, shorter deadline decides the outcome.
constexpr DWORD kSendTimeoutMs = 60000;
// A message box keeps its text in this static control.
constexpr int kMessageBoxTextId = 0xFFFF;

bool IsDialogClass(HWND hWnd) {
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    return lstrcmpW(szClass, L"#32770") == 0;
}

bool IsVisibleChild(HWND hDlg, int nID) {
    HWND hChild = GetDlgItem(hDlg, nID);
    return hChild && (GetWindowLongW(hChild, GWL_STYLE) & WS_VISIBLE);
}

// A block of the program's own memory, for the list view messages that take pointers.
class CRemoteBlock {
public:
    CRemoteBlock(HANDLE hProcess, SIZE_T cb)
        : m_hProcess(hProcess),
          m_pBlock(static_cast<BYTE*>(
              VirtualAllocEx(hProcess, nullptr, cb, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {
        EXPECT_NE(m_pBlock, nullptr) << "no memory in the program: error " << GetLastError();
    }
    ~CRemoteBlock() {
        if (m_pBlock) VirtualFreeEx(m_hProcess, m_pBlock, 0, MEM_RELEASE);
    }
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    BYTE* At(SIZE_T offset) const { return m_pBlock + offset; }
    bool Write(SIZE_T offset, const void* p, SIZE_T cb) const {
        return m_pBlock && WriteProcessMemory(m_hProcess, At(offset), p, cb, nullptr);
    }
    bool Read(SIZE_T offset, void* p, SIZE_T cb) const {
        return m_pBlock && ReadProcessMemory(m_hProcess, At(offset), p, cb, nullptr);
    }

private:
    HANDLE m_hProcess;
    BYTE* m_pBlock;
};

LRESULT Ask(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, kDeadlineMs, &result)) {
        ADD_FAILURE() << "the program did not answer message 0x" << std::hex << message << std::dec << " in time";
        return 0;
    }
    return static_cast<LRESULT>(result);
}

// The pixels of a square of the screen, or of an icon drawn over a colour.
std::vector<COLORREF> Pixels(int cx, const std::function<void(HDC)>& draw) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cx;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hbm = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    draw(hdc);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const DWORD*>(pBits), static_cast<const DWORD*>(pBits) + cx * cx);
    for (COLORREF& c : pixels) c &= 0xFFFFFF;
    SelectObject(hdc, hOld);
    DeleteObject(hbm);
    DeleteDC(hdc);
    return pixels;
}

std::vector<COLORREF> IconOver(HICON hIcon, int cx, COLORREF background) {
    return Pixels(cx, [&](HDC hdc) {
        HBRUSH hBrush = CreateSolidBrush(background);
        RECT rc{0, 0, cx, cx};
        FillRect(hdc, &rc, hBrush);
        DeleteObject(hBrush);
        DrawIconEx(hdc, 0, 0, hIcon, cx, cx, 0, nullptr, DI_NORMAL);
    });
}

// Which of the standard message box icons a box shows, told by its pixels on
// the screen: an icon handle means nothing in another process.
UINT IconOf(HWND hBox) {
    HWND hIcon = nullptr;
    for (HWND h = GetWindow(hBox, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if ((GetWindowLongW(h, GWL_STYLE) & (SS_TYPEMASK | WS_VISIBLE)) == (SS_ICON | WS_VISIBLE)) hIcon = h;
    if (!hIcon) return 0;
    const int cx = GetSystemMetrics(SM_CXICON);
    // Each icon's opaque pixels: those that come out the same over black and over white.
    struct Known {
        UINT nType;
        std::vector<COLORREF> overBlack, overWhite;
    };
    std::vector<Known> known;
    for (const auto& [nType, pszIcon] : {std::pair{MB_ICONSTOP, IDI_HAND}, std::pair{MB_ICONQUESTION, IDI_QUESTION},
                                         std::pair{MB_ICONEXCLAMATION, IDI_EXCLAMATION},
                                         std::pair{MB_ICONINFORMATION, IDI_ASTERISK}}) {
        const HICON hKnown = LoadIconW(nullptr, pszIcon);
        known.push_back({static_cast<UINT>(nType), IconOver(hKnown, cx, RGB(0, 0, 0)),
                         IconOver(hKnown, cx, RGB(255, 255, 255))});
    }
    // Until the box has painted itself.
    const ULONGLONG ullDeadline = GetTickCount64() + 2000;
    do {
        RECT rc{};
        GetWindowRect(hIcon, &rc);
        const std::vector<COLORREF> screen = Pixels(cx, [&](HDC hdc) {
            HDC hdcScreen = GetDC(nullptr);
            BitBlt(hdc, 0, 0, cx, cx, hdcScreen, rc.left, rc.top, SRCCOPY);
            ReleaseDC(nullptr, hdcScreen);
        });
        for (const Known& icon : known) {
            int nOpaque = 0, nSame = 0;
            for (size_t i = 0; i < screen.size(); ++i) {
                if (icon.overBlack[i] != icon.overWhite[i]) continue;
                ++nOpaque;
                nSame += icon.overBlack[i] == screen[i];
            }
            if (nOpaque > 0 && nSame * 10 >= nOpaque * 9) return icon.nType;
        }
        Sleep(50);
    } while (GetTickCount64() < ullDeadline);
    return 0;
}

}  // namespace

void PrintTo(const Row& row, std::ostream* os) {
    *os << "{" << Narrow(row.number) << " \"" << Narrow(row.title) << "\" \"" << Narrow(row.description) << "\" \""
        << Narrow(row.path) << "\" \"" << Narrow(row.arguments) << "\"}";
}

std::vector<Row> ExpectedRows(const CTaskList& list) {
    std::vector<Row> rows;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CJumpListAction& a = list.GetAt(i);
        rows.push_back(
            {as_u16(std::to_wstring(i + 1)), a.m_strTitle, a.m_strDescription, a.m_strPath, a.m_strArguments});
    }
    return rows;
}

struct CSentMessage::CState {
    HANDLE hDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::optional<std::wstring> text;
    ~CState() { CloseHandle(hDone); }
};

CSentMessage::CSentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, std::optional<std::wstring> text)
    : m_state(std::make_shared<CState>()) {
    m_state->text = std::move(text);
    // Detached: it ends when the program has handled the message or is gone,
    // and owns what it uses.
    std::thread([state = m_state, hWnd, message, wParam, lParam] {
        const LPARAM lSent = state->text ? reinterpret_cast<LPARAM>(state->text->c_str()) : lParam;
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(hWnd, message, wParam, lSent, SMTO_NORMAL, kSendTimeoutMs, &result))
            SetEvent(state->hDone);
    }).detach();
}

bool CSentMessage::Done(DWORD dwTimeoutMs) const {
    return WaitForSingleObject(m_state->hDone, dwTimeoutMs) == WAIT_OBJECT_0;
}

std::u16string TextOf(HWND hWnd) {
    DWORD_PTR cch = 0;
    if (!hWnd || !SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kDeadlineMs, &cch)) return {};
    std::wstring text(cch + 1, L'\0');
    DWORD_PTR cchRead = 0;
    SendMessageTimeoutW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, kDeadlineMs,
                        &cchRead);
    return as_u16(text.data(), std::min<size_t>(cchRead, cch));
}

std::u16string ControlText(HWND hDlg, int nID) { return TextOf(GetDlgItem(hDlg, nID)); }

bool SetControlText(HWND hDlg, int nID, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(GetDlgItem(hDlg, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, kDeadlineMs, &result) != 0;
}

void PressButton(HWND hDlg, int nID) {
    PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nID)));
}

bool ToggleCheckBox(HWND hDlg, int nID) {
    // Not BM_CLICK: it also takes the focus and the mouse capture, and once held
    // a run up for ten seconds under Wine.
    const HWND hBox = GetDlgItem(hDlg, nID);
    DWORD_PTR state = 0, result = 0;
    return SendMessageTimeoutW(hBox, BM_GETCHECK, 0, 0, SMTO_NORMAL, kDeadlineMs, &state) &&
           SendMessageTimeoutW(hBox, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0, SMTO_NORMAL,
                               kDeadlineMs, &result) &&
           SendMessageTimeoutW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(hBox),
                               SMTO_NORMAL, kDeadlineMs, &result);
}

CZembroDriver::~CZembroDriver() {
    if (!m_process || !m_process->Running()) return;
    // A test that stopped half way may have left a dialog open: cancel it, so
    // that the main window can close.
    for (int nRound = 0; nRound < 5; ++nRound) {
        const std::vector<HWND> open = OpenDialogs();
        if (open.empty()) break;
        for (HWND hWnd : open) PressButton(hWnd, IsVisibleChild(hWnd, IDCANCEL) ? IDCANCEL : IDOK);
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
            SendMessageTimeoutW(GetDlgItem(hWnd, IDC_TASK_LIST), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 200, &nRows) &&
            nRows > 0 && OpenDialogs().empty()) {
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
                IsWindowEnabled(hWnd) && !GetDlgItem(hWnd, IDC_TASK_LIST))
                pSearch->found.push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool CZembroDriver::IsMessageBox(HWND hWnd) const {
    // The program's message boxes carry its title, and no dialog of its own does.
    return WindowTitle(hWnd) == kZembroTitle && GetDlgItem(hWnd, kMessageBoxTextId);
}

MessageSeen CZembroDriver::Read(HWND hBox) {
    MessageSeen box;
    box.text = ControlText(hBox, kMessageBoxTextId);
    const bool bYes = IsVisibleChild(hBox, IDYES), bNo = IsVisibleChild(hBox, IDNO);
    const bool bOk = IsVisibleChild(hBox, IDOK), bCancel = IsVisibleChild(hBox, IDCANCEL);
    const bool bRetry = IsVisibleChild(hBox, IDRETRY);
    box.type = bYes && bNo      ? (bCancel ? MB_YESNOCANCEL : MB_YESNO)
               : bRetry && bCancel ? MB_RETRYCANCEL
               : bOk && bCancel    ? MB_OKCANCEL
                                   : MB_OK;
    box.type |= IconOf(hBox);
    return box;
}

void CZembroDriver::AnswerOpenWindows() {
    for (HWND hWnd : OpenDialogs()) {
        if (!m_handled.insert(hWnd).second) continue;
        if (IsMessageBox(hWnd)) {
            EXPECT_EQ(GetWindow(hWnd, GW_OWNER), m_process->MainWindow()) << "a message is modal to the main window";
            m_boxes.push_back(Read(hWnd));
            PressButton(hWnd, IsVisibleChild(hWnd, m_nAnswer) ? m_nAnswer : IDOK);
        } else if (m_script) {
            m_script(hWnd);
        } else {
            ADD_FAILURE() << "an unexpected window opened: " << Narrow(as_u16(WindowTitle(hWnd)));
            PressButton(hWnd, IDCANCEL);
        }
    }
}

bool CZembroDriver::Do(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const CSentMessage sent(hWnd, message, wParam, lParam);
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (!sent.Done(10)) {
        if (GetTickCount64() >= ullDeadline) {
            ADD_FAILURE() << "the program did not finish message 0x" << std::hex << message << std::dec << " in time";
            return false;
        }
        AnswerOpenWindows();
        PumpMessages();
    }
    return true;
}

bool CZembroDriver::Click(int nID) {
    return Do(m_hMain, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(m_hMain, nID)));
}

bool CZembroDriver::Choose(int nMenuID) { return Do(m_hMain, WM_COMMAND, MAKEWPARAM(nMenuID, 0), 0); }

bool CZembroDriver::DoubleClickRow(int nRow) {
    const HWND hList = GetDlgItem(m_hMain, IDC_TASK_LIST);
    POINT pt{20, 0};
    RECT rc{};
    if (nRow >= 0) {
        const CRemoteBlock block(m_process->Process(), sizeof(RECT));
        rc.left = LVIR_LABEL;
        block.Write(0, &rc, sizeof(rc));
        Ask(hList, LVM_GETITEMRECT, nRow, reinterpret_cast<LPARAM>(block.At(0)));
        block.Read(0, &rc, sizeof(rc));
        pt.y = (rc.top + rc.bottom) / 2;
    } else {
        GetClientRect(hList, &rc);
        pt.y = rc.bottom - 5;
    }
    const bool bDone = Do(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    Ask(hList, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    return bDone;
}

std::vector<Row> CZembroDriver::Rows() const {
    constexpr int kTextChars = 1024;
    const HWND hList = GetDlgItem(m_hMain, IDC_TASK_LIST);
    const CRemoteBlock block(m_process->Process(), sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    std::vector<Row> rows;
    const auto nRows = static_cast<int>(Ask(hList, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < nRows; ++i) {
        std::u16string texts[5];
        for (int nSubItem = 0; nSubItem < 5; ++nSubItem) {
            LVITEMW item{};
            item.iSubItem = nSubItem;
            item.pszText = reinterpret_cast<wchar_t*>(block.At(sizeof(LVITEMW)));
            item.cchTextMax = kTextChars;
            block.Write(0, &item, sizeof(item));
            const auto cch =
                static_cast<size_t>(Ask(hList, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(block.At(0))));
            std::wstring text(std::min<size_t>(cch, kTextChars - 1), L'\0');
            block.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
            texts[nSubItem] = as_u16(text);
        }
        rows.push_back({texts[0], texts[1], texts[2], texts[3], texts[4]});
    }
    return rows;
}

bool CZembroDriver::WaitForRows(int nRows) const {
    const HWND hList = GetDlgItem(m_hMain, IDC_TASK_LIST);
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (Ask(hList, LVM_GETITEMCOUNT, 0, 0) != nRows) {
        if (GetTickCount64() >= ullDeadline) return false;
        Sleep(10);
    }
    return true;
}

int CZembroDriver::SelectedRow() const {
    return static_cast<int>(
        Ask(GetDlgItem(m_hMain, IDC_TASK_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CZembroDriver::SelectRow(int nRow) {
    // -1 clears every row's selection.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = nRow >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    const CRemoteBlock block(m_process->Process(), sizeof(item));
    block.Write(0, &item, sizeof(item));
    Ask(GetDlgItem(m_hMain, IDC_TASK_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(nRow),
        reinterpret_cast<LPARAM>(block.At(0)));
}

int CZembroDriver::ColumnWidth(int nColumn) const {
    return static_cast<int>(Ask(GetDlgItem(m_hMain, IDC_TASK_LIST), LVM_GETCOLUMNWIDTH, nColumn, 0));
}

void CZembroDriver::SetColumnWidth(int nColumn, int nWidth) {
    Ask(GetDlgItem(m_hMain, IDC_TASK_LIST), LVM_SETCOLUMNWIDTH, nColumn, MAKELPARAM(nWidth, 0));
}

RECT CZembroDriver::WindowRect() const {
    RECT rc{};
    GetWindowRect(m_hMain, &rc);
    return rc;
}

HWND CZembroDriver::WaitForDialog(const std::wstring& caption, DWORD dwTimeoutMs) {
    const ULONGLONG ullDeadline = GetTickCount64() + dwTimeoutMs;
    do {
        for (HWND hWnd : OpenDialogs())
            if (WindowTitle(hWnd) == caption && !IsMessageBox(hWnd)) {
                m_handled.insert(hWnd);
                return hWnd;
            }
        PumpMessages();
        Sleep(10);
    } while (GetTickCount64() < ullDeadline);
    ADD_FAILURE() << "no dialog \"" << Narrow(as_u16(caption)) << "\" opened";
    return nullptr;
}

HWND CZembroDriver::FindMessageBox() {
    for (HWND hWnd : OpenDialogs())
        if (IsMessageBox(hWnd) && m_handled.insert(hWnd).second) return hWnd;
    return nullptr;
}

HWND CZembroDriver::WaitForMessageBox(DWORD dwTimeoutMs) {
    const ULONGLONG ullDeadline = GetTickCount64() + dwTimeoutMs;
    do {
        if (HWND hWnd = FindMessageBox()) return hWnd;
        PumpMessages();
        Sleep(10);
    } while (GetTickCount64() < ullDeadline);
    ADD_FAILURE() << "no message box opened";
    return nullptr;
}

MessageSeen CZembroDriver::Answer(HWND hBox, int nButton) {
    if (!hBox) return {};
    const MessageSeen box = Read(hBox);
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
