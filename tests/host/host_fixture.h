// A video window on the scripted decoder, created modeless so that a test can
// send it the panel's messages and look at what reached the decoder.
#pragma once
#include <gtest/gtest.h>
#include "framework/app.h"
#include "host/messages.h"
#include "host/video_dlg.h"
#include "res/resource.h"
#include "tests/fakes/fake_decoder.h"
#include "tests/support/test_support.h"

class VideoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxEnableControlContainer();
        ASSERT_EQ(S_OK, registration.Status());
        app.m_pMainWnd = &video;
        ASSERT_TRUE(video.Create(IDD_VIDEO, nullptr));
        decoder = fakes::FakeDecoder::Last();
        ASSERT_TRUE(decoder);
        decoder->ClearCalls();
    }
    void TearDown() override
    {
        if (video.IsWindow()) video.DestroyWindow();
        app.m_pMainWnd = nullptr;
    }
    LRESULT Command(WPARAM code, LPARAM arg = 0)
    {
        return SendMessageA(video.m_hWnd, WM_PANEL_COMMAND, code, arg);
    }
    LRESULT View(WPARAM code, LPARAM value = 0)
    {
        return SendMessageA(video.m_hWnd, WM_VIEW_PROPERTY, code, value);
    }
    // The panel's display-size list, as the user sees and sets it.
    int DisplaySize() const
    {
        return static_cast<int>(SendDlgItemMessageA(video.Panel().m_hWnd, IDC_DISPLAY_SIZE, CB_GETCURSEL, 0, 0));
    }
    void SetDisplaySize(int size) { SendDlgItemMessageA(video.Panel().m_hWnd, IDC_DISPLAY_SIZE, CB_SETCURSEL, size, 0); }
    using Calls = std::vector<std::string>;

    testing_support::ComScope com;
    fakes::FakeDecoderRegistration registration;
    CWinApp app{"Vorplex"};
    testing_support::MessageBoxRecorder boxes;
    testing_support::OpenFileAnswer openFile;  // the panel asks for a file at start: cancelled
    CVideoDlg video;
    fakes::FakeDecoder* decoder = nullptr;
};
