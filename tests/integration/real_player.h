// The real player on the real decoder, in the test's process: the decoder's own
// class object is registered with COM for this process only (no registry), the
// video window is created modeless with its panel, and a test acts as the user
// does (the open-file dialog is answered, buttons are clicked) and pumps the queue.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <wrl/client.h>
#include <string>
#include "decoder/dvr_control.h"
#include "framework/app.h"
#include "host/video_dlg.h"
#include "res/resource.h"
#include "tests/panel/panel_view.h"
#include "tests/support/test_support.h"

// Registers the class object dvrctl.dll hands out, wrapped so that the test can
// reach the control it made (for what the control shows).
class RealDecoderRegistration {
public:
    RealDecoderRegistration();
    ~RealDecoderRegistration();
    RealDecoderRegistration(const RealDecoderRegistration&) = delete;
    RealDecoderRegistration& operator=(const RealDecoderRegistration&) = delete;

    HRESULT Status() const { return m_hr; }
    // The control made last; null before the first. One reference is held,
    // until Forget: a control alive keeps its recording's file open.
    CDvrControl* Last() const;
    void Forget();

private:
    HRESULT m_hr = E_FAIL;
    DWORD m_dwCookie = 0;
    class Factory;
    Factory* m_pFactory = nullptr;
};

class RealPlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void Pump() { testing_support::PumpMessages(); }
    HWND Item(int id) const { return GetDlgItem(panel.m_hWnd, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::vector<bool> ControlStates() const { return panel_view::ControlStates(panel.m_hWnd); }
    std::string Title() const { return testing_support::WindowText(video.m_hWnd); }
    CDvrControl& Control() const { return *m_pControl; }
    std::string ControlMessage() const;

    void Click(int id);
    // Open, with the file chosen in the dialog.
    void Open(const std::string& path);
    void Scroll(UINT code, UINT thumb = 0);
    // Clicks the time, types minutes and seconds in its edits, and presses Enter.
    void TypeTime(const char* minutes, const char* seconds);

    // True when another thread's SendMessageTimeout(WM_NULL) to the video window
    // is answered while this thread pumps its queue.
    bool Responsive();
    // Playback under way: the first picture past the start turned Pause on.
    bool WaitPlaying(DWORD ms = 5000);
    // The open or reopen finished: the panel left the set it shows while opening.
    bool WaitSettled(DWORD ms = 5000);
    // Pixels of the control's back buffer close to colour (each channel within 40).
    int PixelsNear(COLORREF color) const;
    // Bright pixels: the white text the control draws a failure's reason in.
    int TextPixels() const;

    testing_support::ComScope com;
    RealDecoderRegistration registration;
    CWinApp app{"Vorplex"};
    testing_support::MessageBoxRecorder boxes;
    testing_support::OpenFileAnswer openFile;  // the panel asks for a file at start: cancelled
    CVideoDlg video;
    CPanelDlg& panel = video.Panel();

private:
    CDvrControl* m_pControl = nullptr;
};

// What a test saw of the message boxes, for a failure's text.
std::string DescribeBoxes(const testing_support::MessageBoxRecorder& boxes);
