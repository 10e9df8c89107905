// A motion search that runs behind playback, on threads of its own. The time
// asked for is searched one stretch after another, in order, so that hits are
// told while the search goes on rather than all at its end. Each stretch after
// the first begins a few coarse looks early: the background is learnt there,
// and a movement under way at the border is followed by the stretch it began in.
//
// Portable, no Windows header: the listener decides where its calls go on to.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>
#include "decoder/motion_scan.h"

namespace rec {
class Recording;
}

class CMotionSearchSession {
public:
    // Called on the session's threads, never after the destructor returned.
    struct Listener {
        // Every hit so far, merged and in order of time, each time a stretch adds to them.
        std::function<void(const std::vector<MotionHit>& hits)> hits;
        // The share of the time asked for searched so far, 0..1.
        std::function<void(double share)> progress;
        // Once, last: the whole result, also when cancelled.
        std::function<void(const MotionResult& result)> finished;
    };

    // The search starts at once; the recording is kept while it runs.
    CMotionSearchSession(std::shared_ptr<const rec::Recording> recording, MotionSearch search, Listener listener);
    ~CMotionSearchSession();  // cancels, and waits for the threads to end
    CMotionSearchSession(const CMotionSearchSession&) = delete;
    CMotionSearchSession& operator=(const CMotionSearchSession&) = delete;

    // Asks the search to stop soon; finished still comes.
    void Cancel() { m_cancel = true; }

    // Of recording time a stretch: at four looks a second, a few hundred looks.
    static constexpr int64_t kStretchMs = 120000;

private:
    void Run();
    // The stretch [startMs, endMs) searched; its hits added to *pAll.
    MotionResult SearchStretch(int64_t startMs, int64_t endMs, int64_t warmMs, std::vector<MotionHit>* pAll);

    std::shared_ptr<const rec::Recording> m_recording;
    MotionSearch m_search;
    Listener m_listener;
    int64_t m_fromMs = 0, m_toMs = 0;  // what is searched, within the camera's footage
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;  // last: it starts once everything above is set
};
