#include "tests/decoder/decoder_fixture.h"

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(DWORD nMs)
{
    const ULONGLONG nDeadline = GetTickCount64() + nMs;
    for (ULONGLONG now = GetTickCount64(); now < nDeadline; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(nDeadline - now), QS_ALLINPUT);
        PumpMessages();
    }
}

void DecoderTest::SetUp()
{
    ASSERT_EQ(S_OK, OleInitialize(nullptr));
    SetPlaybackClockForTesting(&m_clock);
    m_hwndParent = CreateWindowExA(0, "STATIC", "container", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, m_hwndParent);
    const RECT rcPos = {0, 0, kWidth, kHeight};
    m_site = std::make_unique<CTestSite>(m_hwndParent, rcPos);

    m_pControl = new CDvrControl();
    ASSERT_EQ(S_OK, m_pControl->QueryInterface(IID_IDvrControl, reinterpret_cast<void**>(m_decoder.GetAddressOf())));
    m_pControl->Release();  // m_decoder holds it now

    ComPtr<IOleObject> object;
    ASSERT_EQ(S_OK, m_decoder.As(&object));
    ASSERT_EQ(S_OK, object->SetClientSite(m_site.get()));
    ASSERT_EQ(S_OK, object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site.get(), 0, m_hwndParent, &rcPos));
    ASSERT_NE(nullptr, m_pControl->Window());
    // The tests tick by hand; the window's own timer would tick between their steps.
    KillTimer(m_pControl->Window(), CDvrControl::kPlaybackTimer);

    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, m_decoder.As(&container));
    ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID_DvrControlEvents, &m_point));
    ASSERT_EQ(S_OK, m_point->Advise(&m_sink, &m_dwCookie));
}

void DecoderTest::TearDown()
{
    if (m_point)
        m_point->Unadvise(m_dwCookie);
    m_point.Reset();
    ComPtr<IOleObject> object;
    if (m_decoder && SUCCEEDED(m_decoder.As(&object))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    object.Reset();
    m_decoder.Reset();
    if (m_hwndParent)
        DestroyWindow(m_hwndParent);
    SetPlaybackClockForTesting(nullptr);
    m_files.clear();
    OleUninitialize();
}

HRESULT DecoderTest::OpenRecording(const TestRecordingPlan& plan, LONG nOffset)
{
    m_files.push_back(std::make_unique<CTempFile>());
    const CTempFile& file = *m_files.back();
    if (!WriteTestRecording(file.Path(), plan))
        return E_FAIL;
    return OpenPath(file.WidePath(), nOffset);
}

HRESULT DecoderTest::OpenPath(const std::wstring& path, LONG nOffset)
{
    HRESULT hr = PutString(Decoder(), DVR_FILE_NAME, path.c_str());
    if (SUCCEEDED(hr))
        hr = PutLong(Decoder(), DVR_START_OFFSET, nOffset);
    return SUCCEEDED(hr) ? PutLong(Decoder(), DVR_OPEN_MODE, 1) : hr;
}

void DecoderTest::Tick(int64_t nMs)
{
    m_clock.Advance(nMs);
    SendMessageA(m_pControl->Window(), WM_TIMER, CDvrControl::kPlaybackTimer, 0);
}

bool DecoderTest::WaitForPicture()
{
    const ULONGLONG nDeadline = GetTickCount64() + 5000;
    while (m_pControl->IsPicturePending()) {
        if (GetTickCount64() > nDeadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

std::vector<LONG> DecoderTest::TakePositions()
{
    std::vector<LONG> positions;
    std::vector<SinkEvent> rest;
    for (const SinkEvent& event : m_sink.events) {
        if (event.dispid == DVR_EVENT_POSITION_CHANGE && event.args.size() == 1)
            positions.push_back(event.args[0]);
        else
            rest.push_back(event);
    }
    m_sink.events = rest;
    return positions;
}

std::vector<std::pair<LONG, LONG>> DecoderTest::TakeStates()
{
    std::vector<std::pair<LONG, LONG>> states;
    std::vector<SinkEvent> rest;
    for (const SinkEvent& event : m_sink.events) {
        if (event.dispid == DVR_EVENT_STATE_CHANGE && event.args.size() == 2)
            states.push_back({event.args[0], event.args[1]});
        else
            rest.push_back(event);
    }
    m_sink.events = rest;
    return states;
}
