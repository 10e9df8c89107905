// The time text and the position control that follow the decoder, and every
// seek: page steps, the thumb, the typed minutes and seconds.
#include "tests/panel/playback_fixture.h"

namespace {

const char kFile[] = "C:\\rec\\a.d01";

class TimeDisplay : public PlaybackTest {};

TEST_F(TimeDisplay, ShownTimeIsStartTimePlusOffset)
{
    struct Case {
        const wchar_t* start;
        LONG offset;
        const char* text;
        int bar;
    } cases[] = {
        {nullptr, 723456, "00:12:03.45", 723},
        {nullptr, 3723456, "01:02:03.45", 3541},  // past the hour the bar stays at its top
        // The bar counts from the file's start, whatever the time of day.
        {L"2000-01-01\t10:20:00.000", 5000, "10:20:05.00", 5},
        {L"2000-01-01\t10:20:00.000", 52800000, "25:00:00.00", 3541},  // hours not modulo 24; bar at its top
        {L"2000-01-01\t23:00:00.990", 3000009, "23:50:00.99", 3000},   // hundredths are cut, not rounded
    };
    for (const Case& c : cases) {
        decoder->SetStartTime(c.start);
        Open(kFile);
        SendMessageA(Item(IDC_POSITION_BAR), SBM_SETPOS, 77, TRUE);
        Position(c.offset);
        EXPECT_EQ(c.text, TimeText()) << c.offset;
        EXPECT_EQ(c.bar, BarPosition()) << c.offset;
    }
}

TEST_F(TimeDisplay, OffsetZeroShowsTheStartButMovesNothingElse)
{
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    PlayFile(kFile, 5000);
    ASSERT_EQ(5, BarPosition());
    Open(kFile);
    Position(0);
    EXPECT_EQ("10:20:00.00", TimeText());
    EXPECT_EQ(0, BarPosition()) << "where the reopen left it";
    EXPECT_EQ(panel_view::kOpening, ControlStates());
}

TEST_F(TimeDisplay, ASeekAskedByTheDecoderOpensTheFileThereOnlyOnceAFileIsOpen)
{
    DecoderState(DVR_STATE_SEEK_ASKED, 75000);
    EXPECT_TRUE(DecoderCalls().empty()) << "nothing open yet";
    PlayFile(kFile, 5000);
    decoder->ClearCalls();
    DecoderState(DVR_STATE_SEEK_ASKED, 75000);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFile, 75000)), DecoderCalls());
}

TEST_F(TimeDisplay, EventsAreIgnoredWhileStopped)
{
    PlayFile(kFile, 3723456);
    Click(IDC_STOP);
    Position(5000);
    EXPECT_EQ("01:02:03.45", TimeText());
    EXPECT_EQ(0, BarPosition());
    decoder->ClearCalls();
    Scroll(SB_PAGELEFT);
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFile, 3723456 - 60000)), DecoderCalls())
        << "the page step counts from the last offset accepted";
}

// The text has room for 11 characters; times it cannot show as HH:MM:SS.hh
// show as dashes of the same length.
TEST_F(TimeDisplay, TimesBeyondTheTextsRoomShowAsDashes)
{
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    Open(kFile);
    struct Case {
        LONG offset;
        const char* text;
    } cases[] = {
        {359999999 - 37200000, "99:59:59.99"},
        {360000000 - 37200000, "--:--:--.--"},
        {0x7FFFFFFF, "--:--:--.--"},  // the sum passes the 32-bit range
        {-37200000, "00:00:00.00"},
        {-37200001, "--:--:--.--"},
        {static_cast<LONG>(0x80000000), "--:--:--.--"},
    };
    for (const Case& c : cases) {
        Position(c.offset);
        EXPECT_EQ(c.text, TimeText()) << c.offset;
    }
}

TEST_F(TimeDisplay, ThumbShowsTheTimeItLandsOnUntilReleased)
{
    // On the hour and off it: the thumb's text is the time the release goes to.
    for (const auto& start : {std::make_pair(L"2000-01-01\t14:00:00.000", "14:12:34"),
                              std::make_pair(L"2000-01-01\t10:20:00.000", "10:32:34")}) {
        decoder->SetStartTime(start.first);
        PlayFile(kFile, 5000);
        decoder->ClearCalls();
        Scroll(SB_THUMBTRACK, 754);
        EXPECT_EQ(start.second, TimeText());
        Position(9000);
        EXPECT_EQ(start.second, TimeText()) << "a position event while the thumb is held changes nothing";
        EXPECT_TRUE(DecoderCalls().empty()) << "tracking seeks nothing";
        Scroll(SB_THUMBPOSITION, 754);
        EXPECT_EQ(Then({"Stop"}, OpenCalls(kFile, 754000)), DecoderCalls());
        Position(754000);
        EXPECT_EQ(std::string(start.second) + ".00", TimeText());
        EXPECT_EQ(754, BarPosition());
    }
}

class Seeking : public PlaybackTest {
protected:
    void SetUp() override
    {
        PlaybackTest::SetUp();
        if (HasFatalFailure()) return;
        PlayFile(kFile);
        decoder->ClearCalls();
    }
    // Where the last seek asked the decoder to start.
    std::string LastStartOffset() const
    {
        for (auto it = DecoderCalls().rbegin(); it != DecoderCalls().rend(); ++it)
            if (it->rfind("SetStartOffset(", 0) == 0) return *it;
        return "";
    }
};

TEST_F(Seeking, PageStepsCountFromTheLastOffsetAndStayInTheHour)
{
    struct Case {
        LONG last;
        UINT code;
        const char* start;
    } cases[] = {
        {3590000, SB_PAGERIGHT, "SetStartOffset(3600000)"},
        {30000, SB_PAGELEFT, "SetStartOffset(0)"},
        {100000, SB_PAGELEFT, "SetStartOffset(40000)"},
        {100000, SB_PAGERIGHT, "SetStartOffset(160000)"},
    };
    for (const Case& c : cases) {
        Position(c.last);
        SendMessageA(Item(IDC_POSITION_BAR), SBM_SETPOS, 3000, TRUE);  // the bar is not the origin
        decoder->ClearCalls();
        Scroll(c.code);
        EXPECT_EQ("Stop", DecoderCalls().at(0));
        EXPECT_EQ(c.start, LastStartOffset()) << c.last;
        EXPECT_EQ(panel_view::kOpening, ControlStates()) << "reopened";
    }
}

TEST_F(Seeking, LineStepsEndsAndEndOfScrollDoNothing)
{
    LONG offset = 100000;
    Position(offset);
    // The line steps, the two ends, the end of scrolling, and a code that is none of them.
    for (UINT code : {0u, 1u, 6u, 7u, 8u, 9u}) {
        const std::string before = TimeText();
        Scroll(code, 500);
        EXPECT_TRUE(DecoderCalls().empty()) << code;
        EXPECT_EQ(before, TimeText()) << code;
        offset += 1000;
        Position(offset);  // neither stopped nor held: the text follows
        EXPECT_NE(before, TimeText()) << code;
    }
}

TEST_F(Seeking, EventsQueuedBeforeTheReopenAreIgnored)
{
    Position(100000);
    decoder->FirePositionChange(200000);  // queued, not yet handled
    SendMessageA(panel.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), reinterpret_cast<LPARAM>(Item(IDC_POSITION_BAR)));
    EXPECT_EQ((Calls{"Stop"}), DecoderCalls()) << "sent at once; the reopen waits for the posted Play";
    Pump();
    EXPECT_EQ("00:01:40.00", TimeText()) << "the queued event was ignored";
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFile, 160000)), DecoderCalls());
}

TEST_F(Seeking, TimeClickLaysTheEntryOverMinutesAndSeconds)
{
    decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
    PlayFile(kFile, 5000);
    SetForegroundWindow(panel.m_hWnd);
    // Taken while nothing covers the text.
    const RECT text = panel_view::PaintedTime(panel.m_hWnd);
    const POINT inside = InsideTime();
    Mouse(WM_LBUTTONUP, inside);
    ASSERT_TRUE(Visible(IDC_MINUTES));
    ASSERT_TRUE(Visible(IDC_SECONDS));
    EXPECT_EQ("20", Text(IDC_MINUTES));
    EXPECT_EQ("05", Text(IDC_SECONDS));
    // The two edits lie over the painted minutes and seconds; the hours stay in view.
    const RECT m = panel_view::InPanel(panel.m_hWnd, Item(IDC_MINUTES));
    const RECT s = panel_view::InPanel(panel.m_hWnd, Item(IDC_SECONDS));
    EXPECT_GT(m.left, text.left + 10);
    EXPECT_LT(s.right, text.right);
    EXPECT_LE(m.top, text.top);
    EXPECT_GT(m.bottom, text.top);
    EXPECT_EQ(17, m.bottom - m.top);
    EXPECT_GT(m.right - m.left, 10) << "two digits and a colon of a 16-pixel font";
    EXPECT_EQ(m.right, s.left);
    EXPECT_EQ(m.right - m.left, s.right - s.left);
    EXPECT_EQ(Item(IDC_MINUTES), GetFocus());
    DWORD from = 9, to = 9;
    SendMessageA(Item(IDC_MINUTES), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(0u, from);
    EXPECT_EQ(2u, to);

    // The thumb's shorter text fills them the same way.
    Scroll(SB_THUMBTRACK, 5);
    Mouse(WM_LBUTTONUP, inside);
    EXPECT_EQ("20", Text(IDC_MINUTES));
    EXPECT_EQ("05", Text(IDC_SECONDS));

    Mouse(WM_LBUTTONUP, OutsideTime());
    EXPECT_FALSE(Visible(IDC_MINUTES));
    EXPECT_FALSE(Visible(IDC_SECONDS));
}

TEST_F(Seeking, TimeClickIsIgnoredWhileStoppedEvenOutside)
{
    Position(5000);
    Mouse(WM_LBUTTONUP, InsideTime());
    ASSERT_TRUE(Visible(IDC_MINUTES));
    // A seek sets state 2 and leaves the entry as it is until its Play runs.
    SendMessageA(panel.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), reinterpret_cast<LPARAM>(Item(IDC_POSITION_BAR)));
    SendMessageA(panel.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(OutsideTime().x, OutsideTime().y));
    EXPECT_TRUE(Visible(IDC_MINUTES)) << "a click in state 2 changes nothing";
    Pump();  // the posted Play hides the entry
    EXPECT_FALSE(Visible(IDC_MINUTES));
    Click(IDC_STOP);
    SetWindowTextA(Item(IDC_MINUTES), "xx");
    Mouse(WM_LBUTTONUP, InsideTime());
    EXPECT_FALSE(Visible(IDC_MINUTES));
    EXPECT_EQ("xx", Text(IDC_MINUTES));
}

TEST_F(Seeking, EveryTransportActionAbandonsTheTimeEntry)
{
    Position(5000);
    for (int id : {IDC_PAUSE, IDC_STEP, IDC_PLAY, IDC_SOURCE, IDC_STOP}) {
        if (id == IDC_SOURCE) decoder->SetViewSplit(1);
        Mouse(WM_LBUTTONUP, InsideTime());
        ASSERT_TRUE(Visible(IDC_MINUTES)) << id;
        Click(id);
        EXPECT_FALSE(Visible(IDC_MINUTES)) << id;
        EXPECT_FALSE(Visible(IDC_SECONDS)) << id;
    }
}

TEST_F(Seeking, TypedMinutesAndSecondsSeekFromTheStartOfTheFile)
{
    struct Case {
        const char* minutes;
        const char* seconds;
        const char* start;
    } cases[] = {
        {"5", "7", "SetStartOffset(307000)"},
        {"99", "99", "SetStartOffset(6039000)"},  // past the hour, without complaint
        {"00", "00", "SetStartOffset(0)"},
        // A field without a leading number counts 0.
        {".5", "7", "SetStartOffset(7000)"},
        {"3", "", "SetStartOffset(180000)"},
        {"%1", "7", "SetStartOffset(7000)"},
        {"4", "'2", "SetStartOffset(240000)"},
    };
    for (const Case& c : cases) {
        Position(5000);
        Mouse(WM_LBUTTONUP, InsideTime());
        SetWindowTextA(Item(IDC_MINUTES), c.minutes);
        SetWindowTextA(Item(IDC_SECONDS), c.seconds);
        decoder->ClearCalls();
        EnterInTimeEdit(IDC_SECONDS);
        EXPECT_FALSE(Visible(IDC_MINUTES));
        EXPECT_FALSE(Visible(IDC_SECONDS));
        EXPECT_EQ("Stop", DecoderCalls().at(0));
        EXPECT_EQ(c.start, LastStartOffset()) << c.minutes << " " << c.seconds;
    }
}

TEST_F(Seeking, TypedTimeOffTheHourGoesWhereTheTextShowsIt)
{
    // 10:20:00.5: each minute and second comes once in the file's hour.
    decoder->SetStartTime(L"2000-01-01\t10:20:00.500");
    PlayFile(kFile, 5000);
    const std::pair<const char*, LONG> cases[] = {
        {"25", 299500},
        {"20", 0},
        {"10", 2999500},
        {"59", 2339500},
    };
    for (const auto& c : cases) {
        Position(5000);
        Mouse(WM_LBUTTONUP, InsideTime());
        SetWindowTextA(Item(IDC_MINUTES), c.first);
        SetWindowTextA(Item(IDC_SECONDS), "0");
        decoder->ClearCalls();
        EnterInTimeEdit(IDC_SECONDS);
        EXPECT_EQ("SetStartOffset(" + std::to_string(c.second) + ")", LastStartOffset()) << c.first;
        Pump();
    }
}

TEST_F(Seeking, EnterInTheEditItselfCommitsTheTypedTime)
{
    Position(5000);
    Mouse(WM_LBUTTONUP, InsideTime());
    SetWindowTextA(Item(IDC_MINUTES), "5");
    SetWindowTextA(Item(IDC_SECONDS), "7");
    PostMessageA(Item(IDC_MINUTES), WM_KEYUP, VK_RETURN, 0xC01C0001);
    Pump();
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFile, 307000)), DecoderCalls());
}

TEST_F(Seeking, OtherNotificationsSeekNothing)
{
    Position(5000);
    NMHDR fromOther = {Item(IDC_SPEED), IDC_SPEED, TEN_ENTER};
    SendMessageA(panel.m_hWnd, WM_NOTIFY, IDC_SPEED, reinterpret_cast<LPARAM>(&fromOther));
    NMHDR otherCode = {Item(IDC_MINUTES), IDC_MINUTES, 77};
    SendMessageA(panel.m_hWnd, WM_NOTIFY, IDC_MINUTES, reinterpret_cast<LPARAM>(&otherCode));
    Pump();
    EXPECT_TRUE(DecoderCalls().empty());
    EXPECT_EQ(panel_view::kPlaying, ControlStates());
}

TEST_F(Seeking, HandCursorOverTheTimeWhilePlayingOrPaused)
{
    const LONG_PTR arrow = GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR);
    const LONG_PTR hand =
        reinterpret_cast<LONG_PTR>(LoadCursorA(fw::AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_POINTING_HAND)));
    ASSERT_TRUE(hand);
    ASSERT_NE(arrow, hand);
    Mouse(WM_MOUSEMOVE, InsideTime());
    EXPECT_EQ(hand, GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR));
    Mouse(WM_MOUSEMOVE, OutsideTime());
    EXPECT_EQ(arrow, GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR));

    Click(IDC_PAUSE);
    Mouse(WM_MOUSEMOVE, InsideTime());
    EXPECT_EQ(hand, GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR));
    Click(IDC_STOP);  // the state is tested only when the hand goes on
    Mouse(WM_MOUSEMOVE, InsideTime());
    EXPECT_EQ(hand, GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR));
    Mouse(WM_MOUSEMOVE, OutsideTime());
    EXPECT_EQ(arrow, GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR));
    Mouse(WM_MOUSEMOVE, InsideTime());
    EXPECT_EQ(arrow, GetClassLongPtrA(panel.m_hWnd, GCLP_HCURSOR)) << "not while stopped";
}

}  // namespace
