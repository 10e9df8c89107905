// Work run on a thread of its own while the caller goes on: the hashes of a clip or a check are
// independent passes over files in the page cache, and each is bound by one core.
#pragma once

#include <functional>
#include <thread>

namespace evidence {

class SideTask {
public:
    // An empty work runs nothing. The work must not throw: it reports failure itself.
    explicit SideTask(std::function<void()> work)
    {
        if (work) m_thread = std::thread(std::move(work));
    }
    ~SideTask() { wait(); }
    SideTask(const SideTask&) = delete;
    SideTask& operator=(const SideTask&) = delete;

    void wait()
    {
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::thread m_thread;
};

}  // namespace evidence
