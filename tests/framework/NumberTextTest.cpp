// Whole numbers typed into edit controls.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/NumberText.h"

namespace {

TEST(NumberTextTest, ReadsSignedAndUnsigned32BitNumbers) {
    struct Case {
        const char16_t* text;
        bool bSigned;       // ParseInt32 accepts it
        std::int32_t n;
        bool bUnsigned;     // ParseUInt32 accepts it
        std::uint32_t dw;
    };
    const Case cases[] = {
        {u"0", true, 0, true, 0},
        {u"42", true, 42, true, 42},
        {u"007", true, 7, true, 7},
        {u"+5", true, 5, true, 5},
        {u" \t12\t ", true, 12, true, 12},
        {u"-1", true, -1, false, 0},
        {u"-0", true, 0, false, 0},
        {u"2147483647", true, INT32_MAX, true, 2147483647u},
        {u"2147483648", false, 0, true, 2147483648u},
        {u"-2147483648", true, INT32_MIN, false, 0},
        {u"-2147483649", false, 0, false, 0},
        {u"4294967295", false, 0, true, UINT32_MAX},
        {u"4294967296", false, 0, false, 0},
        {u"99999999999999999999999", false, 0, false, 0},
        {u"000000000000000000004", true, 4, true, 4},
        {u"", false, 0, false, 0},
        {u"   ", false, 0, false, 0},
        {u"-", false, 0, false, 0},
        {u"+", false, 0, false, 0},
        {u"12abc", false, 0, false, 0},
        {u"abc", false, 0, false, 0},
        {u"1 2", false, 0, false, 0},
        {u"1.5", false, 0, false, 0},
        {u"--1", false, 0, false, 0},
        {u"0x10", false, 0, false, 0},
        {u"\u0661", false, 0, false, 0},  // an Arabic-Indic digit one
        {u"\uFF11", false, 0, false, 0},  // a full-width digit one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        std::int32_t n = 123;
        EXPECT_EQ(ParseInt32(c.text, n), c.bSigned);
        EXPECT_EQ(n, c.bSigned ? c.n : 123);
        std::uint32_t dw = 456;
        EXPECT_EQ(ParseUInt32(c.text, dw), c.bUnsigned);
        EXPECT_EQ(dw, c.bUnsigned ? c.dw : 456u);
    }
}

TEST(NumberTextTest, FormatsAndReadsBack) {
    for (std::int64_t n : {0ll, 7ll, -7ll, 10ll, -10ll, 2147483647ll, -2147483648ll, 4294967295ll}) {
        SCOPED_TRACE(n);
        const std::u16string text = FormatNumber(n);
        std::u16string expected;
        for (char ch : std::to_string(n)) expected.push_back(static_cast<char16_t>(ch));
        EXPECT_EQ(text, expected);
    }
    EXPECT_EQ(FormatNumber(INT64_MIN), u"-9223372036854775808");
}

}  // namespace
