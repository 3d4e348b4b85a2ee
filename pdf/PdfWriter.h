#pragma once

#include "pdf/PdfColors.h"
#include "pdf/PdfFontList.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfNumbers.h"
#include "pdf/PdfOutput.h"
#include "pdf/PdfTextCache.h"

#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace qev {

// Document options the file structure depends on.
struct PdfDocumentOptions {
    bool Compressed = true;
    bool EmbeddedFonts = true;
    QString Title;
    QString Author = QStringLiteral("QEV Report");
    QString Subject = QStringLiteral("QEV Report PDF export");
    QString Keywords;
    QString Creator;
    QString Producer;
    bool HideToolbar = false;
    bool HideMenubar = false;
    bool HideWindowUI = false;
    bool FitWindow = false;
    bool CenterWindow = false;
    bool PrintScaling = false;
};

// Writes one PDF file front to back: header, per page its images, content
// stream and page object, and at the end the fonts, page tree, document
// information, catalogue, cross-reference table and trailer.
//
// Lives as long as the export component: the image records and the colour
// cache carry over from run to run, everything else starts afresh.
class PdfWriter {
  public:
    // A run on device; the identifier comes from the braced GUID text and the
    // dates from localTime (tests pass fixed values for repeatable files).
    void start(QIODevice* device, const PdfDocumentOptions& options, const QString& guidText,
               const QDateTime& localTime);
    void startPage(double widthPx, double heightPx, double leftMarginMm, double topMarginMm,
                   double rightMarginMm, double bottomMarginMm, quint32 pageColor);
    void finishPage();
    void finish();
    // Drops a run that will not be completed: nothing more is written.
    void abandon();
    bool pageOpen() const { return FPageOpen; }

    // Report pixels to points on the current page.
    double GetLeft(double x) const { return x * 0.75 + FMarginLeft; }
    double GetTop(double y) const { return FHeightWoMargin - y * 0.75; }

    // The content of the page being written.
    QByteArray& OutStream() {
        flushContent();
        return FOutStream;
    }
    void line(QByteArrayView text) {
        appendContent(text.data(), text.size());
        appendContent("\r\n", 2);
    }
    // One content line from parts put straight into the page content: texts
    // as they are, doubles as PDF numbers (two decimals), ints in decimal.
    template <typename... Parts>
    void lineOf(const Parts&... parts) {
        (appendPart(parts), ...);
        appendContent("\r\n", 2);
    }

    PdfOutput& output() { return FOut; }
    PdfFontList& fonts() { return FFonts; }
    PdfImages& images() { return FImages; }
    PdfColorConverter& colors() { return FColors; }
    PdfTextCache& texts() { return FTexts; }

    QByteArray fileId() const { return FFileID; }
    QByteArray dateText() const { return FDate; }
    const QVector<QByteArray>& pagesRef() const { return FPagesRef; }

    static QByteArray fileIdFromGuid(const QString& guidText);
    static QByteArray pdfDate(const QDateTime& localTime);

  private:
    // A page's content is thousands of appends of a few bytes each: they are
    // gathered here and go into FOutStream in larger pieces.
    void appendContent(const char* data, qsizetype size) {
        if (FPendingSize + size > qsizetype(sizeof FPending)) {
            flushContent();
            if (size > qsizetype(sizeof FPending)) {
                FOutStream.append(data, size);
                return;
            }
        }
        std::memcpy(FPending + FPendingSize, data, std::size_t(size));
        FPendingSize += size;
    }
    void flushContent() {
        if (FPendingSize == 0) return;
        FOutStream.append(FPending, FPendingSize);
        FPendingSize = 0;
    }
    // A page's coordinates repeat (a column's left edge, a row's height):
    // the text of a value is kept in a small table by the value's bits.
    void appendPart(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        NumberText& known = FNumberTexts[(bits ^ bits >> 23 ^ bits >> 41) % FNumberTexts.size()];
        if (known.length > 0 && known.bits == bits) {
            appendContent(known.text, known.length);
            return;
        }
        char text[float2MaxChars];
        const qsizetype length = writeFloat2(text, value);
        appendContent(text, length);
        if (length <= 0 || length > qsizetype(sizeof known.text)) return;
        known.bits = bits;
        known.length = quint8(length);
        std::memcpy(known.text, text, std::size_t(length));
    }
    void appendPart(int value) {
        char text[16];
        appendContent(text, std::to_chars(text, text + sizeof text, value).ptr - text);
    }
    void appendPart(const char* text) { appendContent(text, qsizetype(std::strlen(text))); }
    void appendPart(const QByteArray& text) { appendContent(text.constData(), text.size()); }

    void writeContentStream();
    void writePageObject(int content);
    void writePageTree();
    int writeInfo();
    int writeCatalog();
    void writeXRefAndTrailer(int catalog, int info);
    void clearRun();

    struct NumberText {
        std::uint64_t bits = 0;
        quint8 length = 0;  // none kept
        char text[23];
    };
    std::array<NumberText, 256> FNumberTexts{};

    PdfOutput FOut;
    PdfDocumentOptions FOptions;
    PdfFontList FFonts;
    PdfImages FImages;
    PdfColorConverter FColors;
    PdfTextCache FTexts;
    QVector<QByteArray> FPagesRef;
    QVector<double> FPages;  // page heights in points
    QByteArray FFileID;
    QByteArray FDate;
    QByteArray FOutStream;
    char FPending[4096];
    qsizetype FPendingSize = 0;
    bool FPageOpen = false;
    double FWidth = 0, FHeight = 0, FMarginLeft = 0, FMarginTop = 0, FHeightWoMargin = 0;
};

}  // namespace qev
