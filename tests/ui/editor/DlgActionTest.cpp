// The task editor as a real modal dialog, driven with the messages a user's
// keys and clicks send, and checked from inside its modal loop.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/OleInit.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/CaseName.h"
#include "support/IconSize.h"
#include "support/ImportSwap.h"
#include "support/ModalAnswerer.h"
#include "support/OpenedUrls.h"
#include "ui/editor/DlgAction.h"

// The slots the linker made for the shell's functions the editor calls.
extern "C" decltype(&PickIconDlg) __imp_PickIconDlg;
extern "C" decltype(&SHAutoComplete) __imp_SHAutoComplete;

namespace {

using Texts = std::vector<std::u16string>;

constexpr char16_t kTitleMessage[] = u"Please Enter Title to Continue.";
constexpr char16_t kPathMessage[] = u"Please Enter / Select Application / Document File Path to Continue.";
constexpr char16_t kIndexMessage[] = u"Please enter a whole number from -2147483648 to 2147483647.";
constexpr char16_t kNA[] = u"-NA-";
constexpr int kFileNameEdit = 1152;   // the file dialog's "File name:" (Wine's)
constexpr int kFileTypeCombo = 1136;  // its "Files of type:"

std::wstring TestFolder() {
    wchar_t szPath[MAX_PATH] = {};
    std::wstring path(szPath, GetModuleFileNameW(nullptr, szPath, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\'));
}
std::u16string InTestFolder(const wchar_t* pszName) { return as_u16(TestFolder() + L"\\" + pszName); }

const std::u16string kProgram = InTestFolder(L"zembro_three_icons.exe");  // icons 0 to 2
const std::u16string kIconFile = InTestFolder(L"green.ico");
const std::u16string kMissing = InTestFolder(L"no such file.exe");
const std::u16string kDocument = InTestFolder(L"editor document.txt");

// A document without icons, there while the test program runs.
struct CTestDocument {
    CTestDocument() {
        HANDLE h = CreateFileW(as_wcstr(kDocument), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        m_bWritten = h != INVALID_HANDLE_VALUE;
        if (m_bWritten) CloseHandle(h);
    }
    ~CTestDocument() { DeleteFileW(as_wcstr(kDocument)); }
    bool m_bWritten = false;
} g_document;

std::u16string Text(HWND hDlg, int nID) { return WindowText(GetDlgItem(hDlg, nID)); }
Texts Fields(HWND hDlg) {
    Texts texts;
    for (int nID : {IDC_TITLE, IDC_PATH, IDC_DESCRIPTION, IDC_ARGUMENTS, IDC_ICON_PATH, IDC_ICON_INDEX, IDC_ICON_STATUS})
        texts.push_back(Text(hDlg, nID));
    return texts;
}
// WM_SETTEXT: the edit sends EN_CHANGE as it does for typing.
void Type(HWND hDlg, int nID, const std::u16string& text) { SetDlgItemTextW(hDlg, nID, as_wcstr(text)); }
void Click(HWND hDlg, int nID) {
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nID)));
}
// Ends the dialog unless a click already has: then window and message are gone.
void CancelLater(HWND hDlg) { PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0); }

HICON ProgramIcon() { return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ZEMBRO)); }
HICON PreviewIcon(HWND hDlg) {
    return reinterpret_cast<HICON>(SendDlgItemMessageW(hDlg, IDC_ICON_PREVIEW, STM_GETICON, 0, 0));
}
bool IsIcon(HICON hIcon) {
    ICONINFO info{};
    if (!hIcon || !GetIconInfo(hIcon, &info)) return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

bool WaitFor(const std::function<bool()>& done) {
    for (const DWORD dwStart = GetTickCount(); GetTickCount() - dwStart < 15000; Sleep(20))
        if (done()) return true;
    return false;
}

CJumpListAction Task() {
    // The separator flag is not exchanged: it must come back as given.
    return CJumpListAction{u"Three", u"Three icons", kProgram, u"/x", kIconFile, 2, 2};
}

class DlgActionTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(g_document.m_bWritten && m_ole.Succeeded()); }

    // One run of the editor: script drives it, fileScript any dialog it opens.
    struct Session {
        CDlgAction dlg;
        CModalAnswerer answerer;
        HWND hEditor = nullptr;
        INT_PTR Run(const CJumpListAction* pTask, std::function<void(HWND)> script,
                    std::function<void(HWND)> fileScript = CancelLater) {
            dlg.m_bEdit = pTask != nullptr;
            if (pTask) dlg.m_action = *pTask;
            answerer.SetDialogScript([&](HWND hWnd) {
                if (hEditor) return fileScript(hWnd);
                hEditor = hWnd;
                script(hWnd);
            });
            return dlg.DoModal();
        }
        size_t Boxes() const { return answerer.MessageBoxes().size(); }
        // Empty texts match any text.
        void ExpectBoxes(const Texts& texts, UINT nType = MB_OK | MB_ICONINFORMATION) const {
            const auto& boxes = answerer.MessageBoxes();
            ASSERT_EQ(boxes.size(), texts.size());
            for (size_t i = 0; i < boxes.size(); ++i) {
                EXPECT_TRUE(texts[i].empty() || boxes[i].m_strText == texts[i]) << i;
                EXPECT_EQ(boxes[i].m_strCaption, u"Zembro by Brellow");
                EXPECT_EQ(boxes[i].m_nType, nType);
                EXPECT_EQ(boxes[i].m_hWndOwner, hEditor);
            }
        }
    };

    CWinApp m_app;
    CScopedOleInit m_ole;  // as in the program: the file dialog needs it
};

TEST_F(DlgActionTest, OpensInEitherModeWithItsCaptionFieldsAndPreview) {
    const CJumpListAction task = Task();
    for (bool bEdit : {false, true}) {
        SCOPED_TRACE(bEdit ? "editing" : "adding");
        Session s;
        const INT_PTR nResult = s.Run(bEdit ? &task : nullptr, [&](HWND hDlg) {
            EXPECT_EQ(WindowText(hDlg), bEdit ? u"Edit Jump List Item - Zembro by Brellow"
                                              : u"Add New Jump List Item - Zembro by Brellow");
            const Texts fields = bEdit ? Texts{u"Three", kProgram, u"Three icons", u"/x", kIconFile, u"2", u""}
                                       : Texts{u"", u"", u"", u"", u"", u"0", u""};
            EXPECT_EQ(Fields(hDlg), fields);
            // Adding keeps the template's picture until the first refresh, the
            // program icon drawn at the large size of the dialog's DPI (not the
            // shared one of the system's); editing shows icon 2.
            EXPECT_NE(PreviewIcon(hDlg), ProgramIcon());
            EXPECT_TRUE(IsIcon(PreviewIcon(hDlg)));
            if (!bEdit) {
                EXPECT_EQ(IconWidth(PreviewIcon(hDlg)), GetSystemMetrics(SM_CXICON));
            }
            const auto hBig = reinterpret_cast<HICON>(SendMessageW(hDlg, WM_GETICON, ICON_BIG, 0));
            EXPECT_NE(hBig, ProgramIcon());
            EXPECT_EQ(IconWidth(hBig), GetSystemMetrics(SM_CXICON));
            // The small image of the program icon, not the big one shrunk.
            const auto hSmall = reinterpret_cast<HICON>(SendMessageW(hDlg, WM_GETICON, ICON_SMALL, 0));
            EXPECT_NE(hSmall, ProgramIcon());
            EXPECT_EQ(IconWidth(hSmall), GetSystemMetrics(SM_CXSMICON));
            EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, IDC_TITLE));
            Click(hDlg, IDOK);  // editing: the unchanged task passes; adding: refused
            CancelLater(hDlg);
        });
        EXPECT_EQ(nResult, bEdit ? IDOK : IDCANCEL);
        if (bEdit) {
            EXPECT_EQ(s.dlg.m_action, task);
        }
        s.ExpectBoxes(bEdit ? Texts{} : Texts{kTitleMessage});
    }
}

TEST_F(DlgActionTest, ConfirmTestsTheTrimmedTitleThenThePathAndStoresWhatWasTyped) {
    struct Case {
        const char* name;
        std::u16string title, path;
        const char16_t* pszMessage;  // null: accepted, stored with line breaks as spaces
        std::u16string storedTitle, storedPath;
    };
    const Case cases[] = {
        {"three spaces", u"   ", u"C:\\a.exe", kTitleMessage, u"", u""},
        {"tab and line break only", u"\t\r\n", u"C:\\a.exe", kTitleMessage, u"", u""},
        {"both empty: the title message only", u"", u"", kTitleMessage, u"", u""},
        {"path empty", u"T", u"", kPathMessage, u"", u""},
        {"blanks around a word are kept", u"  word  ", u"C:\\a.exe", nullptr, u"  word  ", u"C:\\a.exe"},
        {"a path of blanks passes", u"T", u"   ", nullptr, u"T", u"   "},
        {"line breaks", u"a\r\nb", u"C:\\a.exe\n", nullptr, u"a b", u"C:\\a.exe "},
    };
    auto enter = [](HWND hDlg, const Case& c) {
        Type(hDlg, IDC_TITLE, c.title);
        Type(hDlg, IDC_PATH, c.path);
        Type(hDlg, IDC_DESCRIPTION, u"one\rtwo");
        Type(hDlg, IDC_ICON_PATH, u"\r\nC:\\i.ico");
        Click(hDlg, IDOK);
    };
    Session refused;  // all in one dialog, which must stay open
    Texts expected;
    EXPECT_EQ(refused.Run(nullptr, [&](HWND hDlg) {
        for (const Case& c : cases) {
            if (!c.pszMessage) continue;
            enter(hDlg, c);
            expected.push_back(c.pszMessage);
            EXPECT_EQ((Texts{Text(hDlg, IDC_TITLE), Text(hDlg, IDC_PATH)}), (Texts{c.title, c.path}))
                << "what was typed stays";
        }
        CancelLater(hDlg);
    }), IDCANCEL);
    refused.ExpectBoxes(expected);
    for (const Case& c : cases) {
        if (c.pszMessage) continue;
        SCOPED_TRACE(c.name);
        Session s;
        EXPECT_EQ(s.Run(nullptr, [&](HWND hDlg) {
            enter(hDlg, c);
            CancelLater(hDlg);
        }), IDOK);
        s.ExpectBoxes({});
        const CJumpListAction stored{c.storedTitle, u"one two", c.storedPath, u"", u" C:\\i.ico", 0, 0};
        EXPECT_EQ(s.dlg.m_action, stored);
    }
}

TEST_F(DlgActionTest, BadIconIndexIsPromptedAtOnceAndStopsTheReadingThere) {
    for (const char16_t* pszIndex : {u"", u"2147483648"}) {
        SCOPED_TRACE(testing::Message() << "index of " << std::u16string(pszIndex).size() << " digits");
        const CJumpListAction task = Task();
        Session s;
        s.Run(&task, [&](HWND hDlg) {
            const CJumpListAction typed{u"New title", u"New description", kDocument, u"New arguments",
                                        u"C:\\new.ico", 0, 2};
            Type(hDlg, IDC_TITLE, typed.m_strTitle);
            Type(hDlg, IDC_PATH, typed.m_strPath);
            Type(hDlg, IDC_DESCRIPTION, typed.m_strDescription);
            Type(hDlg, IDC_ARGUMENTS, typed.m_strArguments);
            Type(hDlg, IDC_ICON_PATH, typed.m_strIconPath);
            Type(hDlg, IDC_ICON_INDEX, pszIndex);
            EXPECT_EQ(s.Boxes(), 1u);
            EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, IDC_ICON_INDEX));
            CJumpListAction read = typed;  // up to the index, not the icon file after it
            read.m_strIconPath = task.m_strIconPath;
            read.m_nIconIndex = task.m_nIconIndex;
            EXPECT_EQ(s.dlg.m_action, read);
            EXPECT_EQ(Text(hDlg, IDC_ICON_STATUS), kNA);  // refreshed: the new path at the old index
            Click(hDlg, IDOK);
            CancelLater(hDlg);
        });
        s.ExpectBoxes({kIndexMessage, kIndexMessage}, MB_OK | MB_ICONEXCLAMATION);  // OK prompts again, and stays
    }
}

TEST_F(DlgActionTest, ChosenFilesFillThePathOrTheIconFileAndKeepTheRest) {
    struct Case {
        const char* name;
        bool bIconFile;  // chosen with the icon file's Browse, else the path's
        std::u16string chosen;
        bool bBadIndex;  // the index field is emptied before the choice
        std::u16string path, iconPath, status;
    };
    const std::u16string kOld = u"C:\\old.ico", kUpper = InTestFolder(L"ZEMBRO_THREE_ICONS.EXE");
    const Case cases[] = {
        {"program", false, kProgram, false, kProgram, kProgram, u""},
        {"program, upper-case .EXE", false, kUpper, false, kUpper, kUpper, u""},
        {"missing program", false, kMissing, false, kMissing, kMissing, kNA},
        {"document", false, kDocument, false, kDocument, kOld, kNA},
        {"'.exe' not at the end", false, u"C:\\a.exe.txt", false, u"C:\\a.exe.txt", kOld, kNA},
        {"program, index field bad", false, kProgram, true, kProgram, kProgram, u""},
        {"icon file: the preview follows the path", true, kProgram, false, kDocument, kProgram, kNA},
        {"icon file, index field bad", true, kIconFile, true, kDocument, kIconFile, kNA},
    };
    Session s;
    s.Run(nullptr, [&](HWND hDlg) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const size_t nBoxes = s.Boxes();
            const std::pair<int, std::u16string> start[] = {{IDC_TITLE, u"T"},       {IDC_PATH, kDocument},
                                                            {IDC_DESCRIPTION, u"typed"}, {IDC_ARGUMENTS, u""},
                                                            {IDC_ICON_PATH, kOld},    {IDC_ICON_INDEX, u"1"}};
            for (const auto& [nID, text] : start) Type(hDlg, nID, text);
            if (c.bBadIndex) Type(hDlg, IDC_ICON_INDEX, u"");
            if (c.bIconFile)
                s.dlg.OnIconPathChosen(c.chosen);
            else
                s.dlg.OnPathChosen(c.chosen);
            EXPECT_EQ(Fields(hDlg), (Texts{u"T", c.path, u"typed", u"", c.iconPath, u"1", c.status}));
            EXPECT_EQ(s.Boxes() - nBoxes, c.bBadIndex ? 2u : 0u);  // on typing "", and on the choice
        }
        CancelLater(hDlg);
    });
}

// The system's file dialog: its filter and owner, and what OK, Cancel and a
// file that does not exist give.
TEST_F(DlgActionTest, BrowseButtonsApplyWhatTheFileDialogGives) {
    struct Case {
        const char* name;
        int nButton;
        std::u16string typed;  // empty: Cancel
        std::u16string filter, path, iconPath;
        size_t nBoxes;
    };
    const Case cases[] = {
        {"path", IDC_BROWSE_PATH, kProgram, u"All Files (*.*)", kProgram, kProgram, 0},
        {"path, cancelled", IDC_BROWSE_PATH, u"", u"All Files (*.*)", kDocument, u"", 0},
        {"path, file must exist", IDC_BROWSE_PATH, kMissing, u"All Files (*.*)", kDocument, u"", 1},
        {"icon file", IDC_BROWSE_ICON, kIconFile, u"Icon Files (*.exe, *.dll, *.ico)", kDocument, kIconFile, 0},
    };
    const Case* pCase = nullptr;
    int nFileDialogs = 0;
    Session s;
    s.Run(
        nullptr,
        [&](HWND hDlg) {
            for (const Case& c : cases) {
                SCOPED_TRACE(c.name);
                pCase = &c;
                const size_t nBoxes = s.Boxes();
                Type(hDlg, IDC_PATH, kDocument);
                Type(hDlg, IDC_ICON_PATH, u"");
                Click(hDlg, c.nButton);
                EXPECT_EQ(Text(hDlg, IDC_PATH), c.path);
                EXPECT_EQ(Text(hDlg, IDC_ICON_PATH), c.iconPath);
                EXPECT_EQ(s.Boxes() - nBoxes, c.nBoxes);
            }
            CancelLater(hDlg);
        },
        [&](HWND hFileDlg) {
            SCOPED_TRACE(pCase->name);
            ++nFileDialogs;
            EXPECT_EQ(GetWindow(hFileDlg, GW_OWNER), s.hEditor);
            EXPECT_EQ(Text(hFileDlg, kFileTypeCombo), pCase->filter);
            if (!pCase->typed.empty()) {
                Type(hFileDlg, kFileNameEdit, pCase->typed);
                Click(hFileDlg, IDOK);
            }
            if (pCase->typed.empty() || pCase->nBoxes) CancelLater(hFileDlg);
        });
    EXPECT_EQ(nFileDialogs, static_cast<int>(std::size(cases)));
}

TEST_F(DlgActionTest, PreviewFollowsThePathAndTheIndexOnly) {
    struct Case {
        const char* name;
        std::u16string path, index, status;
    };
    const Case cases[] = {
        {"program with that icon", kProgram, u"2", u""}, {"icon file", kIconFile, u"0", u""},
        {"index past the last icon", kProgram, u"3", kNA}, {"text document", kDocument, u"0", kNA},
        {"missing file", kMissing, u"0", kNA},             {"empty path", u"", u"0", kNA},
    };
    Session s;
    s.Run(nullptr, [&](HWND hDlg) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const std::u16string strStatus = Text(hDlg, IDC_ICON_STATUS);
            const HICON hPreview = PreviewIcon(hDlg);
            Type(hDlg, IDC_PATH, c.path);
            Type(hDlg, IDC_ICON_PATH, kIconFile);
            EXPECT_EQ(Text(hDlg, IDC_ICON_STATUS), strStatus);
            EXPECT_EQ(PreviewIcon(hDlg), hPreview);
            Type(hDlg, IDC_ICON_INDEX, u"99");
            Type(hDlg, IDC_ICON_INDEX, c.index);
            EXPECT_EQ(Text(hDlg, IDC_ICON_STATUS), c.status);
            EXPECT_TRUE(IsIcon(PreviewIcon(hDlg)));
        }
        CancelLater(hDlg);
    });
}

TEST_F(DlgActionTest, CancelEscapeAndCloseBoxReadNothingBack) {
    const std::function<void(HWND)> ways[] = {
        [](HWND hDlg) { Click(hDlg, IDCANCEL); },
        [](HWND hDlg) { PostMessageW(GetDlgItem(hDlg, IDC_TITLE), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](HWND hDlg) { PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    const CJumpListAction task = Task();
    for (const auto& leave : ways) {
        Session s;
        EXPECT_EQ(s.Run(&task, [&](HWND hDlg) {
            for (int nID : {IDC_TITLE, IDC_PATH, IDC_DESCRIPTION, IDC_ARGUMENTS, IDC_ICON_PATH}) Type(hDlg, nID, u"x");
            leave(hDlg);
        }), IDCANCEL);
        EXPECT_EQ(s.dlg.m_action, task);
        s.ExpectBoxes({});
    }
}

// Wine's file manager shows a folder in a window of this class, titled with
// the folder's name.
std::vector<HWND> FolderWindows(const std::u16string& strName) {
    std::pair<const std::u16string*, std::vector<HWND>> find{&strName, {}};
    EnumWindows(
        [](HWND hWnd, LPARAM lParam) {
            auto* pFind = reinterpret_cast<decltype(find)*>(lParam);
            wchar_t szClass[32] = {};
            GetClassNameW(hWnd, szClass, 32);
            if (IsWindowVisible(hWnd) && !lstrcmpW(szClass, L"ExplorerWClass") && WindowText(hWnd) == *pFind->first)
                pFind->second.push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.second;
}

TEST_F(DlgActionTest, LocateShowsTheFileInItsFolderOrSaysWhatIsMissing) {
    std::u16string strFolder = as_u16(TestFolder());
    strFolder.erase(0, strFolder.find_last_of(u'\\') + 1);
    for (HWND hWnd : FolderWindows(strFolder)) PostMessageW(hWnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return FolderWindows(strFolder).empty(); }));
    Session s;
    s.Run(nullptr, [&](HWND hDlg) {
        // Those that must open nothing first: a window of theirs would show with the last one's.
        for (const std::u16string& path : {std::u16string(), kMissing, kProgram}) {
            Type(hDlg, IDC_PATH, path);
            Click(hDlg, IDC_LOCATE);
        }
        CancelLater(hDlg);
    });
    s.ExpectBoxes({u"Please Enter / Select Application / Document File Path to Locate."});
    ASSERT_TRUE(WaitFor([&] { return !FolderWindows(strFolder).empty(); }));
    const std::vector<HWND> windows = FolderWindows(strFolder);
    EXPECT_EQ(windows.size(), 1u);
    HWND hList = windows[0];
    for (const wchar_t* pszClass : {L"ExplorerBrowserControl", L"SHELLDLL_DefView", L"SysListView32"})
        hList = FindWindowExW(hList, nullptr, pszClass, nullptr);
    // Another process: never wait on it without a bound.
    EXPECT_TRUE(WaitFor([&] {
        DWORD_PTR nSelected = 0;
        return SendMessageTimeoutW(hList, LVM_GETSELECTEDCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &nSelected) &&
               nSelected == 1;
    }));
    for (HWND hWnd : windows) PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return FolderWindows(strFolder).empty(); }));
}

// The stand-in picker: what it was opened on, and what it answers.
struct CPickerCall {
    HWND hOwner = nullptr;
    std::wstring strOpenedOn, strAnswer;
    int nOpenedAt = -1, nAnswer = 1, nResult = 0;
} g_picker;

int WINAPI StandInPicker(HWND hOwner, PWSTR pszPath, UINT cchPath, int* pnIndex) {
    g_picker.hOwner = hOwner, g_picker.strOpenedOn = pszPath, g_picker.nOpenedAt = *pnIndex;
    if (cchPath < MAX_PATH || g_picker.strAnswer.size() >= cchPath) return 0;
    wcscpy(pszPath, g_picker.strAnswer.c_str());
    *pnIndex = g_picker.nAnswer;
    return g_picker.nResult;
}

std::u16string InWindowsFolder(const wchar_t* pszRest) {
    wchar_t szWindows[MAX_PATH] = {};
    GetWindowsDirectoryW(szWindows, MAX_PATH);
    return as_u16(std::wstring(szWindows) + pszRest);
}

struct ChangeIconCase {
    const char* name;
    std::u16string iconPath, openedOn;
    std::wstring answer;
    int nResult;
    std::u16string filled, index;
};
const ChangeIconCase kChangeIconCases[] = {
    {"OK on the icon file", kIconFile, kIconFile, as_wcstr(kProgram), 1, kProgram, u"1"},
    {"OK on the path, variables expanded", u"", kProgram, L"%SystemRoot%\\system32\\shell32.dll", 1,
     InWindowsFolder(L"\\system32\\shell32.dll"), u"1"},
    {"Cancel", kIconFile, kIconFile, L"C:\\elsewhere.dll", 0, kIconFile, u"2"},
    {"Wine's stand-in", kIconFile, kIconFile, L"C:\\elsewhere.dll", -1, kIconFile, u"2"},
};

class ChangeIconTest : public DlgActionTest, public testing::WithParamInterface<ChangeIconCase> {};

// Change Icon... opens the picker on the icon file, or on the path when there
// is none, at the index; only OK fills both fields.
TEST_P(ChangeIconTest, FillsTheIconFieldsFromThePicker) {
    const ChangeIconCase& c = GetParam();
    const CImportSwap swap(__imp_PickIconDlg, &StandInPicker);
    CJumpListAction task = Task();
    task.m_strIconPath = c.iconPath;
    g_picker = {nullptr, L"", c.answer, -1, 1, c.nResult};
    Session s;
    s.Run(&task, [&](HWND hDlg) {
        Click(hDlg, IDC_CHANGE_ICON);
        EXPECT_EQ(g_picker.hOwner, hDlg);
        EXPECT_EQ(as_u16(g_picker.strOpenedOn), c.openedOn);
        EXPECT_EQ(g_picker.nOpenedAt, 2);
        EXPECT_EQ(Fields(hDlg), (Texts{u"Three", kProgram, u"Three icons", u"/x", c.filled, c.index, u""}));
        CancelLater(hDlg);
    });
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangeIconTest, testing::ValuesIn(kChangeIconCases), CaseName());

// The two path fields complete as the Run box does, and Change Icon... is
// reached by Tab right after the icon file's Browse button.
TEST_F(DlgActionTest, PathsCompleteAndChangeIconFollowsBrowseInTabOrder) {
    static std::vector<std::pair<int, DWORD>> completed;
    completed.clear();
    const auto complete = [](HWND hEdit, DWORD dwFlags) -> HRESULT {
        completed.emplace_back(GetDlgCtrlID(hEdit), dwFlags);
        return S_OK;
    };
    const CImportSwap swap(__imp_SHAutoComplete, static_cast<decltype(&SHAutoComplete)>(complete));
    Session s;
    s.Run(nullptr, [&](HWND hDlg) {
        const HWND hAfterBrowse = GetNextDlgTabItem(hDlg, GetDlgItem(hDlg, IDC_BROWSE_ICON), FALSE);
        EXPECT_EQ(hAfterBrowse, GetDlgItem(hDlg, IDC_CHANGE_ICON));
        CancelLater(hDlg);
    });
    const std::vector<std::pair<int, DWORD>> kBothPaths{{IDC_PATH, SHACF_FILESYSTEM},
                                                        {IDC_ICON_PATH, SHACF_FILESYSTEM}};
    EXPECT_EQ(completed, kBothPaths);
}

TEST_F(DlgActionTest, F1OpensTheProductPageMaximised) {
    CUrlRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    Session s;
    s.Run(nullptr, [&](HWND hDlg) {
        HELPINFO info{sizeof(info), HELPINFO_WINDOW, IDC_PATH, GetDlgItem(hDlg, IDC_PATH), 0, {}};
        EXPECT_EQ(SendMessageW(hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
        CancelLater(hDlg);
    });
    EXPECT_EQ(recorder.WaitForOpened(1), (std::vector<COpenedUrl>{{SW_SHOWMAXIMIZED, u"https://brellow.example/zembro"}}));
    s.ExpectBoxes({});
}

SIZE SizeOf(const RECT& rc) { return {rc.right - rc.left, rc.bottom - rc.top}; }

TEST_F(DlgActionTest, NeverSmallerThanItOpensAndGrowsByTheLayoutRules) {
    struct Rule {
        int nID;  // 0: a label, found by its text
        const char16_t* pszText;
        int nMoveX, nMoveY, nSizeX;  // percent of the size change; nothing grows in height
    };
    const Rule rules[] = {
        {0, u"* Title :", 0, 0, 0},          {IDC_TITLE, nullptr, 0, 0, 100},
        {0, u"* Application / Document Path :", 0, 0, 0},
        {IDC_PATH, nullptr, 0, 0, 100},      {IDC_BROWSE_PATH, nullptr, 100, 0, 0},
        {0, u"Description :", 0, 0, 0},      {IDC_DESCRIPTION, nullptr, 0, 0, 100},
        {0, u"Application Argument(s) :", 0, 0, 0},
        {IDC_ARGUMENTS, nullptr, 0, 0, 100}, {0, u"Icon File Path :", 0, 0, 0},
        {IDC_ICON_PATH, nullptr, 0, 0, 100}, {IDC_BROWSE_ICON, nullptr, 100, 0, 0},
        {0, u"Icon Index :", 0, 0, 0},       {IDC_ICON_INDEX, nullptr, 0, 0, 0},
        {IDOK, nullptr, 100, 100, 0},        {IDCANCEL, nullptr, 100, 100, 0},
        {IDC_ICON_PREVIEW, nullptr, 100, 0, 0},
        {0, u"Note : Fields marked with * are Required:", 0, 100, 0},
        {IDC_ICON_STATUS, nullptr, 0, 0, 0}, {IDC_LOCATE, nullptr, 0, 0, 0},
    };
    auto rects = [&](HWND hDlg) {
        std::vector<RECT> result;
        for (const Rule& rule : rules) {
            HWND hCtrl = rule.nID ? GetDlgItem(hDlg, rule.nID) : nullptr;
            for (HWND h = GetWindow(hDlg, GW_CHILD); !hCtrl && h; h = GetWindow(h, GW_HWNDNEXT))
                if (WindowText(h) == rule.pszText) hCtrl = h;
            RECT rc{};
            GetWindowRect(hCtrl, &rc);
            MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
            result.push_back(rc);
        }
        return result;
    };
    Session s;
    s.Run(nullptr, [&](HWND hDlg) {
        RECT rc{};
        GetWindowRect(hDlg, &rc);
        const SIZE size = SizeOf(rc);
        MINMAXINFO info{};
        SendMessageW(hDlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, size.cx);
        EXPECT_EQ(info.ptMinTrackSize.y, size.cy);
        SetWindowPos(hDlg, nullptr, 0, 0, size.cx - 60, size.cy - 40, SWP_NOMOVE | SWP_NOZORDER);
        GetWindowRect(hDlg, &rc);
        EXPECT_EQ(SizeOf(rc).cx, size.cx);
        EXPECT_EQ(SizeOf(rc).cy, size.cy);

        const std::vector<RECT> before = rects(hDlg);
        const int dx = 173, dy = 91;
        SetWindowPos(hDlg, nullptr, 0, 0, size.cx + dx, size.cy + dy, SWP_NOMOVE | SWP_NOZORDER);
        const std::vector<RECT> after = rects(hDlg);
        for (size_t i = 0; i < std::size(rules); ++i) {
            SCOPED_TRACE(testing::Message() << "control " << rules[i].nID << ", rule " << i);
            EXPECT_EQ(after[i].left, before[i].left + dx * rules[i].nMoveX / 100);
            EXPECT_EQ(after[i].top, before[i].top + dy * rules[i].nMoveY / 100);
            EXPECT_EQ(SizeOf(after[i]).cx, SizeOf(before[i]).cx + dx * rules[i].nSizeX / 100);
            EXPECT_EQ(SizeOf(after[i]).cy, SizeOf(before[i]).cy);
        }
        CancelLater(hDlg);
    });
}

// On a monitor of twice the DPI the smallest size doubles with the window, and the
// preview shows its icon at twice the size.
TEST_F(DlgActionTest, ADpiChangeScalesTheSmallestSizeAndThePreview) {
    const CJumpListAction task = Task();
    Session s;
    s.Run(&task, [&](HWND hDlg) {
        RECT rc{};
        GetWindowRect(hDlg, &rc);
        const SIZE size = SizeOf(rc);
        const int cxPreview = IconWidth(PreviewIcon(hDlg));
        ASSERT_GT(cxPreview, 0);
        const UINT nDpi = s.dlg.GetDpi() * 2;
        RECT rcSuggested{rc.left, rc.top, rc.left + 2 * size.cx, rc.top + 2 * size.cy};
        SendMessageW(hDlg, WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rcSuggested));
        MINMAXINFO info{};
        SendMessageW(hDlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, 2 * size.cx);
        EXPECT_EQ(info.ptMinTrackSize.y, 2 * size.cy);
        EXPECT_EQ(IconWidth(PreviewIcon(hDlg)), 2 * cxPreview);
        // Back at the system's DPI: the provider's own icon again.
        SendMessageW(hDlg, WM_DPICHANGED, MAKEWPARAM(nDpi / 2, nDpi / 2), reinterpret_cast<LPARAM>(&rc));
        EXPECT_EQ(IconWidth(PreviewIcon(hDlg)), cxPreview);
        CancelLater(hDlg);
    });
}

}  // namespace
