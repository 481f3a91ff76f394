#include "ui/main/RowImages.h"

#include <algorithm>
#include <cstring>

namespace {

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

constexpr int kSize = CRowImages::kSize;

BITMAPINFO TopDown32(int nWidth, int nHeight) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = -nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

bool ReadBits(HDC hdc, HBITMAP hbm, int nWidth, int nHeight, std::vector<std::uint32_t>& bits) {
    bits.assign(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0);
    BITMAPINFO bmi = TopDown32(nWidth, nHeight);
    return ::GetDIBits(hdc, hbm, 0, static_cast<UINT>(nHeight), bits.data(), &bmi, DIB_RGB_COLORS) ==
           nHeight;
}

}  // namespace

std::vector<std::uint32_t> SmallImageOfIcon(HICON hIcon) {
    ICONINFO info{};
    if (!hIcon || !::GetIconInfo(hIcon, &info)) return {};
    const UniqueGdiObject color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!mask || !::GetObjectW(mask.get(), sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
    const int w = bm.bmWidth;
    // A monochrome icon has no colour image: its mask is twice as high, the
    // AND mask above the XOR image.
    const int h = color ? bm.bmHeight : bm.bmHeight / 2;
    if (h <= 0) return {};

    const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    std::vector<std::uint32_t> andBits, colorBits;
    if (!dc || !ReadBits(dc.get(), static_cast<HBITMAP>(mask.get()), w, bm.bmHeight, andBits)) return {};
    if (color) {
        if (!ReadBits(dc.get(), static_cast<HBITMAP>(color.get()), w, h, colorBits)) return {};
    } else {
        colorBits.assign(andBits.begin() + static_cast<ptrdiff_t>(w) * h, andBits.end());
    }
    const bool bHasAlpha = std::any_of(colorBits.begin(), colorBits.end(),
                                       [](std::uint32_t px) { return (px & 0xFF000000u) != 0; });

    // Each small pixel averages the source pixels it covers, weighted by their
    // alpha, so that a shrunk icon keeps its outline and no black seeps in.
    std::vector<std::uint32_t> image(kSize * kSize, 0);
    for (int y = 0; y < kSize; ++y) {
        const int y0 = y * h / kSize, y1 = std::max(y0 + 1, (y + 1) * h / kSize);
        for (int x = 0; x < kSize; ++x) {
            const int x0 = x * w / kSize, x1 = std::max(x0 + 1, (x + 1) * w / kSize);
            std::uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx, ++n) {
                    const size_t i = static_cast<size_t>(sy) * w + sx;
                    const std::uint32_t px = colorBits[i];
                    // A set mask bit is a transparent pixel.
                    const std::uint32_t pa = bHasAlpha ? px >> 24 : ((andBits[i] & 0x00FFFFFFu) ? 0 : 255);
                    a += pa;
                    r += pa * ((px >> 16) & 0xFF);
                    g += pa * ((px >> 8) & 0xFF);
                    b += pa * (px & 0xFF);
                }
            }
            if (a == 0) continue;
            image[static_cast<size_t>(y) * kSize + x] = static_cast<std::uint32_t>(a / n) << 24 |
                                                        static_cast<std::uint32_t>(r / a) << 16 |
                                                        static_cast<std::uint32_t>(g / a) << 8 |
                                                        static_cast<std::uint32_t>(b / a);
        }
    }
    return image;
}

void CRowImages::Begin(int nRows) {
    m_nRows = std::max(nRows, 0);
    m_strip.assign(static_cast<size_t>(m_nRows) * kSize * kSize, 0);
}

void CRowImages::SetIcon(int nRow, HICON hIcon) { Put(nRow, SmallImageOfIcon(hIcon)); }

void CRowImages::SetSharedIcon(int nRow, HICON hIcon) {
    if (hIcon != m_hShared) {
        m_shared = SmallImageOfIcon(hIcon);
        m_hShared = hIcon;
    }
    Put(nRow, m_shared);
}

void CRowImages::Put(int nRow, const Image& image) {
    if (nRow < 0 || nRow >= m_nRows || image.size() != static_cast<size_t>(kSize) * kSize) return;
    const size_t stride = static_cast<size_t>(m_nRows) * kSize;
    for (int y = 0; y < kSize; ++y)
        std::memcpy(&m_strip[y * stride + static_cast<size_t>(nRow) * kSize], &image[static_cast<size_t>(y) * kSize],
                    kSize * sizeof(std::uint32_t));
}

UniqueImageList CRowImages::CreateImageList() const {
    UniqueImageList imageList(::ImageList_Create(kSize, kSize, ILC_COLOR32, std::max(m_nRows, 1), 1));
    if (!imageList || m_nRows == 0) return imageList;
    const BITMAPINFO bmi = TopDown32(m_nRows * kSize, kSize);
    void* pBits = nullptr;
    const UniqueGdiObject strip(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
    if (!strip) return imageList;
    std::memcpy(pBits, m_strip.data(), m_strip.size() * sizeof(std::uint32_t));
    ::ImageList_Add(imageList.get(), static_cast<HBITMAP>(strip.get()), nullptr);
    return imageList;
}
