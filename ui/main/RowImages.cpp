#include "ui/main/RowImages.h"

#include <algorithm>
#include <cstring>

namespace {

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

UniqueGdiObject CreateSurface(int nWidth, int nHeight, std::uint32_t*& pPixels) {
    const BITMAPINFO bmi = TopDown32(nWidth, nHeight);
    void* pBits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
    pPixels = bitmap ? static_cast<std::uint32_t*>(pBits) : nullptr;
    return bitmap;
}

// DI_NORMAL blends an icon with alpha onto the transparent surface, which leaves
// its colours multiplied by their alpha; the image list wants them straight.
std::uint32_t Unpremultiply(std::uint32_t px) {
    const std::uint32_t a = px >> 24;
    if (a == 0) return 0;
    const auto channel = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return a << 24 | channel((px >> 16) & 0xFF) << 16 | channel((px >> 8) & 0xFF) << 8 | channel(px & 0xFF);
}

}  // namespace

CRowImages::CRowImages()
    : m_image(CreateSurface(kDefaultSize, kDefaultSize, m_pImage)),
      m_mask(CreateSurface(kDefaultSize, kDefaultSize, m_pMask)),
      m_dc(::CreateCompatibleDC(nullptr)) {}

void CRowImages::SetSize(int nSize) {
    if (nSize <= 0 || nSize == m_nSize) return;
    // A bitmap selected into a DC cannot be deleted: the DC goes first.
    m_dc.reset();
    m_nSize = nSize;
    m_image = CreateSurface(nSize, nSize, m_pImage);
    m_mask = CreateSurface(nSize, nSize, m_pMask);
    m_dc.reset(::CreateCompatibleDC(nullptr));
    m_hShared = nullptr;
    m_shared.clear();
    Begin(0);
}

CRowImages::Image CRowImages::ImageOf(HICON hIcon) {
    const int kSize = m_nSize;
    const size_t kPixels = static_cast<size_t>(kSize) * kSize;
    if (!hIcon || !m_pImage || !m_pMask || !m_dc) return {};
    std::fill(m_pImage, m_pImage + kPixels, 0u);
    ::SelectObject(m_dc.get(), m_image.get());
    // Only DI_NORMAL blends on Windows: DI_IMAGE copies the colour bitmap, and
    // scaling it unblended turns soft edges into halos. (Wine blends both.)
    if (!::DrawIconEx(m_dc.get(), 0, 0, hIcon, kSize, kSize, 0, nullptr, DI_NORMAL)) return {};
    ::GdiFlush();
    Image image(m_pImage, m_pImage + kPixels);

    if (std::any_of(image.begin(), image.end(), [](std::uint32_t px) { return (px >> 24) != 0; })) {
        std::transform(image.begin(), image.end(), image.begin(), Unpremultiply);
        return image;
    }
    // Without alpha, the mask tells the transparent pixels: white there, black elsewhere.
    std::fill(m_pMask, m_pMask + kPixels, 0u);
    ::SelectObject(m_dc.get(), m_mask.get());
    if (!::DrawIconEx(m_dc.get(), 0, 0, hIcon, kSize, kSize, 0, nullptr, DI_MASK)) return {};
    ::GdiFlush();
    for (size_t i = 0; i < kPixels; ++i) image[i] = (m_pMask[i] & 0x00FFFFFFu) ? 0 : (image[i] | 0xFF000000u);
    return image;
}

void CRowImages::Begin(int nRows) {
    m_previous.swap(m_strip);
    m_nPreviousRows = m_nRows;
    m_nPreviousSize = m_nStripSize;
    m_nStripSize = m_nSize;
    m_nRows = std::max(nRows, 0);
    m_strip.assign(static_cast<size_t>(m_nRows) * m_nSize * m_nSize, 0);
}

bool CRowImages::Changed(int nRow) const {
    if (nRow < 0 || nRow >= m_nRows) return false;
    if (nRow >= m_nPreviousRows || m_nPreviousSize != m_nStripSize || m_previous.empty()) return true;
    const size_t kSize = static_cast<size_t>(m_nStripSize);
    const size_t stride = static_cast<size_t>(m_nRows) * kSize;
    const size_t previousStride = static_cast<size_t>(m_nPreviousRows) * kSize;
    for (size_t y = 0; y < kSize; ++y)
        if (std::memcmp(&m_strip[y * stride + static_cast<size_t>(nRow) * kSize],
                        &m_previous[y * previousStride + static_cast<size_t>(nRow) * kSize],
                        kSize * sizeof(std::uint32_t)) != 0)
            return true;
    return false;
}

bool CRowImages::AnyChanged() const {
    return m_nRows != m_nPreviousRows || m_nStripSize != m_nPreviousSize || m_strip != m_previous;
}

void CRowImages::SetIcon(int nRow, HICON hIcon) { Put(nRow, ImageOf(hIcon)); }

void CRowImages::SetSharedIcon(int nRow, HICON hIcon, COLORREF crTint) {
    if (hIcon != m_hShared || crTint != m_crSharedTint) {
        m_shared = ImageOf(hIcon);
        m_hShared = hIcon;
        m_crSharedTint = crTint;
        if (crTint != CLR_NONE) {
            const std::uint32_t rgb = GetRValue(crTint) << 16 | GetGValue(crTint) << 8 | GetBValue(crTint);
            for (std::uint32_t& px : m_shared)
                if (px >> 24) px = (px & 0xFF000000u) | rgb;
        }
    }
    Put(nRow, m_shared);
}

void CRowImages::Put(int nRow, const Image& image) {
    const int kSize = m_nSize;
    if (nRow < 0 || nRow >= m_nRows || image.size() != static_cast<size_t>(kSize) * kSize) return;
    const size_t stride = static_cast<size_t>(m_nRows) * kSize;
    for (size_t y = 0; y < static_cast<size_t>(kSize); ++y)
        std::memcpy(&m_strip[y * stride + static_cast<size_t>(nRow) * kSize], &image[y * kSize],
                    kSize * sizeof(std::uint32_t));
}

UniqueImageList CRowImages::CreateImageList() const {
    const int kSize = m_nSize;
    // With a mask, a slot with no icon (all zeros, no alpha) is drawn
    // transparent; without one, common controls 6 draws it as a black square.
    UniqueImageList imageList(::ImageList_Create(kSize, kSize, ILC_COLOR32 | ILC_MASK, std::max(m_nRows, 1), 1));
    if (!imageList || m_nRows == 0) return imageList;
    const int nWidth = m_nRows * kSize;
    std::uint32_t* pBits = nullptr;
    const UniqueGdiObject strip = CreateSurface(nWidth, kSize, pBits);
    if (!strip) return imageList;
    std::memcpy(pBits, m_strip.data(), m_strip.size() * sizeof(std::uint32_t));
    // The mask is set (transparent) where alpha is 0; its rows are padded to 16 bits.
    const size_t stride = static_cast<size_t>(nWidth + 15) / 16 * 2;
    std::vector<BYTE> maskBits(stride * static_cast<size_t>(kSize), 0);
    for (size_t y = 0; y < static_cast<size_t>(kSize); ++y)
        for (size_t x = 0; x < static_cast<size_t>(nWidth); ++x)
            if ((m_strip[y * static_cast<size_t>(nWidth) + x] >> 24) == 0) maskBits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    const UniqueGdiObject mask(::CreateBitmap(nWidth, kSize, 1, 1, maskBits.data()));
    if (!mask) return imageList;
    ::ImageList_Add(imageList.get(), static_cast<HBITMAP>(strip.get()), static_cast<HBITMAP>(mask.get()));
    return imageList;
}
