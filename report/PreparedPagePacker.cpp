#include "report/PreparedPagePacker.h"

#include "report/PreparedPageCodec.h"

#include <utility>

namespace qev {

PreparedPagePacker::~PreparedPagePacker() {
    drop();
}

void PreparedPagePacker::submit(int page, const QByteArray& entries) {
    std::lock_guard lock(FMutex);
    if (!FThread.joinable()) {
        FStopping = FDropping = false;
        FThread = std::thread([this] { run(); });
    }
    FWaiting.push_back({page, entries, {}});
    FArrived.notify_one();
}

std::vector<PreparedPagePacker::Packed> PreparedPagePacker::takeDone() {
    std::lock_guard lock(FMutex);
    return std::exchange(FDone, {});
}

std::vector<PreparedPagePacker::Packed> PreparedPagePacker::finish() {
    stop(false);
    return std::exchange(FDone, {});
}

void PreparedPagePacker::drop() {
    stop(true);
    FDone.clear();
}

void PreparedPagePacker::stop(bool dropRest) {
    {
        std::lock_guard lock(FMutex);
        if (!FThread.joinable()) return;
        FStopping = true;
        FDropping = dropRest;
        FArrived.notify_one();
    }
    FThread.join();
    FWaiting.clear();
}

void PreparedPagePacker::run() {
    for (;;) {
        Packed job;
        {
            std::unique_lock lock(FMutex);
            FArrived.wait(lock, [this] { return !FWaiting.empty() || FStopping; });
            if (FWaiting.empty() || FDropping) return;
            job = std::move(FWaiting.front());
            FWaiting.pop_front();
        }
        // A page that cannot be compressed stays as it is.
        try {
            job.packed = frxPackEntries(job.entries);
        } catch (...) {
            continue;
        }
        std::lock_guard lock(FMutex);
        FDone.push_back(std::move(job));
    }
}

}  // namespace qev
