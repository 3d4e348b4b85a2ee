#include "report/FontMeasure.h"
#include "report/GraphicUtils.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace qev {
namespace {

TEST(FontMeasureTest, ArialResolvesToTheMetricCompatibleFaceByStyle) {
    struct Case {
        unsigned style;
        const char* file;
    } cases[] = {
        {0, "LiberationSans-Regular.ttf"},
        {FontDesc::Bold, "LiberationSans-Bold.ttf"},
        {FontDesc::Italic, "LiberationSans-Italic.ttf"},
        {FontDesc::Bold | FontDesc::Italic, "LiberationSans-BoldItalic.ttf"},
        {FontDesc::Underline, "LiberationSans-Regular.ttf"},  // underline is drawn, not a face
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_TRUE(FontCache::fontFilePath("Arial", c.style).endsWith(c.file));
        FontFace* face = FontCache::instance().face("Arial", c.style);
        ASSERT_NE(face, nullptr);
        EXPECT_TRUE(face->filePath().endsWith(c.file));
        EXPECT_NE(face->ftFace(), nullptr);
    }
}

TEST(FontMeasureTest, FacesAreOpenedOnceAndSharedByFile) {
    FontFace* first = FontCache::instance().face("Arial", 0);
    EXPECT_EQ(FontCache::instance().face("Arial", 0), first);
    EXPECT_EQ(FontCache::instance().face("Arial", FontDesc::StrikeOut), first);
    EXPECT_NE(FontCache::instance().face("Arial", FontDesc::Bold), first);
}

TEST(FontMeasureTest, AdvancesAreWholePixelsOfTheScaledDesignAdvance) {
    FontFace* face = FontCache::instance().face("Arial", 0);
    ASSERT_EQ(face->unitsPerEm(), 2048);
    // Arial's "a" is 1139 units and the space 569: at a 83-pixel em (10 points
    // at 600 per inch) 46.16 and 23.06 pixels.
    EXPECT_EQ(face->designAdvance(u'a'), 1139);
    EXPECT_EQ(face->advance(u'a', 83), 46);
    EXPECT_EQ(face->advance(u' ', 83), 23);
    const QString text = QStringLiteral("a a\U0001F600");
    std::vector<int32_t> out(text.size());
    face->advances(text.constData(), int(text.size()), 83, out.data());
    EXPECT_EQ(out[0], 46);
    EXPECT_EQ(out[1], 23);
    EXPECT_EQ(out[2], 46);
    EXPECT_EQ(out[4], 0);  // second half of a surrogate pair
}

TEST(FontMeasureTest, MeasuringHeightsAt600PerInch) {
    const int sizes[] = {8, 9, 10, 12, 16};
    const int heights[] = {67, 75, 83, 100, 133};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(fontPixelHeight(sizes[i], 600), heights[i]) << sizes[i];
}

TEST(FontMeasureTest, GlyphOutlinesAreCachedInDesignUnits) {
    FontFace* face = FontCache::instance().face("Arial", 0);
    const QPainterPath& path = face->glyphPath(face->glyphIndex(u'H'));
    EXPECT_FALSE(path.isEmpty());
    EXPECT_EQ(&face->glyphPath(face->glyphIndex(u'H')), &path);
    // y points down: the capital stands above the baseline.
    EXPECT_LT(path.boundingRect().top(), -1000);
    EXPECT_NEAR(path.boundingRect().bottom(), 0, 1);
    EXPECT_TRUE(face->glyphPath(face->glyphIndex(u' ')).isEmpty());
}

TEST(GraphicUtilsTest, RoundsTiesToEven) {
    const std::pair<double, int> cases[] = {{0.5, 0},    {1.5, 2},    {2.5, 2},
                                            {-0.5, 0},   {-1.5, -2},  {187.5, 188},
                                            {6.4999, 6}, {6.5001, 7}, {-2.6, -3}};
    for (auto [x, expected] : cases) EXPECT_EQ(rnd(x), expected) << x;
}

TEST(GraphicUtilsTest, IncArraySpreadsUnitsEvenly) {
    struct Case {
        int slotCount, unit, count;
        std::vector<int32_t> expected;
    } cases[] = {
        {3, 1, 7, {3, 2, 2}},       {10, -1, 5, {-1, 0, -1, 0, 0, -1, 0, -1, -1, 0}},
        {4, 1, 1, {0, 1, 0, 0}},    {1, 1, 3, {3}},
        {5, 1, 0, {0, 0, 0, 0, 0}}, {4, 1, 2, {1, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        std::vector<int32_t> values(c.slotCount, 0);
        IncArray(values, 0, c.slotCount - 1, c.unit, c.count);
        EXPECT_EQ(values, c.expected) << c.slotCount << " slots, " << c.count << " units";
    }
    std::vector<int32_t> partial(6, 10);
    IncArray(partial, 2, 4, 1, 1);  // half of 3 slots is 1: the first one
    EXPECT_EQ(partial, (std::vector<int32_t>{10, 10, 11, 10, 10, 10}));
}

}  // namespace
}  // namespace qev
