// Texts of no particular script are put together from each character's
// glyph and the adjustments between pairs: the result must be HarfBuzz's
// own, glyph for glyph and advance for advance, whatever the text.

#include "pdf/PdfShaper.h"
#include "report/FontMeasure.h"
#include "testing/QtPrinters.h"

#include <QFile>

#include <random>

#include <gtest/gtest.h>

namespace qev {
namespace {

// The program of the font "Arial" stands for here, in a style; its file's
// name says which it is.
struct ArialProgram {
    QString path;
    int faceIndex = 0;
    QByteArray data;

    explicit ArialProgram(unsigned style)
        : path(FontCache::fontFilePath(QStringLiteral("Arial"), style, &faceIndex)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) data = file.readAll();
    }
};

TEST(PdfShaper, TextsOfNoScriptComeOutAsHarfBuzzShapesThem) {
    // Figures and signs (amounts, numbers, dates), with letters now and then.
    const QString signs = QStringLiteral(
        "0123456789$',.-/ %()#+*=:;<>?@[]^_{|}~\u00A0\u00A1\u00A2\u00A3\u00A5\u00A7\u00A9"
        "\u00AB\u00AE\u00B0\u00B1\u00B2\u00B5\u00B6\u00B7\u00BB\u00BC\u00BF\u00D7\u00F7");
    const QString letters = QStringLiteral("AFLTVWYafjtvy\u00D1\u00E1\u00E9\u00F3\u00FC");
    for (const unsigned style : {0u, unsigned(FontDesc::Bold)}) {
        const ArialProgram font(style);
        ASSERT_FALSE(font.data.isEmpty()) << font.path.toStdString();
        PdfShaper shaper(font.data, font.faceIndex), harfBuzz(font.data, font.faceIndex);
        ASSERT_TRUE(shaper.pairwise()) << font.path.toStdString();
        std::mt19937 random(11);
        for (int i = 0; i < 20000; ++i) {
            QString text;
            const int length = 1 + int(random() % 14);
            for (int c = 0; c < length; ++c)
                text += i % 4 == 3 && random() % 3 == 0 ? letters[random() % letters.size()]
                                                       : signs[random() % signs.size()];
            const std::vector<PdfShapedGlyph> glyphs = shaper.shape(text);
            ASSERT_EQ(glyphs, harfBuzz.shapeWithHarfBuzz(text)) << text.toStdString();
        }
    }
}

// References, names and words: Latin letters of Latin-1 (with the letters
// that form ligatures) among figures and signs.
TEST(PdfShaper, LatinTextsComeOutAsHarfBuzzShapesThem) {
    const QString characters = QStringLiteral(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -/.,#()&'"
        "\u00C1\u00C9\u00CD\u00D1\u00D3\u00DA\u00DC\u00E1\u00E9\u00ED\u00F1\u00F3\u00FA"
        "\u00FC\u00C7\u00E7\u00DF\u00C6\u00E6\u00AA\u00BA\u00B4\u00A8\u00AF\u00B8");
    const QStringList fixed{"F-44162", "TRF63698", "NC-2548", "A04532", "file", "office",
                            "AV To Wa", "Muñoz, S.A. de C.V.", "fi fl ffi"};
    for (const unsigned style : {0u, unsigned(FontDesc::Bold)}) {
        const ArialProgram font(style);
        ASSERT_FALSE(font.data.isEmpty()) << font.path.toStdString();
        PdfShaper shaper(font.data, font.faceIndex), harfBuzz(font.data, font.faceIndex);
        EXPECT_TRUE(shaper.latinPairwise()) << font.path.toStdString();
        for (const QString& text : fixed)
            ASSERT_EQ(shaper.shape(text), harfBuzz.shapeWithHarfBuzz(text)) << text.toStdString();
        std::mt19937 random(7);
        for (int i = 0; i < 40000; ++i) {
            QString text;
            const int length = 1 + int(random() % 16);
            for (int c = 0; c < length; ++c) text += characters[random() % characters.size()];
            ASSERT_EQ(shaper.shape(text), harfBuzz.shapeWithHarfBuzz(text)) << text.toStdString();
        }
    }
}

}  // namespace
}  // namespace qev
