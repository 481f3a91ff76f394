#pragma once
// The changes of one run, for undo and redo. A step keeps only what changed: a
// move keeps two indexes; an insert, a delete or an edit one entry; any other
// change (a reset, an import, several differences) one whole list. The history
// keeps one copy of the current list to apply its steps to, so its memory grows
// with the changes, not with the list size times the changes; past kMaxBytes
// the oldest steps are dropped.
#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "core/JumpListAction.h"

class CChangeHistory {
public:
    // Beyond this the oldest steps are dropped; the newest step is always kept.
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    // A change from before to after was stored; what could be redone is gone.
    // When before is not where the last step left the list, another writer
    // changed it in between: the older steps are dropped, as they would undo
    // over that change.
    void Record(const CTaskList& before, const CTaskList& after);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The list the newest undo (bUndo) or redo step leads to. Call only when
    // there is such a step.
    CTaskList Target(bool bUndo) const;
    // That step was made: it moves to the other side.
    void Step(bool bUndo);

    // About how many bytes the steps hold: their texts and their own size.
    std::size_t Bytes() const { return m_cbSteps; }

private:
    enum class EKind { move, insert, remove, edit, whole };
    struct CStep {
        EKind m_eKind = EKind::whole;
        // move: the entry at m_nFrom before the change is at m_nTo after it;
        // otherwise m_nFrom is where the entry was inserted, removed or edited.
        int m_nFrom = 0, m_nTo = 0;
        // What the current list lacks of the step's other side, so nothing is
        // kept twice: the inserted or removed entry while it is not in the list,
        // the edited entry's other value, the other whole list.
        CJumpListAction m_entry;
        CTaskList m_list;
    };

    // What changed; nothing when the lists are equal.
    static std::optional<CStep> Describe(const CTaskList& before, const CTaskList& after);
    // Turns list into the step's other side (forward: from before to after)
    // and leaves in the step what list now lacks.
    static void Exchange(CTaskList& list, CStep& step, bool bForward);
    static std::size_t StepBytes(const CStep& step);
    void Clear();
    void DropOldest();

    std::deque<CStep> m_undo;  // oldest first
    std::vector<CStep> m_redo;  // newest undone last
    CTaskList m_current;  // after the newest undo step, before the newest redo step
    std::size_t m_cbSteps = 0;
};
