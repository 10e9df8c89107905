// CDvrControl: its identities, its lifetime, and the dispatch of member calls.
#include "decoder/dvr_control.h"
#include "decoder/dvrctl_info.h"

CDvrControl::CDvrControl()
    : CAxControl(DvrControlInfo()), m_clock(CurrentPlaybackClock()), m_pacer(m_clock)
{
}

void CDvrControl::StartDecoding()
{
    // Only a control with a window decodes: the one a container creates just
    // to see that it can (and releases at once) never starts the threads.
    if (m_worker)
        return;
    m_worker = std::make_unique<CDecodeWorker>([this](std::shared_ptr<DecodedPicture> picture) {
        // On the worker: the picture goes on to this thread's queue. If the
        // control is going away the queue is closed and the picture dropped.
        m_queue.Post([this, picture] { OnPictureDecoded(picture); });
    });
}

CDvrControl::~CDvrControl()
{
    m_queue.Close();
    m_worker.reset();
}

HRESULT CDvrControl::InvokeMember(const AxInvocation& call)
{
    switch (call.dispid) {
    case DVR_SPEED: return PutSpeed(call);
    case DVR_CAMERA_MASK: return GetCameraMask(call);
    case DVR_OPEN_MODE: return PutOpenMode(call);
    case DVR_PAUSE: return Transport(call, &CDvrControl::Pause);
    case DVR_STOP: return Transport(call, &CDvrControl::Stop);
    case DVR_PLAY: return Transport(call, &CDvrControl::Play);
    case DVR_PLAY_AGAIN: return Transport(call, &CDvrControl::PlayAgain);
    case DVR_STEP: return Transport(call, &CDvrControl::Step);
    case DVR_SELECT_SOURCE: return SelectSource(call);
    case DVR_FILE_NAME: return PutFileName(call);
    case DVR_START_OFFSET: return PutStartOffset(call);
    case DVR_SOURCE_EVENTS:
    case DVR_GPI_EVENTS:
    case DVR_MOTION_EVENTS: return GetEventBlock(call);
    case DVR_START_TIME: return GetStartTime(call);
    case DVR_VIEW_SPLIT: return ViewSplit(call);
    case DVR_VIEW_GROUP: return ViewGroup(call);
    default: return DISP_E_MEMBERNOTFOUND;
    }
}
