// The event graph as a way to review a file: a click seeks to the slot under
// the pointer, the tooltip tells what is there, and the event index is kept
// across reopens of the same file.
#include "tests/panel/playback_fixture.h"
#include "owners/gdi.h"

namespace {

const char kFile[] = "C:\\rec\\a.d01";
const char kOtherFile[] = "C:\\rec\\b.d01";
constexpr int kMotion = 1, kSource = 0, kGpi = 2;

class GraphReview : public PlaybackTest {
protected:
    void SetUp() override
    {
        PlaybackTest::SetUp();
        if (HasFatalFailure()) return;
        std::memset(&index, 0, sizeof index);
        decoder->SetStartTime(L"2000-01-01\t10:00:00.000");
        index.Motion.wCount = 1000;
        index.Source.wCount = 1000;
        index.Gpi.wCount = 2000;
    }
    // Delivers index for the next opens and plays kFile with the type on view.
    void PlayWithIndex(int type, const char* path = kFile)
    {
        DeliverBlock(DVR_SOURCE_EVENTS, index.Source);
        DeliverBlock(DVR_MOTION_EVENTS, index.Motion);
        DeliverBlock(DVR_GPI_EVENTS, index.Gpi);
        Choose(IDC_EVENT_TYPE, type);
        PlayFile(path);
        decoder->ClearCalls();
    }

    HWND GraphWindow() const { return Item(IDC_GRAPH); }
    int GraphWidth() const
    {
        RECT rc;
        GetClientRect(GraphWindow(), &rc);
        return rc.right;
    }
    // Columns of the graph's client area that show a pixel of the bar colour.
    std::vector<int> BarColumns() const
    {
        HWND graph = GraphWindow();
        RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT rc;
        GetClientRect(graph, &rc);
        const COLORREF colour = BarColour();
        std::vector<int> columns;
        const CClientDC dc(graph);
        for (int x = 0; x < rc.right; ++x)
            for (int y = 0; y < rc.bottom; ++y)
                if (GetPixel(dc, x, y) == colour) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
    // The column where the graph draws a lone bar at slot of n slots.
    int ColumnOfSlot(int slot, int n)
    {
        std::vector<int32_t> values(n, 0);
        values[slot] = 100;
        panel_view::Graph(panel.m_hWnd)->SetData(values.data(), n);
        const std::vector<int> columns = BarColumns();
        EXPECT_EQ(1u, columns.size()) << "slot " << slot;
        return columns.empty() ? -1 : columns[0];
    }
    // A point of the panel over column x of the graph, half-way down.
    POINT AtColumn(int x) const
    {
        RECT rc;
        GetClientRect(GraphWindow(), &rc);
        POINT at = {x, rc.bottom / 2};
        MapWindowPoints(GraphWindow(), panel.m_hWnd, &at, 1);
        return at;
    }
    std::string LastStartOffset() const
    {
        for (auto it = DecoderCalls().rbegin(); it != DecoderCalls().rend(); ++it)
            if (it->rfind("SetStartOffset(", 0) == 0) return *it;
        return "";
    }
    void Split(int id)
    {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    void ClickGraph(int x)
    {
        Mouse(WM_LBUTTONUP, AtColumn(x));
    }
    // What the graph's tooltip says after the pointer moved over column x.
    std::string TipAt(int x)
    {
        Mouse(WM_MOUSEMOVE, AtColumn(x));
        return panel_view::GraphTipText(panel.m_hWnd);
    }

    EVENT_INDEX index;
};

// A click at a column seeks to the start of the first slot the graph draws in
// that column: the bar of the slot sought stands there, the one before it
// stands further left.
TEST_F(GraphReview, ClickSeeksToTheFirstSlotDrawnInTheColumn)
{
    for (int k = 0; k < 16; ++k) index.Motion.bLevel[k][0] = 1;
    PlayWithIndex(kMotion);
    const int width = GraphWidth();
    ASSERT_GT(width, 100);
    for (int x : {0, 1, 2, 57, width / 2, width - 2, width - 1}) {
        SCOPED_TRACE(x);
        ClickGraph(x);
        ASSERT_FALSE(DecoderCalls().empty()) << "no seek";
        EXPECT_EQ("Stop", DecoderCalls().at(0));
        long offset = -1;
        ASSERT_EQ(1, sscanf(LastStartOffset().c_str(), "SetStartOffset(%ld)", &offset));
        EXPECT_EQ(0, offset % 3600) << "the start of a 3.6-second slot";
        const int slot = static_cast<int>(offset / 3600);
        EXPECT_EQ(x, ColumnOfSlot(slot, 1000));
        if (slot > 0) {
            EXPECT_LT(ColumnOfSlot(slot - 1, 1000), x);
        }
        Position(offset + 40);  // the reopen's first picture: seeks are taken again
        EXPECT_EQ(panel_view::kPlaying, ControlStates());
        decoder->ClearCalls();
    }
}

// A pixel column holds about two slots: an event in any of them is found by
// the tooltip and by a click, which goes to that slot and not before it.
TEST_F(GraphReview, EveryEventInAColumnIsSeenAndSought)
{
    for (int j = 500; j < 504; ++j) {
        SCOPED_TRACE(j);
        std::memset(&index.Source, 0, sizeof index.Source);
        index.Source.wCount = 1000;
        index.Source.lStatus[j] = -1;
        index.Source.dwCameraMask[j] = 0x4;
        PlayWithIndex(kSource);
        const std::vector<int> columns = BarColumns();
        ASSERT_EQ(1u, columns.size());
        EXPECT_NE(std::string::npos, TipAt(columns[0]).find("Source: camera 3"));
        ClickGraph(columns[0]);
        EXPECT_EQ("SetStartOffset(" + std::to_string(j * 3600) + ")", LastStartOffset());
        Pump();
    }
}

// GPI has 2000 slots of 1.8 s across the same width.
TEST_F(GraphReview, GpiSlotsAreHalfAsLong)
{
    index.Gpi.lValue[0] = 1;
    PlayWithIndex(kGpi);
    const int x = GraphWidth() - 1;
    ClickGraph(x);
    long offset = -1;
    ASSERT_EQ(1, sscanf(LastStartOffset().c_str(), "SetStartOffset(%ld)", &offset));
    EXPECT_EQ(0, offset % 1800);
    EXPECT_EQ(x, ColumnOfSlot(static_cast<int>(offset / 1800), 2000));
    EXPECT_GT(offset, 3500000) << "the last column is the end of the hour";
}

TEST_F(GraphReview, AfterTheSeekTheTimeShowsTheSlotsTimeOfDay)
{
    index.Motion.bLevel[2][500] = 9;
    PlayWithIndex(kMotion);
    ClickGraph(0);
    Position(3000);
    EXPECT_EQ("10:00:03.00", TimeText());
    ClickGraph(GraphWidth() / 2);
    long offset = -1;
    ASSERT_EQ(1, sscanf(LastStartOffset().c_str(), "SetStartOffset(%ld)", &offset));
    Position(offset);
    EXPECT_EQ(panel_view::ShownMs("10:00:00") + offset, panel_view::ShownMs(TimeText().c_str()));
}

TEST_F(GraphReview, PausedTakesTheSeekAndPlaysAgain)
{
    index.Motion.bLevel[0][10] = 1;
    PlayWithIndex(kMotion);
    Click(IDC_PAUSE);
    decoder->ClearCalls();
    ClickGraph(GraphWidth() / 4);
    ASSERT_FALSE(DecoderCalls().empty());
    EXPECT_EQ("Stop", DecoderCalls().at(0));
    EXPECT_NE("", LastStartOffset());
    EXPECT_EQ(panel_view::kOpening, ControlStates());
}

TEST_F(GraphReview, NothingWhileStoppedOpeningPastTheHourOrWithAnEmptyGraph)
{
    index.Motion.bLevel[0][10] = 1;
    index.Gpi.lValue[10] = 1;
    PlayWithIndex(kMotion);

    // Past the hour: once GPI has been on view the width holds 2000 positions,
    // and Motion's 1000 slots fill only its left half.
    Choose(IDC_EVENT_TYPE, kGpi);
    Choose(IDC_EVENT_TYPE, kMotion);
    decoder->ClearCalls();
    ClickGraph(GraphWidth() - 1);
    EXPECT_TRUE(DecoderCalls().empty()) << "past the hour";
    ClickGraph(GraphWidth() / 4);
    EXPECT_FALSE(DecoderCalls().empty()) << "within it";

    // The reopen is under way: the position control takes no seek, nor does the graph.
    decoder->ClearCalls();
    ClickGraph(GraphWidth() / 4);
    EXPECT_TRUE(DecoderCalls().empty()) << "while opening";
    Position(40);

    Click(IDC_STOP);
    decoder->ClearCalls();
    ClickGraph(GraphWidth() / 4);
    EXPECT_TRUE(DecoderCalls().empty()) << "stopped";

    // A file without Motion events: the graph is empty.
    index.Motion.wCount = 0;
    PlayWithIndex(kMotion, kOtherFile);
    ASSERT_TRUE(Bars().empty());
    ClickGraph(GraphWidth() / 4);
    EXPECT_TRUE(DecoderCalls().empty()) << "empty graph";
}

// Events on slots 200 to 299, so that whichever of them the pointer's column
// starts with, it has them.
TEST_F(GraphReview, TooltipTellsTheTimeTheTypeAndTheCamerasOnView)
{
    for (int slot = 200; slot < 300; ++slot) {
        index.Motion.bLevel[2][slot] = 7;  // camera 3
        index.Motion.bLevel[4][slot] = 1;  // camera 5
        index.Source.lStatus[slot] = -1;
        index.Source.dwCameraMask[slot] = 0x0100;  // camera 9
        index.Gpi.lValue[2 * slot] = 5;
    }
    index.Source.dwCameraMask[0] = 0x0001;  // status 0: no event
    PlayWithIndex(kMotion);
    const int x = ColumnOfSlot(250, 1000);
    int first = 250;
    while (first > 0 && ColumnOfSlot(first - 1, 1000) == x) --first;
    char clock[16];
    snprintf(clock, sizeof clock, "10:%02d:%02d", first * 36 / 10 / 60, first * 36 / 10 % 60);
    Choose(IDC_EVENT_TYPE, kMotion);  // the graph as the index has it again

    EXPECT_EQ(std::string(clock) + "  Motion: cameras 3, 5", TipAt(x));
    EXPECT_EQ("10:00:00  Motion: none", TipAt(0));
    // Runs of three or more read as a range, on the first slot of another
    // column (the one its tooltip tells).
    const int x400 = ColumnOfSlot(400, 1000);
    int first400 = 400;
    while (ColumnOfSlot(first400 - 1, 1000) == x400) --first400;
    for (int camera : {1, 2, 3, 4, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16}) index.Motion.bLevel[camera - 1][first400] = 3;
    PlayWithIndex(kMotion);
    Choose(IDC_EVENT_TYPE, kMotion);
    EXPECT_NE(std::string::npos, TipAt(x400).find("  Motion: cameras 1-4, 6, 7, 9-16")) << TipAt(x400);
    EXPECT_EQ(std::string(clock) + "  Motion: cameras 3, 5", TipAt(x));
    Split(IDC_SPLIT_4);
    Choose(IDC_CAMERA_GROUP, 1);  // cameras 5 to 8
    EXPECT_EQ(std::string(clock) + "  Motion: camera 5", TipAt(x));
    Choose(IDC_CAMERA_GROUP, 2);  // cameras 9 to 12
    EXPECT_EQ(std::string(clock) + "  Motion: none", TipAt(x));
    Choose(IDC_EVENT_TYPE, kSource);
    EXPECT_EQ(std::string(clock) + "  Source: camera 9", TipAt(x));
    EXPECT_EQ("10:00:00  Source: none", TipAt(0));
    Choose(IDC_EVENT_TYPE, kGpi);
    EXPECT_EQ("10:00:00  GPI: 0", TipAt(0));
    // Slot 500 of 2000 (1.8 s each) stands where slot 250 of 1000 does.
    const std::string gpi = TipAt(x);
    EXPECT_NE(std::string::npos, gpi.find("  GPI: 100")) << gpi;
    EXPECT_NEAR(panel_view::ShownMs(clock), panel_view::ShownMs(gpi.c_str()), 3600) << gpi;

    // Past the hour, and with an empty graph, there is nothing to tell.
    Choose(IDC_EVENT_TYPE, kMotion);
    EXPECT_EQ("", TipAt(GraphWidth() - 1));
    index.Motion.wCount = 0;
    PlayWithIndex(kMotion, kOtherFile);
    EXPECT_EQ("", TipAt(x));
}

// Opening the same file again (every seek does) keeps its index when the fetch
// fails; another file starts from an empty one.
TEST_F(GraphReview, IndexIsKeptForTheSameFileAndClearedForAnother)
{
    index.Motion.bLevel[0][3] = 1;
    PlayWithIndex(kMotion);
    const std::vector<int32_t> bars = Bars();
    ASSERT_EQ(100, bars.at(3));

    decoder->RaiseOn(DVR_MOTION_EVENTS, L"cannot read the events", 1);
    Scroll(SB_PAGERIGHT);
    ASSERT_EQ(panel_view::kOpening, ControlStates()) << "reopened";
    EXPECT_EQ(bars, Bars()) << "a failed fetch on the same file took the graph away";
    Position(61000);
    EXPECT_EQ("10:01:01.00", TimeText()) << "and its start time";

    decoder->RaiseOn(DVR_MOTION_EVENTS, L"cannot read the events", 1);
    PlayFile(kOtherFile);
    EXPECT_TRUE(Bars().empty()) << "another file's events shown";
    Position(5000);
    EXPECT_EQ("00:00:05.00", TimeText()) << "another file's start time used";

    // Back to the first file, whose fetch works: its events again.
    PlayFile(kFile);
    EXPECT_EQ(bars, Bars());
}

}  // namespace
