#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace qev {

// Sequential writer of PDF bytes with the cross-reference bookkeeping: entry k
// of the table holds the offset of object k + 1. Numbers are taken just before
// an object is written; a few are reserved first and patched when written.
//
// The bytes reach the device from a thread of its own, which also compresses
// the streams given to WriteDeflated: a page is compressed and written while
// the next one is drawn. Object numbers are known at once; offsets depend on
// the compressed sizes before them, so position() and xref() wait until
// everything handed over is written. A failure to write is raised by the next
// call after it happened, and by close().
class PdfOutput {
  public:
    PdfOutput();
    ~PdfOutput();
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;

    void open(QIODevice* device);
    // Waits until every byte is written and lets the device go.
    void close();
    // Lets the device go at once; what was not written yet is dropped.
    void abandon();

    void Write(QByteArrayView bytes);
    void WriteLn(QByteArrayView bytes);
    // The data deflated (zlib stream format, fastest level), written after
    // head(compressed size, data size) and before tail.
    using StreamHead = std::function<QByteArray(qsizetype packed, qsizetype raw)>;
    void WriteDeflated(QByteArray data, StreamHead head, QByteArray tail);
    qint64 position();

    int UpdateXRef();                  // takes the next number at the current offset
    void patchXRef(int objectNumber);  // a reserved object is written now
    QVector<QByteArray> xref();

    static QByteArray ObjNumber(int n) { return QByteArray::number(n) + " 0 obj"; }
    static QByteArray ObjNumberRef(int n) { return QByteArray::number(n) + " 0 R"; }

    void clear();

  private:
    struct Mark {
        int object;    // 1-based
        qsizetype at;  // where it starts among the gathered bytes
    };
    struct Piece;
    struct Sink;
    void flushBytes();
    void checkFailure();

    std::unique_ptr<Sink> FSink;
    QByteArray FBytes;  // small writes gathered before they go to the sink
    std::vector<Mark> FMarks;
    int FObjects = 0;
};

// zlib stream format (header and Adler-32), fastest level.
QByteArray pdfDeflate(const QByteArray& data);

}  // namespace qev
