// Any bytes read as a dialog layout resource: never a crash or a read out of
// bounds; what is accepted has one entry per 8 bytes, each percentage at most 100.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/LayoutResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbData) {
    if (cbData < 1) return 0;
    // The first byte picks how many controls the dialog has.
    const std::size_t nControls = pData[0] % 16;
    std::vector<CLayoutEntry> entries;
    if (!ParseDialogLayout(pData + 1, cbData - 1, nControls, entries)) {
        if (!entries.empty()) std::abort();
        return 0;
    }
    if (entries.size() > nControls || 2 + 8 * entries.size() != cbData - 1) std::abort();
    for (const CLayoutEntry& e : entries)
        if (e.m_nMoveX > 100 || e.m_nMoveY > 100 || e.m_nSizeX > 100 || e.m_nSizeY > 100) std::abort();
    return 0;
}
