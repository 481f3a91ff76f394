// The resources as the module carries them: dialog templates and layouts, the popup
// menu, strings, icons, the manifest and the version.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/ProductLinks.h"
#include "support/Narrow.h"
#include "win/WinText.h"
#include "res/resource.h"

namespace {

HMODULE Module() { return ::GetModuleHandleW(nullptr); }

std::vector<BYTE> ResourceBytes(const wchar_t* type, int id) {
    HRSRC hRes = ::FindResourceW(Module(), MAKEINTRESOURCEW(id), type);
    if (!hRes) return {};
    const auto* p = static_cast<const BYTE*>(::LockResource(::LoadResource(Module(), hRes)));
    return std::vector<BYTE>(p, p + ::SizeofResource(Module(), hRes));
}

// Reads a DLGTEMPLATEEX; every read is bounds-checked, and a short template leaves m_bOk false.
class TemplateReader {
public:
    explicit TemplateReader(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}
    bool Ok() const { return m_bOk; }
    WORD Word() {
        WORD w = 0;
        Read(&w, sizeof(w));
        return w;
    }
    DWORD Dword() {
        DWORD dw = 0;
        Read(&dw, sizeof(dw));
        return dw;
    }
    short Short() { return static_cast<short>(Word()); }
    // A string, or 0xFFFF and an ordinal (returned as "#n").
    std::wstring SzOrOrdinal() {
        std::wstring s;
        WORD w = Word();
        if (w == 0xFFFF) return L"#" + std::to_wstring(Word());
        while (m_bOk && w != 0) {
            s.push_back(static_cast<wchar_t>(w));
            w = Word();
        }
        return s;
    }
    void Skip(size_t cb) { m_off = cb <= m_bytes.size() - m_off ? m_off + cb : (m_bOk = false, m_bytes.size()); }
    void AlignDword() { Skip((4 - m_off % 4) % 4); }

private:
    void Read(void* p, size_t cb) {
        if (cb > m_bytes.size() - m_off) {
            m_bOk = false;
            return;
        }
        std::memcpy(p, m_bytes.data() + m_off, cb);
        m_off += cb;
    }
    std::vector<BYTE> m_bytes;
    size_t m_off = 0;
    bool m_bOk = true;
};

struct Control {
    DWORD dwId;
    std::wstring cls;   // a predefined class as its name
    std::wstring text;  // "#128" for an icon resource
    DWORD dwStyle;
    DWORD dwExStyle;
    short x, y, cx, cy;
};

struct Dialog {
    bool bOk = false;
    DWORD dwStyle = 0, dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption, font;
    WORD wPointSize = 0;
    std::vector<Control> controls;
};

std::wstring ClassName(const std::wstring& cls) {
    static const wchar_t* const kPredefined[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
    for (int i = 0; i < 6; ++i) {
        if (cls == L"#" + std::to_wstring(0x80 + i)) return kPredefined[i];
    }
    return cls;
}

Dialog ReadDialog(int id) {
    Dialog d;
    TemplateReader r(ResourceBytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, id));
    if (r.Word() != 1 || r.Word() != 0xFFFF) return d;  // DLGTEMPLATEEX only
    r.Dword();                                           // help id
    d.dwExStyle = r.Dword();
    d.dwStyle = r.Dword();
    const WORD cItems = r.Word();
    d.x = r.Short(), d.y = r.Short(), d.cx = r.Short(), d.cy = r.Short();
    if (!r.SzOrOrdinal().empty() || !r.SzOrOrdinal().empty()) return d;  // no menu, no class
    d.caption = r.SzOrOrdinal();
    if (d.dwStyle & DS_SETFONT) {
        d.wPointSize = r.Word();
        r.Word(), r.Skip(2);  // weight, italic, charset
        d.font = r.SzOrOrdinal();
    }
    for (WORD i = 0; i < cItems && r.Ok(); ++i) {
        r.AlignDword();
        Control c{};
        r.Dword();  // help id
        c.dwExStyle = r.Dword();
        c.dwStyle = r.Dword();
        c.x = r.Short(), c.y = r.Short(), c.cx = r.Short(), c.cy = r.Short();
        c.dwId = r.Dword();
        c.cls = ClassName(r.SzOrOrdinal());
        c.text = r.SzOrOrdinal();
        r.Skip(r.Word());  // creation data
        d.controls.push_back(c);
    }
    d.bOk = r.Ok();
    return d;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefault = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kLabel = kChild | WS_GROUP | SS_LEFT;
constexpr DWORD kRightLabel = kChild | WS_GROUP | SS_RIGHT;
constexpr DWORD kIcon = kChild | SS_ICON;
constexpr DWORD kNone = static_cast<DWORD>(IDC_STATIC);

struct DialogCase {
    int id;
    DWORD dwStyle;
    DWORD dwExStyle;
    short cx, cy;
    const wchar_t* caption;  // null: set when the dialog opens
    std::vector<Control> controls;
    std::vector<WORD> layout;
};

const std::wstring kEmail = as_wcstr(kSupportEmail);

const DialogCase kDialogs[] = {
    {IDD_ABOUTBOX, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 213, 100,
     L"About Zembro by Brellow",
     {
         {kNone, L"Static", L"#128", kIcon, 0, 14, 14, 20, 20},
         {kNone, L"Static", L"Zembro, Version 4.1", kLabel | SS_NOPREFIX, 0, 42, 14, 114, 8},
         {kNone, L"Static", kEmail, kLabel, 0, 42, 48, 114, 8},
         {IDOK, L"Button", L"OK", kDefault | WS_GROUP, 0, 156, 79, 50, 14},
     },
     {0}},
    {IDD_ZEMBRO_DIALOG,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT |
         DS_FIXEDSYS,
     WS_EX_APPWINDOW, 501, 316, L"",
     {
         {IDC_TASK_LIST, L"SysListView32", L"",
          kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT, 0, 7, 7,
          402, 270},
         {IDC_ADD_NEW, L"Button", L"Add New Jump List Item", kButton, 0, 7, 284, 126, 25},
         {IDC_ADD_SEPARATOR, L"Button", L"Add Seperator", kButton, 0, 147, 284, 126, 25},
         {IDC_MOVE_UP, L"Button", L"Move Up", kButton, 0, 417, 75, 77, 20},
         {IDC_MOVE_DOWN, L"Button", L"Move Down", kButton, 0, 417, 107, 77, 20},
         {IDC_EDIT, L"Button", L"Edit", kButton, 0, 417, 139, 77, 20},
         {IDC_DELETE, L"Button", L"Delete", kButton, 0, 417, 171, 77, 20},
         {IDC_RESET, L"Button", L"Reset", kButton, 0, 417, 203, 77, 20},
         {kNone, L"Static", L"#128", kIcon, 0, 444, 39, 20, 20},
         {IDC_SHARE_ON_FACEBOOK, L"Button", L"Share on Facebook...", kButton, 0, 417, 263, 77, 14},
         {IDC_MENU, L"Button", L"Menu", kButton, 0, 430, 7, 50, 14},
     },
     {0, 0, 0, 100, 100, 0, 100, 0, 0, 0, 100, 0, 0,       // list, two bottom buttons
      100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0,  // Move Up .. Reset
      100, 0, 0, 0, 100, 0, 0, 0, 100, 0, 0, 0}},          // icon, Share, Menu
    {IDD_ACTION, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 353, 205, nullptr,
     {
         {kNone, L"Static", L"* Title :", kRightLabel, 0, 79, 22, 30, 8},
         {IDC_TITLE, L"Edit", L"", kEdit, 0, 113, 19, 191, 14},
         {kNone, L"Static", L"* Application / Document Path :", kRightLabel, 0, 7, 41, 102, 16},
         {IDC_PATH, L"Edit", L"", kEdit, 0, 113, 38, 191, 14},
         {IDC_BROWSE_PATH, L"Button", L"Browse...", kButton, 0, 254, 56, 50, 14},
         {kNone, L"Static", L"Description :", kRightLabel, 0, 63, 78, 46, 8},
         {IDC_DESCRIPTION, L"Edit", L"", kEdit, 0, 113, 75, 191, 14},
         {kNone, L"Static", L"Application Argument(s) :", kRightLabel, 0, 18, 96, 91, 8},
         {IDC_ARGUMENTS, L"Edit", L"", kEdit, 0, 112, 93, 191, 14},
         {kNone, L"Static", L"Icon File Path :", kRightLabel, 0, 54, 115, 55, 8},
         {IDC_ICON_PATH, L"Edit", L"", kEdit, 0, 113, 112, 191, 14},
         {IDC_BROWSE_ICON, L"Button", L"Browse...", kButton, 0, 255, 130, 50, 14},
         {kNone, L"Static", L"Icon Index :", kRightLabel, 0, 64, 154, 45, 8},
         {IDC_ICON_INDEX, L"Edit", L"", kEdit | ES_NUMBER, 0, 111, 151, 64, 14},
         {IDOK, L"Button", L"OK", kDefault, 0, 195, 174, 73, 24},
         {IDCANCEL, L"Button", L"Cancel", kButton, 0, 273, 174, 73, 24},
         {IDC_ICON_PREVIEW, L"Static", L"#128", kIcon, 0, 313, 12, 21, 20},
         {kNone, L"Static", L"Note : Fields marked with * are Required:", kLabel, 0, 9, 182, 134, 16},
         {IDC_ICON_STATUS, L"Static", L"", kLabel, 0, 184, 154, 121, 8},
         {IDC_LOCATE, L"Button", L"Locate", kButton, 0, 113, 56, 50, 14},
         {IDC_CHANGE_ICON, L"Button", L"&Change Icon...", kButton, 0, 113, 130, 60, 14},
     },
     {0,                                                             //
      0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 0, 0,  // Title .. path's Browse
      0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 100, 0,              // Description .. arguments
      0, 0, 0, 0, 0, 0, 100, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // icon file .. icon index
      100, 100, 0, 0, 100, 100, 0, 0, 100, 0, 0, 0,                   // OK, Cancel, preview
      0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},             // note, status, Locate, Change Icon
    {IDD_SETTINGS, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 309, 176, nullptr,
     {
         {IDC_REMEMBER_LOCATION, L"Button", L"Remember Size && Location", kCheck, 0, 31, 21, 100, 10},
         {IDC_REMEMBER_COLUMN_WIDTH, L"Button", L"Remember Column Width of List On Main Screen", kCheck, 0, 31, 36,
          169, 10},
         {IDC_MAX_JUMP_LIST_ITEMS_LABEL, L"Static",
          L"Maximum Number of Jump List Items on any Taskbar Icon ( 0 for Default ) for Windows 10 :", kLabel, 0, 31,
          56, 186, 19},
         {IDC_MAX_JUMP_LIST_ITEMS, L"Edit", L"", kEdit | ES_NUMBER, 0, 230, 58, 40, 14},
         {IDOK, L"Button", L"OK", kDefault, 0, 141, 142, 78, 27},
         {IDCANCEL, L"Button", L"Cancel", kButton, 0, 224, 142, 78, 27},
         {kNone, L"Static", L"#128", kIcon, 0, 281, 7, 21, 20},
     },
     {0}},
};

TEST(Resources, DialogTemplatesAreAsDesigned) {
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(c.id));
        const Dialog d = ReadDialog(c.id);
        ASSERT_TRUE(d.bOk);
        EXPECT_EQ(d.dwStyle, c.dwStyle);
        EXPECT_EQ(d.dwExStyle, c.dwExStyle);
        EXPECT_EQ(d.x, 0);
        EXPECT_EQ(d.y, 0);
        EXPECT_EQ(d.cx, c.cx);
        EXPECT_EQ(d.cy, c.cy);
        if (c.caption) {
            EXPECT_EQ(d.caption, c.caption);
        }
        EXPECT_EQ(d.font, L"MS Shell Dlg");
        EXPECT_EQ(d.wPointSize, 8);
        ASSERT_EQ(d.controls.size(), c.controls.size());
        for (size_t i = 0; i < c.controls.size(); ++i) {
            SCOPED_TRACE("control " + std::to_string(i));
            const Control& want = c.controls[i];
            const Control& got = d.controls[i];
            EXPECT_EQ(got.dwId, want.dwId);
            // Class names are case-insensitive; windres writes them in capitals.
            EXPECT_EQ(_wcsicmp(got.cls.c_str(), want.cls.c_str()), 0) << got.cls;
            EXPECT_EQ(got.text, want.text);
            EXPECT_EQ(got.dwStyle, want.dwStyle);
            EXPECT_EQ(got.dwExStyle, want.dwExStyle);
            EXPECT_EQ(got.x, want.x);
            EXPECT_EQ(got.y, want.y);
            EXPECT_EQ(got.cx, want.cx);
            EXPECT_EQ(got.cy, want.cy);
        }
    }
}

TEST(Resources, LayoutsGiveEachControlItsPercentages) {
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE("layout " + std::to_string(c.id));
        const std::vector<BYTE> bytes = ResourceBytes(L"AFX_DIALOG_LAYOUT", c.id);
        ASSERT_EQ(bytes.size(), c.layout.size() * 2);
        std::vector<WORD> words(c.layout.size());
        std::memcpy(words.data(), bytes.data(), bytes.size());
        EXPECT_EQ(words, c.layout);
        // The version word, then either nothing or four words for every control.
        EXPECT_TRUE(words.size() == 1 || words.size() == 1 + 4 * c.controls.size());
    }
}

// A control placed over another hides part of it; at 144 DPI the dialog units
// scale alike, so the template's rectangles tell for every DPI.
TEST(Resources, NoControlCoversAnother) {
    for (const DialogCase& c : kDialogs) {
        const Dialog d = ReadDialog(c.id);
        ASSERT_TRUE(d.bOk);
        for (size_t i = 0; i < d.controls.size(); ++i)
            for (size_t j = i + 1; j < d.controls.size(); ++j) {
                const Control& a = d.controls[i];
                const Control& b = d.controls[j];
                const bool bApart = a.x + a.cx <= b.x || b.x + b.cx <= a.x || a.y + a.cy <= b.y || b.y + b.cy <= a.y;
                EXPECT_TRUE(bApart) << "dialog " << c.id << ": controls " << i << " and " << j;
            }
    }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(Resources, DialogsOpenWithEveryControlWhereTheTemplatePutsIt) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(c.id));
        HWND hDlg = ::CreateDialogParamW(Module(), MAKEINTRESOURCEW(c.id), nullptr, QuietDialogProc, 0);
        ASSERT_TRUE(hDlg) << "error " << ::GetLastError();
        RECT rcClient{};
        ::GetClientRect(hDlg, &rcClient);
        RECT rcSize{0, 0, c.cx, c.cy};
        ::MapDialogRect(hDlg, &rcSize);
        EXPECT_EQ(rcClient.right, rcSize.right);
        EXPECT_EQ(rcClient.bottom, rcSize.bottom);
        HWND hChild = ::GetWindow(hDlg, GW_CHILD);
        for (const Control& want : c.controls) {
            ASSERT_TRUE(hChild);
            wchar_t szClass[64] = {};
            ::GetClassNameW(hChild, szClass, 64);
            EXPECT_EQ(_wcsicmp(szClass, want.cls.c_str()), 0) << want.x << "," << want.y;
            EXPECT_EQ(static_cast<DWORD>(::GetDlgCtrlID(hChild)), want.dwId);
            if (want.cls == L"Static" && (want.dwStyle & SS_TYPEMASK) == SS_ICON) {
                // An icon control sizes itself to its icon.
                EXPECT_TRUE(::SendMessageW(hChild, STM_GETICON, 0, 0)) << "no icon at " << want.x << "," << want.y;
            } else {
                // Position and size are converted separately, as the dialog manager does.
                RECT rcWant{want.x, want.y, want.cx, want.cy};
                ::MapDialogRect(hDlg, &rcWant);
                rcWant.right += rcWant.left;
                rcWant.bottom += rcWant.top;
                RECT rcGot{};
                ::GetWindowRect(hChild, &rcGot);
                ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rcGot), 2);
                EXPECT_TRUE(::EqualRect(&rcGot, &rcWant)) << "control at " << want.x << "," << want.y;
                wchar_t szText[128] = {};
                ::GetWindowTextW(hChild, szText, 128);
                EXPECT_EQ(std::wstring(szText), want.text);
            }
            hChild = ::GetWindow(hChild, GW_HWNDNEXT);
        }
        EXPECT_FALSE(hChild);
        ::DestroyWindow(hDlg);
    }
}

// The dialog font as the dialog manager made it: "MS Shell Dlg" must come out as
// Tahoma, or every measurement below is of another font.
TEST(Resources, DialogFontIsTahoma) {
    HWND hDlg = ::CreateDialogParamW(Module(), MAKEINTRESOURCEW(IDD_ABOUTBOX), nullptr, QuietDialogProc, 0);
    ASSERT_TRUE(hDlg);
    HDC hdc = ::GetDC(hDlg);
    HGDIOBJ hOld = ::SelectObject(hdc, reinterpret_cast<HFONT>(::SendMessageW(hDlg, WM_GETFONT, 0, 0)));
    // The face's own family name; GetTextFace would give back the name asked for.
    std::vector<BYTE> metrics(::GetOutlineTextMetricsW(hdc, 0, nullptr));
    std::wstring face;
    if (!metrics.empty() &&
        ::GetOutlineTextMetricsW(hdc, static_cast<UINT>(metrics.size()),
                                 reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data()))) {
        const auto* pMetrics = reinterpret_cast<const OUTLINETEXTMETRICW*>(metrics.data());
        face = reinterpret_cast<const wchar_t*>(metrics.data() + reinterpret_cast<UINT_PTR>(pMetrics->otmpFamilyName));
    }
    ::SelectObject(hdc, hOld);
    ::ReleaseDC(hDlg, hdc);
    ::DestroyWindow(hDlg);
    ASSERT_EQ(face, L"Tahoma") << "\"MS Shell Dlg\" is not Tahoma here: Wine's fonts are missing from the prefix's "
                                       "C:\\windows\\Fonts (tools/wine-run.sh copies them at set-up)";
}

// Every label and push button shows its whole text in the dialog's font: labels
// wrap within their width, buttons keep one line.
TEST(Resources, EveryLabelAndButtonShowsItsWholeText) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(c.id));
        HWND hDlg = ::CreateDialogParamW(Module(), MAKEINTRESOURCEW(c.id), nullptr, QuietDialogProc, 0);
        ASSERT_TRUE(hDlg);
        HDC hdc = ::GetDC(hDlg);
        HGDIOBJ hOld = ::SelectObject(hdc, reinterpret_cast<HFONT>(::SendMessageW(hDlg, WM_GETFONT, 0, 0)));
        int nChecked = 0;
        for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            wchar_t szClass[64] = {}, szText[256] = {};
            ::GetClassNameW(hChild, szClass, 64);
            const int cch = ::GetWindowTextW(hChild, szText, 256);
            const auto dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hChild, GWL_STYLE));
            const DWORD dwType = dwStyle & 0x1F;
            UINT uFormat = DT_CALCRECT;
            if (_wcsicmp(szClass, L"Static") == 0 && dwType <= SS_RIGHT)
                uFormat |= DT_WORDBREAK | (dwStyle & SS_NOPREFIX ? DT_NOPREFIX : 0);
            else if (_wcsicmp(szClass, L"Button") == 0 && (dwType == BS_PUSHBUTTON || dwType == BS_DEFPUSHBUTTON))
                uFormat |= DT_SINGLELINE;
            else
                continue;
            if (cch == 0) continue;
            RECT rcClient{};
            ::GetClientRect(hChild, &rcClient);
            RECT rcText = rcClient;
            ::DrawTextW(hdc, szText, cch, &rcText, uFormat);
            EXPECT_LE(rcText.right, rcClient.right) << "\"" << Narrow(szText) << "\" is too wide";
            RECT rcLine{};
            ::DrawTextW(hdc, szText, cch, &rcLine, DT_CALCRECT | DT_SINGLELINE | (uFormat & DT_NOPREFIX));
            EXPECT_LE(rcText.bottom, rcClient.bottom)
                << "\"" << Narrow(szText) << "\" needs " << rcText.right << " x " << rcText.bottom << " px ("
                << rcLine.right << " px on one line), has " << rcClient.right << " x " << rcClient.bottom;
            ++nChecked;
        }
        EXPECT_GT(nChecked, 0);
        ::SelectObject(hdc, hOld);
        ::ReleaseDC(hDlg, hdc);
        ::DestroyWindow(hDlg);
    }
}

TEST(Resources, PopupMenuOffersEveryCommand) {
    struct Item {
        UINT id;                // 0: a separator line
        const wchar_t* text;
    };
    const Item kItems[] = {
        {IDM_ADD_NEW, L"Add New..."}, {IDM_ADD_SEPARATOR, L"Add Seperator"}, {0, nullptr},
        {IDM_EDIT_SELECTED, L"Edit Selected..."}, {IDM_RUN_TASK, L"Run Task\tCtrl+Enter"}, {0, nullptr},
        {IDM_DELETE_SELECTED, L"Delete Selected"},
        {IDM_UNDO, L"Undo"}, {IDM_REDO, L"Redo"}, {0, nullptr}, {IDM_SETTINGS, L"Settings..."}, {0, nullptr},
        {IDM_LOCATE_DATA_FILE, L"Locate Data File..."}, {0, nullptr}, {IDM_EXPORT_LIST, L"Export List...\tCtrl+E"},
        {IDM_IMPORT_LIST, L"Import List...\tCtrl+I"}, {0, nullptr}, {IDM_EXIT, L"Exit"},
    };
    HMENU hMenu = ::LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_POPUP_MENU));
    ASSERT_TRUE(hMenu);
    ASSERT_EQ(::GetMenuItemCount(hMenu), 1);
    wchar_t szText[64] = {};
    ::GetMenuStringW(hMenu, 0, szText, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(szText), L"POPUP");
    HMENU hPopup = ::GetSubMenu(hMenu, 0);
    ASSERT_TRUE(hPopup);
    ASSERT_EQ(::GetMenuItemCount(hPopup), static_cast<int>(std::size(kItems)));
    for (UINT i = 0; i < std::size(kItems); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        mii.dwTypeData = szText;
        mii.cch = 64;
        ASSERT_TRUE(::GetMenuItemInfoW(hPopup, i, TRUE, &mii));
        EXPECT_FALSE(mii.hSubMenu);
        if (!kItems[i].text) {
            EXPECT_TRUE(mii.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(mii.fState, 0u);  // never disabled, grayed or checked
        EXPECT_EQ(mii.fType, static_cast<UINT>(MFT_STRING));
        EXPECT_EQ(mii.wID, kItems[i].id);
        EXPECT_EQ(std::wstring(szText), kItems[i].text);
    }
    ::DestroyMenu(hMenu);
}

TEST(Resources, Strings) {
    struct Case {
        UINT id;
        const wchar_t* text;
    };
    for (const Case& c : {Case{IDS_ABOUTBOX, L"&About Zembro..."}, Case{IDS_APPLICATION_TITLE, L"Zembro by Brellow"}}) {
        wchar_t szText[64] = {};
        EXPECT_GT(::LoadStringW(Module(), c.id, szText, 64), 0) << c.id;
        EXPECT_EQ(std::wstring(szText), c.text);
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
#pragma pack(pop)

// An icon group's images: each directory entry with its image's bytes.
std::vector<std::pair<GroupIconEntry, std::vector<BYTE>>> IconImages(int id) {
    std::vector<std::pair<GroupIconEntry, std::vector<BYTE>>> images;
    const std::vector<BYTE> group = ResourceBytes(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, id);
    if (group.size() < 6) return images;
    const size_t count = group[4] | group[5] << 8;
    if (group.size() != 6 + count * sizeof(GroupIconEntry)) return images;
    for (size_t i = 0; i < count; ++i) {
        GroupIconEntry entry{};
        std::memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
        images.emplace_back(entry, ResourceBytes(MAKEINTRESOURCEW(3) /* RT_ICON */, entry.nId));
    }
    return images;
}

// The one image of an icon group: its directory entry and its bitmap bytes.
bool IconImage(int id, GroupIconEntry& entry, std::vector<BYTE>& image) {
    auto images = IconImages(id);
    if (images.size() != 1) return false;
    entry = images[0].first;
    image = std::move(images[0].second);
    return image.size() >= sizeof(BITMAPINFOHEADER);
}

TEST(Resources, IconsHaveTheirSizeAndColours) {
    GroupIconEntry entry{};
    std::vector<BYTE> image;
    ASSERT_TRUE(IconImage(IDI_SEPARATOR, entry, image));
    EXPECT_EQ(entry.bWidth, 16);
    EXPECT_EQ(entry.bHeight, 16);
    EXPECT_EQ(entry.bColorCount, 0);
    EXPECT_EQ(entry.wBitCount, 8);
    BITMAPINFOHEADER bih{};
    std::memcpy(&bih, image.data(), sizeof(bih));
    EXPECT_EQ(bih.biWidth, 16);
    EXPECT_EQ(bih.biHeight, 32);
    EXPECT_EQ(bih.biBitCount, 8);
    EXPECT_EQ(bih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(image.size(), sizeof(bih) + 4u * 256 + 16 * (16 + 4));
}

// The program icon at every size the shell asks for at 96 to 192 DPI, each drawn
// for its size with soft edges; 256 px as PNG.
TEST(Resources, ProgramIconHasEverySizeIn32BitsWithAlpha) {
    const auto images = IconImages(IDI_ZEMBRO);
    std::vector<int> sizes;
    for (const auto& [entry, bytes] : images) {
        const int size = entry.bWidth ? entry.bWidth : 256;
        sizes.push_back(size);
        SCOPED_TRACE("size " + std::to_string(size));
        EXPECT_EQ(entry.bHeight, entry.bWidth);
        EXPECT_EQ(entry.wBitCount, 32);
        EXPECT_EQ(entry.dwBytesInRes, bytes.size());
        if (size == 256) {
            ASSERT_GE(bytes.size(), 24u);
            EXPECT_EQ(std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8), 0);
            EXPECT_EQ(bytes[16] << 24 | bytes[17] << 16 | bytes[18] << 8 | bytes[19], 256);  // IHDR width
            continue;
        }
        BITMAPINFOHEADER bih{};
        ASSERT_GE(bytes.size(), sizeof(bih));
        std::memcpy(&bih, bytes.data(), sizeof(bih));
        EXPECT_EQ(bih.biWidth, size);
        EXPECT_EQ(bih.biHeight, 2 * size);
        EXPECT_EQ(bih.biBitCount, 32);
        const size_t pixels = static_cast<size_t>(size) * size;
        ASSERT_EQ(bytes.size(), sizeof(bih) + 4 * pixels + size * ((size + 31) / 32 * 4));
        int transparent = 0, partial = 0;
        for (size_t i = 0; i < pixels; ++i) {
            const BYTE alpha = bytes[sizeof(bih) + 4 * i + 3];
            transparent += alpha == 0;
            partial += alpha != 0 && alpha != 255;
        }
        EXPECT_GT(transparent, 0);
        EXPECT_GT(partial, 0);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

bool OnSeparatorLine(int x, int y) { return y == 8 && x >= 1 && x <= 14; }

TEST(Resources, SeparatorIconIsOneBlackLine) {
    GroupIconEntry entry{};
    std::vector<BYTE> image;
    ASSERT_TRUE(IconImage(IDI_SEPARATOR, entry, image));
    ASSERT_EQ(image.size(), 40u + 1024 + 16 * 16 + 16 * 4);
    const BYTE* pPalette = image.data() + 40;
    const BYTE* pColour = pPalette + 1024;
    const BYTE* pMask = pColour + 256;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int row = 15 - y;  // bottom-up
            const bool bTransparent = pMask[row * 4 + x / 8] & (0x80 >> (x % 8));
            const BYTE* pRgb = pPalette + 4 * pColour[row * 16 + x];
            EXPECT_EQ(bTransparent, !OnSeparatorLine(x, y)) << x << "," << y;
            if (!bTransparent) {
                EXPECT_EQ(pRgb[0] | pRgb[1] | pRgb[2], 0) << x << "," << y;
            }
        }
    }
    // Drawn over two backgrounds: only the line covers them.
    HICON hIcon = static_cast<HICON>(::LoadImageW(Module(), MAKEINTRESOURCEW(IDI_SEPARATOR), IMAGE_ICON, 16, 16, 0));
    ASSERT_TRUE(hIcon);
    for (DWORD background : {0x00FFFFFFu, 0x00FF0000u}) {
        BITMAPINFO bmi{};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pBits = nullptr;
        HDC hdc = ::CreateCompatibleDC(nullptr);
        HBITMAP hbm = ::CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
        HGDIOBJ hOld = ::SelectObject(hdc, hbm);
        auto* pPixels = static_cast<DWORD*>(pBits);
        std::fill(pPixels, pPixels + 256, background);
        ::DrawIconEx(hdc, 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(pPixels[i] & 0xFFFFFF, OnSeparatorLine(i % 16, i / 16) ? 0u : background) << i % 16 << "," << i / 16;
        }
        ::SelectObject(hdc, hOld);
        ::DeleteObject(hbm);
        ::DeleteDC(hdc);
    }
    ::DestroyIcon(hIcon);
}

TEST(Resources, ManifestAsksForCommonControls6AsInvokerPerMonitorDpiAware) {
    const std::vector<BYTE> bytes = ResourceBytes(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, 1);
    const std::string manifest(bytes.begin(), bytes.end());
#if defined(__x86_64__) || defined(_M_X64)
    const std::string arch = "processorArchitecture=\"amd64\"";
#elif defined(__aarch64__) || defined(_M_ARM64)
    const std::string arch = "processorArchitecture=\"arm64\"";
#else
    const std::string arch = "processorArchitecture=\"x86\"";
#endif
    for (const char* needle : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                               "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"",
                               // Windows 10 1703 and later; then 8.1; then Vista to 8, system-aware.
                               ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>"}) {
        EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
    }
    // Every architecture named is the binary's own: a mismatch would keep the program from starting.
    size_t named = 0, matching = 0;
    for (size_t at = manifest.find("processorArchitecture="); at != std::string::npos;
         at = manifest.find("processorArchitecture=", at + 1)) {
        ++named;
        matching += manifest.compare(at, arch.size(), arch) == 0;
    }
    EXPECT_GE(named, 1u);
    EXPECT_EQ(matching, named);
}

// Each supported Windows is named inside the compatibility section, one
// supportedOS element each; a GUID elsewhere (or mistyped) is not honoured.
TEST(Resources, ManifestDeclaresWindows7To11Compatible) {
    const std::vector<BYTE> bytes = ResourceBytes(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, 1);
    const std::string manifest(bytes.begin(), bytes.end());
    const size_t begin = manifest.find("<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">");
    const size_t end = manifest.find("</compatibility>");
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const std::string section = manifest.substr(begin, end - begin);
    const struct {
        const char* windows;
        const char* guid;
    } cases[] = {
        {"7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
        {"8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
        {"8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
        {"10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows);
        EXPECT_NE(section.find(std::string("<supportedOS Id=\"") + c.guid + "\"/>"), std::string::npos);
    }
    EXPECT_NE(section.find("<application>"), std::string::npos);
}

TEST(Resources, VersionNamesProductAndCompany) {
    wchar_t szPath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    DWORD dwHandle = 0;
    std::vector<BYTE> info(::GetFileVersionInfoSizeW(szPath, &dwHandle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(szPath, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT cb = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&pFixed), &cb));
    EXPECT_EQ(pFixed->dwFileVersionMS, 0x00040001u);
    EXPECT_EQ(pFixed->dwProductVersionMS, 0x00040001u);
    struct Case {
        const wchar_t* key;
        const wchar_t* value;
    };
    for (const Case& c : {Case{L"ProductName", L"Zembro"}, Case{L"CompanyName", L"Brellow"},
                          Case{L"ProductVersion", L"4.1.0.0"}}) {
        wchar_t* pszValue = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + c.key;
        ASSERT_TRUE(::VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&pszValue), &cb)) << c.key;
        EXPECT_EQ(std::wstring(pszValue), c.value);
    }
}

}  // namespace
