#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QStringList>
#include <QVector>

namespace qev {

// Sequential writer of PDF bytes with the cross-reference bookkeeping: entry k
// of FXRef holds the offset of object k + 1. Numbers are taken just before an
// object is written; a few are reserved first and patched when written.
class PdfOutput {
  public:
    void open(QIODevice* device);
    void close() { FDevice = nullptr; }

    void Write(const QByteArray& bytes);
    void WriteLn(const QByteArray& bytes);
    qint64 position() const { return FPosition; }

    int UpdateXRef();                  // takes the next number at the current offset
    void patchXRef(int objectNumber);  // a reserved object is written now
    const QVector<QByteArray>& xref() const { return FXRef; }

    static QByteArray ObjNumber(int n) { return QByteArray::number(n) + " 0 obj"; }
    static QByteArray ObjNumberRef(int n) { return QByteArray::number(n) + " 0 R"; }

    void clear();

  private:
    QIODevice* FDevice = nullptr;
    qint64 FPosition = 0;
    QVector<QByteArray> FXRef;
};

// zlib stream format (header and Adler-32), fastest level.
QByteArray pdfDeflate(const QByteArray& data);

}  // namespace qev
