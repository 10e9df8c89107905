// CDvrControl: the automation members. Each call is checked against its
// member's shape (decoder/dvrctl_info.h) as strictly as the contract writes
// it, then its values are checked and handed to playback or the view.
#include "decoder/dvr_control.h"
#include "decoder/dvrctl_info.h"
#include "decoder/layout.h"
#include "framework/text.h"
#include "recording/dvrx.h"

namespace {

const wchar_t kErrorSource[] = L"DVR Control";
const long kMaxCameraIndex = 15;

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

// The path as the reader takes it: UTF-8 holds any name, whatever the host's code page.
std::string Utf8Of(BSTR text)
{
    return text ? fw::Narrow(std::wstring_view(text, SysStringLen(text)), CP_UTF8) : std::string();
}

}  // namespace

HRESULT CDvrControl::InvokeMember(const AxInvocation& call)
{
    const DvrMember* pMember = FindDvrMember(call.dispid);
    if (!pMember)
        return DISP_E_MEMBERNOTFOUND;
    AxArguments args;
    HRESULT hr = AxCheckShape(call, pMember->shape, &args);
    if (FAILED(hr))
        return hr;

    switch (call.dispid) {
    case DVR_SPEED: return PutSpeed(args.nValue);
    case DVR_CAMERA_MASK:
        return AxReturnLong(call, m_recording ? static_cast<LONG>(m_recording->cameraMask()) : 0);
    case DVR_OPEN_MODE: return PutOpenMode(call, args.nValue);
    case DVR_PAUSE: Pause(); return S_OK;
    case DVR_STOP: Stop(); return S_OK;
    case DVR_PLAY: Play(); return S_OK;
    case DVR_PLAY_AGAIN: PlayAgain(); return S_OK;
    case DVR_STEP: Step(); return S_OK;
    case DVR_SELECT_SOURCE: return SelectSource(args.nValue);
    case DVR_FILE_NAME:
        m_settings.fileName = Utf8Of(args.bstrValue);
        return S_OK;
    case DVR_START_OFFSET: return PutStartOffset(args.nValue);
    case DVR_SOURCE_EVENTS:
    case DVR_GPI_EVENTS:
    case DVR_MOTION_EVENTS:
        // An out parameter: what the caller's BSTR held is not ours to free.
        *args.pOut = EventBlock(call.dispid, m_recording.get());
        return *args.pOut ? S_OK : E_OUTOFMEMORY;
    case DVR_START_TIME:
        *args.pOut = m_recording ? fw::AnsiToBstr(rec::formatStartTime(m_recording->startTime())) : nullptr;
        return S_OK;
    case DVR_STEP_BACK: StepBack(); return S_OK;
    case DVR_PLAY_BACKWARD: PlayBackward(); return S_OK;
    case DVR_DURATION: return AxReturnLong(call, m_recording ? static_cast<LONG>(m_recording->durationMs()) : 0);
    case DVR_PROBE_FILE:
        m_probePath = Utf8Of(args.bstrValue);
        return S_OK;
    case DVR_PROBED_START: return ProbedStart(args.pOut);
    case DVR_VIEW_SPLIT: return args.bPut ? PutViewSplit(args.nValue) : AxReturnLong(call, m_settings.nSplit);
    case DVR_VIEW_GROUP: return args.bPut ? PutViewGroup(args.nValue) : AxReturnLong(call, m_settings.nGroup);
    case DVR_MARK_START: Mark(true); return S_OK;
    case DVR_MARK_END: Mark(false); return S_OK;
    case DVR_CLEAR_MARKS: ClearMarks(); return S_OK;
    case DVR_EXPORT_CLIP: ExportClip(); return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT CDvrControl::PutSpeed(LONG nSpeed)
{
    if (!CPlaybackPacer::IsValidSpeed(nSpeed))
        return E_INVALIDARG;
    m_settings.nSpeed = nSpeed;
    m_pacer.SetSpeed(nSpeed);
    return S_OK;
}

HRESULT CDvrControl::PutOpenMode(const AxInvocation& call, LONG nMode)
{
    if (nMode != 1)
        return E_INVALIDARG;
    return OpenAndPlay() ? S_OK : AxRaise(call, kErrorSource, m_message.c_str());
}

HRESULT CDvrControl::SelectSource(LONG nCamera)
{
    if (nCamera < -1 || nCamera > kMaxCameraIndex)
        return E_INVALIDARG;
    m_settings.nSource = nCamera;
    Recompose();
    return S_OK;
}

HRESULT CDvrControl::PutStartOffset(LONG nOffset)
{
    if (nOffset < 0)
        return E_INVALIDARG;
    m_settings.nStartOffset = nOffset;
    return S_OK;
}

HRESULT CDvrControl::PutViewSplit(LONG nSplit)
{
    if (!IsValidSplit(nSplit))
        return E_INVALIDARG;
    if (nSplit != m_settings.nSplit)
        m_viewBefore.bHeld = false;  // the container chose another layout: no way back to an older one
    m_settings.nSplit = nSplit;
    Relayout();  // even for the present value: the container asks for a new layout
    return S_OK;
}

HRESULT CDvrControl::PutViewGroup(LONG nGroup)
{
    if (nGroup < -1 || nGroup > kMaxCameraIndex)
        return E_INVALIDARG;
    m_settings.nGroup = nGroup;
    Relayout();
    return S_OK;
}
