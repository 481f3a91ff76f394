#include "core/ChangeHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each entry's texts take about kEntryBytes, so what a step keeps counts in entries.
constexpr std::size_t kEntryBytes = 10000;

CJumpListAction Entry(char16_t letter, std::size_t nChars = kEntryBytes / 2) {
    CJumpListAction a;
    a.m_strTitle = std::u16string(1, letter);
    a.m_strDescription = std::u16string(nChars, letter);
    a.m_strPath = std::u16string(u"C:\\Tools\\") + letter + u".exe";
    return a;
}

CTaskList ListOf(const std::u16string& letters) {
    CTaskList list;
    for (char16_t letter : letters) list.Add(Entry(letter));
    return list;
}

// With the history at the last of states: undo walks back to the first, exactly,
// and no further; redo walks forward to the last, exactly, and no further.
void ExpectUndoRedoWalk(CChangeHistory& history, const std::vector<CTaskList>& states) {
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(history.CanUndo()) << "undo to state " << i - 1;
        ASSERT_EQ(history.Target(true), states[i - 1]) << "undo to state " << i - 1;
        history.Step(true);
    }
    EXPECT_FALSE(history.CanUndo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.CanRedo()) << "redo to state " << i;
        ASSERT_EQ(history.Target(false), states[i]) << "redo to state " << i;
        history.Step(false);
    }
    EXPECT_FALSE(history.CanRedo());
}

struct ChangeCase {
    const char* name;
    std::u16string before, after;
    std::size_t nKeptEntries;  // what the step holds that the list after it lacks
    bool bFollows = true;      // the change starts where the one before it ended
};

TEST(ChangeHistoryTest, EachKindOfChangeUndoesAndRedoesExactlyAndKeepsOnlyWhatChanged) {
    const ChangeCase cases[] = {
        {"move up one", u"abcde", u"abdce", 0},
        {"move down one", u"abcde", u"acbde", 0},
        {"move first to last", u"abcde", u"bcdea", 0},
        {"move last to first", u"abcde", u"eabcd", 0},
        {"move among equal entries", u"abab", u"aabb", 0},
        {"insert at the start", u"abc", u"xabc", 0},
        {"insert in the middle", u"abc", u"abxc", 0},
        {"insert at the end", u"abc", u"abcx", 0},
        {"insert into an empty list", u"", u"x", 0},
        {"insert beside an equal entry", u"abc", u"abbc", 0},
        {"delete the first", u"abc", u"bc", 1},
        {"delete the last one", u"a", u"", 1},
        {"edit", u"abc", u"axc", 1},
        {"reset to another list", u"abc", u"xyzw", 3},
        {"two swaps", u"abcde", u"badce", 5},
        {"a change that does not follow the one before", u"abc", u"acb", 0, false},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CTaskList prior = ListOf(c.before + u"z"), before = ListOf(c.before), after = ListOf(c.after);
        CChangeHistory history;
        // A change before it, deleting "z": one entry kept.
        history.Record(prior, c.bFollows ? before : ListOf(u"y"));
        history.Record(before, after);
        EXPECT_EQ(history.Bytes() / kEntryBytes, (c.bFollows ? 1 : 0) + c.nKeptEntries);
        // Undo never goes back over a change the history did not see.
        ExpectUndoRedoWalk(history, c.bFollows ? std::vector<CTaskList>{prior, before, after}
                                               : std::vector<CTaskList>{before, after});
    }
}

TEST(ChangeHistoryTest, UndoneStepsAreDroppedByANewChange) {
    const CTaskList a = ListOf(u"a"), ab = ListOf(u"ab"), ax = ListOf(u"ax"), b = ListOf(u"b");
    CChangeHistory history;
    history.Record(a, ab);
    history.Record(ab, ax);
    history.Step(true);
    ASSERT_TRUE(history.CanRedo());
    history.Record(ab, b);
    EXPECT_FALSE(history.CanRedo());
    // The insert keeps nothing ("b" is in the list), the delete keeps "a", the edit is gone.
    EXPECT_EQ(history.Bytes() / kEntryBytes, 1u);
    ExpectUndoRedoWalk(history, {a, ab, b});
}

TEST(ChangeHistoryTest, PastSixtyFourMiBTheOldestStepsAreDropped) {
    // 40 edits of one entry of 2,000,000 bytes: each step keeps one; 33 fit in 64 MiB.
    const auto state = [](int n) {
        CTaskList list;
        list.Add(Entry(static_cast<char16_t>(u'a' + n % 26), 1000000));
        return list;
    };
    CChangeHistory history;
    for (int n = 0; n < 40; ++n) history.Record(state(n), state(n + 1));
    EXPECT_LE(history.Bytes(), CChangeHistory::kMaxBytes);
    std::vector<CTaskList> kept;
    for (int n = 40 - 33; n <= 40; ++n) kept.push_back(state(n));
    ExpectUndoRedoWalk(history, kept);
}

}  // namespace
