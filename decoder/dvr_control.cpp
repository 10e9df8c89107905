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
        // A request made in a run of pictures at full speed, answered at once
        // with a picture decoded ahead: the run takes it up (OnPictureDecoded).
        if (m_run.Keep(m_queue.OwnerThreadId(), picture))
            return;
        // Otherwise the picture goes on to this thread's queue, from a worker
        // or from the request itself. If the control is going away the queue
        // is closed and the picture dropped.
        PostPicture(std::move(picture));
    });
}

CDvrControl::~CDvrControl()
{
    EndSearch(false);
    m_queue.Close();
    m_worker.reset();
}
