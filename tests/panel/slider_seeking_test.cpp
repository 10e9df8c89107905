// With the slider control in place of the scroll bar: position events move the
// slider, its mouse events hold the display and seek, Stop rewinds it.
#include "tests/panel/playback_fixture.h"
#include <commctrl.h>
#include "tests/fakes/fake_slider.h"

namespace {

const char kFile[] = "C:\\rec\\a.d01";

class SeekingWithSlider : public PlaybackTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, sliderRegistration.Status());
        PlaybackTest::SetUp();
        if (HasFatalFailure()) return;
        slider = fakes::FakeSlider::Last();
        ASSERT_TRUE(slider);
        decoder->SetStartTime(L"2000-01-01\t10:20:00.000");
        PlayFile(kFile, 5000);
        decoder->ClearCalls();
    }
    int SliderPosition() const
    {
        return static_cast<int>(SendMessageA(slider->TrackbarWindow(), TBM_GETPOS, 0, 0));
    }

    fakes::FakeSliderRegistration sliderRegistration;
    fakes::FakeSlider* slider = nullptr;
};

TEST_F(SeekingWithSlider, PositionEventsMoveTheSliderToTheSecondFromTheStart)
{
    EXPECT_EQ("10:20:05.00", TimeText());
    EXPECT_EQ(5, SliderPosition());
    Position(0);
    EXPECT_EQ(5, SliderPosition()) << "offset 0 leaves the slider";
    Position(3700000);
    EXPECT_EQ(3600, SliderPosition()) << "past the hour the slider stays at its top";
}

TEST_F(SeekingWithSlider, DragHoldsTheDisplayAndTheReleaseSeeksToTheSlidersSecond)
{
    slider->FireMouseDown(1, 0, 10, 5);
    Position(9000);
    EXPECT_EQ("10:20:05.00", TimeText()) << "ignored while dragging";
    EXPECT_EQ(5, SliderPosition());
    SendMessageA(slider->TrackbarWindow(), TBM_SETPOS, TRUE, 1205);
    // The tooltip tells the time of day the release goes to.
    NMTTDISPINFOA tip = {};
    tip.hdr = {slider->TrackbarWindow(), 0, static_cast<UINT>(TTN_NEEDTEXTA)};
    SendMessageA(slider->TrackbarWindow(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ("40:05", tip.szText);
    slider->FireMouseUp(1, 0, 10, 5);
    EXPECT_EQ((Calls{"Stop"}), DecoderCalls());
    Pump();
    EXPECT_EQ(Then({"Stop"}, OpenCalls(kFile, 1205000)), DecoderCalls());
    Position(1205000);
    EXPECT_EQ("10:40:05.00", TimeText()) << "the drag is over: events count again";
    EXPECT_EQ(1205, SliderPosition()) << "the thumb stays where it was let go";
}

TEST_F(SeekingWithSlider, StopRewindsAndDisablesTheSlider)
{
    ASSERT_TRUE(Enabled(IDC_SLIDER));
    Click(IDC_STOP);
    EXPECT_EQ(0, SliderPosition());
    EXPECT_FALSE(Enabled(IDC_SLIDER));
}

}  // namespace
