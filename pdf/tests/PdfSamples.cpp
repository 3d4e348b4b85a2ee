#include "PdfSamples.h"

#include <QPainter>

namespace qev::test {

QImage sampleLogo() {
    QImage logo(196, 89, QImage::Format_RGB888);
    logo.fill(QColor(20, 60, 160));
    QPainter painter(&logo);
    painter.fillRect(10, 10, 80, 69, QColor(240, 200, 0));
    return logo;
}

PdfMemo sampleMemo(const QString& text, double left, double top, bool bold) {
    PdfMemo memo;
    memo.box = {left, top, 300, 18};
    memo.font.bold = bold;
    memo.lines = QStringList{text};
    return memo;
}

QByteArray SamplePdf::write(PdfWriter& writer) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    PdfDocumentOptions options;
    options.EmbeddedFonts = embedFonts;
    options.Compressed = compressed;
    options.Author = QStringLiteral("Distribuidora Korvu SA de CV");
    writer.start(&buffer, options, fixedGuid, fixedDate);
    FixedLayout layout;
    PdfPainter painter(writer);
    const QImage logo = sampleLogo();
    const double margin = 10 * 3.77953;
    for (int page = 0; page < pages; ++page) {
        writer.startPage(816, 1056, 10, 10, 10, 10, pdfColorNone);
        painter.drawImage({margin + 3.77953, margin, 196, 89}, PdfFrame{}, 1,
                          [&logo](QImage& image, double) {
                              QPainter p(&image);
                              p.drawImage(0, 0, logo);
                          });
        painter.drawMemo(sampleMemo(QStringLiteral("EMISIÓN"), 300, 60, true), layout);
        painter.drawMemo(
            sampleMemo(QStringLiteral("Código PAGINA %1").arg(page + 1), 300, 90, false), layout);
        PdfFrame frame;
        painter.drawShape({margin, 250, 700, 20}, frame, 0xFFFF00, PdfShapeKind::Rectangle);
        frame.Top = true;
        painter.drawLine({margin, 280, 700, 0}, frame);
        writer.finishPage();
    }
    writer.finish();
    return bytes;
}

}  // namespace qev::test
