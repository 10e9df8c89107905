// FakeDecoder: its lifetime, the scripting a test does, events, stream and window.
#include "tests/fakes/fake_decoder.h"
#include <algorithm>
#include <thread>
#include "decoder/dvrctl_info.h"
#include "framework/axserver/property_stream.h"

namespace fakes {
namespace {

std::vector<FakeDecoder*> g_live;  // in creation order
int g_nCreated = 0;

}  // namespace

FakeDecoder::FakeDecoder() : CAxControl(DvrContractInfo())
{
    g_live.push_back(this);
    ++g_nCreated;
}

FakeDecoder::~FakeDecoder() { g_live.erase(std::find(g_live.begin(), g_live.end(), this)); }

FakeDecoder* FakeDecoder::Last() { return g_live.empty() ? nullptr : g_live.back(); }
int FakeDecoder::LiveCount() { return static_cast<int>(g_live.size()); }
int FakeDecoder::CreatedCount() { return g_nCreated; }

// --- Scripting

void FakeDecoder::SetEventBlock(DISPID dispid, std::optional<std::vector<BYTE>> bytes)
{
    if (bytes)
        m_eventBlocks[dispid] = std::move(*bytes);
    else
        m_eventBlocks.erase(dispid);
}

void FakeDecoder::SetStartTime(const wchar_t* pszText)
{
    if (pszText)
        m_startTime = pszText;
    else
        m_startTime.reset();
}

void FakeDecoder::RaiseOn(DISPID dispid, const wchar_t* pszDescription, int nthCall)
{
    m_failures[dispid] = {DISP_E_EXCEPTION, true, pszDescription ? pszDescription : L"", nthCall, 0};
}

void FakeDecoder::FailOn(DISPID dispid, HRESULT hr, int nthCall)
{
    m_failures[dispid] = {hr, false, L"", nthCall, 0};
}

void FakeDecoder::OnCall(DISPID dispid, std::function<void(FakeDecoder&)> action)
{
    if (action)
        m_actions[dispid] = std::move(action);
    else
        m_actions.erase(dispid);
}

// --- Events

HRESULT FakeDecoder::FireStateChange(LONG nType, LONG nValue)
{
    return FireEvent(DVR_EVENT_STATE_CHANGE, {AxLongVariant(nType), AxLongVariant(nValue)});
}

HRESULT FakeDecoder::FirePositionChange(LONG nMs)
{
    return FireEvent(DVR_EVENT_POSITION_CHANGE, {AxLongVariant(nMs)});
}

void FakeDecoder::FireStateChangeFromWorker(LONG nType, LONG nValue)
{
    // The queue is ours: if we go first, the posted work is dropped with it.
    std::thread worker([this, nType, nValue] {
        m_queue.Post([this, nType, nValue] { FireStateChange(nType, nValue); });
    });
    worker.join();
}

// --- Persisted stream

HRESULT FakeDecoder::LoadProperties(const std::vector<BYTE>& bytes)
{
    m_persisted = bytes;
    m_bLoaded = true;
    if (!IsDecoderStreamShape(bytes.data(), bytes.size()))
        return E_INVALIDARG;
    CPersistedProperties props;
    ParsePersistedProperties(bytes.data(), bytes.size(), &props);
    SetExtent(DVASPECT_CONTENT, &props.extent);
    return S_OK;
}

HRESULT FakeDecoder::SaveProperties(std::vector<BYTE>* pBytes)
{
    if (m_bLoaded)
        *pBytes = m_persisted;
    else
        pBytes->assign(kDecoderPersistedStream,
                       kDecoderPersistedStream + sizeof(kDecoderPersistedStream));
    return S_OK;
}

// --- Window

bool FakeDecoder::OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT* pResult)
{
    if (msg != WM_LBUTTONDOWN)
        return false;
    ++m_nClicks;
    FireStateChange(DVR_STATE_PAUSE_CLICK, 0);
    *pResult = 0;
    return true;
}

}  // namespace fakes
