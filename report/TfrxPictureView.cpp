#include "report/TfrxPictureView.h"

#include <QBuffer>
#include <QPainter>
#include <QtEndian>

namespace qev {

namespace {

const QByteArray bitmapClass = QByteArrayLiteral("TBitmap");

void appendLE32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLE16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

}  // namespace

TfrxPictureView::TfrxPictureView(QObject* owner) : TfrxView(owner) {
    FComponentStyle &= ~frx::TfrxComponentStyles(frx::csDefaultDiff);
    SetColor(clWhite);
}

void TfrxPictureView::SetAutoSize(bool value) {
    FAutoSize = value;
    if (value) sizeToPicture();
}

void TfrxPictureView::sizeToPicture() {
    if (FImage.isNull()) return;
    SetWidth(FImage.width());
    SetHeight(FImage.height());
}

void TfrxPictureView::SetPicture(const QByteArray& stored) {
    // The same bytes again (a page rebuilt on reused components): nothing
    // to decode.
    if (stored.isSharedWith(FPicture) && !stored.isEmpty()) {
        if (FAutoSize) sizeToPicture();
        return;
    }
    FPicture = stored;
    FImage = QImage();
    const QByteArray file = BitmapFileOf(stored);
    if (!file.isEmpty()) FImage.loadFromData(file, "BMP");
    if (FAutoSize) sizeToPicture();
}

void TfrxPictureView::SetImage(const QImage& image) {
    SetPicture(image.isNull() ? QByteArray() : BitmapHolder(Bitmap24(image)));
}

QByteArray TfrxPictureView::BitmapHolder(const QByteArray& bitmapFile) {
    QByteArray out;
    out.append(char(bitmapClass.size()));
    out.append(bitmapClass);
    appendLE32(out, quint32(bitmapFile.size()));
    out.append(bitmapFile);
    return out;
}

QByteArray TfrxPictureView::BitmapFileOf(const QByteArray& stored) {
    if (stored.isEmpty()) return {};
    const int nameLength = quint8(stored[0]);
    if (stored.mid(1, nameLength) != bitmapClass || stored.size() < 1 + nameLength + 4) return {};
    const quint32 length = qFromLittleEndian<quint32>(stored.constData() + 1 + nameLength);
    const QByteArray file = stored.mid(1 + nameLength + 4);
    return file.size() == qsizetype(length) ? file : QByteArray();
}

QByteArray TfrxPictureView::Bitmap24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int rowBytes = (image.width() * 3 + 3) & ~3;
    const quint32 dataSize = quint32(rowBytes * image.height());
    QByteArray out;
    out.append("BM");
    appendLE32(out, 14 + 40 + dataSize);
    appendLE32(out, 0);
    appendLE32(out, 14 + 40);
    appendLE32(out, 40);
    appendLE32(out, quint32(image.width()));
    appendLE32(out, quint32(image.height()));
    appendLE16(out, 1);
    appendLE16(out, 24);
    appendLE32(out, 0);  // uncompressed
    appendLE32(out, dataSize);
    appendLE32(out, 3780);  // pixels per metre (96 per inch)
    appendLE32(out, 3780);
    appendLE32(out, 0);
    appendLE32(out, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar* line = image.constScanLine(y);
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x] = char(line[3 * x + 2]);  // blue, green, red
            row[3 * x + 1] = char(line[3 * x + 1]);
            row[3 * x + 2] = char(line[3 * x]);
        }
        out.append(row);
    }
    return out;
}

void TfrxPictureView::Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                           double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    DrawBackground();
    if (canvas && !FImage.isNull()) {
        QRectF target(FX, FY, FDX, FDY);
        if (!Stretched) {
            target.setSize(QSizeF(FImage.width() * scaleX, FImage.height() * scaleY));
        } else if (KeepAspectRatio) {
            const QSizeF fitted = QSizeF(FImage.size()).scaled(target.size(), Qt::KeepAspectRatio);
            target.setSize(fitted);
        }
        if (Center) target.moveCenter(QRectF(FX, FY, FDX, FDY).center());
        canvas->drawImage(target, FImage);
    }
    DrawFrame();
}

}  // namespace qev
