// The settings dialog as a real window: what it shows from the profile and from
// Explorer's key, what OK, Enter and the ways of cancelling store, and how it
// behaves when Explorer's key is missing or the number does not read.
// The profile goes to a scratch company key; Explorer's key is the real one of
// the test prefix, put back as it was after every test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/App.h"
#include "res/resource.h"
#include "support/IconSize.h"
#include "support/RegistryValues.h"
#include "support/ModalAnswerer.h"
#include "ui/settings/DlgSettings.h"

namespace {

constexpr wchar_t kCompany[] = L"ZembroSettingsTest";
constexpr wchar_t kCompanyKey[] = L"Software\\ZembroSettingsTest";
constexpr wchar_t kSectionKey[] = L"Software\\ZembroSettingsTest\\Zembro by Brellow\\Settings";
constexpr wchar_t kExplorerKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr wchar_t kMaximum[] = L"JumpListItems_Maximum";
constexpr wchar_t kLocation[] = L"m_bRememberLocation";
constexpr wchar_t kColumnWidth[] = L"m_bRememberColumnWidth";

// All values of Explorer's key, put back (key included) when it goes away.
class CExplorerKeyKeeper {
public:
    CExplorerKeyKeeper() {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kExplorerKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return;
        m_bExisted = true;
        for (DWORD i = 0;; ++i) {
            wchar_t szName[256] = {};
            DWORD cchName = 256;
            DWORD cb = 0;
            if (RegEnumValueW(hKey, i, szName, &cchName, nullptr, nullptr, nullptr, &cb) != ERROR_SUCCESS) break;
            if (auto value = ReadValue(kExplorerKey, szName)) m_values.push_back({szName, *value});
        }
        RegCloseKey(hKey);
    }
    ~CExplorerKeyKeeper() {
        if (!m_bExisted) return;
        CreateKey(kExplorerKey);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kExplorerKey, kMaximum);
        for (const auto& [name, value] : m_values) WriteValue(kExplorerKey, name.c_str(), value);
    }
    bool Existed() const { return m_bExisted; }

private:
    bool m_bExisted = false;
    std::vector<std::pair<std::wstring, CStoredValue>> m_values;
};

// What the dialog showed when it opened.
struct CShown {
    std::u16string m_strCaption;
    LRESULT m_lLocation = -1, m_lColumnWidth = -1;
    std::u16string m_strMaximum;
    HICON m_hIconBig = nullptr, m_hIconSmall = nullptr;
    // The dialog owns both icons: measured while it is open.
    int m_cxIconBig = 0, m_cxIconSmall = 0;
    int m_nFocusID = 0;
};

CShown Look(HWND hDlg) {
    CShown shown;
    shown.m_strCaption = WindowText(hDlg);
    shown.m_lLocation = SendDlgItemMessageW(hDlg, IDC_REMEMBER_LOCATION, BM_GETCHECK, 0, 0);
    shown.m_lColumnWidth = SendDlgItemMessageW(hDlg, IDC_REMEMBER_COLUMN_WIDTH, BM_GETCHECK, 0, 0);
    shown.m_strMaximum = WindowText(GetDlgItem(hDlg, IDC_MAX_JUMP_LIST_ITEMS));
    shown.m_hIconBig = reinterpret_cast<HICON>(SendMessageW(hDlg, WM_GETICON, ICON_BIG, 0));
    shown.m_hIconSmall = reinterpret_cast<HICON>(SendMessageW(hDlg, WM_GETICON, ICON_SMALL, 0));
    shown.m_cxIconBig = IconWidth(shown.m_hIconBig);
    shown.m_cxIconSmall = IconWidth(shown.m_hIconSmall);
    shown.m_nFocusID = GetDlgCtrlID(GetFocus());
    return shown;
}

void Click(HWND hDlg, int nID) { SendMessageW(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0); }
void TypeNumber(HWND hDlg, const wchar_t* pszText) { SetDlgItemTextW(hDlg, IDC_MAX_JUMP_LIST_ITEMS, pszText); }

class DlgSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_keeper.Existed()) << "the test prefix lacks Explorer's advanced key";
        RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kExplorerKey, kMaximum);
        m_app.SetRegistryKey(kCompany);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey); }

    // The profile key exists only when a preference is stored.
    static void Store(StoredValue location, StoredValue columnWidth, StoredValue maximum) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
        if (location || columnWidth) CreateKey(kSectionKey);
        if (location) WriteValue(kSectionKey, kLocation, location);
        if (columnWidth) WriteValue(kSectionKey, kColumnWidth, columnWidth);
        WriteValue(kExplorerKey, kMaximum, maximum);
    }

    CExplorerKeyKeeper m_keeper;
    CWinApp m_app;
};

TEST_F(DlgSettingsTest, StartShowsWhatIsStored) {
    struct Case {
        const char* name;
        StoredValue location, columnWidth, maximum;
        LRESULT lLocation, lColumnWidth;
        const char16_t* pszMaximum;
    };
    const Case cases[] = {
        {"first run", kAbsent, kAbsent, kAbsent, BST_CHECKED, BST_CHECKED, u"0"},
        {"both off, 15", Dword(0), Dword(0), Dword(15), BST_UNCHECKED, BST_UNCHECKED, u"15"},
        {"any nonzero is on", Dword(5), Dword(0), Dword(0xFFFFFFFF), BST_CHECKED, BST_UNCHECKED, u"4294967295"},
        {"only one stored", kAbsent, Dword(0), Dword(1), BST_CHECKED, BST_UNCHECKED, u"1"},
        {"text value", kAbsent, kAbsent, Text(L"15"), BST_CHECKED, BST_CHECKED, u"0"},
        {"profile as text", Text(L"0"), Text(L"0"), kAbsent, BST_CHECKED, BST_CHECKED, u"0"},
    };
    const HICON hProgramIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZEMBRO));
    ASSERT_NE(hProgramIcon, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store(c.location, c.columnWidth, c.maximum);
        CDlgSettings dlg;
        CModalAnswerer answerer;
        CShown shown;
        answerer.SetDialogScript([&](HWND hDlg) {
            shown = Look(hDlg);
            PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(shown.m_strCaption, u"Settings - Zembro by Brellow");
        EXPECT_EQ(shown.m_lLocation, c.lLocation);
        EXPECT_EQ(shown.m_lColumnWidth, c.lColumnWidth);
        EXPECT_EQ(shown.m_strMaximum, c.pszMaximum);
        // Both drawn for their sizes, neither the shared one shrunk or stretched.
        EXPECT_NE(shown.m_hIconBig, hProgramIcon);
        EXPECT_NE(shown.m_hIconSmall, hProgramIcon);
        EXPECT_EQ(shown.m_cxIconBig, GetSystemMetrics(SM_CXICON));
        EXPECT_EQ(shown.m_cxIconSmall, GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(shown.m_nFocusID, IDC_REMEMBER_LOCATION);
        EXPECT_TRUE(answerer.MessageBoxes().empty());
        // Looking changes nothing.
        EXPECT_EQ(ReadValue(kExplorerKey, kMaximum), c.maximum);
        EXPECT_EQ(ReadValue(kSectionKey, kLocation), c.location);
        EXPECT_EQ(ReadValue(kSectionKey, kColumnWidth), c.columnWidth);
    }
}

TEST_F(DlgSettingsTest, OkStoresBothPreferencesAndSetsOrRemovesTheMaximum) {
    enum How { OkButton, EnterKey };
    struct Case {
        const char* name;
        StoredValue maximumBefore;
        const wchar_t* pszTyped;  // null: left as shown
        bool bClickLocation, bClickColumnWidth;
        How how;
        StoredValue maximumAfter;
        DWORD dwLocation, dwColumnWidth;
    };
    const Case cases[] = {
        {"0 removes the value", Dword(7), L"0", false, false, OkButton, kAbsent, 1, 1},
        {"15 stores a dword", kAbsent, L"15", false, false, OkButton, Dword(15), 1, 1},
        {"Enter confirms", Dword(7), L"15", false, false, EnterKey, Dword(15), 1, 1},
        {"unchanged dword stays", Dword(7), nullptr, false, false, OkButton, Dword(7), 1, 1},
        {"text value shown as 0 is removed", Text(L"15"), nullptr, false, false, OkButton, kAbsent, 1, 1},
        {"text value replaced by a number", Text(L"15"), L"3", false, false, OkButton, Dword(3), 1, 1},
        {"0 with nothing stored", kAbsent, L"0", false, false, OkButton, kAbsent, 1, 1},
        {"largest number", kAbsent, L"4294967295", false, false, OkButton, Dword(0xFFFFFFFF), 1, 1},
        {"both boxes cleared", kAbsent, nullptr, true, true, OkButton, kAbsent, 0, 0},
        {"location cleared", Dword(2), nullptr, true, false, EnterKey, Dword(2), 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store(kAbsent, kAbsent, c.maximumBefore);
        CDlgSettings dlg;
        CModalAnswerer answerer;
        answerer.SetDialogScript([&](HWND hDlg) {
            if (c.bClickLocation) Click(hDlg, IDC_REMEMBER_LOCATION);
            if (c.bClickColumnWidth) Click(hDlg, IDC_REMEMBER_COLUMN_WIDTH);
            if (c.pszTyped) TypeNumber(hDlg, c.pszTyped);
            HWND hEdit = GetDlgItem(hDlg, IDC_MAX_JUMP_LIST_ITEMS);
            SetFocus(hEdit);
            if (c.how == OkButton)
                PostMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
            else
                PostMessageW(hEdit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(answerer.MessageBoxes().empty());
        EXPECT_EQ(ReadValue(kExplorerKey, kMaximum), c.maximumAfter);
        EXPECT_EQ(ReadValue(kSectionKey, kLocation), Dword(c.dwLocation));
        EXPECT_EQ(ReadValue(kSectionKey, kColumnWidth), Dword(c.dwColumnWidth));
        EXPECT_EQ(dlg.m_bRememberLocation, static_cast<BOOL>(c.dwLocation));
        EXPECT_EQ(dlg.m_bRememberColumnWidth, static_cast<BOOL>(c.dwColumnWidth));
    }
}

TEST_F(DlgSettingsTest, WhatOkStoredIsWhatTheNextDialogShows) {
    CDlgSettings first, second;
    CModalAnswerer answerer;
    answerer.SetDialogScript([&](HWND hDlg) {
        Click(hDlg, IDC_REMEMBER_COLUMN_WIDTH);
        TypeNumber(hDlg, L"15");
        PostMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(first.DoModal(), IDOK);
    CShown shown;
    answerer.SetDialogScript([&](HWND hDlg) {
        shown = Look(hDlg);
        PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(second.DoModal(), IDCANCEL);
    EXPECT_EQ(shown.m_strMaximum, u"15");
    EXPECT_EQ(shown.m_lLocation, BST_CHECKED);
    EXPECT_EQ(shown.m_lColumnWidth, BST_UNCHECKED);
}

TEST_F(DlgSettingsTest, CancellingInAnyWayWritesNothing) {
    enum How { CancelButton, EscapeKey, CloseBox };
    const struct {
        const char* name;
        How how;
    } cases[] = {{"Cancel button", CancelButton}, {"Escape key", EscapeKey}, {"close box", CloseBox}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const StoredValue maxima[] = {Dword(7), kAbsent};
        for (const auto& maximum : maxima) {
            Store(kAbsent, kAbsent, maximum);
            CDlgSettings dlg;
            CModalAnswerer answerer;
            answerer.SetDialogScript([&](HWND hDlg) {
                Click(hDlg, IDC_REMEMBER_LOCATION);
                Click(hDlg, IDC_REMEMBER_COLUMN_WIDTH);
                TypeNumber(hDlg, maximum ? L"0" : L"15");
                HWND hEdit = GetDlgItem(hDlg, IDC_MAX_JUMP_LIST_ITEMS);
                SetFocus(hEdit);
                switch (c.how) {
                case CancelButton: PostMessageW(GetDlgItem(hDlg, IDCANCEL), BM_CLICK, 0, 0); break;
                case EscapeKey: PostMessageW(hEdit, WM_KEYDOWN, VK_ESCAPE, 0x00010001); break;
                case CloseBox: PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); break;
                }
            });
            EXPECT_EQ(dlg.DoModal(), IDCANCEL);
            EXPECT_EQ(ReadValue(kExplorerKey, kMaximum), maximum);
            EXPECT_FALSE(KeyExists(kCompanyKey));
        }
    }
}

TEST_F(DlgSettingsTest, WithoutExplorersKeyThePreferencesAreStillStoredAndOkEnds) {
    enum When { BeforeStart, WhileOpen, ReplacedWhileOpen };
    const struct {
        const char* name;
        When when;
    } cases[] = {
        {"missing from the start", BeforeStart},
        {"deleted while the dialog is open", WhileOpen},
        // The dialog must not hold on to the key it read at start.
        {"deleted and created again while open", ReplacedWhileOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Store(kAbsent, kAbsent, Dword(7));
        if (c.when == BeforeStart) {
            ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, kExplorerKey), ERROR_SUCCESS);
        }
        CDlgSettings dlg;
        CModalAnswerer answerer;
        CShown shown;
        LONG lDeleted = ERROR_SUCCESS;
        answerer.SetDialogScript([&](HWND hDlg) {
            shown = Look(hDlg);
            if (c.when != BeforeStart) lDeleted = RegDeleteKeyW(HKEY_CURRENT_USER, kExplorerKey);
            if (c.when == ReplacedWhileOpen) CreateKey(kExplorerKey);
            Click(hDlg, IDC_REMEMBER_LOCATION);
            TypeNumber(hDlg, L"15");
            PostMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(lDeleted, ERROR_SUCCESS);
        EXPECT_EQ(shown.m_strMaximum, c.when == BeforeStart ? u"0" : u"7");
        EXPECT_TRUE(answerer.MessageBoxes().empty());
        EXPECT_EQ(ReadValue(kSectionKey, kLocation), Dword(0));
        EXPECT_EQ(ReadValue(kSectionKey, kColumnWidth), Dword(1));
        if (c.when == ReplacedWhileOpen) {
            EXPECT_EQ(ReadValue(kExplorerKey, kMaximum), Dword(15));
        } else {
            EXPECT_FALSE(KeyExists(kExplorerKey)) << "the key was created";
        }
        CreateKey(kExplorerKey);
    }
}

TEST_F(DlgSettingsTest, ANumberThatDoesNotReadStopsAtTheFieldAndWritesNothing) {
    const wchar_t* const texts[] = {L"abc", L"-1", L"", L"4294967296", L"1.5", L"12abc", L"  "};
    Store(kAbsent, kAbsent, Dword(7));
    struct Observed {
        size_t nBoxes;
        int nFocusID;
        DWORD dwStart, dwEnd;
        bool bOpen;
        bool bProfileWritten;
        StoredValue maximum;
    };
    std::vector<Observed> observed;
    CDlgSettings dlg;
    CModalAnswerer answerer;
    // One run of the dialog for all texts: OK must leave it open every time.
    answerer.SetDialogScript([&](HWND hDlg) {
        Click(hDlg, IDC_REMEMBER_LOCATION);
        for (const wchar_t* pszText : texts) {
            const size_t nBefore = answerer.MessageBoxes().size();
            TypeNumber(hDlg, pszText);
            SetFocus(GetDlgItem(hDlg, IDC_REMEMBER_LOCATION));
            Click(hDlg, IDOK);
            Observed o{};
            o.nBoxes = answerer.MessageBoxes().size() - nBefore;
            o.nFocusID = GetDlgCtrlID(GetFocus());
            SendDlgItemMessageW(hDlg, IDC_MAX_JUMP_LIST_ITEMS, EM_GETSEL, reinterpret_cast<WPARAM>(&o.dwStart),
                                reinterpret_cast<LPARAM>(&o.dwEnd));
            o.bOpen = IsWindow(hDlg) && IsWindowVisible(hDlg);
            o.bProfileWritten = KeyExists(kCompanyKey);
            o.maximum = ReadValue(kExplorerKey, kMaximum);
            observed.push_back(o);
        }
        PostMessageW(GetDlgItem(hDlg, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(observed.size(), std::size(texts));
    ASSERT_EQ(answerer.MessageBoxes().size(), std::size(texts));
    for (size_t i = 0; i < observed.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const Observed& o = observed[i];
        EXPECT_EQ(o.nBoxes, 1u);
        EXPECT_EQ(o.nFocusID, IDC_MAX_JUMP_LIST_ITEMS);
        EXPECT_EQ(o.dwStart, 0u);
        EXPECT_EQ(o.dwEnd, static_cast<DWORD>(lstrlenW(texts[i])));
        EXPECT_TRUE(o.bOpen);
        EXPECT_FALSE(o.bProfileWritten);
        EXPECT_EQ(o.maximum, Dword(7));
        const CRecordedMessageBox& box = answerer.MessageBoxes()[i];
        EXPECT_EQ(box.m_strText, u"Please enter a whole number from 0 to 4294967295.");
        EXPECT_EQ(box.m_strCaption, u"Zembro by Brellow");
        EXPECT_EQ(box.m_nType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_FALSE(KeyExists(kCompanyKey));
    EXPECT_EQ(ReadValue(kExplorerKey, kMaximum), Dword(7));
}

}  // namespace
