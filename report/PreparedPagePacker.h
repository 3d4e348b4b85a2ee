#pragma once

#include "report/WorkerQueue.h"

#include <QByteArray>

#include <mutex>
#include <vector>

namespace qev {

// Compresses the entries of complete prepared pages on a thread of its own
// while the engine goes on with the next pages. The store hands pages in and
// takes the results back on its own thread, so that its pages are only ever
// touched there.
class PreparedPagePacker {
  public:
    struct Packed {
        int page = -1;
        QByteArray entries;  // as handed in
        QByteArray packed;
    };

    PreparedPagePacker();

    void submit(int page, const QByteArray& entries);
    // The pages compressed so far.
    std::vector<Packed> takeDone();
    // Every page handed in, once compressed; the thread stops.
    std::vector<Packed> finish();
    // Drops what is not compressed yet; the thread stops.
    void drop();

  private:
    void pack(Packed& job);

    std::mutex FDoneMutex;
    std::vector<Packed> FDone;
    WorkerQueue<Packed> FQueue;  // last: its thread uses the above
};

}  // namespace qev
