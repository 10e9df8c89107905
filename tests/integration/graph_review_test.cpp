// The event graph on the real decoder: a click on a Motion bar seeks there, the
// tooltip tells the slot's time and cameras, and a seek whose index fetch fails
// keeps the graph of the file it reopened.
#include <cstdio>
#include <cstdlib>
#include "host/messages.h"
#include "owners/gdi.h"
#include "tests/support/test_recording.h"
#include "tests/integration/real_player.h"

namespace {

const COLORREF kRed = RGB(200, 30, 30), kBlue = RGB(30, 30, 200);
// Motion of camera 3 over slots 20 to 40 (72 s to 147.6 s into the file).
constexpr int kFirstEventSlot = 20, kLastEventSlot = 40;

// Two cameras, 160 s at 2 frames a second, from 13:05:07.250.
TestRecordingPlan MotionRecording()
{
    TestRecordingPlan shape;
    shape.cameras = {{1, kRed}, {3, kBlue}};
    shape.nRate = 2;
    shape.nFrames = 320;
    for (int slot = kFirstEventSlot; slot <= kLastEventSlot; ++slot) rec::setMotionLevel(shape.motion, slot, 3, 50);
    return shape;
}
constexpr int32_t kStartMs = 13 * 3600000 + 5 * 60000 + 7 * 1000 + 250;

// Answers the video window's next index fetch with a failure, as a decoder
// that cannot read the events would; every other message goes on as before.
class FailNextFetch {
public:
    explicit FailNextFetch(HWND video) : m_hwnd(video)
    {
        s_pActive = this;
        m_pfnPrev = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FailNextFetch::WndProc)));
    }
    ~FailNextFetch()
    {
        if (IsWindow(m_hwnd)) SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrev));
        s_pActive = nullptr;
    }
    FailNextFetch(const FailNextFetch&) = delete;
    FailNextFetch& operator=(const FailNextFetch&) = delete;
    int Failed() const { return m_nFailed; }
    void Arm() { m_bArmed = true; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        FailNextFetch* self = s_pActive;
        if (message == WM_FETCH_INDEX && self->m_bArmed) {
            self->m_bArmed = false;
            ++self->m_nFailed;
            return 0;
        }
        return CallWindowProcA(self->m_pfnPrev, hwnd, message, wParam, lParam);
    }
    static inline FailNextFetch* s_pActive = nullptr;
    HWND m_hwnd;
    WNDPROC m_pfnPrev = nullptr;
    bool m_bArmed = true;
    int m_nFailed = 0;
};

class GraphOnTheRealDecoder : public RealPlayerTest {
protected:
    void SetUp() override
    {
        RealPlayerTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(WriteTestRecording(file.Path(), MotionRecording()));
        Open(file.Path());
        ASSERT_TRUE(WaitPlaying()) << ControlMessage();
        ShowMotion();
    }
    void ShowMotion()
    {
        HWND types = Item(IDC_EVENT_TYPE);
        SendMessageA(types, CB_SETCURSEL, 1, 0);
        PostMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EVENT_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        Pump();
    }
    // Graph columns that show Motion's yellow.
    std::vector<int> BarColumns()
    {
        HWND graph = Item(IDC_GRAPH);
        RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT rc;
        GetClientRect(graph, &rc);
        std::vector<int> columns;
        const CClientDC dc(graph);
        for (int x = 0; x < rc.right; ++x)
            for (int y = 0; y < rc.bottom; ++y)
                if (GetPixel(dc, x, y) == RGB(255, 255, 0)) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
    POINT AtColumn(int x) const
    {
        RECT rc;
        GetClientRect(Item(IDC_GRAPH), &rc);
        POINT at = {x, rc.bottom / 2};
        MapWindowPoints(Item(IDC_GRAPH), panel.m_hWnd, &at, 1);
        return at;
    }
    void Mouse(UINT message, POINT at)
    {
        PostMessageA(panel.m_hWnd, message, 0, MAKELPARAM(at.x, at.y));
        Pump();
    }
    int32_t ShownOffset() const { return panel_view::ShownMs(panel.TimeText()) - kStartMs; }

    CTempFile file;
};

TEST_F(GraphOnTheRealDecoder, TooltipAndClickOnAMotionBarGoThere)
{
    const std::vector<int> bars = BarColumns();
    ASSERT_FALSE(bars.empty()) << "no Motion bar drawn";
    const int x = bars[bars.size() / 2];

    Mouse(WM_MOUSEMOVE, AtColumn(x));
    const std::string tip = panel_view::GraphTipText(panel.m_hWnd);
    int h = 0, m = 0, s = 0;
    char rest[64] = "";
    ASSERT_EQ(4, sscanf(tip.c_str(), "%d:%d:%d  %63[^\n]", &h, &m, &s, rest)) << tip;
    EXPECT_STREQ("Motion: camera 3", rest);
    const int32_t tipOffset = ((h * 60 + m) * 60 + s) * 1000 - kStartMs;
    EXPECT_GE(tipOffset, kFirstEventSlot * 3600 - 1000) << tip;
    EXPECT_LE(tipOffset, kLastEventSlot * 3600) << tip;

    ASSERT_LT(ShownOffset(), 10000) << "playing from the start";
    Mouse(WM_LBUTTONUP, AtColumn(x));
    // The first picture at or after the slot's start: within a frame and the
    // second the tooltip leaves out.
    EXPECT_TRUE(testing_support::PumpUntil([&] { return ShownOffset() >= tipOffset; }, 5000))
        << "no seek: " << panel.TimeText();
    EXPECT_LT(ShownOffset(), tipOffset + 1000 + 500 + 1000) << panel.TimeText();
    EXPECT_TRUE(testing_support::PumpUntil([&] { return PixelsNear(kBlue) > 0; })) << "camera 3 is not on view";
    EXPECT_EQ(bars, BarColumns()) << "the reopen changed the graph";
}

TEST_F(GraphOnTheRealDecoder, SameFileReopenedAfterASeekWhoseFetchFailsKeepsItsGraph)
{
    const std::vector<int> bars = BarColumns();
    ASSERT_FALSE(bars.empty());
    FailNextFetch failing(video.m_hWnd);
    Scroll(SB_PAGERIGHT);
    ASSERT_TRUE(WaitPlaying()) << ControlMessage();
    ASSERT_EQ(1, failing.Failed()) << "the reopen fetched no index";
    EXPECT_EQ(bars, BarColumns());
    EXPECT_GE(ShownOffset(), 60000) << "the start time was lost: " << panel.TimeText();

    // Another file whose fetch fails shows none of the first file's events.
    CTempFile other;
    TestRecordingPlan plain;
    plain.nFrames = 20;
    ASSERT_TRUE(WriteTestRecording(other.Path(), plain));
    failing.Arm();
    Open(other.Path());
    ASSERT_TRUE(WaitSettled());
    ASSERT_EQ(2, failing.Failed());
    EXPECT_TRUE(BarColumns().empty());
}

}  // namespace
