#include "core/ChangeHistory.h"

#include <functional>
#include <set>
#include <unordered_map>

namespace {

// Entries looked up by value through pointers, so that no entry is copied to be found.
struct CActionHash {
    std::size_t operator()(const CJumpListAction* p) const {
        const CJumpListAction& a = *p;
        const std::hash<std::u16string> text;
        std::size_t h = text(a.m_strTitle);
        for (const std::u16string* pText : {&a.m_strDescription, &a.m_strPath, &a.m_strArguments, &a.m_strIconPath})
            h = h * 31 + text(*pText);
        return h * 31 + static_cast<std::size_t>(a.m_nIconIndex) * 7 + static_cast<std::size_t>(a.m_bSeparator);
    }
};
struct CActionEqual {
    bool operator()(const CJumpListAction* a, const CJumpListAction* b) const { return *a == *b; }
};

bool Holds(const std::vector<std::shared_ptr<const CJumpListAction>>& entries, const CTaskList& list) {
    if (entries.size() != static_cast<std::size_t>(list.GetSize())) return false;
    for (int i = 0; i < list.GetSize(); ++i)
        if (!(*entries[static_cast<std::size_t>(i)] == list.GetAt(i))) return false;
    return true;
}

}  // namespace

std::shared_ptr<const CChangeHistory::CEntries> CChangeHistory::Share(const CTaskList& list, const CEntries* pLike) {
    std::unordered_map<const CJumpListAction*, std::shared_ptr<const CJumpListAction>, CActionHash, CActionEqual> known;
    if (pLike)
        for (const auto& entry : *pLike) known.emplace(entry.get(), entry);
    auto entries = std::make_shared<CEntries>();
    entries->reserve(static_cast<std::size_t>(list.GetSize()));
    for (int i = 0; i < list.GetSize(); ++i) {
        const CJumpListAction& action = list.GetAt(i);
        auto it = known.find(&action);
        if (it == known.end()) {
            auto entry = std::make_shared<const CJumpListAction>(action);
            it = known.emplace(entry.get(), std::move(entry)).first;
        }
        entries->push_back(it->second);
    }
    return entries;
}

void CChangeHistory::Record(const CTaskList& before, const CTaskList& after) {
    m_redo.clear();
    const CEntries* pLast = m_undo.empty() ? nullptr : m_undo.back().m_after.get();
    // Changes follow one another: this one usually starts where the last ended.
    std::shared_ptr<const CEntries> pBefore =
        pLast && Holds(*pLast, before) ? m_undo.back().m_after : Share(before, pLast);
    std::shared_ptr<const CEntries> pAfter = Share(after, pBefore.get());
    m_undo.push_back({std::move(pBefore), std::move(pAfter)});
}

CTaskList CChangeHistory::Target(bool bUndo) const {
    const CEntries& entries = bUndo ? *m_undo.back().m_before : *m_redo.back().m_after;
    CTaskList list;
    for (const auto& entry : entries) list.Add(*entry);
    return list;
}

void CChangeHistory::Step(bool bUndo) {
    std::vector<CStep>& from = bUndo ? m_undo : m_redo;
    (bUndo ? m_redo : m_undo).push_back(std::move(from.back()));
    from.pop_back();
}

std::size_t CChangeHistory::DistinctEntries() const {
    std::set<const CJumpListAction*> seen;
    for (const std::vector<CStep>* side : {&m_undo, &m_redo})
        for (const CStep& step : *side)
            for (const auto* state : {step.m_before.get(), step.m_after.get()})
                for (const auto& entry : *state) seen.insert(entry.get());
    return seen.size();
}
