#include "decoder/clock.h"
#include <windows.h>

namespace {

class CPerformanceClock final : public IPlaybackClock {
public:
    CPerformanceClock()
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        m_nFrequency = frequency.QuadPart;
    }
    int64_t NowMs() override
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        // Split the division so that the product cannot overflow after long uptimes.
        return now.QuadPart / m_nFrequency * 1000 + now.QuadPart % m_nFrequency * 1000 / m_nFrequency;
    }

private:
    int64_t m_nFrequency = 1;
};

IPlaybackClock* g_pTestClock = nullptr;

}  // namespace

IPlaybackClock& CurrentPlaybackClock()
{
    static CPerformanceClock s_real;
    return g_pTestClock ? *g_pTestClock : s_real;
}

void SetPlaybackClockForTesting(IPlaybackClock* pClock) { g_pTestClock = pClock; }
