#pragma once

#include "pdf/PdfPainter.h"
#include "pdf/PdfWriter.h"

#include <QBuffer>

namespace qev::test {

// A stand-in for the report's text layout: no wrapping, every character
// 6 report pixels wide, the line pitch of a 10-point font with spacing 2.
class FixedLayout : public PdfTextLayout {
  public:
    void lock() override { ++locks; }
    void unlock() override { --locks; }
    void layout(const PdfMemo& memo, const QRect& rect) override {
        lastRect = rect;
        lines = memo.lines;
    }
    double LineHeight() override { return 15.28; }
    QString GetWrappedText() override {
        QString text;
        for (const QString& line : lines) text += line + QStringLiteral("\r\n");
        return text;
    }
    double lineWidth(const PdfMemo&, const QString& line) override { return line.size() * 6.0; }

    int locks = 0;
    QRect lastRect;
    QStringList lines;
};

inline const QString fixedGuid = QStringLiteral("{6B29FC40-CA47-1067-B31D-00DD010662DA}");
inline const QDateTime fixedDate(QDate(2016, 6, 24), QTime(15, 30, 5));

// A Letter page with 10 mm margins in the statement's shape: the logo, a
// bold title, a regular line of text, an aqua box and a rule.
struct SamplePdf {
    int pages = 1;
    bool embedFonts = false;
    bool compressed = true;
    QByteArray write(PdfWriter& writer) const;
    QByteArray write() const {
        PdfWriter writer;
        return write(writer);
    }
};

QImage sampleLogo();  // 196 x 89, 24 bits
PdfMemo sampleMemo(const QString& text, double left, double top, bool bold);

}  // namespace qev::test
