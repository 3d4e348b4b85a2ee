#include "report/WorkerQueue.h"

#include <atomic>

namespace qev {

namespace {

std::atomic<bool> queueThreads{true};

}  // namespace

void setWorkerQueueThreads(bool enabled) {
    queueThreads.store(enabled, std::memory_order_relaxed);
}

bool workerQueueThreads() {
    return queueThreads.load(std::memory_order_relaxed);
}

}  // namespace qev
