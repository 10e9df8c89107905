// CDvrControl: opening, the transport, the timer that paces playback, and the
// events that report it. The state is settled before each event is fired, since
// a container may call back into the control from its handler.
#include "decoder/dvr_control.h"
#include "decoder/recording_glue.h"

namespace {

// While playing, a PositionChange at least this often in recording time, even
// when frames are further apart.
const int64_t kMaxPositionGapMs = 100;

}  // namespace

bool CDvrControl::OpenAndPlay()
{
    OpenedRecording opened = OpenRecordingFile(m_settings.fileName);
    if (m_settings.fileName != m_marksFile) {  // marks belong to their file; a seek opens it again
        m_marks.Clear();
        m_marksFile = m_settings.fileName;
        EndSearch(false);  // a search belongs to its file too
    }
    if (m_settings.fileName != m_zoomFile) {  // so are zooms
        for (TileSlot& slot : m_slots)
            slot.zoom = ZoomView();
        m_zoomFile = m_settings.fileName;
    }
    m_recording = std::move(opened.recording);
    m_message = std::move(opened.error);
    m_nPictureMs = -1;
    m_nLastFiredMs = -1;
    m_shown.reset();
    m_nShownSerial = m_nRequestedSerial;  // pictures of the last file still in decoding are dropped
    if (!m_recording) {
        m_state = State::Idle;
        m_pacer.Hold(0);
        Relayout();
        return false;
    }
    m_state = State::Playing;
    m_pacer.Run(m_settings.nStartOffset);
    Relayout();
    // The first picture as soon as the container's call returns, not at the
    // timer's next turn (up to 20 ms on).
    if (Window())
        PostMessageA(Window(), kTickNowMessage, 0, 0);
    return true;
}

void CDvrControl::Pause()
{
    if (m_state != State::Playing)
        return;
    m_pacer.Hold(m_pacer.PositionMs());
    m_state = State::Paused;
    CatchUpScreen();
}

void CDvrControl::Stop()
{
    if (m_state == State::Idle)
        return;
    m_pacer.Hold(m_pacer.PositionMs());
    m_state = State::Stopped;
    CatchUpScreen();
}

void CDvrControl::Play()
{
    const bool bTurn = m_state == State::Playing && m_pacer.IsBackward();
    if (m_state != State::Paused && m_state != State::Stopped && !bTurn)
        return;
    m_pacer.Run(m_pacer.PositionMs());
    m_state = State::Playing;
}

void CDvrControl::PlayAgain()
{
    if (m_state != State::Ended) {
        Play();
        return;
    }
    m_nPictureMs = -1;
    m_nLastFiredMs = -1;
    m_pacer.Run(0);
    m_state = State::Playing;
}

void CDvrControl::Step()
{
    if (!m_recording || m_state == State::Idle || m_state == State::Ended)
        return;
    const int64_t nNext = m_nPictureMs < 0 ? PictureTimeAt(*m_recording, m_pacer.PositionMs())
                                           : NextFrameTimeAfter(*m_recording, m_nPictureMs);
    m_state = State::Paused;
    if (nNext < 0) {
        m_pacer.Hold(m_nPictureMs);  // the last picture: nothing to step to
        return;
    }
    m_pacer.Hold(nNext);
    ShowPicture(nNext);
    FirePosition(nNext);
}

void CDvrControl::OnTick()
{
    if (m_state != State::Playing || !m_recording)
        return;
    if (m_pacer.IsBackward()) {
        OnTickBackward();
        return;
    }
    int64_t t = m_pacer.PositionMs();
    if (m_settings.nSpeed == 0) {
        // As fast as decoding allows: the next frame once the last one is back
        // from decoding (which moves on by itself; the timer only starts it).
        if (IsPicturePending())
            return;
        if (m_nPictureMs >= 0) {
            t = NextFrameTimeAfter(*m_recording, m_nPictureMs);
            if (t < 0)
                t = m_recording->durationMs();
        }
        m_pacer.Run(t);
    }
    if (t >= m_recording->durationMs()) {
        ReachEnd();
        return;
    }
    const int64_t nPicture = PictureTimeAt(*m_recording, t);
    if (nPicture != m_nPictureMs) {
        ShowPicture(nPicture);
        FirePosition(nPicture);
    } else if (t - m_nLastFiredMs >= kMaxPositionGapMs) {
        FirePosition(t);
    }
}

void CDvrControl::ReachEnd()
{
    HoldAt(State::Ended, PictureTimeAt(*m_recording, m_recording->durationMs() - 1));
    FireEvent(DVR_EVENT_STATE_CHANGE, {AxLongVariant(DVR_STATE_END_OF_FILE), AxLongVariant(0)});
}

void CDvrControl::HoldAt(State state, int64_t nTimeMs)
{
    m_state = state;
    m_pacer.Hold(nTimeMs);
    CatchUpScreen();
    if (nTimeMs != m_nPictureMs) {
        ShowPicture(nTimeMs);
        FirePosition(nTimeMs);
    }
}

void CDvrControl::ShowPicture(int64_t nTimeMs)
{
    m_nPictureMs = nTimeMs;
    RequestPicture();
}

void CDvrControl::FirePosition(int64_t nMs)
{
    m_nLastFiredMs = nMs;
    FireEvent(DVR_EVENT_POSITION_CHANGE, {AxLongVariant(static_cast<LONG>(nMs))});
}
