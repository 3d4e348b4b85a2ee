#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qev {

// Whether queues get threads of their own (the default). A process that is
// one of as many printing processes as there are cores has no core to spare:
// there each job is worked off as it is handed in, which saves handing it
// over and waking a thread for it. Set before the first queue is used.
void setWorkerQueueThreads(bool enabled);
bool workerQueueThreads();

// A thread of its own that works off jobs in the order they were handed in,
// while whoever hands them in goes on: a long print gives the second core
// what it can (compressing pages, writing the PDF). The thread starts with
// the first job. With a limit, pushing waits while that much weight of jobs
// is still waiting, so that memory stays bounded when the thread falls
// behind. A sleeping thread is woken once `wakeWeight` of jobs waits: waking
// it for every small job cost the one who hands them in a system call each.
template <class Job>
class WorkerQueue {
  public:
    using Work = std::function<void(Job&)>;  // must not throw
    using Weight = std::function<qsizetype(const Job&)>;

    explicit WorkerQueue(Work work, qsizetype limit = 0, Weight weight = {},
                         qsizetype wakeWeight = 1)
        : FWork(std::move(work)), FWeight(std::move(weight)), FLimit(limit),
          FWakeWeight(wakeWeight) {}
    ~WorkerQueue() { stop(true); }
    WorkerQueue(const WorkerQueue&) = delete;
    WorkerQueue& operator=(const WorkerQueue&) = delete;

    void push(Job job) {
        if (!workerQueueThreads()) {
            FWork(job);
            return;
        }
        std::unique_lock lock(FMutex);
        if (FLimit > 0 && FQueued >= FLimit) {
            FArrived.notify_one();
            FDrained.wait(lock, [this] { return FQueued < FLimit; });
        }
        FQueued += weightOf(job);
        FJobs.push_back(std::move(job));
        if (!FThread.joinable()) {
            FStopping = FDropping = false;
            FThread = std::thread([this] { run(); });
        }
        if (FQueued >= FWakeWeight) FArrived.notify_one();
    }
    // Waits until every job handed in is done.
    void waitIdle() {
        std::unique_lock lock(FMutex);
        FArrived.notify_one();
        FDrained.wait(lock, [this] { return FJobs.empty() && !FBusy; });
    }
    // Works off what waits (or drops it) and ends the thread.
    void stop(bool dropRest) {
        {
            std::lock_guard lock(FMutex);
            if (!FThread.joinable()) return;
            FStopping = true;
            FDropping = dropRest;
            FArrived.notify_one();
        }
        FThread.join();
        FJobs.clear();
        FQueued = 0;
    }

  private:
    qsizetype weightOf(const Job& job) const { return FWeight ? FWeight(job) : 1; }

    void run() {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(FMutex);
                FArrived.wait(lock, [this] { return !FJobs.empty() || FStopping; });
                if (FJobs.empty() || FDropping) return;
                job = std::move(FJobs.front());
                FJobs.pop_front();
                FBusy = true;
            }
            const qsizetype weight = weightOf(job);
            FWork(job);
            std::lock_guard lock(FMutex);
            FQueued -= weight;
            FBusy = false;
            FDrained.notify_all();
        }
    }

    Work FWork;
    Weight FWeight;
    qsizetype FLimit;
    qsizetype FWakeWeight;
    std::mutex FMutex;
    std::condition_variable FArrived, FDrained;
    std::deque<Job> FJobs;
    qsizetype FQueued = 0;
    bool FBusy = false;
    bool FStopping = false;
    bool FDropping = false;
    std::thread FThread;  // last: it may start once all above is set up
};

}  // namespace qev
