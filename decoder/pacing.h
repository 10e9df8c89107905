// Recording time as a function of the playback clock and the speed.
//
// While running, the position moves with the clock, scaled by the speed; while
// held it stays where it was put. A change of speed keeps the present position
// and scales only what comes after it. Speed 0 (as fast as decoding allows) is
// not paced by the clock at all: the position stays where the control last put
// it, and the control moves it frame by frame as pictures come out of decoding.
// Backward, the position runs down at the same pace; it may go below zero, and
// the control stops it at the first picture.
#pragma once
#include <cstdint>
#include "decoder/clock.h"

class CPlaybackPacer {
public:
    explicit CPlaybackPacer(IPlaybackClock& clock) : m_clock(clock) {}

    // 0, 2, 1, -2, -4, -8.
    static bool IsValidSpeed(long nSpeed);

    int64_t PositionMs() const;
    bool IsRunning() const { return m_bRunning; }
    long Speed() const { return m_nSpeed; }
    bool IsBackward() const { return m_bRunning && m_bBackward; }

    // Moves on from nFromMs, starting now: forward, or backward at the same pace.
    void Run(int64_t nFromMs, bool bBackward = false);
    void Hold(int64_t nAtMs);  // stays at nAtMs
    void SetSpeed(long nSpeed);

private:
    IPlaybackClock& m_clock;
    int64_t m_nBaseMs = 0;     // position at m_nBaseClock
    int64_t m_nBaseClock = 0;  // clock reading when the position was m_nBaseMs
    bool m_bRunning = false;
    bool m_bBackward = false;
    long m_nSpeed = 1;
};
