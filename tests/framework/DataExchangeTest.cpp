// Data exchange: reading stops at a number that does not read, with the prompt
// and the focus on that control; OK, Enter, Escape and the close box.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "support/ModalAnswerer.h"
#include "TestResources.h"

namespace {

constexpr char16_t kTitle[] = u"Zembro by Brellow";
constexpr UINT WM_TEST_STILL_RUNNING = WM_APP + 1;

class CExchangeDialog : public CDialog {
public:
    CExchangeDialog() : CDialog(IDD_EXCHANGE) {}

    // Fields before and after the two numbers, so that a failure shows where it stopped.
    std::u16string m_strFirst = u"first before";
    std::int32_t m_nSigned = 11;
    std::uint32_t m_dwUnsigned = 22;
    std::u16string m_strLast = u"last before";
    BOOL m_bCheck = 0;
    HWND m_hWndLast = nullptr;
    bool m_bStillRunning = false;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, IDC_FIRST, m_strFirst);
        DDX_Text(dx, IDC_SIGNED, m_nSigned);
        DDX_Text(dx, IDC_UNSIGNED, m_dwUnsigned);
        DDX_Text(dx, IDC_LAST, m_strLast);
        DDX_Check(dx, IDC_CHECK, m_bCheck);
        DDX_Control(dx, IDC_LAST, m_hWndLast);
    }
    std::span<const CMessageMapEntry> GetMessageMap() const override {
        static const CMessageMapEntry map[] = {
            {WM_TEST_STILL_RUNNING, 0, 0, &CExchangeDialog::OnStillRunning},
        };
        return map;
    }

private:
    LRESULT OnStillRunning(WPARAM, LPARAM) {
        m_bStillRunning = true;
        EndDialog(IDCANCEL);
        return 0;
    }
};

void Type(HWND hDlg, int nID, const wchar_t* pszText) { SetDlgItemTextW(hDlg, nID, pszText); }

// What the controls show when the dialog starts, from the members.
TEST(DataExchangeTest, StartWritesTheMembersIntoTheControls) {
    CWinApp app;
    CExchangeDialog dlg;
    dlg.m_nSigned = INT32_MIN;
    dlg.m_dwUnsigned = UINT32_MAX;
    dlg.m_bCheck = 5;  // any nonzero value checks the box
    CModalAnswerer answerer;
    std::u16string strSigned, strUnsigned, strFirst;
    LRESULT lCheck = 0;
    answerer.SetDialogScript([&](HWND hDlg) {
        strFirst = WindowText(GetDlgItem(hDlg, IDC_FIRST));
        strSigned = WindowText(GetDlgItem(hDlg, IDC_SIGNED));
        strUnsigned = WindowText(GetDlgItem(hDlg, IDC_UNSIGNED));
        lCheck = SendDlgItemMessageW(hDlg, IDC_CHECK, BM_GETCHECK, 0, 0);
        EndDialog(hDlg, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(strFirst, u"first before");
    EXPECT_EQ(strSigned, u"-2147483648");
    EXPECT_EQ(strUnsigned, u"4294967295");
    EXPECT_EQ(lCheck, BST_CHECKED);
    EXPECT_EQ(dlg.m_bCheck, 5);  // cancelled: nothing read back
}

TEST(DataExchangeTest, ReadingStopsAtTheFirstNumberThatDoesNotRead) {
    enum Stop { None, AtSigned, AtUnsigned };
    struct Case {
        const wchar_t* pszSigned;
        const wchar_t* pszUnsigned;
        Stop eStop;
        std::int32_t nSigned;     // expected when read
        std::uint32_t dwUnsigned; // expected when read
    };
    const Case cases[] = {
        {L"-2147483648", L"4294967295", None, INT32_MIN, UINT32_MAX},
        {L"2147483647", L"0", None, INT32_MAX, 0},
        {L" 12 ", L"+7", None, 12, 7},
        {L"2147483648", L"1", AtSigned, 0, 0},
        {L"-2147483649", L"1", AtSigned, 0, 0},
        {L"", L"1", AtSigned, 0, 0},
        {L"12abc", L"1", AtSigned, 0, 0},
        {L"abc", L"1", AtSigned, 0, 0},
        {L"5", L"-1", AtUnsigned, 5, 0},
        {L"5", L"4294967296", AtUnsigned, 5, 0},
        {L"5", L"", AtUnsigned, 5, 0},
        {L"5", L"1.5", AtUnsigned, 5, 0},
    };
    struct Observed {
        BOOL bResult;
        HWND hWndFocus, hWndExpected;
        DWORD dwStart, dwEnd;
        std::u16string strFirst, strLast;
        std::int32_t nSigned;
        std::uint32_t dwUnsigned;
        BOOL bCheck;
        HWND hWndLast;
        size_t nBoxes;
    };
    std::vector<Observed> observed;
    CWinApp app;
    CExchangeDialog dlg;
    CModalAnswerer answerer;
    // All cases in one run of the dialog: every window that closes costs time under Wine.
    answerer.SetDialogScript([&](HWND hDlg) {
        for (const Case& c : cases) {
            dlg.m_strFirst = u"first before";
            dlg.m_nSigned = 11;
            dlg.m_dwUnsigned = 22;
            dlg.m_strLast = u"last before";
            dlg.m_bCheck = 0;
            dlg.m_hWndLast = nullptr;
            Type(hDlg, IDC_FIRST, L"first typed");
            Type(hDlg, IDC_SIGNED, c.pszSigned);
            Type(hDlg, IDC_UNSIGNED, c.pszUnsigned);
            Type(hDlg, IDC_LAST, L"last typed");
            CheckDlgButton(hDlg, IDC_CHECK, BST_CHECKED);
            SetFocus(GetDlgItem(hDlg, IDC_FIRST));
            const size_t nBoxesBefore = answerer.MessageBoxes().size();

            Observed o{};
            o.bResult = dlg.UpdateData(TRUE);
            o.hWndFocus = GetFocus();
            o.hWndExpected = GetDlgItem(hDlg, c.eStop == AtSigned ? IDC_SIGNED : IDC_UNSIGNED);
            o.dwStart = 1;
            SendMessageW(o.hWndFocus, EM_GETSEL, reinterpret_cast<WPARAM>(&o.dwStart), reinterpret_cast<LPARAM>(&o.dwEnd));
            o.strFirst = dlg.m_strFirst;
            o.strLast = dlg.m_strLast;
            o.nSigned = dlg.m_nSigned;
            o.dwUnsigned = dlg.m_dwUnsigned;
            o.bCheck = dlg.m_bCheck;
            o.hWndLast = dlg.m_hWndLast;
            o.nBoxes = answerer.MessageBoxes().size() - nBoxesBefore;
            observed.push_back(o);
        }
        EndDialog(hDlg, IDCANCEL);
    });
    ASSERT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(observed.size(), std::size(cases));

    size_t nBox = 0;
    for (size_t i = 0; i < observed.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        const Observed& o = observed[i];
        EXPECT_EQ(o.strFirst, u"first typed");
        if (c.eStop == None) {
            EXPECT_TRUE(o.bResult);
            EXPECT_EQ(o.nSigned, c.nSigned);
            EXPECT_EQ(o.dwUnsigned, c.dwUnsigned);
            EXPECT_EQ(o.strLast, u"last typed");
            EXPECT_EQ(o.bCheck, 1);
            EXPECT_NE(o.hWndLast, nullptr);
            EXPECT_EQ(o.nBoxes, 0u);
            continue;
        }
        EXPECT_FALSE(o.bResult);
        EXPECT_EQ(o.nSigned, c.eStop == AtUnsigned ? c.nSigned : 11);
        EXPECT_EQ(o.dwUnsigned, 22u);
        EXPECT_EQ(o.strLast, u"last before");
        EXPECT_EQ(o.bCheck, 0);
        EXPECT_EQ(o.hWndLast, nullptr);
        EXPECT_EQ(o.hWndFocus, o.hWndExpected);
        EXPECT_EQ(o.dwStart, 0u);
        EXPECT_EQ(o.dwEnd, static_cast<DWORD>(lstrlenW(c.eStop == AtSigned ? c.pszSigned : c.pszUnsigned)));
        ASSERT_EQ(o.nBoxes, 1u);
        const CRecordedMessageBox& box = answerer.MessageBoxes()[nBox++];
        EXPECT_EQ(box.m_strText, c.eStop == AtSigned ? u"Please enter a whole number from -2147483648 to 2147483647."
                                                     : u"Please enter a whole number from 0 to 4294967295.");
        EXPECT_EQ(box.m_strCaption, kTitle);
        EXPECT_EQ(box.m_nType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
}

TEST(DataExchangeTest, OkWithANumberThatDoesNotReadKeepsTheDialogOpen) {
    CWinApp app;
    CExchangeDialog dlg;
    CModalAnswerer answerer;
    answerer.SetDialogScript([&](HWND hDlg) {
        Type(hDlg, IDC_SIGNED, L"x");
        SendMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
        // Handled only if the first OK did not end the modal loop.
        PostMessageW(hDlg, WM_TEST_STILL_RUNNING, 0, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.m_bStillRunning);
    EXPECT_EQ(answerer.MessageBoxes().size(), 1u);
}

TEST(DataExchangeTest, OkAndEnterExchangeEscapeAndCloseDoNot) {
    enum How { OkButton, EnterKey, CancelButton, EscapeKey, CloseBox };
    struct Case {
        const char* name;
        How how;
        INT_PTR nResult;
    };
    const Case cases[] = {
        {"OK button", OkButton, IDOK},         {"Enter key", EnterKey, IDOK},
        {"Cancel button", CancelButton, IDCANCEL}, {"Escape key", EscapeKey, IDCANCEL},
        {"close box", CloseBox, IDCANCEL},
    };
    CWinApp app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CExchangeDialog dlg;
        CModalAnswerer answerer;
        answerer.SetDialogScript([&](HWND hDlg) {
            Type(hDlg, IDC_FIRST, L"first typed");
            Type(hDlg, IDC_SIGNED, L"-5");
            HWND hEdit = GetDlgItem(hDlg, IDC_FIRST);
            SetFocus(hEdit);
            switch (c.how) {
            case OkButton: PostMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0); break;
            case CancelButton: PostMessageW(GetDlgItem(hDlg, IDCANCEL), BM_CLICK, 0, 0); break;
            // Keys go to the focused control; the dialog's loop turns them into commands.
            case EnterKey: PostMessageW(hEdit, WM_KEYDOWN, VK_RETURN, 0x001C0001); break;
            case EscapeKey: PostMessageW(hEdit, WM_KEYDOWN, VK_ESCAPE, 0x00010001); break;
            case CloseBox: PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            }
        });
        EXPECT_EQ(dlg.DoModal(), c.nResult);
        const bool bExchanged = c.nResult == IDOK;
        EXPECT_EQ(dlg.m_strFirst, bExchanged ? u"first typed" : u"first before");
        EXPECT_EQ(dlg.m_nSigned, bExchanged ? -5 : 11);
        EXPECT_TRUE(answerer.MessageBoxes().empty());
    }
}

}  // namespace
