#include "PdfSamples.h"
#include "PdfTestTools.h"
#include "testing/QtPrinters.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qev::test {
namespace {

struct ReaderCase {
    const char* name;
    bool embedFonts;
    bool compressed;
};

class PdfReaders : public ::testing::TestWithParam<ReaderCase> {};

// Real readers accept the file and find its text and pictures, with the
// fonts embedded (the default) and not, compressed and not.
TEST_P(PdfReaders, AcceptTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.pdf"));
    SamplePdf sample;
    sample.pages = 2;
    sample.embedFonts = GetParam().embedFonts;
    sample.compressed = GetParam().compressed;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sample.write());
    file.close();

    QString output;
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &output), 0)
        << output.toStdString();
    EXPECT_FALSE(output.contains(QStringLiteral("WARNING"))) << output.toStdString();

    ASSERT_EQ(runTool(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), path, QStringLiteral("-")}, &output),
              0);
    EXPECT_TRUE(output.contains(QStringLiteral("EMISIÓN"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("Código PAGINA 1"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("Código PAGINA 2"))) << output.toStdString();

    // An embedded font is a subset, named with a subset tag; a font that is
    // only named keeps its plain name.
    ASSERT_EQ(runTool(QStringLiteral("pdffonts"), {path}, &output), 0);
    const QStringList fontLines = output.split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(fontLines.size(), 2) << output.toStdString();
    const QRegularExpression line(
        GetParam().embedFonts
            ? QStringLiteral("^[A-Z]{6}\\+Arial(,Bold)? +CID TrueType +Identity-H +yes yes yes ")
            : QStringLiteral("^Arial(,Bold)? +CID TrueType +Identity-H +no  no  yes "));
    for (const QString& font : fontLines)
        EXPECT_TRUE(line.match(font).hasMatch()) << font.toStdString();

    const QString prefix = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(
        runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), path, prefix},
                &output),
        0)
        << output.toStdString();
    for (const char* page : {"page-1.png", "page-2.png"}) {
        const QImage image(dir.filePath(QString::fromLatin1(page)));
        ASSERT_FALSE(image.isNull()) << page;
        EXPECT_EQ(image.size(), QSize(612, 792));
        // The logo's blue sits in the top-left corner, the aqua box below it.
        const QColor logo = image.pixelColor(int(41.6 * 0.75 + 100), int(37.8 * 0.75 + 5));
        EXPECT_LT(logo.red(), 60);
        EXPECT_GT(logo.blue(), 120);
        const QColor box = image.pixelColor(300, int(260 * 0.75));
        EXPECT_LT(box.red(), 30);
        EXPECT_GT(box.green(), 220);
        EXPECT_GT(box.blue(), 220);
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, PdfReaders,
                         ::testing::Values(ReaderCase{"embedded", true, true},
                                           ReaderCase{"named", false, true},
                                           ReaderCase{"uncompressed", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qev::test
