// The dialog base: message map dispatch, results, Default(), exceptions,
// message box captions and owners.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "support/ModalAnswerer.h"
#include "TestResources.h"

namespace {

constexpr char16_t kTitle[] = u"Zembro by Brellow";
constexpr UINT WM_TEST_RESULT = WM_APP + 1;
constexpr UINT WM_TEST_THROW_ANY = WM_APP + 2;

class CMessageDialog : public CDialog {
public:
    CMessageDialog() : CDialog(IDD_MESSAGES) {}
    std::vector<std::string> m_arrCalls;
    bool m_bPassSetText = false;

protected:
    std::span<const CMessageMapEntry> GetMessageMap() const override {
        static const CMessageMapEntry map[] = {
            {WM_COMMAND, IDC_COMMAND, BN_CLICKED, &CMessageDialog::OnCommand},
            {WM_COMMAND, IDC_EDIT, EN_CHANGE, &CMessageDialog::OnEditChange},
            {WM_COMMAND, IDC_THROW, BN_CLICKED, &CMessageDialog::OnThrow},
            {WM_NOTIFY, IDC_COMMAND, NM_CLICK, &CMessageDialog::OnNotifyClick},
            {WM_SETTEXT, 0, 0, &CMessageDialog::OnSetText},
            {WM_QUERYDRAGICON, 0, 0, &CMessageDialog::OnQueryDragIcon},
            {WM_TEST_RESULT, 0, 0, &CMessageDialog::OnTestResult},
            {WM_TEST_THROW_ANY, 0, 0, &CMessageDialog::OnThrowAnything},
            {WM_DESTROY, 0, 0, &CMessageDialog::OnDestroy},
        };
        return map;
    }

private:
    void OnCommand() { m_arrCalls.push_back("command"); }
    void OnEditChange() { m_arrCalls.push_back("change"); }
    void OnThrow() { throw std::runtime_error("boom"); }
    LRESULT OnNotifyClick(NMHDR* pNMHDR) {
        m_arrCalls.push_back("notify " + std::to_string(pNMHDR->idFrom));
        return 77;
    }
    LRESULT OnSetText(WPARAM, LPARAM) {
        m_arrCalls.push_back("settext");
        if (m_bPassSetText) Default();
        return TRUE;
    }
    LRESULT OnQueryDragIcon(WPARAM, LPARAM) { return 0x1234; }
    LRESULT OnTestResult(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) * 2; }
    LRESULT OnThrowAnything(WPARAM, LPARAM) { throw 42; }
    void OnDestroy() { m_arrCalls.push_back("destroy"); }
};

TEST(DialogTest, MessageMapRoutesByMessageIdAndCode) {
    CWinApp app;
    CMessageDialog dlg;
    CModalAnswerer answerer;
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        UINT nNotifyCode;  // WM_NOTIFY: the code sent from IDC_COMMAND
        LRESULT lExpected;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"button click", WM_COMMAND, MAKEWPARAM(IDC_COMMAND, BN_CLICKED), 0, 0, {"command"}},
        {"same id, other code", WM_COMMAND, MAKEWPARAM(IDC_COMMAND, BN_DOUBLECLICKED), 0, 0, {}},
        {"edit change", WM_COMMAND, MAKEWPARAM(IDC_EDIT, EN_CHANGE), 0, 0, {"change"}},
        {"edit, other code", WM_COMMAND, MAKEWPARAM(IDC_EDIT, EN_UPDATE), 0, 0, {}},
        {"unmapped id", WM_COMMAND, MAKEWPARAM(4242, BN_CLICKED), 0, 0, {}},
        {"notify result goes back", WM_NOTIFY, IDC_COMMAND, NM_CLICK, 77, {"notify 1201"}},
        {"notify, other code", WM_NOTIFY, IDC_COMMAND, NM_DBLCLK, 0, {}},
        {"direct result", WM_QUERYDRAGICON, 0, 0, 0x1234, {}},
        {"result through DWLP_MSGRESULT", WM_TEST_RESULT, 21, 0, 42, {}},
    };
    std::vector<LRESULT> results;
    std::vector<std::vector<std::string>> calls;
    answerer.SetDialogScript([&](HWND hDlg) {
        for (const Case& c : cases) {
            dlg.m_arrCalls.clear();
            NMHDR nmhdr{GetDlgItem(hDlg, IDC_COMMAND), IDC_COMMAND, c.nNotifyCode};
            const LPARAM lParam = c.message == WM_NOTIFY ? reinterpret_cast<LPARAM>(&nmhdr) : 0;
            results.push_back(SendMessageW(hDlg, c.message, c.wParam, lParam));
            calls.push_back(dlg.m_arrCalls);
        }
        dlg.m_arrCalls.clear();
        EndDialog(hDlg, IDCANCEL);
    });
    ASSERT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(results.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(results[i], cases[i].lExpected);
        EXPECT_EQ(calls[i], cases[i].calls);
    }
    EXPECT_EQ(dlg.m_arrCalls, std::vector<std::string>{"destroy"});
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_TRUE(answerer.MessageBoxes().empty());
}

TEST(DialogTest, DefaultLetsTheDialogManagerProcessTheMessageToo) {
    CWinApp app;
    for (bool bPass : {false, true}) {
        SCOPED_TRACE(bPass);
        CMessageDialog dlg;
        dlg.m_bPassSetText = bPass;
        CModalAnswerer answerer;
        std::u16string strCaption;
        answerer.SetDialogScript([&](HWND hDlg) {
            SetWindowTextW(hDlg, L"Changed");
            strCaption = WindowText(hDlg);
            EndDialog(hDlg, IDCANCEL);
        });
        dlg.DoModal();
        EXPECT_EQ(strCaption, bPass ? u"Changed" : u"Messages");
        EXPECT_EQ(dlg.m_arrCalls.front(), "settext");
    }
}

TEST(DialogTest, ExceptionsAreReportedOnceAndTheDialogGoesOn) {
    CWinApp app;
    CMessageDialog dlg;
    CModalAnswerer answerer;
    bool bAliveAfter = false;
    answerer.SetDialogScript([&](HWND hDlg) {
        SendMessageW(GetDlgItem(hDlg, IDC_THROW), BM_CLICK, 0, 0);
        SendMessageW(hDlg, WM_TEST_THROW_ANY, 0, 0);
        SendMessageW(GetDlgItem(hDlg, IDC_COMMAND), BM_CLICK, 0, 0);
        bAliveAfter = IsWindow(hDlg) && !dlg.m_arrCalls.empty();
        EndDialog(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(bAliveAfter);
    const auto& boxes = answerer.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].m_strText, u"An unexpected error occurred:\n\nboom");
    EXPECT_EQ(boxes[1].m_strText, u"An unexpected error occurred.");
    for (const auto& box : boxes) {
        EXPECT_EQ(box.m_strCaption, kTitle);
        EXPECT_EQ(box.m_nType, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    }
}

TEST(DialogTest, MessageBoxShowsTheTitleWhenGivenNoCaption) {
    CWinApp app;
    CMessageDialog dlg;
    CModalAnswerer answerer(IDNO);
    HWND hWndDialog = nullptr;
    std::vector<int> answers;
    answerer.SetDialogScript([&](HWND hDlg) {
        hWndDialog = hDlg;
        answers.push_back(dlg.MessageBox(L"No caption"));
        answers.push_back(dlg.MessageBox(L"Own caption", L"Mine", MB_YESNOCANCEL | MB_ICONQUESTION));
        EndDialog(hDlg, IDCANCEL);
    });
    dlg.DoModal();
    const auto& boxes = answerer.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].m_strText, u"No caption");
    EXPECT_EQ(boxes[0].m_strCaption, kTitle);
    EXPECT_EQ(boxes[0].m_nType, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[1].m_strCaption, u"Mine");
    EXPECT_EQ(boxes[1].m_nType, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    for (const auto& box : boxes) EXPECT_EQ(box.m_hWndOwner, hWndDialog);
    EXPECT_EQ(answers, (std::vector<int>{IDNO, IDNO}));
}

TEST(DialogTest, DialogsWithoutParentAreOwnedByTheMainWindow) {
    CWinApp app;
    CMessageDialog main;
    CMessageDialog second;
    CDialog third(IDD_MESSAGES, &second);
    app.m_pMainWnd = &main;
    CModalAnswerer answerer;
    std::vector<HWND> dialogs, owners;
    answerer.SetDialogScript([&](HWND hDlg) {
        dialogs.push_back(hDlg);
        owners.push_back(GetWindow(hDlg, GW_OWNER));
        if (dialogs.size() == 1) second.DoModal();  // no parent given
        if (dialogs.size() == 2) third.DoModal();   // the second dialog as parent
        EndDialog(hDlg, IDCANCEL);
    });
    main.DoModal();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(owners[0], nullptr);  // the main window itself has no owner
    EXPECT_EQ(owners[1], dialogs[0]);
    EXPECT_EQ(owners[2], dialogs[1]);
}

TEST(DialogTest, MissingTemplateGivesMinusOne) {
    CWinApp app;
    CDialog dlg(IDD_MISSING);
    EXPECT_EQ(dlg.DoModal(), -1);
}


TEST(DialogTest, CenterWindowCentresOverTheOwnerAndStaysInTheWorkArea) {
    RECT rcWork{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0));
    const int xMiddle = (rcWork.left + rcWork.right) / 2, yMiddle = (rcWork.top + rcWork.bottom) / 2;
    struct Case {
        const char* name;
        int x, y;  // the owner's top left; it is 400 by 300
        bool bCentred;
    } const cases[] = {
        {"owner in the middle", xMiddle - 200, yMiddle - 150, true},
        {"owner past the right and bottom edges", rcWork.right - 60, rcWork.bottom - 60, false},
        {"owner past the left and top edges", rcWork.left - 340, rcWork.top - 240, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMessageDialog owner;
        CDialog dialog(IDD_MESSAGES, &owner);
        RECT rcOwner{}, rcDialog{};
        CModalAnswerer answerer;
        answerer.SetDialogScript([&](HWND hDlg) {
            if (hDlg == owner.m_hWnd) {
                MoveWindow(hDlg, c.x, c.y, 400, 300, FALSE);
                GetWindowRect(hDlg, &rcOwner);
                dialog.DoModal();
            } else {
                dialog.CenterWindow();
                GetWindowRect(hDlg, &rcDialog);
            }
            EndDialog(hDlg, IDCANCEL);
        });
        owner.DoModal();
        EXPECT_GE(rcDialog.left, rcWork.left);
        EXPECT_GE(rcDialog.top, rcWork.top);
        EXPECT_LE(rcDialog.right, rcWork.right);
        EXPECT_LE(rcDialog.bottom, rcWork.bottom);
        if (c.bCentred) {
            EXPECT_NEAR(rcDialog.left + rcDialog.right, rcOwner.left + rcOwner.right, 1);
            EXPECT_NEAR(rcDialog.top + rcDialog.bottom, rcOwner.top + rcOwner.bottom, 1);
        }
    }
}

}  // namespace
