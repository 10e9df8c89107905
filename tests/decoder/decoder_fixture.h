// A real CDvrControl in the test's process: COM on the test's thread, the control
// active in place in a parent window, a sink on its events and a manual clock.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>
#include <wrl/client.h>
#include <memory>
#include "decoder/clock.h"
#include "decoder/dvr_control.h"
#include "tests/support/test_calls.h"
#include "tests/support/test_sink.h"
#include "tests/support/test_site.h"
#include "tests/support/test_recording.h"

using Microsoft::WRL::ComPtr;

class CManualClock final : public IPlaybackClock {
public:
    int64_t NowMs() override { return m_nNow; }
    void Advance(int64_t nMs) { m_nNow += nMs; }

private:
    int64_t m_nNow = 1000000;
};

class DecoderTest : public ::testing::Test {
protected:
    // The control's size in its parent: 4 x 4 tiles of 80 x 60.
    static const int kWidth = 320;
    static const int kHeight = 240;

    void SetUp() override;
    void TearDown() override;

    IDispatch* Decoder() const { return m_decoder.Get(); }
    CDvrControl& Control() const { return *m_pControl; }

    // Writes plan to a temporary file and opens it at nOffset; the result of SetOpenMode.
    HRESULT OpenRecording(const TestRecordingPlan& plan, LONG nOffset = 0);
    HRESULT OpenPath(const std::wstring& path, LONG nOffset = 0);
    // One playback timer tick after the clock moved nMs.
    void Tick(int64_t nMs = 0);
    // Pumps messages until the control has the picture it asked for (false after 5 s).
    bool WaitForPicture();
    // PositionChange values fired since the last call.
    std::vector<LONG> TakePositions();
    // StateChange (type, value) pairs fired since the last call.
    std::vector<std::pair<LONG, LONG>> TakeStates();

    CManualClock m_clock;
    CTestSink m_sink;

private:
    HWND m_hwndParent = nullptr;
    std::unique_ptr<CTestSite> m_site;
    CDvrControl* m_pControl = nullptr;  // kept alive by m_decoder
    ComPtr<IDispatch> m_decoder;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_dwCookie = 0;
    // Every file opened, removed once the control that may hold them open is gone.
    std::vector<std::unique_ptr<CTempFile>> m_files;
};

void PumpMessages();
// Pumps messages for nMs, timers' included.
void PumpFor(DWORD nMs);

// Text on the view is recognised by light pixels on a dark ground: a rule that
// holds however the machine's fonts draw the glyphs.
inline bool IsLight(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) >= 192 && ((pixel >> 8) & 0xFF) >= 192 && (pixel & 0xFF) >= 192;
}
inline bool IsDark(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) < 32 && ((pixel >> 8) & 0xFF) < 32 && (pixel & 0xFF) < 32;
}
