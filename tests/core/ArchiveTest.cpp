// The data file's byte format: what is written, and how bytes are read back.
#include <gtest/gtest.h>

#include "core/Exceptions.h"
#include "core/JumpListAction.h"
#include "support/Bytes.h"

namespace {

bool LoadWith(CArchive& ar, CTaskList& list) {
    try {
        ArchiveTaskList(list, ar);
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        return true;
    }
    return false;
}

// Loads bytes into list; returns true when the end-of-file error was raised.
// Reading the same bytes through a file-backed archive must end the same way.
bool Load(const Bytes& bytes, CTaskList& list) {
    const CTaskList before = list;
    CArchive ar(bytes.data(), bytes.size());
    const bool bEndOfFile = LoadWith(ar, list);
    for (std::size_t cbBuffer : kArchiveBufferSizes) {
        CMemoryFile file(bytes);
        CArchive fileArchive(file, CArchive::load, cbBuffer);
        CTaskList fromFile = before;
        EXPECT_EQ(LoadWith(fileArchive, fromFile), bEndOfFile) << "buffer of " << cbBuffer << " bytes";
        EXPECT_EQ(fromFile, list) << "buffer of " << cbBuffer << " bytes";
    }
    return bEndOfFile;
}

Bytes Hex(std::initializer_list<int> values) { return Bytes(values.begin(), values.end()); }

const CJumpListAction kTaskManager = MakeTask(u"Task Manager", u"Launch Task Manager", u"taskmgr");

TEST(ArchiveTest, WorkedExampleIsExactly136Bytes) {
    Bytes expected = Hex({0x02, 0, 0, 0});
    AppendText(expected, u"Task Manager");
    expected.insert(expected.end(), {0x0D, 0, 0x0A, 0});
    AppendText(expected, u"Launch Task Manager");
    expected.insert(expected.end(), {0x0D, 0, 0x0A, 0});
    AppendText(expected, u"taskmgr");
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {0x0D, 0, 0x0A, 0});
    expected.insert(expected.end(), {0, 0, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {0x0D, 0, 0x0A, 0});
    expected.insert(expected.end(), {0, 0, 0, 0, 1, 0, 0, 0});
    ASSERT_EQ(expected.size(), 136u);

    const CTaskList list = MakeList({kTaskManager, MakeSeparator()});
    EXPECT_EQ(Store(list), expected);

    CTaskList read;
    EXPECT_FALSE(Load(expected, read));
    EXPECT_EQ(read, list);
}

struct RoundTripCase {
    const char* name;
    CTaskList list;
    size_t expectedSize;  // 0: not checked
    Bytes expectedTail;   // the last bytes written
};

class ArchiveRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ArchiveRoundTrip, WritesExpectedBytesAndReadsThemBack) {
    const RoundTripCase& c = GetParam();
    const Bytes bytes = Store(c.list);
    if (c.expectedSize) {
        EXPECT_EQ(bytes.size(), c.expectedSize);
    }
    ASSERT_GE(bytes.size(), c.expectedTail.size());
    EXPECT_EQ(Bytes(bytes.end() - static_cast<long>(c.expectedTail.size()), bytes.end()), c.expectedTail);

    CTaskList read;
    EXPECT_FALSE(Load(bytes, read));
    EXPECT_EQ(read, c.list);
    EXPECT_EQ(Store(read), bytes) << "a second save must write the same bytes";
}

const std::u16string kLongText(5000, u'x');
const std::u16string kOutsideBmp = u"Notes \U0001F600 \U00010348 \u00E9";

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveRoundTrip,
    ::testing::Values(
        RoundTripCase{"EmptyList", CTaskList{}, 4, Hex({0, 0, 0, 0})},
        RoundTripCase{"EmptyTask", MakeList({CJumpListAction{}}), 4 + 28, Hex({0, 0, 0, 0, 0, 0, 0, 0})},
        RoundTripCase{"Separator", MakeList({MakeSeparator()}), 4 + 28, Hex({0, 0, 0, 0, 1, 0, 0, 0})},
        RoundTripCase{"FlagTwoStaysTwo", MakeList({MakeSeparator(2)}), 32, Hex({0, 0, 0, 0, 2, 0, 0, 0})},
        RoundTripCase{"NegativeIconIndex", MakeList({MakeTask(u"t", u"", u"p", u"", u"i.dll", -7)}), 0,
                      Hex({0xF9, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})},
        RoundTripCase{"LongText", MakeList({MakeTask(kLongText, u"", u"a", kLongText)}), 4 + 20 + 4 * 5000 + 2 + 8,
                      Hex({0, 0, 0, 0, 0, 0, 0, 0})},
        RoundTripCase{"OutsideBasicPlane", MakeList({MakeTask(kOutsideBmp, kOutsideBmp, u"C:\\\u00C5r\\a.exe")}), 0,
                      Hex({0x0D, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        // Code units whose low byte is a line feed's do not end the text.
        RoundTripCase{"LineFeedLowByte", MakeList({MakeTask(u"\u010A\u0A0A", u"\u0A0A", u"\u010A")}), 40,
                      Hex({0x0A, 0x01, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveTest, ReadingRules) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool expectEof;
        CTaskList expected;
    };
    Bytes trailing = Store(MakeList({kTaskManager}));
    AppendText(trailing, u"garbage after the last record");

    Bytes threeAnnouncedTwoPresent = Hex({3, 0, 0, 0});
    AppendRecord(threeAnnouncedTwoPresent, kTaskManager);
    AppendRecord(threeAnnouncedTwoPresent, MakeSeparator());

    Bytes negativeCount = Hex({0xFF, 0xFF, 0xFF, 0xFF});
    AppendRecord(negativeCount, kTaskManager);

    Bytes loneLineFeeds = Hex({1, 0, 0, 0});
    for (const char16_t* s : {u"T\n", u"D\n", u"P\r\n", u"\n", u"\n"}) AppendText(loneLineFeeds, s);
    AppendInt(loneLineFeeds, 4);
    AppendInt(loneLineFeeds, 0);

    Bytes loneCarriageReturn = Hex({1, 0, 0, 0});
    AppendText(loneCarriageReturn, u"a\rb\r\n\r\n\r\n\r\n\r\n");
    AppendInt(loneCarriageReturn, 0);
    AppendInt(loneCarriageReturn, 0);

    const Case cases[] = {
        {"TrailingBytesIgnored", trailing, false, MakeList({kTaskManager})},
        {"ThreeAnnouncedTwoPresent", threeAnnouncedTwoPresent, true, MakeList({kTaskManager, MakeSeparator()})},
        {"NegativeCountIsEmpty", negativeCount, false, CTaskList{}},
        {"ZeroBytes", Bytes{}, true, CTaskList{}},
        {"ThreeBytes", Hex({1, 0, 0}), true, CTaskList{}},
        {"LoneLineFeedEndsText", loneLineFeeds, false, MakeList({MakeTask(u"T", u"D", u"P", u"", u"", 4)})},
        {"LoneCarriageReturnIsKept", loneCarriageReturn, false, MakeList({MakeTask(u"a\rb", u"", u"")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTaskList list = MakeList({MakeTask(u"from before", u"", u"x"), MakeSeparator()});
        EXPECT_EQ(Load(c.bytes, list), c.expectEof);
        EXPECT_EQ(list, c.expected);
    }
}

TEST(ArchiveTest, EndOfFileInsideATextKeepsWhatWasRead) {
    Bytes bytes;
    AppendText(bytes, u"partial");
    bytes.push_back(0x41);  // half a code unit is no character
    CArchive ar(bytes.data(), bytes.size());
    std::u16string text = u"old";
    EXPECT_TRUE(ar.ReadString(text));
    EXPECT_EQ(text, u"partial");
    EXPECT_FALSE(ar.ReadString(text));
    EXPECT_EQ(text, u"");
}

TEST(ArchiveTest, EveryTruncationKeepsExactlyTheCompleteRecords) {
    const CTaskList full = MakeList({kTaskManager, MakeSeparator(), MakeTask(u"\u00C9dit", u"d", u"notepad", u"/a \"b c\"", u"x.ico", 3)});
    const Bytes bytes = Store(full);
    std::vector<size_t> recordEnds;  // offset just past each record
    {
        Bytes b = Hex({3, 0, 0, 0});
        for (int i = 0; i < full.GetSize(); ++i) {
            AppendRecord(b, full.GetAt(i));
            recordEnds.push_back(b.size());
        }
        ASSERT_EQ(b, bytes);
    }
    for (size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<long>(length));
        CTaskList list = MakeList({MakeSeparator()});
        EXPECT_TRUE(Load(prefix, list));
        int nComplete = 0;
        while (nComplete < 3 && recordEnds[nComplete] <= length) ++nComplete;
        ASSERT_EQ(list.GetSize(), nComplete);
        for (int i = 0; i < nComplete; ++i) EXPECT_EQ(list.GetAt(i), full.GetAt(i));
    }
}

TEST(ArchiveTest, LineBreaksInsideATextAreWrittenAsSpaces) {
    const CTaskList list = MakeList({MakeTask(u"two\r\nlines", u"a\nb", u"c\rd", u"\n", u"")});
    CTaskList read;
    EXPECT_FALSE(Load(Store(list), read));
    EXPECT_EQ(read, MakeList({MakeTask(u"two  lines", u"a b", u"c d", u" ", u"")}));
}

TEST(TaskListTest, IndexOutsideTheListIsAnInvalidArgument) {
    CTaskList list = MakeList({kTaskManager, MakeSeparator()});
    EXPECT_THROW(list.GetAt(2), CInvalidArgException);
    EXPECT_THROW(list.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(list.RemoveAt(2), CInvalidArgException);
    EXPECT_THROW(list.InsertAt(3, kTaskManager), CInvalidArgException);
    list.InsertAt(2, MakeTask(u"end", u"", u""));
    list.InsertAt(0, MakeTask(u"start", u"", u""));
    list.RemoveAt(1);
    ASSERT_EQ(list.GetSize(), 3);
    EXPECT_EQ(list.GetAt(0).m_strTitle, u"start");
    EXPECT_NE(list.GetAt(1).m_bSeparator, 0);
    EXPECT_EQ(list.GetAt(2).m_strTitle, u"end");
    EXPECT_EQ(list.Add(kTaskManager), 3);
}

}  // namespace
