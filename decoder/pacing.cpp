#include "decoder/pacing.h"

namespace {

// Recording time that passes in nElapsed ms of the clock at a speed other than 0.
int64_t Scaled(int64_t nElapsed, long nSpeed)
{
    return nSpeed > 0 ? nElapsed * nSpeed : nElapsed / -nSpeed;
}

}  // namespace

bool CPlaybackPacer::IsValidSpeed(long nSpeed)
{
    switch (nSpeed) {
    case 0:
    case 2:
    case 1:
    case -2:
    case -4:
    case -8: return true;
    default: return false;
    }
}

int64_t CPlaybackPacer::PositionMs() const
{
    if (!m_bRunning || m_nSpeed == 0)
        return m_nBaseMs;
    const int64_t nMoved = Scaled(m_clock.NowMs() - m_nBaseClock, m_nSpeed);
    return m_bBackward ? m_nBaseMs - nMoved : m_nBaseMs + nMoved;
}

void CPlaybackPacer::Run(int64_t nFromMs, bool bBackward)
{
    m_bBackward = bBackward;
    m_nBaseMs = nFromMs;
    m_nBaseClock = m_clock.NowMs();
    m_bRunning = true;
}

void CPlaybackPacer::Hold(int64_t nAtMs)
{
    m_nBaseMs = nAtMs;
    m_bRunning = false;
}

void CPlaybackPacer::SetSpeed(long nSpeed)
{
    // Rebase first, so that the time already played keeps the old speed.
    m_nBaseMs = PositionMs();
    m_nBaseClock = m_clock.NowMs();
    m_nSpeed = nSpeed;
}
