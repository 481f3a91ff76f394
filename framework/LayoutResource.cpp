#include "framework/LayoutResource.h"

namespace {

constexpr std::size_t kHeaderBytes = 2;
constexpr std::size_t kEntryBytes = 8;
constexpr std::uint16_t kMaxPercent = 100;

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool ParseDialogLayout(const std::uint8_t* pData, std::size_t cbData, std::size_t nControls,
                       std::vector<CLayoutEntry>& entries) {
    if (!pData || cbData < kHeaderBytes || (cbData - kHeaderBytes) % kEntryBytes != 0) return false;
    if (Word(pData) != 0) return false;
    const std::size_t nEntries = (cbData - kHeaderBytes) / kEntryBytes;
    if (nEntries > nControls) return false;

    std::vector<CLayoutEntry> parsed;
    parsed.reserve(nEntries);
    for (const std::uint8_t* p = pData + kHeaderBytes; p != pData + cbData; p += kEntryBytes) {
        CLayoutEntry entry{Word(p), Word(p + 2), Word(p + 4), Word(p + 6)};
        if (entry.m_nMoveX > kMaxPercent || entry.m_nMoveY > kMaxPercent || entry.m_nSizeX > kMaxPercent ||
            entry.m_nSizeY > kMaxPercent)
            return false;
        parsed.push_back(entry);
    }
    entries.swap(parsed);
    return true;
}
