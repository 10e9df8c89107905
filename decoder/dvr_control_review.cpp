// CDvrControl: what a reviewer asks beyond playing forward. Every frame of a
// recording is a key frame, so going back costs what going forward does: the
// picture before is simply the newest frame, among the cameras on view, before
// the one shown, and playing backward paces the position down instead of up.
#include "decoder/dvr_control.h"
#include "decoder/recording_glue.h"
#include "framework/text.h"

// Going back moves by the pictures of the cameras on view; a view that shows
// none of the file's cameras goes by them all.
uint32_t CDvrControl::ReviewCameras() const
{
    const uint32_t onView = CamerasOnView() & m_recording->cameraMask();
    return onView ? onView : ~0u;
}

void CDvrControl::StepBack()
{
    if (!m_recording || m_state == State::Idle)
        return;
    const int64_t nNow = m_nPictureMs < 0 ? PictureTimeAt(*m_recording, m_pacer.PositionMs()) : m_nPictureMs;
    const int64_t nBefore = FrameTimeBefore(*m_recording, nNow, ReviewCameras());
    m_state = State::Paused;
    m_pacer.Hold(nBefore < 0 ? nNow : nBefore);
    CatchUpScreen();
    if (nBefore < 0)
        return;  // the first picture: nothing before it
    ShowPicture(nBefore);
    FirePosition(nBefore);
}

void CDvrControl::PlayBackward()
{
    if (!m_recording || m_state == State::Idle)
        return;
    const int64_t nFrom = m_nPictureMs < 0 ? m_pacer.PositionMs() : m_nPictureMs;
    m_pacer.Run(nFrom, true);
    m_state = State::Playing;
    if (Window())
        PostMessageA(Window(), kTickNowMessage, 0, 0);
}

void CDvrControl::OnTickBackward()
{
    int64_t t = m_pacer.PositionMs();
    if (m_settings.nSpeed == 0) {
        // As fast as pictures come out of decoding, as forward.
        if (IsPicturePending())
            return;
        if (m_nPictureMs >= 0)
            t = FrameTimeBefore(*m_recording, m_nPictureMs, ReviewCameras());
        if (t >= 0)
            m_pacer.Run(t, true);
    }
    if (t <= FirstFrameTime(*m_recording, ReviewCameras())) {
        ReachStart();
        return;
    }
    const int64_t nPicture = PictureTimeAt(*m_recording, t);
    if (nPicture != m_nPictureMs) {
        ShowPicture(nPicture);
        FirePosition(nPicture);
    }
}

void CDvrControl::ReachStart()
{
    HoldAt(State::Paused, FirstFrameTime(*m_recording, ReviewCameras()));
    // The container pauses as it does for a click, so that its controls say paused.
    FireEvent(DVR_EVENT_STATE_CHANGE, {AxLongVariant(DVR_STATE_PAUSE_CLICK), AxLongVariant(1)});
}

HRESULT CDvrControl::ProbedStart(BSTR* pOut) const
{
    // Opening reads the file's index, not its pictures: cheap enough for the
    // hour files of one folder.
    *pOut = nullptr;
    rec::Recording recording;
    if (m_probePath.empty() || !recording.open(m_probePath))
        return S_OK;
    *pOut = fw::AnsiToBstr(rec::formatStartTime(recording.startTime()));
    return S_OK;
}
