// Zembro.exe's start: what it shows, saves, publishes and tells for each state
// of Data.dat; one running copy; placement and column widths kept across runs.
#include <windows.h>

#include <cstring>

#include "E2ETest.h"
#include "framework/WinText.h"
#include "res/resource.h"

namespace {

// Three entries announced, the third cut short inside its integers.
Bytes TwoOfThree() {
    Bytes b;
    AppendInt(b, 3);
    AppendRecord(b, kCmd);
    AppendRecord(b, kPad);
    Bytes third;
    AppendRecord(third, kWeb);
    b.insert(b.end(), third.begin(), third.end() - 6);
    return b;
}

std::u16string DamagedText(const std::u16string& strRead) {
    return u"Data.dat is damaged: " + strRead + u" A copy of the damaged file was kept as " + DamagedCopy() + u".";
}

TEST_F(E2ETest, StartShowsWhatDataDatHoldsAndSeedsTheDefaultsWhenItHoldsNothing) {
    const struct {
        const char* name;
        std::optional<Bytes> file;  // none: no Data.dat
        std::vector<MessageSeen> boxes;
        CTaskList shown;            // and stored, unless the file is kept
        bool bFileKept;             // Data.dat byte for byte as it was
        bool bPublished;            // the shell received `shown`
    } cases[] = {
        {"first start", std::nullopt, {}, Defaults(), false, true},
        {"no records", Bytes{0, 0, 0, 0}, {}, Defaults(), false, true},
        {"a stored list", Store(kFour), {}, kFour, true, false},
        {"two of three entries complete", TwoOfThree(),
         {{DamagedText(u"2 of 3 entries could be read."), kWarning}}, MakeList({kCmd, kPad}), true, false},
        {"empty", Bytes{}, {{DamagedText(u"no entry could be read."), kWarning}}, Defaults(), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetState();
        if (c.file) WriteDataFile(*c.file);
        std::vector<Row> rows;
        std::vector<MessageSeen> boxes;
        {
            CZembroDriver zembro;
            ASSERT_TRUE(zembro.Start());
            EXPECT_EQ(WindowTitle(zembro.Main()), kZembroTitle);
            rows = zembro.Rows();
            boxes = zembro.Boxes();
            EXPECT_TRUE(zembro.Close());
        }
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(rows, ExpectedRows(c.shown));
        EXPECT_EQ(ReadBytes(DataFile()), c.bFileKept ? *c.file : Store(c.shown));
        if (c.bPublished) {
            const std::optional<HostRecord> record = ReadHostRecord();
            ASSERT_TRUE(record.has_value());
            EXPECT_EQ(record->tasks, ExpectedEntries(c.shown));
        } else {
            EXPECT_FALSE(HostRecordExists()) << "a stored list is not published at start";
        }
        if (!c.boxes.empty()) {
            EXPECT_EQ(ReadBytes(DamagedCopy()), *c.file);
        } else {
            EXPECT_FALSE(FileExists(DamagedCopy()));
        }
    }
}

}  // namespace
