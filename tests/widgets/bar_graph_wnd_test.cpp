// The bar graph painted into a real static control, read back pixel by pixel.
#include <gtest/gtest.h>
#include <climits>
#include <vector>
#include "owners/gdi.h"
#include "owners/handle.h"
#include "widgets/bar_graph_wnd.h"

namespace {

const COLORREF kParentColour = RGB(255, 0, 255);  // shows wherever the graph leaves a hole
const COLORREF kBarColour = RGB(0, 128, 255);

int g_parentPaints = 0, g_parentErases = 0;  // of the graph's parent

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static HBRUSH brush = CreateSolidBrush(kParentColour);
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(brush);
    if (message == WM_PAINT) ++g_parentPaints;
    if (message == WM_ERASEBKGND) ++g_parentErases;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A visible parent with the graph's static control in it. Each test process has
// its own windows but all share the screen, so pixel tests of this executable
// take turns, and the parent stays above other programs' windows.
class BarGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_screen.Reset(CreateMutexA(nullptr, FALSE, "VorplexWidgetsScreen"));
        WaitForSingleObject(m_screen, 60000);

        static ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = ParentProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = CreateSolidBrush(kParentColour);
            wc.lpszClassName = "VorplexTestGraphParent";
            return RegisterClassA(&wc);
        }();
        parent = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, MAKEINTATOM(atom), "", WS_POPUP, 60, 60, 340,
                                 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        // 301 x 20 pixels inside the border: W - 1 = 300 columns to spread over.
        graph = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_LEFT, 10, 10, 303, 22,
                                parent, reinterpret_cast<HMENU>(202), GetModuleHandleA(nullptr), nullptr);
        ShowWindow(parent, SW_SHOWNOACTIVATE);
        UpdateWindow(parent);
        RECT rc;
        GetClientRect(graph, &rc);
        W = rc.right;
        H = rc.bottom;
        face = GetSysColor(COLOR_BTNFACE);
        g.m_crPen = kBarColour;
    }
    void TearDown() override
    {
        g.Detach();
        DestroyWindow(parent);
        ReleaseMutex(m_screen);
    }

    COLORREF Pixel(int x, int y)
    {
        return GetPixel(CClientDC(graph), x, y);
    }
    // Height of the bar in column x, counted from the bottom; -1 when the
    // column holds anything but bar pixels over button face, or a gap.
    int BarHeight(int x)
    {
        const CClientDC dc(graph);
        int height = 0;
        bool inBar = true;
        for (int y = H - 1; y >= 0; --y) {
            COLORREF c = GetPixel(dc, x, y);
            if (c == kBarColour && inBar) {
                ++height;
            } else if (c == face) {
                inBar = false;
            } else {
                height = -1;
                break;
            }
        }
        return height;
    }
    std::vector<int> Heights()
    {
        std::vector<int> h(W);
        for (int x = 0; x < W; ++x) h[x] = BarHeight(x);
        return h;
    }
    bool AllFace()
    {
        for (int h : Heights())
            if (h != 0) return false;
        return true;
    }

    CScopedHandle m_screen;
    HWND parent = nullptr, graph = nullptr;
    int W = 0, H = 0;
    COLORREF face = 0;
    CBarGraphWnd g;
};

TEST_F(BarGraphTest, BarsRiseFromTheBottomOnAScaleOfOneHundred)
{
    ASSERT_EQ(301, W);
    ASSERT_EQ(20, H);
    std::vector<int32_t> v(1000, 0);
    v[100] = 100;  // column 30, full height
    v[500] = 250;  // column 150, clamped to full height
    v[700] = 50;   // column 210, half
    v[900] = 25;   // column 270, a quarter
    v[10] = 30;    // 10 and 11 share column 3, which shows their union
    v[11] = 80;
    ASSERT_TRUE(g.Attach(graph));
    ASSERT_TRUE(g.SetData(v.data(), 1000));

    // Read at once: SetData has painted before it returned.
    std::vector<int> expected(W, 0);
    expected[30] = H;
    expected[150] = H;
    expected[210] = H / 2;
    expected[270] = H / 4;
    expected[3] = H * 80 / 100;
    EXPECT_EQ(expected, Heights()) << "zeros draw nothing, everything else is button face";
    EXPECT_EQ(kBarColour, Pixel(30, 0)) << "a full bar reaches the top row";
}

TEST_F(BarGraphTest, ValueIStandsAtIOfTheWidthScale)
{
    ASSERT_TRUE(g.Attach(graph));
    for (int i : {0, 10, 370, 990}) {
        SCOPED_TRACE(i);
        std::vector<int32_t> v(1000, 0);
        v[i] = 100;
        ASSERT_TRUE(g.SetData(v.data(), 1000));
        const int column = i * (W - 1) / 1000;
        std::vector<int> h = Heights();
        EXPECT_EQ(H, h[column]);
        int others = 0;
        for (int x = 0; x < W; ++x) others += (x != column && h[x] != 0);
        EXPECT_EQ(0, others);
    }
}

TEST_F(BarGraphTest, WidthScaleGrowsForGood)
{
    ASSERT_TRUE(g.Attach(graph));
    std::vector<int32_t> full(1500, 100);
    ASSERT_TRUE(g.SetData(full.data(), 1500));
    EXPECT_EQ(1500, g.m_nWidthScale);
    EXPECT_EQ(H, BarHeight(0));
    EXPECT_EQ(H, BarHeight(W - 2));

    // 1000 values now span two thirds of the width: columns 0 to 199.8.
    ASSERT_TRUE(g.SetData(full.data(), 1000));
    EXPECT_EQ(1500, g.m_nWidthScale);
    std::vector<int> h = Heights();
    for (int x = 0; x < 199; ++x) EXPECT_EQ(H, h[x]) << "column " << x;
    for (int x = 201; x < W; ++x) EXPECT_EQ(0, h[x]) << "column " << x;

    g.Clear();
    EXPECT_EQ(1500, g.m_nWidthScale);
    EXPECT_TRUE(AllFace());
    ASSERT_TRUE(g.SetData(full.data(), 10));
    EXPECT_EQ(1500, g.m_nWidthScale);
}

TEST_F(BarGraphTest, EmptySetPaintsButtonFaceAndReturnsZero)
{
    ASSERT_TRUE(g.Attach(graph));
    // Straight onto the parent's background: only the graph's erase covers it.
    int32_t none = 0;
    EXPECT_FALSE(g.SetData(&none, 0));
    EXPECT_TRUE(AllFace());

    std::vector<int32_t> v(1000, 70);
    ASSERT_TRUE(g.SetData(v.data(), 1000));
    EXPECT_EQ(H * 70 / 100, BarHeight(150));
    EXPECT_FALSE(g.SetData(v.data(), 0));
    EXPECT_EQ(0, g.m_nCount);
    EXPECT_EQ(nullptr, g.m_pValues);
    EXPECT_TRUE(AllFace());
}

TEST_F(BarGraphTest, ClearEmptiesAndRepaintsAtOnce)
{
    ASSERT_TRUE(g.Attach(graph));
    std::vector<int32_t> v(1000, 100);
    ASSERT_TRUE(g.SetData(v.data(), 1000));
    g_parentPaints = g_parentErases = 0;
    g.Clear();
    EXPECT_EQ(0, g.m_nCount);
    EXPECT_EQ(nullptr, g.m_pValues);
    EXPECT_TRUE(AllFace());
    // The parent's area under the graph is repainted first, before Clear returns.
    EXPECT_EQ(1, g_parentErases);
    EXPECT_EQ(1, g_parentPaints);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(graph, &pending, FALSE));
}

TEST_F(BarGraphTest, DetachedGraphChangesNothing)
{
    int32_t v[3] = {10, 20, 30};
    EXPECT_FALSE(g.SetData(v, 3));
    EXPECT_EQ(0, g.m_nCount);
    g.Clear();

    ASSERT_TRUE(g.Attach(graph));
    ASSERT_TRUE(g.SetData(v, 3));
    g.Detach();
    ValidateRect(graph, nullptr);
    ValidateRect(parent, nullptr);

    int32_t other[2] = {99, 98};
    EXPECT_FALSE(g.SetData(other, 2));
    g.Clear();
    ASSERT_EQ(3, g.m_nCount);
    ASSERT_NE(nullptr, g.m_pValues);
    EXPECT_EQ(10, g.m_pValues[0]);
    EXPECT_EQ(30, g.m_pValues[2]);
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(graph, &pending, FALSE)) << "a detached graph must not invalidate";
    EXPECT_FALSE(GetUpdateRect(parent, &pending, FALSE));
}

TEST_F(BarGraphTest, KeepsItsOwnCopyAndPaintsInThePenColour)
{
    ASSERT_TRUE(g.Attach(graph));
    std::vector<int32_t> v(1000, 0);
    v[500] = 100;
    ASSERT_TRUE(g.SetData(v.data(), 1000));
    v[500] = 0;  // the caller's buffer is not the graph's
    g.m_crPen = RGB(0, 160, 0);
    InvalidateRect(graph, nullptr, TRUE);
    UpdateWindow(graph);
    EXPECT_EQ(RGB(0, 160, 0), Pixel(150, 0));
    EXPECT_EQ(RGB(0, 160, 0), Pixel(150, H - 1));
    EXPECT_EQ(face, Pixel(149, 0));
}

TEST_F(BarGraphTest, ImpossibleCountsLeaveTheGraphEmpty)
{
    ASSERT_TRUE(g.Attach(graph));
    int32_t v[4] = {100, 100, 100, 100};
    ASSERT_TRUE(g.SetData(v, 4));
    EXPECT_FALSE(g.SetData(v, INT_MAX));
    EXPECT_EQ(0, g.m_nCount);
    EXPECT_EQ(nullptr, g.m_pValues);
    EXPECT_EQ(1000, g.m_nWidthScale);
    EXPECT_FALSE(g.SetData(v, -5));
    EXPECT_EQ(0, g.m_nCount);
    UpdateWindow(graph);
    EXPECT_TRUE(AllFace());
    EXPECT_TRUE(g.SetData(v, 4));
}

}  // namespace
