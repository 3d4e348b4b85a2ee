#include "PdfSamples.h"
#include "PdfTestTools.h"
#include "pdf/PdfNumbers.h"
#include "testing/QtPrinters.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

namespace qev::test {
namespace {

TEST(PdfStructure, OnePageObjectsAreNumberedInWritingOrder) {
    const PdfFileReader pdf(SamplePdf{}.write());
    EXPECT_EQ(pdf.bytes().left(10), QByteArray("%PDF-1.5\r\n"));
    EXPECT_NE(pdf.bytes().mid(10, 1), QByteArray("%"));  // no binary comment line

    EXPECT_EQ(pdf.size(), 17);
    EXPECT_TRUE(
        pdf.bytes().contains("trailer\r\n<<\r\n/Size 17\r\n/Root 16 0 R\r\n/Info 15 0 R\r\n"));
    // Page tree written last but numbered first; then image, content, the two
    // reserved Type0 fonts, the page, the fonts' other objects, info, catalogue.
    EXPECT_EQ(pdf.objectOrder(),
              (QList<int>{2, 3, 6, 7, 8, 9, 10, 4, 11, 12, 13, 14, 5, 1, 15, 16}));
    EXPECT_TRUE(pdf.object(1).startsWith(
        "1 0 obj\r\n<<\r\n/Type /Pages\r\n/Kids [6 0 R ]\r\n/Count 1\r\n"));
    EXPECT_TRUE(pdf.object(2).contains("/Subtype /Image"));
    EXPECT_TRUE(pdf.object(4).contains("/Subtype /Type0\r\n/BaseFont /Arial,Bold\r\n"));
    EXPECT_TRUE(pdf.object(5).contains("/Subtype /Type0\r\n/BaseFont /Arial\r\n"));
    EXPECT_TRUE(pdf.object(6).contains("/MediaBox [0 0 612.00 792.00 ]\r\n"));
    EXPECT_TRUE(
        pdf.object(6).contains("/Font << /F0 4 0 R /F1 5 0 R >>\r\n/XObject << /Im0 2 0 R >>\r\n"
                               "/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n/Contents 3 0 R\r\n"));
    EXPECT_TRUE(pdf.object(7).contains("/Type /FontDescriptor"));
    EXPECT_TRUE(
        pdf.object(16).contains("/Type /Catalog\r\n/Pages 1 0 R\r\n/PageMode /UseNone\r\n"
                                "/ViewerPreferences <<\r\n/PrintScaling /None\r\n>>\r\n>>\r\n"));
}

TEST(PdfStructure, CrossReferenceLinesAreTwentyBytesAndPointAtTheirObjects) {
    const PdfFileReader pdf(SamplePdf{}.write());
    const QByteArray xref = pdf.xrefSection();
    EXPECT_TRUE(xref.startsWith("xref\r\n0 17\r\n0000000000 65535 f\r\n"));
    const QList<QByteArray> lines = xref.split('\n');
    int entries = 0;
    for (int i = 2; i < lines.size() - 1; ++i, ++entries) EXPECT_EQ(lines[i].size() + 1, 20) << i;
    EXPECT_EQ(entries, 17);
    const QList<qint64> offsets = pdf.xrefOffsets();
    ASSERT_EQ(offsets.size(), 16);
    EXPECT_NE(offsets[0], 10);  // the page tree's entry was patched when it was written
    for (int n = 1; n <= offsets.size(); ++n)
        EXPECT_TRUE(
            pdf.bytes().mid(offsets[n - 1]).startsWith(QByteArray::number(n) + " 0 obj\r\n"))
            << n;
    const qsizetype startXref = pdf.bytes().lastIndexOf("startxref\r\n") + 11;
    EXPECT_EQ(pdf.bytes().mid(startXref).split('\r').first().toLongLong(),
              pdf.bytes().lastIndexOf("\r\nxref\r\n") + 2);
    EXPECT_TRUE(pdf.bytes().endsWith("%%EOF\r\n"));
}

TEST(PdfStructure, InformationDatesAndIdentifier) {
    const PdfFileReader pdf(SamplePdf{}.write());
    const QByteArray info = pdf.object(15);
    EXPECT_TRUE(info.contains("/Title <FEFF>\r\n"));
    EXPECT_TRUE(info.contains("/Subject <FEFF005100450056002000520065"));  // "QEV Re..."
    EXPECT_TRUE(
        info.contains("/CreationDate (D:20160624153005)\r\n/ModDate (D:20160624153005)\r\n"));
    EXPECT_FALSE(pdf.bytes().contains("/DisplayDocTitle"));
    const QByteArray id =
        QCryptographicHash::hash(fixedGuid.toLatin1(), QCryptographicHash::Md5).toHex();
    EXPECT_TRUE(pdf.bytes().contains("/ID [<" + id + "><" + id + ">]\r\n"));
    EXPECT_EQ(pdfUtf16HexString(QStringLiteral("abc")), QByteArray("<FEFF006100620063>"));
}

TEST(PdfStructure, TitleAddsDisplayDocTitleAndRunsGetNewIdentifiers) {
    PdfWriter writer;
    QByteArray first, second;
    for (QByteArray* bytes : {&first, &second}) {
        QBuffer buffer(bytes);
        buffer.open(QIODevice::WriteOnly);
        PdfDocumentOptions options;
        options.Title = QStringLiteral("Estado");
        writer.start(&buffer, options, QUuid::createUuid().toString(QUuid::WithBraces).toUpper(),
                     fixedDate);
        writer.startPage(816, 1056, 10, 10, 10, 10, pdfColorNone);
        writer.finishPage();
        writer.finish();
    }
    EXPECT_TRUE(first.contains(
        "/ViewerPreferences <<\r\n/DisplayDocTitle true\r\n/PrintScaling /None\r\n"));
    const QRegularExpression id(QStringLiteral("/ID \\[<([0-9a-f]{32})>"));
    const QString firstId = id.match(QString::fromLatin1(first)).captured(1);
    EXPECT_EQ(firstId.size(), 32);
    EXPECT_NE(firstId, id.match(QString::fromLatin1(second)).captured(1));
    // The same second: the same date text.
    EXPECT_TRUE(second.contains("/CreationDate (D:20160624153005)"));
}

TEST(PdfStructure, EmptyPageStillHasAContentStream) {
    for (bool compressed : {true, false}) {
        PdfWriter writer;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        PdfDocumentOptions options;
        options.Compressed = compressed;
        writer.start(&buffer, options, fixedGuid, fixedDate);
        writer.startPage(816, 1056, 10, 10, 10, 10, pdfColorNone);
        writer.finishPage();
        writer.finish();
        const PdfFileReader pdf(bytes);
        if (compressed) {
            EXPECT_TRUE(pdf.object(2).contains(
                "<< /Filter /FlateDecode /Length 8 /Length1 0 >>\r\nstream\r\n"));
            EXPECT_TRUE(pdf.object(2).endsWith("\r\nendstream\r\nendobj"));
        } else {
            EXPECT_TRUE(pdf.object(2).contains("<< /Length 0 >>\r\nstream\r\nendstream\r\nendobj"));
        }
        EXPECT_EQ(pdf.stream(2), QByteArray());
        EXPECT_TRUE(pdf.object(3).contains("/Font << >>\r\n/ProcSet"));
        EXPECT_EQ(pdf.size(), 6);
    }
}

TEST(PdfStructure, ContentStreamIsZlibAtFastestLevel) {
    const PdfFileReader pdf(SamplePdf{}.write());
    const QByteArray object = pdf.object(3);
    const QRegularExpression dict(
        QStringLiteral("<< /Filter /FlateDecode /Length (\\d+) /Length1 (\\d+) >>"));
    const auto match = dict.match(QString::fromLatin1(object));
    ASSERT_TRUE(match.hasMatch());
    const QByteArray content = pdf.stream(3);
    EXPECT_EQ(content.size(), match.captured(2).toInt());
    const qsizetype start = object.indexOf("stream\r\n") + 8;
    EXPECT_EQ(quint8(object[start]), 0x78);      // zlib header...
    EXPECT_EQ(quint8(object[start + 1]), 0x01);  // ...of level 1
    EXPECT_EQ(object.mid(start + match.captured(1).toInt()), QByteArray("\r\nendstream\r\nendobj"));
}

TEST(PdfStructure, ThreePagesNumberImageContentPagePerPage) {
    const PdfFileReader pdf(SamplePdf{3}.write());
    EXPECT_TRUE(pdf.object(1).contains("/Kids [6 0 R 9 0 R 12 0 R ]\r\n/Count 3\r\n"));
    EXPECT_TRUE(pdf.object(6).contains("/XObject << /Im0 2 0 R >>"));
    EXPECT_TRUE(pdf.object(9).contains("/XObject << /Im1 7 0 R >>"));
    EXPECT_TRUE(pdf.object(12).contains("/XObject << /Im2 10 0 R >>"));
    // Later pages list every font used so far.
    EXPECT_TRUE(pdf.object(12).contains("/Font << /F0 4 0 R /F1 5 0 R >>"));
    // The logo is written once per page, with the same bytes.
    EXPECT_EQ(pdf.stream(2), pdf.stream(10));
    EXPECT_EQ(pdf.size(), 23);
}

TEST(PdfStructure, EmbeddedFontsAddAProgramPerFont) {
    SamplePdf sample;
    sample.embedFonts = true;
    const PdfFileReader pdf(sample.write());
    EXPECT_EQ(pdf.size(), 19);
    EXPECT_TRUE(pdf.object(8).contains("/FontDescriptor") &&
                pdf.object(8).contains("/FontFile2 7 0 R\r\n"));
    EXPECT_TRUE(pdf.object(7).contains("  /Filter /FlateDecode /Length1 "));
    EXPECT_TRUE(pdf.stream(7).startsWith(QByteArray("\x00\x01\x00\x00", 4)));  // a TrueType program

    // The subset's tag: six capitals and "+", the same in the font, its
    // descendant and its descriptor; the family keeps the plain name.
    const QRegularExpression tagged(QStringLiteral("/BaseFont /([A-Z]{6})\\+Arial,Bold\r\n"));
    const auto type0 = tagged.match(QString::fromLatin1(pdf.object(4)));
    ASSERT_TRUE(type0.hasMatch()) << pdf.object(4).constData();
    const QByteArray tag = type0.captured(1).toLatin1();
    EXPECT_TRUE(
        pdf.object(8).contains("/FontName /" + tag + "+Arial,Bold\r\n/FontFamily /Arial,Bold\r\n"));
    EXPECT_TRUE(
        pdf.object(11).contains("/Subtype /CIDFontType2\r\n/BaseFont /" + tag + "+Arial,Bold\r\n"));
    // The regular font's subset has other glyphs and another tag.
    const auto regular = QRegularExpression(QStringLiteral("/BaseFont /([A-Z]{6})\\+Arial\r\n"))
                             .match(QString::fromLatin1(pdf.object(5)));
    ASSERT_TRUE(regular.hasMatch()) << pdf.object(5).constData();
    EXPECT_NE(regular.captured(1).toLatin1(), tag);
}

}  // namespace
}  // namespace qev::test
