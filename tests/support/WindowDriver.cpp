#include "support/WindowDriver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "win/WinText.h"
#include "res/resource.h"
#include "support/Bytes.h"

namespace {

// A message box keeps its text in this static control.
constexpr int kMessageBoxTextId = 0xFFFF;

// A block of memory in the process that owns hWnd, for the messages that take pointers.
class CRemoteBlock {
public:
    CRemoteBlock(HWND hWnd, SIZE_T cb) {
        DWORD dwProcessId = 0;
        GetWindowThreadProcessId(hWnd, &dwProcessId);
        m_hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, dwProcessId);
        if (m_hProcess)
            m_pBlock = static_cast<BYTE*>(
                VirtualAllocEx(m_hProcess, nullptr, cb, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        EXPECT_NE(m_pBlock, nullptr) << "no memory in the window's process: error " << GetLastError();
    }
    ~CRemoteBlock() {
        if (m_pBlock) VirtualFreeEx(m_hProcess, m_pBlock, 0, MEM_RELEASE);
        if (m_hProcess) CloseHandle(m_hProcess);
    }
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    LPARAM At(SIZE_T offset) const { return reinterpret_cast<LPARAM>(m_pBlock + offset); }
    void Write(SIZE_T offset, const void* p, SIZE_T cb) const {
        if (m_pBlock) WriteProcessMemory(m_hProcess, m_pBlock + offset, p, cb, nullptr);
    }
    void Read(SIZE_T offset, void* p, SIZE_T cb) const {
        if (m_pBlock) ReadProcessMemory(m_hProcess, m_pBlock + offset, p, cb, nullptr);
    }

private:
    HANDLE m_hProcess = nullptr;
    BYTE* m_pBlock = nullptr;
};

// A question to a window, which has to answer in time.
LRESULT Ask(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, kDeadlineMs, &result)) {
        ADD_FAILURE() << "the window did not answer message 0x" << std::hex << message << std::dec << " in time";
        return 0;
    }
    return static_cast<LRESULT>(result);
}

bool IsVisibleChild(HWND hDlg, int nID) {
    HWND hChild = GetDlgItem(hDlg, nID);
    return hChild && (GetWindowLongW(hChild, GWL_STYLE) & WS_VISIBLE);
}

// The pixels of a square drawn by draw.
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

// Which of the standard message box icons a box shows.
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
    *os << "{" << Narrow(row.number) << " img " << row.image << " \"" << Narrow(row.title) << "\" \""
        << Narrow(row.description) << "\" \"" << Narrow(row.path) << "\" \"" << Narrow(row.arguments) << "\"}";
}

std::vector<Row> ExpectedRows(const CTaskList& list) {
    std::vector<Row> rows;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CJumpListAction& a = list.GetAt(i);
        rows.push_back(
            {as_u16(std::to_wstring(i + 1)), a.m_strTitle, a.m_strDescription, a.m_strPath, a.m_strArguments, i});
    }
    return rows;
}

bool SendNow(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hWnd, message, wParam, lParam, SMTO_NORMAL, kDeadlineMs, &result) != 0;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND TaskList(HWND hMain) { return GetDlgItem(hMain, IDC_TASK_LIST); }

std::vector<Row> ReadRows(HWND hMain) {
    constexpr int kTextChars = 1024;
    const HWND hList = TaskList(hMain);
    const CRemoteBlock block(hList, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    const auto ask = [&](UINT message, int nRow, LVITEMW& item) {
        block.Write(0, &item, sizeof(item));
        const LRESULT result = Ask(hList, message, nRow, block.At(0));
        block.Read(0, &item, sizeof(item));
        return result;
    };
    std::vector<Row> rows;
    const auto nRows = static_cast<int>(Ask(hList, LVM_GETITEMCOUNT));
    for (int i = 0; i < nRows; ++i) {
        std::u16string texts[5];
        for (int nSubItem = 0; nSubItem < 5; ++nSubItem) {
            LVITEMW item{};
            item.iSubItem = nSubItem;
            item.pszText = reinterpret_cast<wchar_t*>(block.At(sizeof(LVITEMW)));
            item.cchTextMax = kTextChars;
            std::wstring text(std::min<size_t>(ask(LVM_GETITEMTEXTW, i, item), kTextChars - 1), L'\0');
            block.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
            texts[nSubItem] = as_u16(text);
        }
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        ask(LVM_GETITEMW, 0, item);
        rows.push_back({texts[0], texts[1], texts[2], texts[3], texts[4], item.iImage});
    }
    return rows;
}

int SelectedRow(HWND hMain) {
    return static_cast<int>(Ask(TaskList(hMain), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectRow(HWND hMain, int nRow) {
    // Row -1 stands for every row: their selection is cleared.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = nRow >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    const CRemoteBlock block(hMain, sizeof(item));
    block.Write(0, &item, sizeof(item));
    Ask(TaskList(hMain), LVM_SETITEMSTATE, static_cast<WPARAM>(nRow), block.At(0));
}

POINT RowPoint(HWND hMain, int nRow) {
    const HWND hList = TaskList(hMain);
    RECT rc{};
    if (nRow < 0) {
        GetClientRect(hList, &rc);
        return {20, rc.bottom - 5};
    }
    const CRemoteBlock block(hList, sizeof(rc));
    rc.left = LVIR_BOUNDS;
    block.Write(0, &rc, sizeof(rc));
    Ask(hList, LVM_GETITEMRECT, nRow, block.At(0));
    block.Read(0, &rc, sizeof(rc));
    return {20, (rc.top + rc.bottom) / 2};
}

int ColumnWidth(HWND hMain, int nColumn) {
    return static_cast<int>(Ask(TaskList(hMain), LVM_GETCOLUMNWIDTH, nColumn));
}

void SetColumnWidth(HWND hMain, int nColumn, int nWidth) {
    Ask(TaskList(hMain), LVM_SETCOLUMNWIDTH, nColumn, MAKELPARAM(nWidth, 0));
}

RECT WindowRect(HWND hWnd) {
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    return rc;
}

bool Click(HWND hDlg, int nID, const Sender& send) { return send(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0); }

bool Choose(HWND hMain, int nMenuID, const Sender& send) {
    return send(hMain, WM_COMMAND, MAKEWPARAM(nMenuID, 0), 0);
}

bool DoubleClickRow(HWND hMain, int nRow, const Sender& send) {
    const POINT pt = RowPoint(hMain, nRow);
    const bool bDone = send(TaskList(hMain), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    Ask(TaskList(hMain), WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    return bDone;
}

void PressButton(HWND hDlg, int nID) {
    PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nID)));
}

bool ToggleCheckBox(HWND hDlg, int nID) {
    // Not BM_CLICK: it also takes the focus and the mouse capture, and once held
    // an end-to-end run up for ten seconds under Wine.
    const HWND hBox = GetDlgItem(hDlg, nID);
    DWORD_PTR state = 0, result = 0;
    return SendMessageTimeoutW(hBox, BM_GETCHECK, 0, 0, SMTO_NORMAL, kDeadlineMs, &state) &&
           SendMessageTimeoutW(hBox, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0, SMTO_NORMAL,
                               kDeadlineMs, &result) &&
           SendMessageTimeoutW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(hBox),
                               SMTO_NORMAL, kDeadlineMs, &result);
}

std::u16string ControlText(HWND hDlg, int nID) {
    // WM_GETTEXT's buffer is copied across processes by the system.
    const HWND hControl = GetDlgItem(hDlg, nID);
    DWORD_PTR cch = 0;
    if (!hControl || !SendMessageTimeoutW(hControl, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kDeadlineMs, &cch)) return {};
    std::wstring text(cch + 1, L'\0');
    DWORD_PTR cchRead = 0;
    SendMessageTimeoutW(hControl, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                        kDeadlineMs, &cchRead);
    return as_u16(text.data(), std::min<size_t>(cchRead, cch));
}

bool SetControlText(HWND hDlg, int nID, const std::u16string& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(GetDlgItem(hDlg, nID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(as_wcstr(text)),
                               SMTO_NORMAL, kDeadlineMs, &result) != 0;
}

CJumpListAction EditorTask(HWND hEditor) {
    const auto text = [&](int nID) { return ControlText(hEditor, nID); };
    return MakeTask(text(IDC_TITLE), text(IDC_DESCRIPTION), text(IDC_PATH), text(IDC_ARGUMENTS), text(IDC_ICON_PATH),
                    std::stoi(Narrow(text(IDC_ICON_INDEX))));
}

void TypeTask(HWND hEditor, const CJumpListAction& task) {
    const std::pair<int, std::u16string> fields[] = {
        {IDC_TITLE, task.m_strTitle},         {IDC_PATH, task.m_strPath},
        {IDC_DESCRIPTION, task.m_strDescription}, {IDC_ARGUMENTS, task.m_strArguments},
        {IDC_ICON_PATH, task.m_strIconPath},  {IDC_ICON_INDEX, as_u16(std::to_wstring(task.m_nIconIndex))},
    };
    for (const auto& [nID, text] : fields) EXPECT_TRUE(SetControlText(hEditor, nID, text)) << nID;
}

MessageSeen ReadMessageBox(HWND hBox) {
    MessageSeen box;
    box.text = ControlText(hBox, kMessageBoxTextId);
    const bool bYes = IsVisibleChild(hBox, IDYES), bNo = IsVisibleChild(hBox, IDNO);
    const bool bOk = IsVisibleChild(hBox, IDOK), bCancel = IsVisibleChild(hBox, IDCANCEL);
    const bool bRetry = IsVisibleChild(hBox, IDRETRY);
    box.type = bYes && bNo         ? (bCancel ? MB_YESNOCANCEL : MB_YESNO)
               : bRetry && bCancel ? MB_RETRYCANCEL
               : bOk && bCancel    ? MB_OKCANCEL
                                   : MB_OK;
    box.type |= IconOf(hBox);
    return box;
}
