// The task editor, the settings dialog and the ways out to the web, driven
// through Zembro.exe's own windows.
#include <windows.h>

#include <gmock/gmock.h>

#include "E2ETest.h"
#include "core/ProductLinks.h"
#include "framework/WinText.h"
#include "res/resource.h"
#include "support/OpenedUrls.h"

namespace {

constexpr wchar_t kAddCaption[] = L"Add New Jump List Item - Zembro by Brellow";
constexpr wchar_t kEditCaption[] = L"Edit Jump List Item - Zembro by Brellow";
constexpr wchar_t kSettingsCaption[] = L"Settings - Zembro by Brellow";
constexpr UINT kKeyF1 = 0x004D;  // WM_KEYF1, which MinGW's headers lack
constexpr UINT kExclamation = MB_OK | MB_ICONEXCLAMATION;
const MessageSeen kTitleRequired{u"Please Enter Title to Continue.", kInfo};
const MessageSeen kPathRequired{u"Please Enter / Select Application / Document File Path to Continue.", kInfo};
const MessageSeen kPathRequiredToLocate{u"Please Enter / Select Application / Document File Path to Locate.", kInfo};
const MessageSeen kNotAnIndex{u"Please enter a whole number from -2147483648 to 2147483647.", kExclamation};
const MessageSeen kNotACount{u"Please enter a whole number from 0 to 4294967295.", kExclamation};

// Types into a control and answers the message boxes that this brings up
// (a number that does not read is told at once).
std::vector<MessageSeen> Type(CZembroDriver& zembro, HWND hDlg, int nID, const std::wstring& text) {
    std::vector<MessageSeen> boxes;
    const CSentMessage typed(GetDlgItem(hDlg, nID), WM_SETTEXT, 0, 0, text);
    const ULONGLONG ullDeadline = GetTickCount64() + kDeadlineMs;
    while (!typed.Done(10) && GetTickCount64() < ullDeadline)
        if (HWND hBox = zembro.FindMessageBox()) boxes.push_back(zembro.Answer(hBox));
    EXPECT_TRUE(typed.Done()) << "the text was not taken";
    return boxes;
}

// Presses a button of a dialog that must stay open, and answers the one message it shows.
MessageSeen PressAndAnswer(CZembroDriver& zembro, HWND hDlg, int nID) {
    PressButton(hDlg, nID);
    const MessageSeen box = zembro.Answer(zembro.WaitForMessageBox());
    EXPECT_TRUE(IsWindowVisible(hDlg)) << "the dialog closed";
    return box;
}

struct EditorFields {
    std::u16string title, path, description, arguments, iconPath, iconIndex;
    bool operator==(const EditorFields&) const = default;
};
void PrintTo(const EditorFields& f, std::ostream* os) {
    PrintTo(Row{f.title, f.path, f.description, f.arguments, f.iconPath + u"," + f.iconIndex}, os);
}
EditorFields ReadEditor(HWND hEditor) {
    return {ControlText(hEditor, IDC_TITLE),       ControlText(hEditor, IDC_PATH),
            ControlText(hEditor, IDC_DESCRIPTION), ControlText(hEditor, IDC_ARGUMENTS),
            ControlText(hEditor, IDC_ICON_PATH),   ControlText(hEditor, IDC_ICON_INDEX)};
}

TEST_F(E2ETest, TheEditorOpensEmptyToAddAndWithTheTaskToEdit) {
    const struct {
        const char* name;
        int nSelect;
        int nCommand;
        std::wstring caption;
        EditorFields fields;
    } cases[] = {
        {"add", 1, IDM_ADD_NEW, kAddCaption, {u"", u"", u"", u"", u"", u"0"}},
        {"edit", 0, IDM_EDIT_SELECTED, kEditCaption,
         {u"Command", u"cmd.exe", u"A prompt", u"/k ver", u"shell32.dll", u"3"}},
    };
    WriteDataFile(Store(kFour));
    CZembroDriver zembro;
    ASSERT_TRUE(zembro.Start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring caption;
        EditorFields fields;
        zembro.SelectRow(c.nSelect);
        zembro.SetDialogScript([&](HWND hEditor) {
            caption = WindowTitle(hEditor);
            fields = ReadEditor(hEditor);
            PressButton(hEditor, IDCANCEL);
        });
        EXPECT_TRUE(zembro.Choose(c.nCommand));
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(fields, c.fields);
    }
    EXPECT_TRUE(zembro.Boxes().empty());
    EXPECT_TRUE(zembro.Close());
    EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
    EXPECT_FALSE(HostRecordExists());
}

// Each field the editor refuses is told, one message per press, and the
// dialog stays open with what was typed; Cancel then changes nothing. A title
// with blanks around it counts as given and is stored as typed; a line break
// pasted into a field is stored as a space, so it cannot split the record.
TEST_F(E2ETest, TheEditorTellsWhatIsMissingOrUnreadableAndKeepsTheDialogOpen) {
    const struct {
        const char* name;
        std::wstring title, path, index;
        int nButton;  // OK or Locate
        std::vector<MessageSeen> boxes;
        std::u16string stored = {};  // the title, when no message stops OK
    } cases[] = {
        {"nothing typed", L"", L"", L"0", IDOK, {kTitleRequired}},
        {"a title of blanks", L"   ", L"notepad.exe", L"0", IDOK, {kTitleRequired}},
        {"no path", L"Notes", L"", L"0", IDOK, {kPathRequired}},
        {"an icon index that is no number", L"Notes", L"notepad.exe", L"-", IDOK, {kNotAnIndex, kNotAnIndex}},
        {"no path to locate", L"Notes", L"", L"0", IDC_LOCATE, {kPathRequiredToLocate}},
        {"blanks around the title", L"  Notes  ", L"notepad.exe", L"0", IDOK, {}, u"  Notes  "},
        {"a line break in the title", L"Two\r\nLines", L"notepad.exe", L"0", IDOK, {}, u"Two Lines"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        WriteDataFile(Store(kFour));
        std::vector<MessageSeen> boxes;
        EditorFields kept;
        bool bClosedByOk = false;
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            zembro.SetDialogScript([&](HWND hEditor) {
                SetControlText(hEditor, IDC_TITLE, c.title);
                SetControlText(hEditor, IDC_PATH, c.path);
                boxes = Type(zembro, hEditor, IDC_ICON_INDEX, c.index);
                if (c.boxes.empty()) {
                    PressButton(hEditor, c.nButton);
                    bClosedByOk = true;
                    return;
                }
                boxes.push_back(PressAndAnswer(zembro, hEditor, c.nButton));
                kept = ReadEditor(hEditor);
                PressButton(hEditor, IDCANCEL);
            });
            EXPECT_TRUE(zembro.Click(IDC_ADD_NEW));
            EXPECT_TRUE(zembro.Close());
        }
        EXPECT_EQ(boxes, c.boxes);
        if (bClosedByOk) {
            CTaskList after = kFour;
            after.Add(MakeTask(c.stored, u"", as_u16(c.path)));
            EXPECT_EQ(ReadBytes(DataFile()), Store(after));
            EXPECT_EQ(ReadHostRecord()->tasks, ExpectedEntries(after));
        } else {
            EXPECT_EQ(kept, (EditorFields{as_u16(c.title), as_u16(c.path), u"", u"", u"", as_u16(c.index)}));
            EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
            EXPECT_FALSE(HostRecordExists());
        }
    }
}

struct SettingsSeen {
    bool bLocation = false, bColumnWidth = false;
    std::u16string maximum;
    bool operator==(const SettingsSeen&) const = default;
};
void PrintTo(const SettingsSeen& s, std::ostream* os) {
    *os << "{" << s.bLocation << ", " << s.bColumnWidth << ", " << std::string(s.maximum.begin(), s.maximum.end())
        << "}";
}
SettingsSeen ReadSettings(HWND hSettings) {
    const auto checked = [&](int nID) {
        DWORD_PTR state = 0;
        SendMessageTimeoutW(GetDlgItem(hSettings, nID), BM_GETCHECK, 0, 0, SMTO_NORMAL, kDeadlineMs, &state);
        return state == BST_CHECKED;
    };
    return {checked(IDC_REMEMBER_LOCATION), checked(IDC_REMEMBER_COLUMN_WIDTH),
            ControlText(hSettings, IDC_MAX_JUMP_LIST_ITEMS)};
}

// Opens the settings from the popup menu; script runs in them.
void InSettings(CZembroDriver& zembro, const std::function<void(HWND)>& script) {
    zembro.SetDialogScript([&](HWND hDlg) {
        EXPECT_EQ(WindowTitle(hDlg), kSettingsCaption);
        script(hDlg);
    });
    EXPECT_TRUE(zembro.Choose(IDM_SETTINGS));
}

// What OK stores (the two preferences in the profile, the maximum in
// Explorer's key, where 0 means no value) is what the dialog shows at the
// next start; Cancel and a number that does not read store nothing.
TEST_F(E2ETest, SettingsAreStoredOnOkAndShownAtTheNextStart) {
    const struct {
        const char* name;
        std::optional<DWORD> maximumBefore;
        bool bClearBoxes;
        std::wstring typed;
        int nEnd;  // IDOK or IDCANCEL
        std::vector<MessageSeen> boxes;
        std::optional<DWORD> flagsAfter;  // both preferences; none: not stored
        std::optional<DWORD> maximumAfter;
    } cases[] = {
        {"a maximum", std::nullopt, false, L"15", IDOK, {}, 1, 15},
        {"0 removes the maximum", 7, false, L"0", IDOK, {}, 1, std::nullopt},
        {"both boxes cleared", 7, true, L"7", IDOK, {}, 0, 7},
        {"cancelled", 7, true, L"9", IDCANCEL, {}, std::nullopt, 7},
        {"no number", 7, true, L"", IDOK, {kNotACount}, std::nullopt, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        if (c.maximumBefore) SetExplorerMaximum(*c.maximumBefore);
        SettingsSeen atFirst, atNext;
        std::vector<MessageSeen> boxes;
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            InSettings(zembro, [&](HWND hSettings) {
                atFirst = ReadSettings(hSettings);
                if (c.bClearBoxes) {
                    for (int nID : {IDC_REMEMBER_LOCATION, IDC_REMEMBER_COLUMN_WIDTH})
                        EXPECT_TRUE(ToggleCheckBox(hSettings, nID));
                }
                SetControlText(hSettings, IDC_MAX_JUMP_LIST_ITEMS, c.typed);
                if (!c.boxes.empty()) {
                    boxes.push_back(PressAndAnswer(zembro, hSettings, c.nEnd));
                    PressButton(hSettings, IDCANCEL);
                } else {
                    PressButton(hSettings, c.nEnd);
                }
            });
            EXPECT_TRUE(zembro.Close());
        }
        EXPECT_EQ(atFirst, (SettingsSeen{true, true, c.maximumBefore ? u"7" : u"0"}));
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(ProfileDword(L"m_bRememberLocation"), c.flagsAfter);
        EXPECT_EQ(ProfileDword(L"m_bRememberColumnWidth"), c.flagsAfter);
        EXPECT_EQ(ExplorerMaximum(), c.maximumAfter);
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            InSettings(zembro, [&](HWND hSettings) {
                atNext = ReadSettings(hSettings);
                PressButton(hSettings, IDCANCEL);
            });
            EXPECT_TRUE(zembro.Close());
        }
        const bool bOn = c.flagsAfter.value_or(1) != 0;
        EXPECT_EQ(atNext, (SettingsSeen{bOn, bOn, as_u16(std::to_wstring(c.maximumAfter.value_or(0)))}));
    }
}

// F1 and the share button open their pages maximised in the user's browser;
// the about box opens from the system menu. None of them changes anything.
TEST_F(E2ETest, F1TheShareButtonAndTheAboutItemLeadOut) {
    WriteDataFile(Store(kFour));
    CUrlRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    std::wstring aboutCaption;
    {
        CZembroDriver zembro;
        ASSERT_TRUE(zembro.Start());
        // F1 reaches the control that has the focus as WM_KEYF1, which it
        // turns into help for itself and passes up to the window.
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(zembro.Main(), nullptr), &info));
        const HWND hFocus = info.hwndFocus ? info.hwndFocus : zembro.Main();
        EXPECT_TRUE(zembro.Do(hFocus, kKeyF1, 0, 0));
        EXPECT_TRUE(zembro.Click(IDC_SHARE_ON_FACEBOOK));
        zembro.SetDialogScript([&](HWND hAbout) {
            aboutCaption = WindowTitle(hAbout);
            PressButton(hAbout, IDOK);
        });
        EXPECT_TRUE(zembro.Do(zembro.Main(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0));
        EXPECT_EQ(zembro.Rows(), ExpectedRows(kFour));
        EXPECT_TRUE(zembro.Boxes().empty());
        EXPECT_TRUE(zembro.Close());
    }
    EXPECT_EQ(aboutCaption, L"About Zembro by Brellow");
    const std::u16string strShare = u"http://www.facebook.com/sharer.php?u=" + std::u16string(kProductPage);
    EXPECT_THAT(recorder.WaitForOpened(2),
                testing::UnorderedElementsAre(COpenedUrl{SW_SHOWMAXIMIZED, kProductPage},
                                              COpenedUrl{SW_SHOWMAXIMIZED, strShare}));
    EXPECT_EQ(ReadBytes(DataFile()), Store(kFour));
    EXPECT_FALSE(HostRecordExists());
}

}  // namespace
