// The application object in the test's own thread with the real main window:
// the single-instance test by title, the start-up that runs the main window,
// and what is left after it closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ZembroApp.h"
#include "framework/Dialog.h"
#include "framework/OleInit.h"
#include "support/ModalAnswerer.h"

namespace {

constexpr wchar_t kTitle[] = L"Zembro by Brellow";
constexpr wchar_t kProfileKey[] = L"Software\\Brellow\\Zembro by Brellow";
constexpr wchar_t kScratchSection[] = L"ZembroAppTest";

// RPC_E_CHANGED_MODE from a multithreaded request proves a single-threaded
// apartment on this thread; S_OK proves no apartment at all.
HRESULT TryMultithreaded() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr;
}

// A plain top-level window (or a child of one) that carries a given title.
class CTitledWindow {
public:
    CTitledWindow(const wchar_t* pszTitle, int nShow, bool bChild = false) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZembroTitledWindow";
        RegisterClassW(&wc);
        if (bChild) {
            m_hParent = CreateWindowExW(0, wc.lpszClassName, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                        300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        }
        m_hWnd = CreateWindowExW(0, wc.lpszClassName, pszTitle, bChild ? WS_CHILD : WS_OVERLAPPEDWINDOW, 20, 20, 200,
                                 100, m_hParent, nullptr, wc.hInstance, nullptr);
        ShowWindow(m_hWnd, nShow);
    }
    ~CTitledWindow() {
        DestroyWindow(m_hWnd);
        if (m_hParent) DestroyWindow(m_hParent);
    }
    HWND m_hWnd = nullptr;
    HWND m_hParent = nullptr;
};

// True when no visible, non-topmost top-level window lies above hWnd.
bool IsTopOfZOrder(HWND hWnd) {
    for (HWND h = GetWindow(hWnd, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (IsWindowVisible(h) && !(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST)) return false;
    }
    return true;
}

TEST(ZembroAppTest, AWindowWithTheTitleIsBroughtForwardAndNothingStarts) {
    struct Case {
        const char* pszName;
        int nShow;
    };
    const Case cases[] = {
        {"shown", SW_SHOWNORMAL},
        {"minimised", SW_SHOWMINIMIZED},
        {"hidden", SW_HIDE},
        {"maximised", SW_SHOWMAXIMIZED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CTitledWindow other(L"Something else", SW_SHOWNORMAL);
        CTitledWindow running(kTitle, c.nShow);
        SetActiveWindow(other.m_hWnd);
        ASSERT_EQ(GetActiveWindow(), other.m_hWnd);

        CZembroApp app;
        CModalAnswerer answerer;
        int nDialogs = 0;
        answerer.SetDialogScript([&](HWND hDlg) {
            ++nDialogs;
            EndDialog(hDlg, IDCANCEL);
        });
        EXPECT_FALSE(app.InitInstance());

        EXPECT_EQ(nDialogs, 0);
        EXPECT_TRUE(answerer.MessageBoxes().empty());
        EXPECT_TRUE(IsWindowVisible(running.m_hWnd));
        EXPECT_FALSE(IsIconic(running.m_hWnd));
        EXPECT_EQ(GetActiveWindow(), running.m_hWnd);
        EXPECT_EQ(GetFocus(), running.m_hWnd);
        EXPECT_TRUE(IsTopOfZOrder(running.m_hWnd));
        // It stopped before preparing anything.
        EXPECT_EQ(TryMultithreaded(), S_OK);
        EXPECT_FALSE(app.WriteProfileInt(kScratchSection, L"Value", 1));
    }
}

// While the running copy has a popup open over its disabled main window (the
// editor, a message box), that popup is the one brought forward.
TEST(ZembroAppTest, ARunningCopysOpenPopupIsActivatedInsteadOfItsWindow) {
    CTitledWindow other(L"Something else", SW_SHOWNORMAL);
    CTitledWindow running(kTitle, SW_SHOWNORMAL);
    const HWND hPopup = CreateWindowExW(0, L"ZembroTitledWindow", L"Editor", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40,
                                        40, 150, 80, running.m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hPopup, nullptr);
    SetActiveWindow(hPopup);
    EnableWindow(running.m_hWnd, FALSE);
    SetActiveWindow(other.m_hWnd);
    ASSERT_EQ(GetActiveWindow(), other.m_hWnd);

    CZembroApp app;
    CModalAnswerer answerer;
    answerer.SetDialogScript([](HWND hDlg) { EndDialog(hDlg, IDCANCEL); });
    EXPECT_FALSE(app.InitInstance());

    EXPECT_EQ(GetActiveWindow(), hPopup);
    EXPECT_TRUE(IsWindowVisible(running.m_hWnd));
    DestroyWindow(hPopup);
}

// Writes one value through the application's profile and reads where it landed.
bool ProfileLandsUnderBrellow(CWinApp& app) {
    if (!app.WriteProfileInt(kScratchSection, L"Value", 0x5A)) return false;
    const std::wstring key = std::wstring(kProfileKey) + L"\\" + kScratchSection;
    DWORD dwValue = 0;
    DWORD cb = sizeof(dwValue);
    const LONG lResult =
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Value", RRF_RT_REG_DWORD, nullptr, &dwValue, &cb);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    return lResult == ERROR_SUCCESS && dwValue == 0x5A;
}

TEST(ZembroAppTest, WithoutARunningCopyTheMainWindowRunsUntilItCloses) {
    // Windows that merely resemble a running copy do not stop the start.
    struct Case {
        const char* pszName;
        const wchar_t* pszTitle;  // null: no such window
        bool bChild;
        UINT nCloseWith;  // what the user closes the main window with
    };
    const Case cases[] = {
        {"no window at all, closed with Escape", nullptr, false, IDCANCEL},
        {"a child window with the title, closed with Enter", kTitle, true, IDOK},
        {"the about box's caption, closed with the close box", L"About Zembro by Brellow", false, WM_CLOSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::unique_ptr<CTitledWindow> resembling;
        if (c.pszTitle) resembling = std::make_unique<CTitledWindow>(c.pszTitle, SW_SHOWNORMAL, c.bChild);

        CZembroApp app;
        EXPECT_EQ(app.m_dwRestartManagerSupportFlags, AFX_RESTART_MANAGER_SUPPORT_RESTART);
        CModalAnswerer answerer(IDOK, 60000);
        int nDialogs = 0;
        std::u16string strCaption;
        bool bIsMainWnd = false, bProfile = false;
        HRESULT hrApartment = E_FAIL;
        answerer.SetDialogScript([&](HWND hDlg) {
            if (++nDialogs > 1) return;  // a nested dialog is not this test's business
            strCaption = WindowText(hDlg);
            bIsMainWnd = app.m_pMainWnd && app.m_pMainWnd->m_hWnd == hDlg;
            hrApartment = TryMultithreaded();
            bProfile = ProfileLandsUnderBrellow(app);
            if (c.nCloseWith == WM_CLOSE) PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
            else PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(c.nCloseWith, BN_CLICKED), 0);
        });
        EXPECT_EQ(AfxWinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOWNORMAL), 0);

        EXPECT_EQ(nDialogs, 1);
        EXPECT_EQ(strCaption, u"Zembro by Brellow");
        EXPECT_TRUE(bIsMainWnd);
        EXPECT_EQ(hrApartment, RPC_E_CHANGED_MODE) << "OLE was not up while the main window ran";
        EXPECT_TRUE(bProfile);
        // Afterwards: no main window is pointed at, and OLE has ended.
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_EQ(TryMultithreaded(), S_OK);
        EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr);
    }
}

TEST(ZembroAppTest, ExitInstanceEndsOleAndGivesTheBaseResult) {
    CZembroApp app;
    ASSERT_TRUE(AfxOleInit());
    ASSERT_EQ(TryMultithreaded(), RPC_E_CHANGED_MODE);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(TryMultithreaded(), S_OK);
    // Again with nothing left to end.
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(TryMultithreaded(), S_OK);
}

}  // namespace
