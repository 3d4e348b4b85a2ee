// The file writer hands bytes and streams to a thread of its own: what it
// writes, and the offsets it records, are those of writing in order, and a
// device that fails is reported to the drawing side.

#include "format/Error.h"
#include "pdf/PdfNumbers.h"
#include "pdf/PdfOutput.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace qev {
namespace {

QByteArray head(qsizetype packed, qsizetype raw) {
    return "<<" + QByteArray::number(packed) + "/" + QByteArray::number(raw) + ">>";
}

TEST(PdfOutput, OffsetsAndStreamsComeOutInWritingOrder) {
    QByteArray file;
    QBuffer device(&file);
    device.open(QIODevice::WriteOnly);
    PdfOutput out;
    out.open(&device);
    out.WriteLn("%PDF-1.5");
    EXPECT_EQ(out.UpdateXRef(), 1);  // reserved, written last
    QList<QByteArray> streams;
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(out.UpdateXRef(), i + 2);
        out.WriteLn(PdfOutput::ObjNumber(i + 2));
        const QByteArray stream = QByteArray::number(i).repeated(1000 + 997 * i);
        streams.append(stream);
        out.WriteDeflated(stream, head, "endobj\r\n");
    }
    out.patchXRef(1);
    out.WriteLn(PdfOutput::ObjNumber(1));
    const qint64 end = out.position();
    const QVector<QByteArray> xref = out.xref();
    out.close();

    EXPECT_EQ(end, file.size());
    ASSERT_EQ(xref.size(), 301);
    EXPECT_EQ(file.mid(xref[0].toLongLong()), "1 0 obj\r\n");
    for (int i = 0; i < 300; ++i) {
        const QByteArray object = file.mid(xref[i + 1].toLongLong());
        const QByteArray number = PdfOutput::ObjNumber(i + 2) + "\r\n";
        ASSERT_TRUE(object.startsWith(number)) << i;
        const QByteArray packed = pdfDeflate(streams[i]);
        EXPECT_TRUE(object.mid(number.size()).startsWith(head(packed.size(), streams[i].size()) +
                                                        packed + "endobj\r\n"))
            << i;
    }
}

// A device that takes this many bytes and no more, like a full disk.
class FillingDevice : public QIODevice {
  public:
    explicit FillingDevice(qint64 room) : FRoom(room) { open(QIODevice::WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        if (length > FRoom) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        FRoom -= length;
        return length;
    }

  private:
    qint64 FRoom;
};

// The text the writer raises, empty when it raises nothing.
template <class Call>
QString raised(Call call) {
    try {
        call();
    } catch (const Error& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

TEST(PdfOutput, AFailedWriteIsRaisedLaterAndAtClose) {
    const QString expected = QStringLiteral("Cannot write file. No space left on device");
    {
        FillingDevice device(100000);
        PdfOutput out;
        out.open(&device);
        const QByteArray page = QByteArray("BT <0024> Tj ET\r\n").repeated(4000);
        EXPECT_EQ(raised([&] {
                      for (int i = 0; i < 1000; ++i) {
                          out.UpdateXRef();
                          out.WriteDeflated(page + QByteArray::number(i), head, "endobj\r\n");
                          out.Write(QByteArray(2000, 'x'));
                      }
                  }),
                  expected);
        EXPECT_EQ(raised([&] { out.position(); }), expected);
        out.abandon();
    }
    {
        FillingDevice device(100000);
        PdfOutput out;
        out.open(&device);
        out.Write(QByteArray(200000, 'y'));  // handed over; the device fails afterwards
        EXPECT_EQ(raised([&] { out.close(); }), expected);
    }
}

}  // namespace
}  // namespace qev
