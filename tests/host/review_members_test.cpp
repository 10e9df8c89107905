// A decoder that answers the contract alone: the review requests and keys do
// nothing, show nothing, and what the contract gives goes on working.
#include "host/review_messages.h"
#include "tests/host/host_fixture.h"

namespace {

using ContractOnlyDecoder = VideoWindow;

TEST_F(ContractOnlyDecoder, ReviewRequestsDoNothingAndTheContractStillWorks)
{
    RECORDING_START start = {"C:\\x.d01", {}};
    for (WPARAM code : {RCMD_STEP_BACK, RCMD_PLAY_BACKWARD, RCMD_DURATION, RCMD_MARK_START, RCMD_MARK_END, RCMD_EXPORT_CLIP})
        EXPECT_EQ(0, SendMessageA(video.m_hWnd, WM_REVIEW_COMMAND, code, 0)) << code;
    EXPECT_EQ(0, SendMessageA(video.m_hWnd, WM_REVIEW_COMMAND, RCMD_PROBE_START, reinterpret_cast<LPARAM>(&start)));

    // Their keys while playing: with no file, Play only moves the panel's state there.
    HWND panel = video.Panel().m_hWnd;
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), LPARAM(GetDlgItem(panel, 1003)));
    decoder->ClearCalls();
    for (char key : {',', 'j', 'J', 'i', 'O'})
        EXPECT_TRUE(video.Panel().TakeKey(MSG{panel, WM_CHAR, WPARAM(key), 0, 0, {}}));
    EXPECT_TRUE(video.Panel().TakeKey(MSG{panel, WM_KEYDOWN, VK_END, 0, 0, {}}));
    EXPECT_TRUE(decoder->Calls().empty()) << "nothing reached the decoder";
    EXPECT_TRUE(boxes.boxes.empty());

    EXPECT_EQ(1, Command(PCMD_STEP));
    EXPECT_EQ((Calls{"Step"}), decoder->Calls());
}

}  // namespace
