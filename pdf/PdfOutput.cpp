#include "pdf/PdfOutput.h"

#include "format/Error.h"
#include "pdf/PdfNumbers.h"
#include "report/WorkerQueue.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace qev {

namespace {

// Bytes gathered before they are handed to the writing thread, bytes handed
// over before it is woken for them (a few pages), and bytes handed over at
// most before the drawing waits for it.
constexpr qsizetype gatherBytes = 64 * 1024;
constexpr qsizetype wakeBytes = 64 * 1024;
constexpr qsizetype queuedBytesLimit = 256 * 1024;

}  // namespace

// One piece of the file, in order: bytes with the objects that start among
// them, or a stream to compress and write between its head and tail.
struct PdfOutput::Piece {
    QByteArray bytes;
    std::vector<Mark> marks;
    bool deflate = false;
    StreamHead head;
    QByteArray tail;

    qsizetype weight() const { return bytes.size() + tail.size(); }
};

struct PdfOutput::Sink {
    explicit Sink(QIODevice* device)
        : device(device),
          queue([this](Piece& piece) { take(piece); }, queuedBytesLimit,
                [](const Piece& piece) { return piece.weight(); }, wakeBytes) {}

    void put(Piece piece) { queue.push(std::move(piece)); }
    void waitIdle() { queue.waitIdle(); }
    void stop(bool dropRest) { queue.stop(dropRest); }
    QString failure() {
        std::lock_guard lock(errorMutex);
        return error;
    }

    // On the writing thread. After a failure the rest is passed over.
    void take(const Piece& piece) {
        if (failed) return;
        try {
            write(piece);
        } catch (const std::exception& e) {
            failed = true;
            std::lock_guard lock(errorMutex);
            error = QString::fromUtf8(e.what());
        }
    }
    void write(const Piece& piece) {
        for (const Mark& mark : piece.marks) {
            if (offsets.size() < std::size_t(mark.object)) offsets.resize(std::size_t(mark.object));
            offsets[std::size_t(mark.object) - 1] = position + mark.at;
        }
        if (!piece.deflate) {
            writeBytes(piece.bytes);
            return;
        }
        const QByteArray packed = pdfDeflate(piece.bytes);
        writeBytes(piece.head(packed.size(), piece.bytes.size()));
        writeBytes(packed);
        writeBytes(piece.tail);
    }
    void writeBytes(const QByteArray& bytes) {
        if (bytes.isEmpty()) return;
        errno = 0;
        if (device->write(bytes) != bytes.size()) {
            // A full disk is named as such; the device's own text may only say
            // "Unknown error" for a write that its buffer passed on.
            const int reason = errno;
            const bool full = reason == ENOSPC || reason == EFBIG || reason == EDQUOT;
            throw Error(QStringLiteral("Cannot write file. %1")
                            .arg(full ? QString::fromLocal8Bit(std::strerror(reason))
                                      : device->errorString()));
        }
        position += bytes.size();
    }

    QIODevice* device;
    // The writing thread's own; read here once it is idle.
    bool failed = false;
    qint64 position = 0;
    std::vector<qint64> offsets;
    std::mutex errorMutex;
    QString error;
    WorkerQueue<Piece> queue;  // last: its thread may use all above
};

PdfOutput::PdfOutput() = default;

PdfOutput::~PdfOutput() {
    abandon();
}

void PdfOutput::open(QIODevice* device) {
    abandon();
    FBytes.clear();
    FMarks.clear();
    FObjects = 0;
    FSink = std::make_unique<Sink>(device);
}

void PdfOutput::close() {
    if (!FSink) return;
    flushBytes();
    FSink->stop(false);
    const QString failure = FSink->failure();
    FSink.reset();
    if (!failure.isEmpty()) throw Error(failure);
}

void PdfOutput::abandon() {
    if (FSink) FSink->stop(true);
    FSink.reset();
    FBytes.clear();
    FMarks.clear();
}

void PdfOutput::checkFailure() {
    if (!FSink) return;
    const QString failure = FSink->failure();
    if (!failure.isEmpty()) throw Error(failure);
}

void PdfOutput::flushBytes() {
    if (!FSink || (FBytes.isEmpty() && FMarks.empty())) return;
    Piece piece;
    piece.bytes = std::exchange(FBytes, QByteArray());
    piece.marks = std::exchange(FMarks, {});
    FSink->put(std::move(piece));
}

void PdfOutput::Write(QByteArrayView bytes) {
    checkFailure();
    FBytes.append(bytes);
    if (FBytes.size() >= gatherBytes) flushBytes();
}

void PdfOutput::WriteLn(QByteArrayView bytes) {
    Write(bytes);
    Write("\r\n");
}

void PdfOutput::WriteDeflated(QByteArray data, StreamHead head, QByteArray tail) {
    checkFailure();
    flushBytes();
    Piece piece;
    piece.bytes = std::move(data);
    piece.deflate = true;
    piece.head = std::move(head);
    piece.tail = std::move(tail);
    FSink->put(std::move(piece));
}

qint64 PdfOutput::position() {
    flushBytes();
    FSink->waitIdle();
    checkFailure();
    return FSink->position;
}

int PdfOutput::UpdateXRef() {
    FMarks.push_back({++FObjects, FBytes.size()});
    return FObjects;
}

void PdfOutput::patchXRef(int objectNumber) {
    FMarks.push_back({objectNumber, FBytes.size()});
}

QVector<QByteArray> PdfOutput::xref() {
    flushBytes();
    FSink->waitIdle();
    checkFailure();
    QVector<QByteArray> entries;
    entries.reserve(FObjects);
    for (int i = 0; i < FObjects; ++i)
        entries.append(PrepXrefPos(std::size_t(i) < FSink->offsets.size()
                                       ? FSink->offsets[std::size_t(i)]
                                       : 0));
    return entries;
}

void PdfOutput::clear() {
    FObjects = 0;
}

namespace {

// One compressor per thread, reset for every stream: setting up zlib's
// window and tables for each page costs more than compressing the page.
class Deflater {
  public:
    Deflater() {
        if (deflateInit(&FStream, 1) != Z_OK)
            throw Error(QStringLiteral("Compression is not available"));
    }
    ~Deflater() { deflateEnd(&FStream); }

    QByteArray deflateAll(const QByteArray& data) {
        deflateReset(&FStream);
        QByteArray out(int(deflateBound(&FStream, uLong(data.size()))), Qt::Uninitialized);
        FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        FStream.avail_in = uInt(data.size());
        FStream.next_out = reinterpret_cast<Bytef*>(out.data());
        FStream.avail_out = uInt(out.size());
        const int rc = deflate(&FStream, Z_FINISH);
        if (rc != Z_STREAM_END)
            throw Error(QStringLiteral("Compression failed (zlib error %1)").arg(rc));
        out.resize(int(FStream.total_out));
        return out;
    }

  private:
    z_stream FStream{};
};

}  // namespace

QByteArray pdfDeflate(const QByteArray& data) {
    thread_local Deflater deflater;
    return deflater.deflateAll(data);
}

}  // namespace qev
