// The about box as a real window: what it shows, how it closes, and F1 from
// any of its controls opening the product page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ProductLinks.h"
#include "framework/App.h"
#include "framework/Dpi.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/IconSize.h"
#include "support/ModalAnswerer.h"
#include "support/OpenedUrls.h"
#include "ui/main/AboutDlg.h"

namespace {

// What the system posts to the window with the focus when F1 is pressed.
constexpr UINT kWmKeyF1 = 0x004D;

struct CShownControl {
    int nID;
    std::u16string strClass;
    std::u16string strText;
    bool bIcon;
    bool bFocusable;
};

std::u16string ClassOf(HWND hWnd) {
    wchar_t sz[64] = {};
    GetClassNameW(hWnd, sz, 64);
    return as_u16(sz);
}

std::vector<HWND> Children(HWND hDlg) {
    std::vector<HWND> children;
    for (HWND h = GetWindow(hDlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    return children;
}

// Runs what is in the dialog's queue now, as its own modal loop would.
void RunPending(HWND hDlg) {
    MSG msg;
    for (int n = 0; n < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (IsDialogMessageW(hDlg, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Presses and releases a key on a window, as the keyboard would.
void PressKey(HWND hWnd, UINT vk) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(hWnd, WM_KEYDOWN, vk, MAKELPARAM(1, scan));
    PostMessageW(hWnd, WM_KEYUP, vk, MAKELPARAM(1, scan | KF_REPEAT | KF_UP));
}

class AboutDlgTest : public ::testing::Test {
protected:
    CWinApp m_app;
};

TEST_F(AboutDlgTest, ShowsTheIconNameVersionAndSupportAddress) {
    const std::u16string strSupport = kSupportEmail;
    const std::vector<CShownControl> expected = {
        {IDC_STATIC, u"Static", u"", true, false},
        {IDC_STATIC, u"Static", u"Zembro, Version 4.1", false, false},
        {IDC_STATIC, u"Static", strSupport, false, false},
        {IDOK, u"Button", u"OK", false, true},
    };

    CAboutDlg dlg;
    CModalAnswerer answerer;
    std::u16string strCaption;
    std::vector<CShownControl> shown;
    HWND hFocus = nullptr;
    HWND hOK = nullptr;
    LONG_PTR lDefault = 0;
    answerer.SetDialogScript([&](HWND hDlg) {
        strCaption = WindowText(hDlg);
        for (HWND h : Children(hDlg)) {
            const LONG lStyle = GetWindowLongW(h, GWL_STYLE);
            const bool bIcon = ClassOf(h) == u"Static" && (lStyle & SS_TYPEMASK) == SS_ICON;
            shown.push_back({GetDlgCtrlID(h), ClassOf(h), bIcon ? u"" : WindowText(h),
                             bIcon && SendMessageW(h, STM_GETICON, 0, 0) != 0, (lStyle & WS_TABSTOP) != 0});
        }
        hFocus = GetFocus();
        hOK = GetDlgItem(hDlg, IDOK);
        lDefault = SendMessageW(hDlg, DM_GETDEFID, 0, 0);
        EndDialog(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    EXPECT_EQ(strCaption, u"About Zembro by Brellow");
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown[i].nID, expected[i].nID);
        EXPECT_EQ(shown[i].strClass, expected[i].strClass);
        EXPECT_EQ(shown[i].strText, expected[i].strText);
        EXPECT_EQ(shown[i].bIcon, expected[i].bIcon);
        EXPECT_EQ(shown[i].bFocusable, expected[i].bFocusable);
    }
    EXPECT_EQ(hFocus, hOK);
    EXPECT_EQ(LOWORD(lDefault), IDOK);
    EXPECT_EQ(HIWORD(lDefault), DC_HASDEFID);
    EXPECT_TRUE(answerer.MessageBoxes().empty());
}

// The program's picture is drawn for the large-icon size of the dialog's DPI,
// when it opens and after each move to a monitor of another DPI; the control
// holds the whole of it.
TEST_F(AboutDlgTest, ThePictureFollowsTheDpi) {
    CAboutDlg dlg;
    CModalAnswerer answerer;
    struct CSeen {
        UINT nDpi;
        int cxIcon, cxControl;
    };
    std::vector<CSeen> seen;
    answerer.SetDialogScript([&](HWND hDlg) {
        const HWND hPicture = Children(hDlg).front();
        const auto look = [&] {
            RECT rc{};
            GetWindowRect(hPicture, &rc);
            const auto hIcon = reinterpret_cast<HICON>(SendMessageW(hPicture, STM_GETICON, 0, 0));
            seen.push_back({dlg.GetDpi(), IconWidth(hIcon), rc.right - rc.left});
        };
        look();
        const UINT nStart = dlg.GetDpi();
        for (const UINT nDpi : {nStart * 3 / 2, nStart * 2, nStart}) {
            RECT rc{};
            GetWindowRect(hDlg, &rc);
            RECT rcSuggested{rc.left, rc.top, rc.left + MulDiv(rc.right - rc.left, nDpi, dlg.GetDpi()),
                             rc.top + MulDiv(rc.bottom - rc.top, nDpi, dlg.GetDpi())};
            SendMessageW(hDlg, WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rcSuggested));
            look();
        }
        EndDialog(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(seen.size(), 4u);
    for (const CSeen& s : seen) {
        SCOPED_TRACE(testing::Message() << s.nDpi << " DPI");
        EXPECT_EQ(s.cxIcon, GetSystemMetricsAtDpi(SM_CXICON, s.nDpi));
        EXPECT_GE(s.cxControl, s.cxIcon);
    }
    EXPECT_EQ(seen[2].cxIcon, 2 * seen[0].cxIcon);
}

TEST_F(AboutDlgTest, ClosesWithOkEnterEscapeAndTheCloseBox) {
    enum class EWay { ClickOK, Enter, Escape, CloseBox };
    struct Case {
        const char* pszName;
        EWay eWay;
        INT_PTR nResult;
    };
    const Case cases[] = {
        {"OK button", EWay::ClickOK, IDOK},
        {"Enter", EWay::Enter, IDOK},
        {"Escape", EWay::Escape, IDCANCEL},
        {"close box", EWay::CloseBox, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CAboutDlg dlg;
        CModalAnswerer answerer;
        answerer.SetDialogScript([&](HWND hDlg) {
            HWND hOK = GetDlgItem(hDlg, IDOK);
            switch (c.eWay) {
            case EWay::ClickOK:
                SendMessageW(hOK, BM_CLICK, 0, 0);
                break;
            case EWay::Enter:
                PressKey(GetFocus(), VK_RETURN);
                break;
            case EWay::Escape:
                PressKey(GetFocus(), VK_ESCAPE);
                break;
            case EWay::CloseBox:
                PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            }
        });
        EXPECT_EQ(dlg.DoModal(), c.nResult);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        EXPECT_TRUE(answerer.MessageBoxes().empty());
    }
}

// A main window stand-in that owns the box and counts the help requests that
// reach it.
class COwnerWindow {
public:
    COwnerWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZembroAboutOwner";
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~COwnerWindow() { DestroyWindow(m_hWnd); }
    HWND m_hWnd;
    int m_nHelpRequests = 0;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_HELP) {
            if (auto* pThis = reinterpret_cast<COwnerWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA)))
                ++pThis->m_nHelpRequests;
            return TRUE;
        }
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
};

class COwnerDialog : public CDialog {
public:
    explicit COwnerDialog(HWND hWnd) : CDialog(0) { m_hWnd = hWnd; }
    ~COwnerDialog() override { m_hWnd = nullptr; }
};

TEST_F(AboutDlgTest, F1OnAnyControlOpensTheProductPageMaximisedOnce) {
    CUrlRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    // As in the program: the box names no parent and the main window owns it.
    COwnerWindow owner;
    COwnerDialog mainWindow(owner.m_hWnd);
    m_app.m_pMainWnd = &mainWindow;

    // The key itself reaches the window with the focus; the statics cannot take
    // the focus, so for them the system's help request (WM_KEYF1, which it
    // posts for the F1 key) goes to the control directly.
    enum class EHow { KeyWithFocus, HelpRequest };
    struct Case {
        const char* pszName;
        int nChild;  // template order; -1: the box itself
        EHow eHow;
    };
    const Case cases[] = {
        {"F1 on OK", 3, EHow::KeyWithFocus},
        {"F1 on the box", -1, EHow::KeyWithFocus},
        {"help on the icon", 0, EHow::HelpRequest},
        {"help on the name", 1, EHow::HelpRequest},
        {"help on the support address", 2, EHow::HelpRequest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        recorder.Clear();
        CAboutDlg dlg;
        CModalAnswerer answerer;
        HWND hOwnerSeen = nullptr;
        answerer.SetDialogScript([&](HWND hDlg) {
            hOwnerSeen = GetWindow(hDlg, GW_OWNER);
            const std::vector<HWND> children = Children(hDlg);
            HWND hTarget = c.nChild < 0 ? hDlg : children.at(static_cast<size_t>(c.nChild));
            if (c.eHow == EHow::KeyWithFocus) {
                SetForegroundWindow(hDlg);
                SetFocus(hTarget);
                INPUT inputs[2] = {};
                inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
                inputs[0].ki.wVk = inputs[1].ki.wVk = VK_F1;
                inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
                SendInput(2, inputs, sizeof(INPUT));
            } else {
                PostMessageW(hTarget, kWmKeyF1, 0, 0);
            }
            // Keeps the box running until the page was opened or the wait ends.
            const ULONGLONG ullDeadline = GetTickCount64() + 10000;
            while (recorder.Opened().empty() && GetTickCount64() < ullDeadline) {
                RunPending(hDlg);
                Sleep(10);
            }
            RunPending(hDlg);
            EndDialog(hDlg, IDCANCEL);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(hOwnerSeen, owner.m_hWnd);

        EXPECT_EQ(recorder.WaitForOpened(1), (std::vector<COpenedUrl>{{SW_SHOWMAXIMIZED, kProductPage}}));
        EXPECT_EQ(owner.m_nHelpRequests, 0) << "the owner would open the page a second time";
        EXPECT_TRUE(answerer.MessageBoxes().empty());
    }
    m_app.m_pMainWnd = nullptr;
}

}  // namespace
