// A motion search that runs behind playback, on threads of its own, and tells
// what it finds as it goes rather than only at its end: every hit so far,
// merged as the whole search merges them, each time a thread finds one.
//
// Portable, no Windows header: the listener decides where its calls go on to.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
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
        // Every hit so far, merged and in order of time, each time one is found.
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

private:
    void Run();
    void Found(const MotionHit& hit);  // on a searching thread

    std::shared_ptr<const rec::Recording> m_recording;
    MotionSearch m_search;
    Listener m_listener;
    std::mutex m_lock;  // guards m_found, and keeps the hits told in the order they grew
    std::vector<MotionHit> m_found;
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;  // last: it starts once everything above is set
};
