#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace qev::test {

// A written PDF read back by its own cross-reference table, with helpers to
// get at an object's text and its inflated stream.
class PdfFileReader {
  public:
    explicit PdfFileReader(QByteArray bytes);

    const QByteArray& bytes() const { return FBytes; }
    QByteArray xrefSection() const;       // from "xref" to "trailer"
    QList<qint64> xrefOffsets() const;    // entries 1..n
    int size() const;                     // the trailer's /Size
    QByteArray object(int number) const;  // "n 0 obj" .. "endobj"
    QByteArray stream(int number) const;  // inflated when /FlateDecode
    // Object numbers in the order their bodies appear in the file.
    QList<int> objectOrder() const;
    // Concatenated inflated content streams of all pages, in page order.
    QByteArray allContent() const;

  private:
    QByteArray FBytes;
};

QByteArray inflate(const QByteArray& zlibData);

// Runs a tool; returns its exit code and puts stdout/stderr into output.
int runTool(const QString& program, const QStringList& arguments, QString* output = nullptr);

}  // namespace qev::test
