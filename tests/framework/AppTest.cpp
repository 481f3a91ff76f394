// The application object: start-up flow, title, wait cursor, OLE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/OleInit.h"
#include "support/ModalAnswerer.h"
#include "TestResources.h"

namespace {

constexpr wchar_t kTitle[] = L"Zembro by Brellow";

class CRecordingApp : public CWinApp {
public:
    CRecordingApp(BOOL bInit, int nExitCode, int nQuitCode) : m_bInit(bInit), m_nExit(nExitCode), m_nQuit(nQuitCode) {}
    BOOL InitInstance() override {
        m_arrCalls.push_back(L"InitInstance");
        if (m_bInit) PostQuitMessage(m_nQuit);
        return m_bInit;
    }
    int ExitInstance() override {
        m_arrCalls.push_back(L"ExitInstance");
        const int nBase = CWinApp::ExitInstance();
        return m_nExit < 0 ? nBase : m_nExit;
    }
    std::vector<std::wstring> m_arrCalls;

private:
    BOOL m_bInit;
    int m_nExit;
    int m_nQuit;
};

TEST(AppTest, WinMainRunsInitInstanceThenExitInstance) {
    struct Case {
        const char* name;
        BOOL bInit;
        int nExit;  // what ExitInstance returns; -1: the base's result
        int nQuit;  // the WM_QUIT code a TRUE InitInstance posts
        int nExpected;
    };
    const Case cases[] = {
        {"FALSE ends at once with ExitInstance's result", FALSE, 42, 0, 42},
        {"FALSE with the base's result", FALSE, -1, 0, 0},
        {"TRUE runs the loop; the base takes the quit code", TRUE, -1, 7, 7},
        {"TRUE, ExitInstance decides", TRUE, 3, 7, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingApp app(c.bInit, c.nExit, c.nQuit);
        EXPECT_EQ(AfxWinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW), c.nExpected);
        EXPECT_EQ(app.m_arrCalls, (std::vector<std::wstring>{L"InitInstance", L"ExitInstance"}));
    }
}

TEST(AppTest, WinMainWithoutApplicationObjectFails) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxWinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW), -1);
}

TEST(AppTest, TitleComesFromTheStringTableUnlessNamed) {
    CWinApp app;
    EXPECT_STREQ(app.GetAppName(), kTitle);
    EXPECT_EQ(AfxGetApp(), &app);
    {
        CWinApp named(L"Other Name");
        EXPECT_STREQ(named.GetAppName(), L"Other Name");
        EXPECT_EQ(AfxGetApp(), &named);
    }
    EXPECT_EQ(AfxGetApp(), &app);
}

TEST(AppTest, AppTitleIsTheObjectsTitleElseTheStringTables) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxGetAppTitle(), kTitle);
    CWinApp named(L"Other Name");
    EXPECT_EQ(AfxGetAppTitle(), L"Other Name");
}

TEST(AppTest, WaitCursorNestsAndRestoresTheCursorOnlyAtTheLastEnd) {
    CWinApp app;
    const HCURSOR hcurArrow = LoadCursorW(nullptr, IDC_ARROW);
    const HCURSOR hcurWait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(hcurArrow);

    enum Step { Begin, End };
    struct Case {
        Step step;
        HCURSOR hcurAfter;
        bool bOn;
    };
    const Case steps[] = {
        {Begin, hcurWait, true}, {Begin, hcurWait, true}, {End, hcurWait, true},
        {End, hcurArrow, false}, {End, hcurArrow, false},  // an extra End changes nothing
        {Begin, hcurWait, true}, {End, hcurArrow, false},
    };
    int i = 0;
    for (const Case& c : steps) {
        SCOPED_TRACE(i++);
        if (c.step == Begin)
            app.BeginWaitCursor();
        else
            app.EndWaitCursor();
        EXPECT_EQ(GetCursor(), c.hcurAfter);
        EXPECT_EQ(app.IsWaitCursorOn(), c.bOn);
    }

    {
        CWaitCursor outer;
        {
            CWaitCursor inner;
            EXPECT_EQ(GetCursor(), hcurWait);
        }
        EXPECT_EQ(GetCursor(), hcurWait);
    }
    EXPECT_EQ(GetCursor(), hcurArrow);
    EXPECT_FALSE(app.IsWaitCursorOn());
}

TEST(AppTest, DialogsKeepTheWaitCursorWhileItIsOn) {
    CWinApp app;
    CDialog dlg(IDD_MESSAGES);
    CModalAnswerer answerer;
    LRESULT lOn = 0, lOff = 0;
    HCURSOR hcurOn = nullptr;
    answerer.SetDialogScript([&](HWND hDlg) {
        const LPARAM lHit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
        app.BeginWaitCursor();
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        lOn = SendMessageW(hDlg, WM_SETCURSOR, reinterpret_cast<WPARAM>(hDlg), lHit);
        hcurOn = GetCursor();
        app.EndWaitCursor();
        lOff = SendMessageW(hDlg, WM_SETCURSOR, reinterpret_cast<WPARAM>(hDlg), lHit);
        EndDialog(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(lOn, TRUE);
    EXPECT_EQ(hcurOn, LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(lOff, FALSE);
}

// RPC_E_CHANGED_MODE from a multithreaded request proves a single-threaded apartment.
HRESULT TryMultithreaded() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr;
}

TEST(AppTest, OleIsASingleThreadedApartmentUntilTerminated) {
    ASSERT_EQ(TryMultithreaded(), S_OK);

    EXPECT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleInit());  // a second call takes no second reference
    EXPECT_EQ(TryMultithreaded(), RPC_E_CHANGED_MODE);
    AfxOleTerm(TRUE);
    EXPECT_EQ(TryMultithreaded(), RPC_E_CHANGED_MODE);
    AfxOleTerm(FALSE);
    EXPECT_EQ(TryMultithreaded(), S_OK);
    AfxOleTerm(FALSE);  // once more: nothing left to undo
    EXPECT_EQ(TryMultithreaded(), S_OK);

    {
        CScopedOleInit ole;
        EXPECT_TRUE(ole.Succeeded());
        EXPECT_EQ(TryMultithreaded(), RPC_E_CHANGED_MODE);
    }
    EXPECT_EQ(TryMultithreaded(), S_OK);
}

TEST(AppTest, OleRefusedOnAMultithreadedThread) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_FALSE(AfxOleInit());
    {
        CScopedOleInit ole;
        EXPECT_FALSE(ole.Succeeded());
    }
    AfxOleTerm(FALSE);  // must not release the caller's apartment
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
}

}  // namespace
