// The playback clock: where pacing reads "now". Controls use the performance
// counter; a test in the same process puts a manual clock in its place before it
// creates a control, so that playback moves only when the test says so.
#pragma once
#include <cstdint>

class IPlaybackClock {
public:
    virtual ~IPlaybackClock() = default;
    virtual int64_t NowMs() = 0;
};

// The clock a control created now takes: the test's when one is set, else the real one.
IPlaybackClock& CurrentPlaybackClock();

// For tests linking the decoder's objects: pClock serves controls created from
// now on; null restores the real clock. Not owned; it must outlive those controls.
void SetPlaybackClockForTesting(IPlaybackClock* pClock);
