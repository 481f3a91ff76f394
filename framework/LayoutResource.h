#pragma once
// The dialog layout resource (type "AFX_DIALOG_LAYOUT", named like its dialog):
// a 16-bit version word 0, then for each control in template order four 16-bit
// percentages: move X, move Y, size X, size Y. Little-endian.
// Portable on purpose: no Windows header, so it can be tested and fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <vector>

struct CLayoutEntry {
    std::uint16_t m_nMoveX = 0;
    std::uint16_t m_nMoveY = 0;
    std::uint16_t m_nSizeX = 0;
    std::uint16_t m_nSizeY = 0;

    bool Moves() const { return m_nMoveX || m_nMoveY || m_nSizeX || m_nSizeY; }
    bool operator==(const CLayoutEntry&) const = default;
};

// Reads the resource's entries into entries (one per control, in template order).
// Fails, leaving entries untouched, unless the size is exactly 2 + 8n bytes, the
// version is 0, n is at most nControls and every percentage is at most 100.
// Never reads outside [pData, pData + cbData).
bool ParseDialogLayout(const std::uint8_t* pData, std::size_t cbData, std::size_t nControls,
                       std::vector<CLayoutEntry>& entries);
