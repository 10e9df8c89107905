// CDvrControl: the automation members, checked as strictly as the contract
// writes them, then handed to playback or the view.
#include "decoder/dvr_control.h"
#include "decoder/layout.h"
#include "framework/text.h"
#include "recording/dvrx.h"

namespace {

const wchar_t kErrorSource[] = L"DVR Control";
const long kMaxCameraIndex = 15;

// A method with one out string: the checks every such member needs.
HRESULT OutStringArgument(const AxInvocation& call, BSTR** ppOut)
{
    HRESULT hr = AxMethod(call, 1);
    return FAILED(hr) ? hr : AxMethodOutString(call, 0, ppOut);
}

template <size_t N>
BSTR BlockBstr(const std::array<uint8_t, N>& block)
{
    return SysAllocStringByteLen(reinterpret_cast<LPCSTR>(block.data()), static_cast<UINT>(N));
}

// The three blocks as the file has them, or all zero with no file open.
BSTR EventBlock(DISPID dispid, const rec::Recording* pRecording)
{
    static const rec::SourceBlock kNoSource{};
    static const rec::MotionBlock kNoMotion{};
    static const rec::GpiBlock kNoGpi{};
    switch (dispid) {
    case DVR_SOURCE_EVENTS: return BlockBstr(pRecording ? pRecording->sourceBlock() : kNoSource);
    case DVR_MOTION_EVENTS: return BlockBstr(pRecording ? pRecording->motionBlock() : kNoMotion);
    default: return BlockBstr(pRecording ? pRecording->gpiBlock() : kNoGpi);
    }
}

}  // namespace

HRESULT CDvrControl::PutSpeed(const AxInvocation& call)
{
    LONG nSpeed = 0;
    HRESULT hr = AxPutLong(call, &nSpeed);
    if (FAILED(hr))
        return hr;
    if (!CPlaybackPacer::IsValidSpeed(nSpeed))
        return E_INVALIDARG;
    m_nSpeed = nSpeed;
    m_pacer.SetSpeed(nSpeed);
    return S_OK;
}

HRESULT CDvrControl::GetCameraMask(const AxInvocation& call)
{
    HRESULT hr = AxGetProperty(call);
    if (FAILED(hr))
        return hr;
    return AxReturnLong(call, m_recording ? static_cast<LONG>(m_recording->cameraMask()) : 0);
}

HRESULT CDvrControl::PutOpenMode(const AxInvocation& call)
{
    LONG nMode = 0;
    HRESULT hr = AxPutLong(call, &nMode);
    if (FAILED(hr))
        return hr;
    if (nMode != 1)
        return E_INVALIDARG;
    return OpenAndPlay() ? S_OK : AxRaise(call, kErrorSource, m_message.c_str());
}

HRESULT CDvrControl::Transport(const AxInvocation& call, void (CDvrControl::*pfnAction)())
{
    HRESULT hr = AxMethod(call, 0);
    if (FAILED(hr))
        return hr;
    (this->*pfnAction)();
    return S_OK;
}

HRESULT CDvrControl::SelectSource(const AxInvocation& call)
{
    LONG nCamera = 0;
    HRESULT hr = AxMethod(call, 1);
    if (SUCCEEDED(hr))
        hr = AxMethodLong(call, 0, &nCamera);
    if (FAILED(hr))
        return hr;
    if (nCamera < -1 || nCamera > kMaxCameraIndex)
        return E_INVALIDARG;
    m_nSource = nCamera;
    Recompose();
    return S_OK;
}

HRESULT CDvrControl::PutFileName(const AxInvocation& call)
{
    BSTR bstrPath = nullptr;
    HRESULT hr = AxPutString(call, &bstrPath);
    if (FAILED(hr))
        return hr;
    m_fileName = fw::BstrToAnsi(bstrPath);
    return S_OK;
}

HRESULT CDvrControl::PutStartOffset(const AxInvocation& call)
{
    LONG nOffset = 0;
    HRESULT hr = AxPutLong(call, &nOffset);
    if (FAILED(hr))
        return hr;
    if (nOffset < 0)
        return E_INVALIDARG;
    m_nStartOffset = nOffset;
    return S_OK;
}

HRESULT CDvrControl::GetEventBlock(const AxInvocation& call)
{
    BSTR* pOut = nullptr;
    HRESULT hr = OutStringArgument(call, &pOut);
    if (FAILED(hr))
        return hr;
    // An out parameter: what the caller's BSTR held is not ours to free.
    *pOut = EventBlock(call.dispid, m_recording.get());
    return *pOut ? S_OK : E_OUTOFMEMORY;
}

HRESULT CDvrControl::GetStartTime(const AxInvocation& call)
{
    BSTR* pOut = nullptr;
    HRESULT hr = OutStringArgument(call, &pOut);
    if (FAILED(hr))
        return hr;
    *pOut = m_recording ? fw::AnsiToBstr(rec::formatStartTime(m_recording->startTime())) : nullptr;
    return S_OK;
}

HRESULT CDvrControl::ViewSplit(const AxInvocation& call)
{
    if (!(call.wFlags & DISPATCH_PROPERTYPUT)) {
        HRESULT hr = AxGetProperty(call);
        return FAILED(hr) ? hr : AxReturnLong(call, m_nSplit);
    }
    LONG nSplit = 0;
    HRESULT hr = AxPutLong(call, &nSplit);
    if (FAILED(hr))
        return hr;
    if (!IsValidSplit(nSplit))
        return E_INVALIDARG;
    m_nSplit = nSplit;
    Relayout();  // even for the present value: the container asks for a new layout
    return S_OK;
}

HRESULT CDvrControl::ViewGroup(const AxInvocation& call)
{
    if (!(call.wFlags & DISPATCH_PROPERTYPUT)) {
        HRESULT hr = AxGetProperty(call);
        return FAILED(hr) ? hr : AxReturnLong(call, m_nGroup);
    }
    LONG nGroup = 0;
    HRESULT hr = AxPutLong(call, &nGroup);
    if (FAILED(hr))
        return hr;
    if (nGroup < -1 || nGroup > kMaxCameraIndex)
        return E_INVALIDARG;
    m_nGroup = nGroup;
    Relayout();
    return S_OK;
}
