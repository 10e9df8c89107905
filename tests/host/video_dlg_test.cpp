// The video window: the command bridge from the panel to the decoder, resizing,
// the decoder's events, and teardown.
#include <cstdio>
#include <memory>
#include "framework/exceptions.h"
#include "tests/host/host_fixture.h"

namespace {

TEST_F(VideoWindow, InitialisationBindsTheDecoderAndCreatesThePanel)
{
    EXPECT_EQ(decoder->Window(), video.DecoderWindow());
    ASSERT_TRUE(video.Panel().IsWindow());
    EXPECT_EQ(video.m_hWnd, GetWindow(video.Panel().m_hWnd, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(video.Panel().m_hWnd));
    EXPECT_EQ(reinterpret_cast<LRESULT>(video.Icon()), SendMessageA(video.m_hWnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(video.Icon()), SendMessageA(video.m_hWnd, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(std::vector<BYTE>(fakes::kDecoderPersistedStream,
                                fakes::kDecoderPersistedStream + DVR_PERSISTED_STREAM_SIZE),
              decoder->PersistedStream());
}

TEST_F(VideoWindow, ResizeStretchesTheDecoderAndLaysItsViewsOutAgain)
{
    decoder->SetViewSplit(4);
    SetWindowPos(video.m_hWnd, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, ctrl;
    GetClientRect(video.m_hWnd, &client);
    GetWindowRect(decoder->Window(), &ctrl);
    MapWindowPoints(nullptr, video.m_hWnd, reinterpret_cast<POINT*>(&ctrl), 2);
    EXPECT_EQ(0, ctrl.left);
    EXPECT_EQ(0, ctrl.top);
    EXPECT_EQ(client.right, ctrl.right);
    EXPECT_EQ(client.bottom, ctrl.bottom);
    EXPECT_EQ((Calls{"GetViewSplit", "SetViewSplit(4)"}), decoder->Calls());
}

TEST_F(VideoWindow, TransportCommandsReachTheDecoder)
{
    EXPECT_EQ(1, Command(PCMD_PLAY));
    EXPECT_EQ(1, Command(PCMD_PAUSE));
    EXPECT_EQ(1, Command(PCMD_STOP));
    EXPECT_EQ(1, Command(PCMD_STEP));
    EXPECT_EQ(1, Command(PCMD_PLAY_AGAIN));
    EXPECT_EQ((Calls{"Play", "Pause", "Stop", "Step", "PlayAgain"}), decoder->Calls());
}

TEST_F(VideoWindow, SpeedTakesTheLowSixteenBitsAsASignedValue)
{
    Command(PCMD_SPEED, -8);
    Command(PCMD_SPEED, 0x1FFFE);
    Command(PCMD_SPEED, 2);
    EXPECT_EQ((Calls{"SetSpeed(-8)", "SetSpeed(-2)", "SetSpeed(2)"}), decoder->Calls());
}

TEST_F(VideoWindow, UnknownCodesDoNothingAndReplyOne)
{
    EXPECT_EQ(1, Command(0));
    EXPECT_EQ(1, Command(10));
    EXPECT_EQ(1, Command(0x7FFFFFFF));
    EXPECT_TRUE(decoder->Calls().empty());
}

TEST_F(VideoWindow, OpenSequenceUsesTheStoredStartOffsetUntilReplaced)
{
    const char path[] = "C:\\recordings\\cam 1.d01";
    EXPECT_EQ(1, Command(PCMD_OPEN, reinterpret_cast<LPARAM>(path)));
    EXPECT_EQ(1, Command(PCMD_START_OFFSET, 307000));
    EXPECT_EQ(1, Command(PCMD_OPEN, reinterpret_cast<LPARAM>(path)));
    EXPECT_EQ(1, Command(PCMD_OPEN, reinterpret_cast<LPARAM>(path)));
    const std::string open = "SetFileName(C:\\recordings\\cam 1.d01)";
    EXPECT_EQ((Calls{open, "SetStartOffset(0)", "SetOpenMode(1)", "GetCameraMask",
                     open, "SetStartOffset(307000)", "SetOpenMode(1)", "GetCameraMask",
                     open, "SetStartOffset(307000)", "SetOpenMode(1)", "GetCameraMask"}),
              decoder->Calls());
}

TEST_F(VideoWindow, OnlySeveralOfTheSixteenCamerasRaiseTheSmallestDisplay)
{
    struct Case {
        LONG mask;
        int size;
    } cases[] = {{0x0001, 0}, {0x0003, 1}, {0xFFFF, 1}, {0x10000, 0}, {0x18000, 0}};
    const char path[] = "x.d01";
    for (const Case& c : cases) {
        SetDisplaySize(0);
        decoder->SetCameraMask(c.mask);
        Command(PCMD_OPEN, reinterpret_cast<LPARAM>(path));
        EXPECT_EQ(c.size, DisplaySize()) << std::hex << "mask 0x" << c.mask;
    }
    RECT client;
    GetClientRect(video.m_hWnd, &client);
    EXPECT_EQ(640, client.right);
    EXPECT_EQ(480, client.bottom);
}

TEST_F(VideoWindow, RaisedErrorEndsTheCommandQuietlyWithZero)
{
    decoder->SetCameraMask(0xFFFF);
    SetDisplaySize(0);
    decoder->RaiseOn(DVR_FILE_NAME, L"The file does not exist.");
    const char path[] = "missing.d01";
    EXPECT_EQ(0, Command(PCMD_OPEN, reinterpret_cast<LPARAM>(path)));
    EXPECT_EQ((Calls{"SetFileName(missing.d01)"}), decoder->Calls());
    EXPECT_EQ(0, DisplaySize());
    EXPECT_TRUE(boxes.boxes.empty());
    decoder->ClearFailures();
    decoder->RaiseOn(DVR_CAMERA_MASK, L"damaged");
    EXPECT_EQ(0, Command(PCMD_OPEN, reinterpret_cast<LPARAM>(path)));
    EXPECT_EQ(0, DisplaySize()) << "no enlargement after a failed open";
}

TEST_F(VideoWindow, StatusFailureReachesTheGeneralHandling)
{
    decoder->FailOn(DVR_STOP, E_OUTOFMEMORY);
    EXPECT_EQ(0, Command(PCMD_STOP));
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ(COleException(E_OUTOFMEMORY).GetErrorMessage(), boxes.boxes[0].text);
    EXPECT_EQ("Vorplex", boxes.boxes[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONSTOP), boxes.boxes[0].type);
}

TEST_F(VideoWindow, ViewProperties)
{
    EXPECT_EQ(0, View(VIEW_SET_SPLIT, 4));
    EXPECT_EQ(4, View(VIEW_GET_SPLIT));
    EXPECT_EQ(0, View(VIEW_SET_GROUP, 2));
    EXPECT_EQ(2, View(VIEW_GET_GROUP));
    EXPECT_EQ(0, View(5, 9));
    EXPECT_EQ(0, View(0));
    EXPECT_EQ((Calls{"SetViewSplit(4)", "GetViewSplit", "SetViewGroup(2)", "GetViewGroup"}), decoder->Calls());
}

TEST_F(VideoWindow, ViewPropertyFailuresOfEitherKindAreShown)
{
    decoder->RaiseOn(DVR_VIEW_GROUP, L"No such group.");
    EXPECT_EQ(0, View(VIEW_GET_GROUP));
    decoder->ClearFailures();
    decoder->FailOn(DVR_VIEW_SPLIT, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(0, View(VIEW_SET_SPLIT, 8));
    ASSERT_EQ(2u, boxes.boxes.size());
    EXPECT_EQ("No such group.", boxes.boxes[0].text);
    EXPECT_EQ(COleException(DISP_E_TYPEMISMATCH).GetErrorMessage(), boxes.boxes[1].text);
}

bool TakePosted(HWND hwnd, UINT message, MSG* msg)
{
    return PeekMessageA(msg, hwnd, message, message, PM_REMOVE) != FALSE;
}

TEST_F(VideoWindow, DecoderEventsArePostedToThePanel)
{
    decoder->FireStateChange(3, 9);
    decoder->FirePositionChange(3723456);
    MSG msg;
    ASSERT_TRUE(TakePosted(video.Panel().m_hWnd, WM_DECODER_STATE, &msg));
    EXPECT_EQ(3u, msg.wParam);
    EXPECT_EQ(9, msg.lParam);
    ASSERT_TRUE(TakePosted(video.Panel().m_hWnd, WM_DECODER_POSITION, &msg));
    EXPECT_EQ(3723456u, msg.wParam);
    EXPECT_EQ(0, msg.lParam);
}

TEST_F(VideoWindow, EventsAfterThePanelIsGoneAreDropped)
{
    HWND panel = video.Panel().m_hWnd;
    video.Panel().DestroyWindow();
    decoder->FirePositionChange(5000);
    decoder->FireStateChange(4, 0);
    MSG msg;
    EXPECT_FALSE(TakePosted(nullptr, WM_DECODER_POSITION, &msg));
    EXPECT_FALSE(TakePosted(nullptr, WM_DECODER_STATE, &msg));
    EXPECT_FALSE(IsWindow(panel));
}

TEST_F(VideoWindow, DestroyStopsTheDecoderAndTakesThePanelAlong)
{
    HWND panel = video.Panel().m_hWnd;
    video.DestroyWindow();
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_EQ(0, fakes::FakeDecoder::LiveCount());
}

TEST_F(VideoWindow, DecoderIsStoppedBeforeItGoes)
{
    std::vector<std::string> seen;
    decoder->OnCall(DVR_STOP, [&](fakes::FakeDecoder& d) { seen = d.Calls(); });
    video.DestroyWindow();
    EXPECT_EQ((Calls{"Stop"}), seen);
}

class VideoWindowWithPath : public ::testing::Test {
protected:
    // A video window started with that command-line path, destroyed when it goes.
    struct Destroyer {
        void operator()(CVideoDlg* video) const
        {
            if (video->IsWindow()) video->DestroyWindow();
            delete video;
        }
    };
    std::unique_ptr<CVideoDlg, Destroyer> StartWith(const std::string& path)
    {
        AfxEnableControlContainer();
        std::unique_ptr<CVideoDlg, Destroyer> video(new CVideoDlg);
        video->SetCommandLinePath(path.c_str());
        EXPECT_TRUE(video->Create(IDD_VIDEO, nullptr));
        return video;
    }

    testing_support::ComScope com;
    fakes::FakeDecoderRegistration registration;
    CWinApp app{"Vorplex"};
    testing_support::MessageBoxRecorder boxes;
    testing_support::OpenFileAnswer openFile;
};

// The panel opens the path it was given when its auto-play timer runs out.
std::string PathThePanelOpens(CVideoDlg& video)
{
    fakes::FakeDecoder* decoder = fakes::FakeDecoder::Last();
    decoder->ClearCalls();
    SendMessageA(video.Panel().m_hWnd, WM_TIMER, 100, 0);
    testing_support::PumpMessages();
    const std::string prefix = "SetFileName(";
    for (const std::string& call : decoder->Calls())
        if (call.rfind(prefix, 0) == 0) return call.substr(prefix.size(), call.size() - prefix.size() - 1);
    return "(none)";
}

TEST_F(VideoWindowWithPath, PathGoesToThePanelWhichTakesOffOnePairOfQuotes)
{
    auto video = StartWith("\"C:\\My Recordings\\a b.d01\"");
    EXPECT_STREQ("\"C:\\My Recordings\\a b.d01\"", video->CommandLinePath());
    EXPECT_EQ("C:\\My Recordings\\a b.d01", PathThePanelOpens(*video));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(VideoWindowWithPath, PathTooLongForThePanelIsRefusedNotCut)
{
    auto video = StartWith("C:\\" + std::string(270, 'a') + ".d01");
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_NE(std::string::npos, boxes.boxes[0].text.find("too long"));
    testing_support::PumpMessages();  // no path: the panel asks for a file instead
    EXPECT_EQ(1u, openFile.requests.size());
}

// The panel's buffer holds 259 characters: what must fit is the path without
// the quotes the shell puts around it.
TEST_F(VideoWindowWithPath, QuotesDoNotCountAgainstThePanelsRoom)
{
    for (size_t length : {258u, 259u, 260u}) {
        SCOPED_TRACE(length);
        const std::string path = "C:\\" + std::string(length - 7, 'a') + ".d01";
        ASSERT_EQ(length, path.size());
        boxes.boxes.clear();
        auto video = StartWith("\"" + path + "\"");
        if (length < CPanelDlg::RECORDING_PATH_SIZE) {
            EXPECT_TRUE(boxes.boxes.empty());
            EXPECT_EQ(path, PathThePanelOpens(*video));
        } else {
            ASSERT_EQ(1u, boxes.boxes.size());
            EXPECT_NE(std::string::npos, boxes.boxes[0].text.find("260 characters"));
        }
    }
}

}  // namespace
