// The pictures of a dialog template, found in bytes laid out as the resource
// compiler lays out DIALOGEX and DIALOG templates.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/DialogTemplate.h"

namespace {

constexpr std::uint32_t kSetFont = 0x40, kIcon = 0x03, kText = 0x00, kChild = 0x50000000;
constexpr std::uint16_t kButton = 0x80, kStatic = 0x82;

class CTemplateBytes {
public:
    void Word(std::uint16_t n) {
        m_bytes.push_back(static_cast<std::uint8_t>(n));
        m_bytes.push_back(static_cast<std::uint8_t>(n >> 8));
    }
    void Dword(std::uint32_t n) {
        Word(static_cast<std::uint16_t>(n));
        Word(static_cast<std::uint16_t>(n >> 16));
    }
    void String(const std::u16string& s) {
        for (char16_t ch : s) Word(ch);
        Word(0);
    }
    void Ordinal(std::uint16_t n) {
        Word(0xFFFF);
        Word(n);
    }
    void Align() {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
    }
    std::vector<std::uint8_t> m_bytes;
};

struct CItem {
    std::uint32_t m_style;
    bool m_bClassAtom;
    std::uint16_t m_classAtom;
    std::u16string m_strClass;
    bool m_bTitleOrdinal;
    std::uint16_t m_titleOrdinal;
    std::u16string m_strTitle;
    std::uint16_t m_cbExtra = 0;
};

// A template with the given items; bEx: DIALOGEX, else DIALOG.
std::vector<std::uint8_t> Template(bool bEx, const std::vector<CItem>& items, bool bFont = true) {
    CTemplateBytes t;
    const std::uint32_t style = 0x80C80000 | (bFont ? kSetFont : 0);
    if (bEx) {
        t.Word(1);
        t.Word(0xFFFF);
        t.Dword(0);  // help id
        t.Dword(0);  // extended style
        t.Dword(style);
    } else {
        t.Dword(style);
        t.Dword(0);
    }
    t.Word(static_cast<std::uint16_t>(items.size()));
    for (int i = 0; i < 4; ++i) t.Word(10);
    t.Word(0);           // no menu
    t.Word(0);           // the dialog class
    t.String(u"About");  // title
    if (bFont) {
        t.Word(8);
        if (bEx) {
            t.Word(400);
            t.Word(0x0100);  // italic 0, character set 1
        }
        t.String(u"MS Shell Dlg");
    }
    for (const CItem& item : items) {
        t.Align();
        if (bEx) {
            t.Dword(0);
            t.Dword(0);
            t.Dword(item.m_style);
        } else {
            t.Dword(item.m_style);
            t.Dword(0);
        }
        for (int i = 0; i < 4; ++i) t.Word(5);
        if (bEx)
            t.Dword(0xFFFFFFFF);  // IDC_STATIC
        else
            t.Word(0xFFFF);
        if (item.m_bClassAtom)
            t.Ordinal(item.m_classAtom);
        else
            t.String(item.m_strClass);
        if (item.m_bTitleOrdinal)
            t.Ordinal(item.m_titleOrdinal);
        else
            t.String(item.m_strTitle);
        t.Word(item.m_cbExtra);
        for (int i = 0; i < item.m_cbExtra; ++i) t.m_bytes.push_back(0xAB);
    }
    return t.m_bytes;
}

const std::vector<CItem> kItems = {
    {kChild | kIcon, true, kStatic, u"", true, 128, u""},         // 0: a picture of icon 128
    {kChild | kText, true, kStatic, u"", false, 0, u"Zembro"},     // 1: a label
    {kChild | kIcon, false, 0, u"sTaTiC", true, 129, u""},        // 2: by class name, icon 129
    {kChild, true, kButton, u"", false, 0, u"OK", 4},             // 3: a button with extra bytes
    {kChild | kIcon, true, kStatic, u"", false, 0, u"NAMED"},      // 4: an icon by name: not ours
    {kChild | 0x0E, true, kStatic, u"", true, 130, u""},          // 5: SS_BITMAP
};
const std::vector<CTemplatePicture> kPictures = {{0, 128}, {2, 129}};

TEST(DialogTemplate, FindsTheIconPicturesOfBothForms) {
    for (const bool bEx : {true, false})
        for (const bool bFont : {true, false}) {
            SCOPED_TRACE(testing::Message() << (bEx ? "DIALOGEX" : "DIALOG") << (bFont ? " with a font" : ""));
            const std::vector<std::uint8_t> bytes = Template(bEx, kItems, bFont);
            std::vector<CTemplatePicture> pictures;
            ASSERT_TRUE(FindTemplatePictures(bytes.data(), bytes.size(), pictures));
            EXPECT_EQ(pictures, kPictures);
        }
}

TEST(DialogTemplate, NoItemsNoPictures) {
    const std::vector<std::uint8_t> bytes = Template(true, {});
    std::vector<CTemplatePicture> pictures{{9, 9}};
    ASSERT_TRUE(FindTemplatePictures(bytes.data(), bytes.size(), pictures));
    EXPECT_TRUE(pictures.empty());
}

// Every cut of the template short of its end is refused without a read past it.
TEST(DialogTemplate, ATemplateCutShortIsRefused) {
    for (const bool bEx : {true, false}) {
        const std::vector<std::uint8_t> bytes = Template(bEx, kItems);
        for (size_t cb = 0; cb < bytes.size(); ++cb) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cb));
            std::vector<CTemplatePicture> pictures{{7, 7}};
            EXPECT_FALSE(FindTemplatePictures(cut.data(), cut.size(), pictures)) << cb << " bytes";
            EXPECT_EQ(pictures, (std::vector<CTemplatePicture>{{7, 7}})) << cb << " bytes";
        }
    }
    std::vector<CTemplatePicture> pictures;
    EXPECT_FALSE(FindTemplatePictures(nullptr, 0, pictures));
}

}  // namespace
