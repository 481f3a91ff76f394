#include "core/ChangeHistory.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

std::size_t EntryBytes(const CJumpListAction& a) {
    return sizeof(CJumpListAction) + sizeof(char16_t) * (a.m_strTitle.size() + a.m_strDescription.size() +
                                                         a.m_strPath.size() + a.m_strArguments.size() +
                                                         a.m_strIconPath.size());
}

// Whether a[nA + i] == b[nB + i] for i in 0..nCount-1.
bool SameRun(const CTaskList& a, int nA, const CTaskList& b, int nB, int nCount) {
    for (int i = 0; i < nCount; ++i)
        if (!(a.GetAt(nA + i) == b.GetAt(nB + i))) return false;
    return true;
}

}  // namespace

std::optional<CChangeHistory::CStep> CChangeHistory::Describe(const CTaskList& before, const CTaskList& after) {
    const int nBefore = before.GetSize(), nAfter = after.GetSize();
    const int nShorter = std::min(nBefore, nAfter);
    // The differences lie between a common start and a common end.
    int nStart = 0;
    while (nStart < nShorter && before.GetAt(nStart) == after.GetAt(nStart)) ++nStart;
    int nEnd = 0;
    while (nEnd < nShorter - nStart && before.GetAt(nBefore - 1 - nEnd) == after.GetAt(nAfter - 1 - nEnd)) ++nEnd;
    if (nBefore == nAfter && nStart == nBefore) return std::nullopt;
    const int nLast = nBefore - 1 - nEnd;  // the last differing index, when the sizes are equal

    CStep step;
    step.m_nFrom = nStart;
    if (nAfter == nBefore + 1 && nStart + nEnd == nBefore) {
        step.m_eKind = EKind::insert;
        step.m_entry = after.GetAt(nStart);
    } else if (nBefore == nAfter + 1 && nStart + nEnd == nAfter) {
        step.m_eKind = EKind::remove;
    } else if (nBefore == nAfter && nLast == nStart) {
        step.m_eKind = EKind::edit;
        step.m_entry = after.GetAt(nStart);
    } else if (nBefore == nAfter && before.GetAt(nStart) == after.GetAt(nLast) &&
               SameRun(before, nStart + 1, after, nStart, nLast - nStart)) {
        step.m_eKind = EKind::move;  // down
        step.m_nTo = nLast;
    } else if (nBefore == nAfter && before.GetAt(nLast) == after.GetAt(nStart) &&
               SameRun(before, nStart, after, nStart + 1, nLast - nStart)) {
        step.m_eKind = EKind::move;  // up
        step.m_nFrom = nLast;
        step.m_nTo = nStart;
    } else {
        step.m_eKind = EKind::whole;
        step.m_list = after;
    }
    return step;
}

void CChangeHistory::Exchange(CTaskList& list, CStep& step, bool bForward) {
    switch (step.m_eKind) {
    case EKind::move: {
        const int nFrom = bForward ? step.m_nFrom : step.m_nTo;
        const CJumpListAction moved = std::move(list.ElementAt(nFrom));
        list.RemoveAt(nFrom);
        list.InsertAt(bForward ? step.m_nTo : step.m_nFrom, moved);
        break;
    }
    case EKind::insert:
    case EKind::remove:
        if ((step.m_eKind == EKind::insert) == bForward) {
            list.InsertAt(step.m_nFrom, step.m_entry);
            step.m_entry = CJumpListAction();
        } else {
            step.m_entry = std::move(list.ElementAt(step.m_nFrom));
            list.RemoveAt(step.m_nFrom);
        }
        break;
    case EKind::edit:
        std::swap(list.ElementAt(step.m_nFrom), step.m_entry);
        break;
    case EKind::whole:
        std::swap(list, step.m_list);
        break;
    }
}

std::size_t CChangeHistory::StepBytes(const CStep& step) {
    std::size_t cb = sizeof(CStep) - sizeof(CJumpListAction) + EntryBytes(step.m_entry);
    for (int i = 0; i < step.m_list.GetSize(); ++i) cb += EntryBytes(step.m_list.GetAt(i));
    return cb;
}

void CChangeHistory::Clear() {
    m_undo.clear();
    m_redo.clear();
    m_cbSteps = 0;
}

void CChangeHistory::DropOldest() {
    while (m_cbSteps > kMaxBytes && m_undo.size() + m_redo.size() > 1 && !m_undo.empty()) {
        m_cbSteps -= StepBytes(m_undo.front());
        m_undo.pop_front();
    }
}

void CChangeHistory::Record(const CTaskList& before, const CTaskList& after) {
    if (!(before == m_current)) {
        Clear();
        m_current = before;
    }
    for (const CStep& step : m_redo) m_cbSteps -= StepBytes(step);
    m_redo.clear();
    std::optional<CStep> step = Describe(before, after);
    if (!step) return;
    Exchange(m_current, *step, true);
    m_cbSteps += StepBytes(*step);
    m_undo.push_back(std::move(*step));
    DropOldest();
}

CTaskList CChangeHistory::Target(bool bUndo) const {
    const CStep& kept = bUndo ? m_undo.back() : m_redo.back();
    if (kept.m_eKind == EKind::whole) return kept.m_list;
    CStep step = kept;  // at most one entry
    CTaskList list = m_current;
    Exchange(list, step, !bUndo);
    return list;
}

void CChangeHistory::Step(bool bUndo) {
    CStep step = std::move(bUndo ? m_undo.back() : m_redo.back());
    if (bUndo)
        m_undo.pop_back();
    else
        m_redo.pop_back();
    m_cbSteps -= StepBytes(step);
    Exchange(m_current, step, !bUndo);
    m_cbSteps += StepBytes(step);
    if (bUndo)
        m_redo.push_back(std::move(step));
    else
        m_undo.push_back(std::move(step));
    DropOldest();
}
