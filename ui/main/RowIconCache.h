#pragma once
// What a refresh needs to know of each task's target, at one attribute lookup
// a row, and the rows' images kept for the run so that an icon is looked up
// once per (path, icon index) instead of at every refresh.
#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "ui/main/RowImages.h"

struct CTargetState {
    bool m_bLocal = false;         // a full path on a local drive: the only kind looked at
    bool m_bExists = false;
    std::uint64_t m_nLastWrite = 0;  // its last-write time; 0 when not looked at or gone

    bool IsMissing() const { return m_bLocal && !m_bExists; }
};

// Bare names, web addresses and network paths (mapped drives included) are
// never looked at, so a refresh never waits on the network.
class CTargetProbe {
public:
    CTargetProbe() { m_driveTypes.fill(kUnknown); }
    CTargetState Probe(const std::u16string& strPath);

private:
    static constexpr UINT kUnknown = 0xFFFFFFFF;
    std::array<UINT, 26> m_driveTypes;  // per drive letter, asked once per probe's life
};

class CRowIconCache {
public:
    // The image kept for (strPath, nIconIndex), or null when there is none or
    // the file was written since (nLastWrite differs).
    const CRowImages::Image* Find(const std::u16string& strPath, int nIconIndex, std::uint64_t nLastWrite) const;
    void Store(const std::u16string& strPath, int nIconIndex, std::uint64_t nLastWrite, CRowImages::Image image);
    // The images' size changed: none of them serves any more.
    void Clear() { m_entries.clear(); }
    size_t Size() const { return m_entries.size(); }

private:
    struct CEntry {
        std::uint64_t m_nLastWrite = 0;
        CRowImages::Image m_image;
    };
    std::map<std::pair<std::u16string, int>, CEntry> m_entries;
};

