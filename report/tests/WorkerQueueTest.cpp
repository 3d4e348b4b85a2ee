#include "report/WorkerQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace qev {
namespace {

struct QueueCase {
    const char* name;
    qsizetype limit;       // 0: none
    qsizetype wakeWeight;  // weight waiting before the thread is woken
    bool endByStop;        // else by waitIdle
};

// Every job handed in is worked off once and in order, however the thread is
// woken: at the first job, after a few, or only once the limit is reached
// (a waking weight above the limit must not leave the one handing in waiting).
TEST(WorkerQueue, WorksOffEveryJobInOrderWhenWokenLate) {
    const QueueCase cases[] = {
        {"woken for every job", 0, 1, false},
        {"woken every 40 units", 0, 40, false},
        {"woken every 40 units, stopped", 0, 40, true},
        {"limit below the waking weight", 25, 1000, false},
        {"limit below the waking weight, stopped", 25, 1000, true},
        {"never woken by weight, stopped", 0, 1 << 30, true},
    };
    for (const QueueCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> done;
        WorkerQueue<int> queue([&done](int& job) { done.push_back(job); }, c.limit,
                               [](const int& job) { return qsizetype(job % 7 + 1); },
                               c.wakeWeight);
        std::vector<int> handedIn;
        for (int job = 0; job < 2000; ++job) {
            queue.push(job);
            handedIn.push_back(job);
            if (job == 999 && !c.endByStop) {
                queue.waitIdle();
                EXPECT_EQ(done.size(), 1000u);
            }
        }
        if (c.endByStop)
            queue.stop(false);
        else
            queue.waitIdle();
        EXPECT_EQ(done, handedIn);
    }
}

}  // namespace
}  // namespace qev
