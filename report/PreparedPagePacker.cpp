#include "report/PreparedPagePacker.h"

#include "report/PreparedPageCodec.h"

#include <utility>

namespace qev {

PreparedPagePacker::PreparedPagePacker() : FQueue([this](Packed& job) { pack(job); }) {}

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
