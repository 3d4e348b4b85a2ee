// Font programs are kept by each thread for its whole run and subset many
// times: what they give must not depend on how many statements came before.

#include "pdf/PdfFontProgram.h"
#include "report/FontMeasure.h"
#include "testing/QtPrinters.h"

#include <hb.h>

#include <algorithm>
#include <thread>

#include <gtest/gtest.h>

namespace qev {
namespace {

QString arialPath(int* faceIndex) {
    return FontCache::fontFilePath(QStringLiteral("Arial"), 0, faceIndex);
}

// The number of glyphs of a font program that HarfBuzz reads back; 0 when it cannot.
unsigned glyphCount(const QByteArray& program) {
    hb_blob_t* blob = hb_blob_create(program.constData(), unsigned(program.size()),
                                     HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    hb_face_t* face = hb_face_create(blob, 0);
    const unsigned count = hb_face_get_glyph_count(face);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return count;
}

TEST(PdfFontProgram, OneProgramPerFileAndThread) {
    int faceIndex = 0;
    const QString path = arialPath(&faceIndex);
    const std::shared_ptr<PdfFontProgram> first = PdfFontProgram::open(path, faceIndex);
    ASSERT_TRUE(first);
    EXPECT_EQ(PdfFontProgram::open(path, faceIndex), first);
    std::shared_ptr<PdfFontProgram> elsewhere;
    std::thread([&] { elsewhere = PdfFontProgram::open(path, faceIndex); }).join();
    ASSERT_TRUE(elsewhere);
    EXPECT_NE(elsewhere, first);  // a shaper is never shared by two threads
    EXPECT_FALSE(PdfFontProgram::open(QStringLiteral("/no/such/font.ttf"), 0));
}

// The first subset is taken from the font as it is, the later ones from a
// face prepared for subsetting: the same glyphs give the same bytes.
TEST(PdfFontProgram, SubsetsAreTheSameBeforeAndAfterTheFaceIsPrepared) {
    int faceIndex = 0;
    const QString path = arialPath(&faceIndex);
    const std::shared_ptr<PdfFontProgram> program = PdfFontProgram::open(path, faceIndex);
    ASSERT_TRUE(program);
    const QVector<QVector<quint16>> glyphSets{{36, 37, 38, 68, 69}, {3, 19, 20, 21, 22, 17}, {}};
    QVector<QByteArray> before, after;
    for (const auto& glyphs : glyphSets) before << program->subset(glyphs);
    for (const auto& glyphs : glyphSets) after << program->subset(glyphs);
    for (int i = 0; i < glyphSets.size(); ++i) {
        ASSERT_FALSE(before[i].isEmpty()) << i;
        EXPECT_EQ(after[i], before[i]) << i;
        // Glyph ids stay where they are: the subset reaches up to the highest.
        const quint16 highest =
            glyphSets[i].isEmpty() ? 0 : *std::max_element(glyphSets[i].begin(), glyphSets[i].end());
        EXPECT_EQ(glyphCount(after[i]), highest + 1u) << i;
        EXPECT_LT(after[i].size(), program->data().size()) << i;
    }
}

}  // namespace
}  // namespace qev
