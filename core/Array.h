#pragma once
// A growable array of values indexed from 0, with the operations the task list uses.
#include <string>
#include <utility>
#include <vector>

#include "core/Exceptions.h"

template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }

    // Throws CInvalidArgException when nIndex is outside 0..GetSize()-1.
    const TYPE& GetAt(int nIndex) const { return m_items[CheckedIndex(nIndex)]; }
    TYPE& ElementAt(int nIndex) { return m_items[CheckedIndex(nIndex)]; }
    void SetAt(int nIndex, ARG_TYPE item) { m_items[CheckedIndex(nIndex)] = item; }

    // Appends a copy and returns its index.
    int Add(ARG_TYPE item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }

    int Add(TYPE&& item) {
        m_items.push_back(std::move(item));
        return GetSize() - 1;
    }

    // Inserts a copy before nIndex; nIndex == GetSize() appends.
    void InsertAt(int nIndex, ARG_TYPE item) {
        if (nIndex < 0 || nIndex > GetSize()) ThrowInvalidIndex(nIndex);
        m_items.insert(m_items.begin() + nIndex, item);
    }

    void RemoveAt(int nIndex) { m_items.erase(m_items.begin() + CheckedIndex(nIndex)); }
    void RemoveAll() { m_items.clear(); }

    bool operator==(const CArray& other) const { return m_items == other.m_items; }

private:
    size_t CheckedIndex(int nIndex) const {
        if (nIndex < 0 || nIndex >= GetSize()) ThrowInvalidIndex(nIndex);
        return static_cast<size_t>(nIndex);
    }
    [[noreturn]] void ThrowInvalidIndex(int nIndex) const {
        throw CInvalidArgException("Index " + std::to_string(nIndex) + " is outside a list of " +
                                   std::to_string(GetSize()) + " entries.");
    }

    std::vector<TYPE> m_items;
};
