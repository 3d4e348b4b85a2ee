#pragma once

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace qev {

// Compresses the entries of complete prepared pages on a thread of its own
// while the engine goes on with the next pages. The store hands pages in and
// takes the results back on its own thread, so that its pages are only ever
// touched there.
class PreparedPagePacker {
  public:
    struct Packed {
        int page;
        QByteArray entries;  // as handed in
        QByteArray packed;
    };

    PreparedPagePacker() = default;
    ~PreparedPagePacker();
    PreparedPagePacker(const PreparedPagePacker&) = delete;
    PreparedPagePacker& operator=(const PreparedPagePacker&) = delete;

    void submit(int page, const QByteArray& entries);
    // The pages compressed so far.
    std::vector<Packed> takeDone();
    // Every page handed in, once compressed; the thread stops.
    std::vector<Packed> finish();
    // Drops what is not compressed yet; the thread stops.
    void drop();

  private:
    void run();
    void stop(bool dropRest);

    std::mutex FMutex;
    std::condition_variable FArrived;
    std::deque<Packed> FWaiting;
    std::vector<Packed> FDone;
    bool FStopping = false;
    bool FDropping = false;
    std::thread FThread;
};

}  // namespace qev
