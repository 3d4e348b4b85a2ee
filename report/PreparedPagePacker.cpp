#include "report/PreparedPagePacker.h"

#include "report/PreparedPageCodec.h"

#include <utility>

namespace qev {

namespace {

// Pages handed in before the thread is woken for them: a page packs in a
// fraction of what waking the thread costs.
constexpr qsizetype pagesPerWake = 8;

}  // namespace

PreparedPagePacker::PreparedPagePacker()
    : FQueue([this](Packed& job) { pack(job); }, 0, {}, pagesPerWake) {}

void PreparedPagePacker::submit(int page, const QByteArray& entries) {
    FQueue.push({page, entries, {}});
}

std::vector<PreparedPagePacker::Packed> PreparedPagePacker::takeDone() {
    std::lock_guard lock(FDoneMutex);
    return std::exchange(FDone, {});
}

std::vector<PreparedPagePacker::Packed> PreparedPagePacker::finish() {
    FQueue.stop(false);
    return takeDone();
}

void PreparedPagePacker::drop() {
    FQueue.stop(true);
    takeDone();
}

void PreparedPagePacker::pack(Packed& job) {
    // A page that cannot be compressed stays as it is.
    try {
        job.packed = frxPackEntries(job.entries);
    } catch (...) {
        return;
    }
    std::lock_guard lock(FDoneMutex);
    FDone.push_back(std::move(job));
}

}  // namespace qev
