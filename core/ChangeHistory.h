#pragma once
// The changes of one run, for undo and redo: each step is the stored list
// before and after a change. Steps hold their lists as shared entries, so an
// entry that many states contain is kept once and a step of a reorder costs a
// pointer an entry: unlimited undo without memory that grows with the list.
#include <cstddef>
#include <memory>
#include <vector>

#include "core/JumpListAction.h"

class CChangeHistory {
public:
    // A change from before to after was stored; what could be redone is gone.
    void Record(const CTaskList& before, const CTaskList& after);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The list the newest undo (bUndo) or redo step goes back to. Call only
    // when there is such a step.
    CTaskList Target(bool bUndo) const;
    // That step was made: it moves to the other side.
    void Step(bool bUndo);

    // How many different entries the steps hold between them.
    std::size_t DistinctEntries() const;

private:
    using CEntries = std::vector<std::shared_ptr<const CJumpListAction>>;
    struct CStep {
        std::shared_ptr<const CEntries> m_before, m_after;
    };
    // list as entries, sharing those equal to an entry of pLike.
    static std::shared_ptr<const CEntries> Share(const CTaskList& list, const CEntries* pLike);

    std::vector<CStep> m_undo, m_redo;
};
