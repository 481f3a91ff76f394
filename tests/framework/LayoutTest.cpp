// Dynamic layout: controls move and grow by their resource percentages of the
// size change, always from where they started; malformed resources move nothing.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "support/ModalAnswerer.h"
#include "TestResources.h"

namespace {

struct Percentages {
    int nMoveX, nMoveY, nSizeX, nSizeY;
};

// The entries of FrameworkTest.rc's IDD_LAYOUT, per control in template order;
// the sixth control has no entry.
const Percentages kLayout[] = {
    {0, 0, 100, 100}, {0, 100, 0, 0}, {100, 0, 0, 0}, {50, 50, 50, 50}, {100, 100, 25, 0}, {0, 0, 0, 0},
};

std::vector<RECT> ChildRects(HWND hDlg) {
    std::vector<RECT> rects;
    for (HWND hChild = GetWindow(hDlg, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        RECT rc{};
        GetWindowRect(hChild, &rc);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
        rects.push_back(rc);
    }
    return rects;
}

SIZE ClientSize(HWND hDlg) {
    RECT rc{};
    GetClientRect(hDlg, &rc);
    return {rc.right, rc.bottom};
}

// Grows or shrinks the window by (dx, dy) from the size it had when it opened.
void ResizeBy(HWND hDlg, SIZE sizeWindow, int dx, int dy) {
    SetWindowPos(hDlg, nullptr, 0, 0, sizeWindow.cx + dx, sizeWindow.cy + dy, SWP_NOMOVE | SWP_NOZORDER);
}

SIZE WindowSize(HWND hDlg) {
    RECT rc{};
    GetWindowRect(hDlg, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

TEST(LayoutTest, ControlsFollowTheirPercentagesWithoutAccumulating) {
    CWinApp app;
    CDialog dlg(IDD_LAYOUT);
    CModalAnswerer answerer;
    std::vector<RECT> initial;
    struct Observed {
        SIZE delta;
        std::vector<RECT> rects;
    };
    std::vector<Observed> observed;
    // Odd sizes make the 50 and 25 percent entries round; the last step returns
    // to the start, where every control must be exactly where it began.
    const SIZE steps[] = {{101, 57}, {37, 203}, {101, 57}, {-20, -9}, {0, 0}};
    answerer.SetDialogScript([&](HWND hDlg) {
        initial = ChildRects(hDlg);
        const SIZE sizeWindow = WindowSize(hDlg);
        const SIZE sizeClient = ClientSize(hDlg);
        for (const SIZE& step : steps) {
            ResizeBy(hDlg, sizeWindow, step.cx, step.cy);
            const SIZE now = ClientSize(hDlg);
            observed.push_back({{now.cx - sizeClient.cx, now.cy - sizeClient.cy}, ChildRects(hDlg)});
        }
        EndDialog(hDlg, IDCANCEL);
    });
    ASSERT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(initial.size(), std::size(kLayout));
    ASSERT_EQ(observed.size(), std::size(steps));
    for (size_t s = 0; s < observed.size(); ++s) {
        SCOPED_TRACE(testing::Message() << "step " << s);
        const SIZE d = observed[s].delta;
        if (s + 1 < observed.size()) {
            EXPECT_NE(d.cx, 0);  // the resize really happened
        }
        for (size_t i = 0; i < initial.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "control " << i);
            const RECT& rc0 = initial[i];
            const RECT& rc = observed[s].rects[i];
            const Percentages& p = kLayout[i];
            EXPECT_EQ(rc.left, rc0.left + MulDiv(d.cx, p.nMoveX, 100));
            EXPECT_EQ(rc.top, rc0.top + MulDiv(d.cy, p.nMoveY, 100));
            EXPECT_EQ(rc.right - rc.left, rc0.right - rc0.left + MulDiv(d.cx, p.nSizeX, 100));
            EXPECT_EQ(rc.bottom - rc.top, rc0.bottom - rc0.top + MulDiv(d.cy, p.nSizeY, 100));
        }
    }
}

TEST(LayoutTest, MalformedOrMissingResourcesMoveNothing) {
    struct Case {
        const char* name;
        UINT nID;
        DWORD cbResource;  // 0: no resource
    };
    const Case cases[] = {
        {"one byte", IDD_LAYOUT_SHORT, 1},
        {"odd length", IDD_LAYOUT_ODD, 11},
        {"version 1", IDD_LAYOUT_VERSION, 10},
        {"more entries than controls", IDD_LAYOUT_TOO_MANY, 58},
        {"entry cut short", IDD_LAYOUT_CUT, 8},
        {"over 100 percent", IDD_LAYOUT_PERCENT, 10},
        {"no resource", IDD_LAYOUT_NONE, 0},
    };
    CWinApp app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The case must really be the malformation it names.
        HRSRC hResource = FindResourceW(nullptr, MAKEINTRESOURCEW(c.nID), L"AFX_DIALOG_LAYOUT");
        EXPECT_EQ(hResource ? SizeofResource(nullptr, hResource) : 0, c.cbResource);

        CDialog dlg(c.nID);
        CModalAnswerer answerer;
        std::vector<RECT> before, after;
        answerer.SetDialogScript([&](HWND hDlg) {
            before = ChildRects(hDlg);
            ResizeBy(hDlg, WindowSize(hDlg), 80, 60);
            after = ChildRects(hDlg);
            EndDialog(hDlg, IDCANCEL);
        });
        ASSERT_EQ(dlg.DoModal(), IDCANCEL);
        ASSERT_EQ(before.size(), std::size(kLayout));
        for (size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(EqualRect(&before[i], &after[i])) << "control " << i;
        EXPECT_TRUE(answerer.MessageBoxes().empty());
    }
}

class CDpiDialog : public CDialog {
public:
    CDpiDialog() : CDialog(IDD_LAYOUT) {}
    std::vector<std::pair<UINT, UINT>> m_arrChanges;

protected:
    void OnDpiChanged(UINT nOldDpi, UINT nNewDpi) override {
        m_arrChanges.emplace_back(nOldDpi, nNewDpi);
    }
};

LONG FontHeight(HWND hWnd) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return lf.lfHeight;
}

// A move to a monitor of another DPI: the window takes the suggested rectangle;
// the font, every control and the layout's starting points scale, so the layout
// still holds after it; the dialog hears of each real change once.
TEST(LayoutTest, DpiChangeScalesFontControlsAndLayout) {
    CWinApp app;
    CDpiDialog dlg;
    CModalAnswerer answerer;
    UINT nStartDpi = 0;
    struct Step {
        UINT nFactorNum, nFactorDen;  // the new DPI as a fraction of the starting one
        int dx, dy;                   // then resized by this from the suggested size
    };
    const Step steps[] = {{3, 2, 0, 0}, {3, 2, 40, 30}, {1, 1, 0, 0}, {2, 1, -10, 0}};
    answerer.SetDialogScript([&](HWND hDlg) {
        nStartDpi = dlg.GetDpi();
        const std::vector<RECT> initial = ChildRects(hDlg);
        const SIZE clientStart = ClientSize(hDlg), windowStart = WindowSize(hDlg);
        const LONG lFontStart = FontHeight(hDlg);
        for (const Step& step : steps) {
            const UINT nDpi = nStartDpi * step.nFactorNum / step.nFactorDen;
            SCOPED_TRACE(testing::Message() << "to " << nDpi << " DPI, then by " << step.dx << "," << step.dy);
            const auto scale = [&](LONG n) { return static_cast<LONG>(MulDiv(n, nDpi, nStartDpi)); };
            const SIZE windowSuggested{scale(windowStart.cx), scale(windowStart.cy)};
            RECT rcSuggested{30, 20, 30 + windowSuggested.cx, 20 + windowSuggested.cy};
            SendMessageW(hDlg, WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rcSuggested));
            EXPECT_EQ(dlg.GetDpi(), nDpi);
            RECT rcWindow{};
            GetWindowRect(hDlg, &rcWindow);
            EXPECT_TRUE(EqualRect(&rcWindow, &rcSuggested));
            EXPECT_NEAR(FontHeight(hDlg), scale(lFontStart), 1);
            ResizeBy(hDlg, windowSuggested, step.dx, step.dy);
            // Where the layout puts each control, from its starting rectangle at this DPI.
            const SIZE now = ClientSize(hDlg);
            const int dx = now.cx - scale(clientStart.cx), dy = now.cy - scale(clientStart.cy);
            const std::vector<RECT> rects = ChildRects(hDlg);
            ASSERT_EQ(rects.size(), initial.size());
            for (size_t i = 0; i < rects.size(); ++i) {
                SCOPED_TRACE(testing::Message() << "control " << i);
                const RECT& rc0 = initial[i];
                const Percentages& p = kLayout[i];
                // Each edge may be off by one from rounding twice (the DPI, then the layout).
                EXPECT_NEAR(rects[i].left, scale(rc0.left) + MulDiv(dx, p.nMoveX, 100), 1);
                EXPECT_NEAR(rects[i].top, scale(rc0.top) + MulDiv(dy, p.nMoveY, 100), 1);
                EXPECT_NEAR(rects[i].right - rects[i].left,
                            scale(rc0.right) - scale(rc0.left) + MulDiv(dx, p.nSizeX, 100), 1);
                EXPECT_NEAR(rects[i].bottom - rects[i].top,
                            scale(rc0.bottom) - scale(rc0.top) + MulDiv(dy, p.nSizeY, 100), 1);
            }
        }
        EndDialog(hDlg, IDCANCEL);
    });
    ASSERT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_GT(nStartDpi, 0u);
    // The same DPI again is no change.
    const std::vector<std::pair<UINT, UINT>> changes = {
        {nStartDpi, nStartDpi * 3 / 2}, {nStartDpi * 3 / 2, nStartDpi}, {nStartDpi, nStartDpi * 2}};
    EXPECT_EQ(dlg.m_arrChanges, changes);
}

}  // namespace
