// The panel after its start, with the first open-file dialog cancelled: state 1,
// nothing opened. A test acts as the user does (clicks, list choices, scroll and
// mouse messages), lets the decoder fire its events, pumps the queue, and looks
// at the decoder's calls and what the panel shows.
#pragma once
#include "tests/panel/panel_fixture.h"

class PlaybackTest : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        if (HasFatalFailure()) return;
        Pump();
        decoder->ClearCalls();
    }

    static void Pump() { testing_support::PumpMessages(); }

    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    std::string Text(int id) const { return testing_support::WindowText(Item(id)); }
    std::string Title() const { return testing_support::WindowText(video.m_hWnd); }
    int BarPosition() const { return static_cast<int>(SendMessageA(Item(IDC_POSITION_BAR), SBM_GETPOS, 0, 0)); }
    const Calls& DecoderCalls() const { return decoder->Calls(); }

    void Click(int id)
    {
        PostMessageA(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
        Pump();
    }
    // Open, with the file chosen in the dialog (empty: the dialog is cancelled).
    void Open(const std::string& path)
    {
        openFile.path = path;
        Click(IDC_OPEN);
        openFile.path.clear();
    }
    // Opens a file and lets the decoder report a first picture.
    void PlayFile(const std::string& path, LONG firstPosition = 40)
    {
        Open(path);
        Position(firstPosition);
    }
    void Position(LONG ms)
    {
        decoder->FirePositionChange(ms);
        Pump();
    }
    void DecoderState(LONG type, LONG value = 0)
    {
        decoder->FireStateChange(type, value);
        Pump();
    }
    void Scroll(UINT code, UINT thumb = 0)
    {
        PostMessageA(panel.m_hWnd, WM_HSCROLL, MAKEWPARAM(code, thumb),
                     reinterpret_cast<LPARAM>(Item(IDC_POSITION_BAR)));
        Pump();
    }
    void Mouse(UINT message, POINT at)
    {
        PostMessageA(panel.m_hWnd, message, 0, MAKELPARAM(at.x, at.y));
        Pump();
    }
    POINT InsideTime() const { return panel_view::OnTimeMinutes(panel.m_hWnd); }
    POINT OutsideTime() const { return panel_view::OnTimeHours(panel.m_hWnd); }
    // What a time-entry edit sends for Enter.
    void EnterInTimeEdit(int id)
    {
        NMHDR header = {Item(id), static_cast<UINT_PTR>(id), TEN_ENTER};
        SendMessageA(panel.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
        Pump();
    }
    // A GPI block as the decoder delivers it.
    void GpiBlock(uint16_t count, const std::vector<int32_t>& values)
    {
        GPI_EVENTS block;
        memset(&block, 0, sizeof block);
        block.wCount = count;
        for (size_t i = 0; i < values.size() && i < GPI_EVENT_SLOTS; ++i) block.lValue[i] = values[i];
        DeliverBlock(DVR_GPI_EVENTS, block);
    }
    // The decoder's calls for one open that succeeds, index fetch included.
    static Calls OpenCalls(const std::string& path, long offset = 0)
    {
        return {"SetFileName(" + path + ")", "SetStartOffset(" + std::to_string(offset) + ")", "SetOpenMode(1)",
                "GetCameraMask", "GetSourceEvents", "GetMotionEvents", "GetGpiEvents", "GetStartTime"};
    }
    static Calls Then(Calls first, const Calls& second)
    {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }
};
