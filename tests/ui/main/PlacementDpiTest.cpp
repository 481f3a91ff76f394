// The conversions that keep the stored placement and column widths meaning one
// thing across monitors of different scaling, without a window.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "ui/main/PlacementDpi.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(PlacementDpi, AStoredDpiIsUsedOnlyWhenAMonitorCanHaveIt) {
    const struct {
        std::optional<DWORD> stored;
        UINT nUsable;
    } cases[] = {{std::nullopt, kUnknownDpi}, {0, kUnknownDpi},   {47, kUnknownDpi}, {48, 48},
                 {96, 96},                    {144, 144},         {1920, 1920},      {1921, kUnknownDpi},
                 {0xFFFFFFFF, kUnknownDpi}};
    for (const auto& c : cases)
        EXPECT_EQ(UsableStoredDpi(c.stored), c.nUsable) << (c.stored ? static_cast<long long>(*c.stored) : -1);
}

// The laptop: a window closed 1,200 px wide on a 150% monitor comes back
// 1,200 px wide there, and 800 on a 100% one; a value of old (no DPI) is taken
// as it is.
TEST(PlacementDpi, PixelsFollowTheRatioOfTheDpis) {
    const struct {
        int n;
        UINT nFrom, nTo;
        int nExpected;
    } cases[] = {
        {1200, 144, 144, 1200}, {1200, 144, 96, 800},  {800, 96, 144, 1200},       {1200, kUnknownDpi, 96, 1200},
        {1200, 144, kUnknownDpi, 1200}, {101, 120, 96, 81}, {7, 96, 120, 9},      {0, 144, 96, 0},
        {-5, 96, 192, -10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelsAtDpi(c.n, c.nFrom, c.nTo), c.nExpected) << c.n << " from " << c.nFrom << " to " << c.nTo;
}

TEST(PlacementDpi, TheNormalRectangleKeepsItsCornerAndScalesItsSize) {
    const RECT rcStored{-1900, 100, -700, 900};  // on a monitor left of the primary one
    EXPECT_TRUE(NormalRectAtDpi(rcStored, 144, 144) == rcStored);
    EXPECT_TRUE(NormalRectAtDpi(rcStored, kUnknownDpi, 96) == rcStored);
    EXPECT_TRUE(NormalRectAtDpi(rcStored, 144, 96) == (RECT{-1900, 100, -1100, 633}));
    EXPECT_TRUE(NormalRectAtDpi(rcStored, 96, 192) == (RECT{-1900, 100, 500, 1700}));
}

// Converting there and back gives the stored width again: the window does not
// grow from one start to the next.
TEST(PlacementDpi, AWidthTakenAndShownAtTheSameDpiStaysTheSame) {
    for (const UINT nDpi : {96u, 120u, 144u, 168u, 192u})
        for (const int nWidth : {0, 1, 7, 50, 101, 333, 1200})
            EXPECT_EQ(ColumnWidthAtDpi(nWidth, nDpi, nDpi, 42, 10000), nWidth) << nWidth << " at " << nDpi;
}

TEST(PlacementDpi, AColumnShowsItsStoredWidthAtTheWindowsDpiOrItsDefault) {
    const struct {
        const char* name;
        std::optional<int> nStored;
        UINT nStoredDpi, nDpi;
        int nExpected;
    } cases[] = {
        {"none stored", std::nullopt, 144, 96, 110},
        {"stored at the same DPI", 150, 144, 144, 150},
        {"stored at 150%, shown at 100%", 150, 144, 96, 100},
        {"stored at 100%, shown at 200%", 150, 96, 192, 300},
        {"stored without a DPI: as it is", 150, kUnknownDpi, 144, 150},
        {"zero is a width", 0, 144, 96, 0},
        {"below zero is none", -1, 96, 96, 110},
        {"the limit itself", 4000, 96, 96, 4000},
        {"wider than the limit once converted", 3000, 96, 144, 110},
        {"within the limit once converted", 6000, 192, 96, 3000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnWidthAtDpi(c.nStored, c.nStoredDpi, c.nDpi, 110, 4000), c.nExpected) << c.name;
}

TEST(PlacementDpi, TheFirstMovePutsTheWindowsCentreOnTheMonitors) {
    const RECT rcWork{1920, 0, 3840, 1040};
    EXPECT_TRUE(CentredIn({0, 0, 800, 600}, rcWork) == (RECT{2480, 220, 3280, 820}));
    EXPECT_TRUE(CentredIn({100, 100, 901, 601}, rcWork) == (RECT{2479, 269, 3280, 770}));
    // Larger than the monitor: still centred, so most of it lies on it.
    EXPECT_TRUE(CentredIn({0, 0, 2400, 1200}, rcWork) == (RECT{1680, -80, 4080, 1120}));
}

}  // namespace
