#include "core/ChangeHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CTaskList ListOf(const std::vector<const char16_t*>& titles) {
    CTaskList list;
    for (const char16_t* title : titles) {
        CJumpListAction a;
        a.m_strTitle = title;
        a.m_strPath = std::u16string(u"C:\\Tools\\") + title + u".exe";
        list.Add(a);
    }
    return list;
}

// What a user does: r = a change to the next list, u = undo, d = redo.
struct HistoryCase {
    const char* name;
    std::string actions;
    bool bCanUndo, bCanRedo;
    std::vector<const char16_t*> undoTarget;  // checked when bCanUndo
    std::vector<const char16_t*> redoTarget;  // checked when bCanRedo
};

TEST(ChangeHistoryTest, UndoAndRedoGoBackAndForthAlongTheRecordedLists) {
    // The states the changes r go through, in order.
    const std::vector<CTaskList> states = {ListOf({u"a"}), ListOf({u"a", u"b"}), ListOf({u"b", u"a"}),
                                           ListOf({u"b"}), ListOf({u"b", u"c"})};
    const HistoryCase cases[] = {
        {"nothing yet", "", false, false, {}, {}},
        {"one change", "r", true, false, {u"a"}, {}},
        {"two changes", "rr", true, false, {u"a", u"b"}, {}},
        {"undone", "rru", true, true, {u"a"}, {u"b", u"a"}},
        {"all undone", "rruu", false, true, {}, {u"a", u"b"}},
        {"undone and redone", "rruud", true, true, {u"a"}, {u"b", u"a"}},
        {"a change after undo drops the redo", "rrur", true, false, {u"a", u"b"}, {}},
    };
    for (const HistoryCase& c : cases) {
        SCOPED_TRACE(c.name);
        CChangeHistory history;
        size_t nState = 0;  // the list Data.dat holds now
        for (char action : c.actions) {
            if (action == 'r') {
                history.Record(states[nState], states[nState + 1]);
                ++nState;
            } else {
                const bool bUndo = action == 'u';
                ASSERT_EQ(history.Target(bUndo), states[bUndo ? nState - 1 : nState + 1]);
                history.Step(bUndo);
                nState = bUndo ? nState - 1 : nState + 1;
            }
        }
        EXPECT_EQ(history.CanUndo(), c.bCanUndo);
        EXPECT_EQ(history.CanRedo(), c.bCanRedo);
        if (c.bCanUndo) {
            EXPECT_EQ(history.Target(true), ListOf(c.undoTarget));
        }
        if (c.bCanRedo) {
            EXPECT_EQ(history.Target(false), ListOf(c.redoTarget));
        }
    }
}

TEST(ChangeHistoryTest, EntriesThatManyStepsHoldAreKeptOnce) {
    CTaskList list = ListOf({u"a", u"b", u"c", u"d", u"e"});
    CChangeHistory history;
    // 1,000 moves: every state holds the same five entries.
    for (int i = 0; i < 1000; ++i) {
        CTaskList moved = list;
        const CJumpListAction first = moved.GetAt(0);
        moved.RemoveAt(0);
        moved.Add(first);
        history.Record(list, moved);
        list = moved;
    }
    EXPECT_EQ(history.DistinctEntries(), 5u);
    // An edit adds the one entry it made; the undone steps keep theirs.
    CTaskList edited = list;
    edited.ElementAt(2).m_strArguments = u"/edited";
    history.Record(list, edited);
    history.Step(true);
    EXPECT_EQ(history.DistinctEntries(), 6u);
    EXPECT_EQ(history.Target(false), edited);
}

}  // namespace
