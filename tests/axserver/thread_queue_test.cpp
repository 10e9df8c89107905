// CAxThreadQueue: work from other threads, run on the creating thread.
#include <gtest/gtest.h>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>
#include "framework/axserver/thread_queue.h"

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

}  // namespace

TEST(ThreadQueue, WorkFromWorkersRunsOnTheCreatingThreadInOrderWhenPumped)
{
    CAxThreadQueue queue;
    std::vector<int> order;
    std::vector<DWORD> threads;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i)
            EXPECT_TRUE(queue.Post([&, i] {
                order.push_back(i);
                threads.push_back(GetCurrentThreadId());
            }));
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    Pump();
    ASSERT_EQ(50u, order.size());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(i, order[i]);
    for (DWORD id : threads)
        EXPECT_EQ(GetCurrentThreadId(), id);
}

TEST(ThreadQueue, ManyWorkersAtOnceLoseNothing)
{
    CAxThreadQueue queue;
    int nRun = 0;  // touched only on this thread
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < 250; ++i)
                queue.Post([&] { ++nRun; });
        });
    for (std::thread& w : workers)
        w.join();
    Pump();
    EXPECT_EQ(1000, nRun);
}

TEST(ThreadQueue, WorkPostedFromWorkRunsToo)
{
    CAxThreadQueue queue;
    int nRun = 0;
    queue.Post([&] {
        ++nRun;
        queue.Post([&] { ++nRun; });
    });
    Pump();
    EXPECT_EQ(2, nRun);
}

TEST(ThreadQueue, AfterCloseWorkIsRefusedAndPendingWorkDropped)
{
    CAxThreadQueue queue;
    auto token = std::make_shared<int>(0);
    bool bRan = false;
    queue.Post([&bRan, token] { bRan = true; });
    queue.Close();
    EXPECT_EQ(1, token.use_count());  // the dropped work's captures are gone
    EXPECT_FALSE(queue.Post([&] { bRan = true; }));
    Pump();
    EXPECT_FALSE(bRan);
}

TEST(ThreadQueue, DestroyedWithWorkPendingNothingRunsLater)
{
    bool bRan = false;
    {
        CAxThreadQueue queue;
        std::thread worker([&] { queue.Post([&] { bRan = true; }); });
        worker.join();
    }
    Pump();
    EXPECT_FALSE(bRan);
}

TEST(ThreadQueue, WorkMayDestroyItsOwnQueue)
{
    auto* pQueue = new CAxThreadQueue();
    int nRun = 0;
    pQueue->Post([&] { ++nRun; delete pQueue; });
    pQueue->Post([&] { ++nRun; });  // dropped with the queue
    Pump();
    EXPECT_EQ(1, nRun);
}
