// The icon for a task's path and icon index: from the file, from the shell, or the
// separator icon; and which icons the provider still owns after each lookup.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "win/WinText.h"
#include "res/resource.h"
#include "ui/ActionIconProvider.h"

namespace {

constexpr int kExtraLarge = 48;  // the shell's extra-large icons at 96 dpi

std::wstring TestFolder() {
    wchar_t szPath[MAX_PATH] = {};
    const DWORD cch = ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath, cch);
    return path.substr(0, path.find_last_of(L'\\'));
}

std::u16string InTestFolder(const wchar_t* pszName) { return as_u16(TestFolder() + L"\\" + pszName); }

// A document without icons of its own, removed again when the test ends.
class TextDocument {
public:
    TextDocument() : m_path(TestFolder() + L"\\icon lookup document.txt") {
        HANDLE h = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD cb = 0;
            ::WriteFile(h, "text", 4, &cb, nullptr);
            ::CloseHandle(h);
        }
    }
    ~TextDocument() { ::DeleteFileW(m_path.c_str()); }
    std::u16string Path() const { return as_u16(m_path); }

private:
    std::wstring m_path;
};

bool IsIcon(HICON hIcon) {
    ICONINFO info{};
    if (!hIcon || !::GetIconInfo(hIcon, &info)) return false;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return true;
}

SIZE IconSize(HICON hIcon) {
    ICONINFO info{};
    if (!::GetIconInfo(hIcon, &info)) return {0, 0};
    BITMAP bm{};
    SIZE size{0, 0};
    if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof(bm), &bm)) {
        size = {bm.bmWidth, bm.bmHeight};
    } else if (info.hbmMask && ::GetObjectW(info.hbmMask, sizeof(bm), &bm)) {
        size = {bm.bmWidth, bm.bmHeight / 2};  // monochrome: mask over colour
    }
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return size;
}

// The colour in the middle of the icon, drawn at its own size over magenta.
COLORREF CentreColour(HICON hIcon) {
    const SIZE size = IconSize(hIcon);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = size.cx;
    bmi.bmiHeader.biHeight = -size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HBITMAP hbm = ::CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hdc, hbm);
    auto* pPixels = static_cast<DWORD*>(pBits);
    for (int i = 0; i < size.cx * size.cy; ++i) pPixels[i] = 0x00FF00FF;
    ::DrawIconEx(hdc, 0, 0, hIcon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    const DWORD bgrx = pPixels[(size.cy / 2) * size.cx + size.cx / 2];
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hbm);
    ::DeleteDC(hdc);
    return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
}

constexpr COLORREF kRed = RGB(0xFF, 0, 0);
constexpr COLORREF kGreen = RGB(0, 0x80, 0);
constexpr COLORREF kBlue = RGB(0, 0, 0xFF);

enum class Source { ThreeIcons, GreenIco, Missing, Document, Blanks, Empty };
enum class Size { Small, Large, ExtraLarge };

std::u16string PathOf(Source source, const TextDocument& document) {
    switch (source) {
    case Source::ThreeIcons: return InTestFolder(L"zembro_three_icons.exe");
    case Source::GreenIco: return InTestFolder(L"green.ico");
    case Source::Missing: return InTestFolder(L"no such program.exe");
    case Source::Document: return document.Path();
    case Source::Blanks: return u"   ";
    case Source::Empty: return u"";
    }
    return {};
}

LONG Pixels(Size size) {
    switch (size) {
    case Size::Small: return ::GetSystemMetrics(SM_CXSMICON);
    case Size::Large: return ::GetSystemMetrics(SM_CXICON);
    case Size::ExtraLarge: return kExtraLarge;
    }
    return 0;
}

struct LookupCase {
    const char* name;
    Source source;
    int index;
    bool large;
    bool extracted;
    Size size;
    std::optional<COLORREF> colour;
};

const LookupCase kLookups[] = {
    {"first icon of a program", Source::ThreeIcons, 0, true, true, Size::Large, kRed},
    {"second icon, small", Source::ThreeIcons, 1, false, true, Size::Small, kGreen},
    {"last icon of a program", Source::ThreeIcons, 2, true, true, Size::Large, kBlue},
    {"last icon, small", Source::ThreeIcons, 2, false, true, Size::Small, kBlue},
    {"negative index is a resource id", Source::ThreeIcons, -3, true, true, Size::Large, kBlue},
    {"index past the last icon", Source::ThreeIcons, 3, true, false, Size::ExtraLarge, std::nullopt},
    {"past the last icon, small asked", Source::ThreeIcons, 3, false, false, Size::ExtraLarge, std::nullopt},
    {"resource id that does not exist", Source::ThreeIcons, -4, true, false, Size::ExtraLarge, std::nullopt},
    {"icon file", Source::GreenIco, 0, true, true, Size::Large, kGreen},
    {"icon file, small", Source::GreenIco, 0, false, true, Size::Small, kGreen},
    {"icon file has one icon only", Source::GreenIco, 1, true, false, Size::ExtraLarge, std::nullopt},
    {"missing file", Source::Missing, 0, true, false, Size::ExtraLarge, std::nullopt},
    {"missing file, small asked", Source::Missing, 0, false, false, Size::ExtraLarge, std::nullopt},
    {"document without icons", Source::Document, 0, true, false, Size::ExtraLarge, std::nullopt},
    {"path of blanks is not empty", Source::Blanks, 0, true, false, Size::ExtraLarge, std::nullopt},
};

TEST(ActionIconProvider, GivesTheIconFromTheFileOrTheShell) {
    TextDocument document;
    for (const LookupCase& c : kLookups) {
        SCOPED_TRACE(c.name);
        CActionIconProvider provider;
        bool extracted = !c.extracted;
        HICON hIcon = provider.GetIcon(PathOf(c.source, document), c.index, c.large, extracted);
        EXPECT_EQ(extracted, c.extracted);
        ASSERT_TRUE(IsIcon(hIcon));
        const SIZE size = IconSize(hIcon);
        EXPECT_EQ(size.cx, Pixels(c.size));
        EXPECT_EQ(size.cy, Pixels(c.size));
        if (c.colour) {
            EXPECT_EQ(CentreColour(hIcon), *c.colour);
        }
    }
}

TEST(ActionIconProvider, EmptyPathGivesTheSharedSeparatorIcon) {
    HICON hSeparator = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SEPARATOR));
    ASSERT_TRUE(IsIcon(hSeparator));
    CActionIconProvider provider;
    for (bool large : {true, false}) {
        bool extracted = true;
        EXPECT_EQ(provider.GetIcon(u"", 0, large, extracted), hSeparator);
        EXPECT_FALSE(extracted);
        // An index that no file could have: nothing is looked up for an empty path.
        EXPECT_EQ(provider.GetIcon(u"", 12345, large, extracted), hSeparator);
        EXPECT_FALSE(extracted);
    }
    // Shared: neither a later lookup nor the provider's end destroys it.
    {
        CActionIconProvider other;
        bool extracted = false;
        other.GetIcon(u"", 0, true, extracted);
        other.GetIcon(InTestFolder(L"zembro_three_icons.exe"), 0, true, extracted);
    }
    EXPECT_TRUE(IsIcon(hSeparator));
}

struct Lookup {
    const char* name;
    Source source;
    int index;
};

const Lookup kFirstLookups[] = {
    {"taken from a program", Source::ThreeIcons, 0},
    {"taken from an icon file", Source::GreenIco, 0},
    {"shell icon of a program", Source::ThreeIcons, 3},
    {"shell icon of a missing file", Source::Missing, 0},
};

const Lookup kSecondLookups[] = {
    {"then taken from a program", Source::ThreeIcons, 1},
    {"then a shell icon", Source::Missing, 0},
    {"then the separator", Source::Empty, 0},
};

TEST(ActionIconProvider, NextLookupDestroysTheIconHandedOutBefore) {
    TextDocument document;
    for (const Lookup& first : kFirstLookups) {
        for (const Lookup& second : kSecondLookups) {
            SCOPED_TRACE(std::string(first.name) + ", " + second.name);
            CActionIconProvider provider;
            bool extracted = false;
            HICON hFirst = provider.GetIcon(PathOf(first.source, document), first.index, true, extracted);
            ASSERT_TRUE(IsIcon(hFirst));
            HICON hSecond = provider.GetIcon(PathOf(second.source, document), second.index, true, extracted);
            EXPECT_TRUE(IsIcon(hSecond));
            ASSERT_NE(hSecond, hFirst);
            EXPECT_FALSE(IsIcon(hFirst));
        }
    }
}

TEST(ActionIconProvider, DestructionDestroysTheLastIcon) {
    TextDocument document;
    for (const Lookup& lookup : kFirstLookups) {
        SCOPED_TRACE(lookup.name);
        HICON hIcon = nullptr;
        {
            CActionIconProvider provider;
            bool extracted = false;
            hIcon = provider.GetIcon(PathOf(lookup.source, document), lookup.index, false, extracted);
            ASSERT_TRUE(IsIcon(hIcon));
        }
        EXPECT_FALSE(IsIcon(hIcon));
    }
}

}  // namespace
