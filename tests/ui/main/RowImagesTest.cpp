// The rows' small images: every kind of icon the provider can hand out comes
// out as a 16 by 16 image with straight alpha, and the strip keeps row n at image n.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/main/RowImages.h"

namespace {

using Pixels = std::vector<std::uint32_t>;
constexpr int kSize = CRowImages::kDefaultSize;

BITMAPINFO TopDown32(int w, int h) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    return bmi;
}

HBITMAP Bitmap32(int w, int h, const std::function<std::uint32_t(int, int)>& pixel) {
    BITMAPINFO bmi = TopDown32(w, h);
    void* pBits = nullptr;
    HBITMAP hbm = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    auto* px = static_cast<std::uint32_t*>(pBits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[y * w + x] = pixel(x, y);
    return hbm;
}

// A 1-bit bitmap; rows are padded to 16 bits.
HBITMAP Bitmap1(int w, int h, const std::function<bool(int, int)>& bit) {
    const int stride = (w + 15) / 16 * 2;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (bit(x, y)) bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    return ::CreateBitmap(w, h, 1, 1, bits.data());
}

struct IconCase {
    const char* name;
    int size;
    std::function<std::uint32_t(int, int)> color;  // null: a monochrome icon
    std::function<bool(int, int)> mask;            // set: transparent (for a monochrome icon: the AND mask)
    std::function<bool(int, int)> xorBit;          // monochrome only
    std::function<std::uint32_t(int, int)> expected;
};

HICON MakeIcon(const IconCase& c) {
    ICONINFO info{TRUE, 0, 0, nullptr, nullptr};
    if (c.color) {
        info.hbmColor = Bitmap32(c.size, c.size, c.color);
        info.hbmMask = Bitmap1(c.size, c.size, c.mask);
    } else {
        info.hbmMask = Bitmap1(c.size, c.size * 2, [&](int x, int y) {
            return y < c.size ? c.mask(x, y) : c.xorBit(x, y - c.size);
        });
    }
    HICON hIcon = ::CreateIconIndirect(&info);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return hIcon;
}

bool Left(int x, int) { return x < kSize / 2; }

const IconCase kCases[] = {
    {"alpha comes out straight, not premultiplied", 16,
     [](int x, int y) { return static_cast<std::uint32_t>(x * 16) << 24 | 0x00336699u | static_cast<std::uint32_t>(y); },
     [](int, int) { return false; }, nullptr,
     [](int x, int y) {  // a fully transparent pixel has no colour
         return x == 0 ? 0u : static_cast<std::uint32_t>(x * 16) << 24 | 0x00336699u | static_cast<std::uint32_t>(y);
     }},
    {"without alpha the mask makes the transparent half", 16, [](int, int) { return 0x00112233u; }, Left, nullptr,
     [](int x, int y) { return Left(x, y) ? 0u : 0xFF112233u; }},
    {"a large icon with alpha is scaled down", 48, [](int, int) { return 0x80336699u; },
     [](int, int) { return false; }, nullptr, [](int, int) { return 0x80336699u; }},
    {"a large icon without alpha keeps its mask's outline", 32, [](int, int) { return 0x00FF0000u; },
     [](int x, int) { return x < 16; }, nullptr, [](int x, int y) { return Left(x, y) ? 0u : 0xFFFF0000u; }},
    {"a monochrome icon is black and white", 16, nullptr, Left, [](int, int y) { return y % 2 == 1; },
     [](int x, int y) { return Left(x, y) ? 0u : (y % 2 ? 0xFFFFFFFFu : 0xFF000000u); }},
};

// Colours that went through alpha may be off by its rounding, the more the
// fainter the pixel; alpha itself may not.
bool Near(std::uint32_t actual, std::uint32_t expected) {
    const int alpha = static_cast<int>(expected >> 24);
    if ((actual >> 24) != static_cast<std::uint32_t>(alpha)) return false;
    const int tolerance = alpha ? 255 / alpha + 1 : 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
        if (d < -tolerance || d > tolerance) return false;
    }
    return true;
}

TEST(RowImagesTest, EveryKindOfIconBecomesASmallImageWithStraightAlpha) {
    CRowImages rows;
    for (const IconCase& c : kCases) {
        SCOPED_TRACE(c.name);
        HICON hIcon = MakeIcon(c);
        ASSERT_NE(hIcon, nullptr);
        const Pixels image = rows.ImageOf(hIcon);
        ::DestroyIcon(hIcon);
        ASSERT_EQ(image.size(), static_cast<size_t>(kSize * kSize));
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                ASSERT_PRED2(Near, image[y * kSize + x], c.expected(x, y)) << "at " << x << "," << y;
    }
    EXPECT_TRUE(rows.ImageOf(nullptr).empty());
}

// Image nImage of the list as straight pixels.
Pixels ImageOf(HIMAGELIST hList, int nImage) {
    IMAGEINFO info{};
    if (!ImageList_GetImageInfo(hList, nImage, &info)) return {};
    const int w = info.rcImage.right - info.rcImage.left, h = info.rcImage.bottom - info.rcImage.top;
    BITMAP bm{};
    ::GetObjectW(info.hbmImage, sizeof bm, &bm);
    Pixels all(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO bmi = TopDown32(bm.bmWidth, bm.bmHeight);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::GetDIBits(dc, info.hbmImage, 0, bm.bmHeight, all.data(), &bmi, DIB_RGB_COLORS);
    ::DeleteDC(dc);
    Pixels image;
    for (int y = info.rcImage.top; y < info.rcImage.top + h; ++y)
        for (int x = info.rcImage.left; x < info.rcImage.left + w; ++x) image.push_back(all[y * bm.bmWidth + x]);
    return image;
}

TEST(RowImagesTest, RowNKeepsImageNWhateverItsIcon) {
    HICON hRed = MakeIcon(kCases[1]);
    HICON hMono = MakeIcon(kCases[4]);
    CRowImages rows;
    rows.Begin(4);
    rows.SetIcon(0, hRed);
    rows.SetIcon(1, nullptr);  // no icon at all: the row keeps a transparent slot
    rows.SetSharedIcon(2, hMono);
    rows.SetSharedIcon(3, hMono);
    rows.SetIcon(7, hRed);  // out of range: ignored
    const UniqueImageList list = rows.CreateImageList();
    ASSERT_TRUE(list);
    ASSERT_EQ(ImageList_GetImageCount(list.get()), 4);
    const Pixels red = rows.ImageOf(hRed), mono = rows.ImageOf(hMono);
    EXPECT_EQ(ImageOf(list.get(), 0), red);
    EXPECT_EQ(ImageOf(list.get(), 1), Pixels(kSize * kSize, 0));
    EXPECT_EQ(ImageOf(list.get(), 2), mono);
    EXPECT_EQ(ImageOf(list.get(), 3), mono);
    ::DestroyIcon(hRed);
    ::DestroyIcon(hMono);

    rows.Begin(0);
    const UniqueImageList empty = rows.CreateImageList();
    ASSERT_TRUE(empty);
    EXPECT_EQ(ImageList_GetImageCount(empty.get()), 0);
}


// An icon with a soft edge: its half-transparent pixels are stored in the list
// with their straight colour, and a row without an icon draws nothing at all
// (not a black square) over whatever lies beneath.
TEST(RowImagesTest, SoftEdgesKeepTheirColourAndAnEmptyRowIsTransparent) {
    const auto soft = [](int x, int) { return x < 4 ? 0x80C04020u : 0xFF204080u; };
    HICON hSoft = MakeIcon({"soft edge", 16, soft, [](int, int) { return false; }, nullptr, nullptr});
    ASSERT_NE(hSoft, nullptr);
    CRowImages rows;
    rows.Begin(2);
    rows.SetIcon(0, hSoft);
    rows.SetIcon(1, nullptr);
    ::DestroyIcon(hSoft);
    const UniqueImageList list = rows.CreateImageList();
    ASSERT_TRUE(list);
    const Pixels stored = ImageOf(list.get(), 0);
    ASSERT_EQ(stored.size(), static_cast<size_t>(kSize * kSize));
    for (int x = 0; x < kSize; ++x) {
        const std::uint32_t actual = stored[5 * kSize + x], expected = soft(x, 5);
        EXPECT_EQ(actual >> 24, expected >> 24) << "at " << x;
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 1)
                << "at " << x;
    }

    std::uint32_t* pBits = nullptr;
    BITMAPINFO bmi = TopDown32(kSize, kSize);
    HBITMAP hbm = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&pBits), nullptr, 0);
    ASSERT_NE(hbm, nullptr);
    std::fill(pBits, pBits + kSize * kSize, 0x00FFFFFFu);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, hbm);
    EXPECT_TRUE(ImageList_Draw(list.get(), 1, dc, 0, 0, ILD_NORMAL));
    ::GdiFlush();
    EXPECT_EQ(Pixels(pBits, pBits + kSize * kSize), Pixels(kSize * kSize, 0x00FFFFFFu));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(hbm);
}

// At another DPI the images take the small-icon size of that DPI; in high
// contrast the shared separator image takes the text colour and keeps its alpha.
TEST(RowImagesTest, SizeAndTintApplyToEveryImage) {
    HICON hRed = MakeIcon(kCases[1]);  // left half transparent, right half 0x112233
    struct Case {
        int size;
        COLORREF tint;
        std::uint32_t opaque;  // the right half's pixel
    };
    const Case cases[] = {
        {24, CLR_NONE, 0xFF112233u}, {24, RGB(0xFF, 0xFF, 0x00), 0xFFFFFF00u}, {32, RGB(0x10, 0x20, 0x30), 0xFF102030u},
        {16, CLR_NONE, 0xFF112233u},
    };
    CRowImages rows;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " px, tint " << std::hex << c.tint);
        rows.SetSize(c.size);
        EXPECT_EQ(rows.GetSize(), c.size);
        rows.Begin(2);
        rows.SetIcon(0, hRed);
        rows.SetSharedIcon(1, hRed, c.tint);
        const UniqueImageList list = rows.CreateImageList();
        ASSERT_TRUE(list);
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(list.get(), &cx, &cy));
        EXPECT_EQ(cx, c.size);
        EXPECT_EQ(cy, c.size);
        const Pixels plain = ImageOf(list.get(), 0), shared = ImageOf(list.get(), 1);
        ASSERT_EQ(plain.size(), static_cast<size_t>(c.size * c.size));
        ASSERT_EQ(shared.size(), plain.size());
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const bool bLeft = x < c.size / 2;
                ASSERT_EQ(plain[y * c.size + x], bLeft ? 0u : 0xFF112233u) << x << "," << y;
                ASSERT_EQ(shared[y * c.size + x], bLeft ? 0u : c.opaque) << x << "," << y;
            }
    }
    ::DestroyIcon(hRed);
}

}  // namespace
