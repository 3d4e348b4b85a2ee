#include "report/TfrxDrawText.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

namespace qev {
namespace {

// Arial 10 on a 96-per-inch canvas at scale 1: a 13-pixel font, "a" 7 pixels
// wide and " " 4; at 600 per inch "a" is 46, so one "a" is 7 report pixels.
struct Options {
    QStringList lines{"a"};
    LayoutRect rect{10, 10, 110, 60};
    DrawHAlign hAlign = DrawHAlign::Left;
    DrawVAlign vAlign = DrawVAlign::Top;
    double scale = 1;
    unsigned style = 0;
    bool wordWrap = true, tags = false, rtl = false, clipped = true, wysiwyg = true;
    int rotation = 0;
    bool lastParaBreak = false;
    QSize size{200, 160};
};

QImage draw(const Options& o) {
    TfrxDrawText engine;
    FontDesc font;
    font.style = o.style;
    engine.SetFont(font);
    engine.SetOptions(o.wordWrap, o.tags, o.rtl, false, o.clipped, o.wysiwyg, o.rotation);
    engine.SetGaps(0, 0, 2);
    const LayoutRect original{0, 0, int(o.rect.width() / o.scale), int(o.rect.height() / o.scale)};
    engine.SetDimensions(o.scale, o.scale, 1, original, o.rect);
    engine.SetText(o.lines);
    engine.SetParaBreaks(false, o.lastParaBreak);
    QImage image(o.size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    engine.DrawText(&painter, o.hAlign, o.vAlign);
    return image;
}

bool isInk(QRgb pixel) {
    return qGray(pixel) < 128;
}

QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

// Start of every run of columns (or rows) that hold ink.
std::vector<int> inkRuns(const QImage& image, bool columns) {
    const int outer = columns ? image.width() : image.height();
    const int inner = columns ? image.height() : image.width();
    std::vector<int> starts;
    bool previous = false;
    for (int a = 0; a < outer; ++a) {
        bool any = false;
        for (int b = 0; b < inner && !any; ++b)
            any = isInk(columns ? image.pixel(a, b) : image.pixel(b, a));
        if (any && !previous) starts.push_back(a);
        previous = any;
    }
    return starts;
}

std::vector<int> differences(const std::vector<int>& values) {
    std::vector<int> result;
    for (size_t i = 1; i < values.size(); ++i) result.push_back(values[i] - values[i - 1]);
    return result;
}

TEST(DrawTextTest, DrawsInkInsideTheRectangle) {
    const QRect box = inkBox(draw({}));
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GE(box.left(), 10);
    EXPECT_LE(box.right(), 17);  // one "a", 7 pixels
    EXPECT_GT(box.top(), 10);    // below the cell's top (ascent of the font)
    EXPECT_LT(box.bottom(), 10 + 13);
}

TEST(DrawTextTest, NothingToDrawLeavesTheCanvasAlone) {
    Options o;
    o.lines = {};
    EXPECT_TRUE(inkBox(draw(o)).isEmpty());
}

TEST(DrawTextTest, HorizontalAlignment) {
    // Shift against the same text drawn left: width 100, v = 7.
    struct Case {
        const char* what;
        DrawHAlign align;
        int width;
        unsigned style;
        int shift;
    } cases[] = {
        {"right ends at the right edge", DrawHAlign::Right, 100, 0, 93},
        {"bold right one pixel further left", DrawHAlign::Right, 100, FontDesc::Bold, 92},
        {"italic right one pixel further left", DrawHAlign::Right, 100, FontDesc::Italic, 92},
        {"center 46.5 rounds to 46", DrawHAlign::Center, 100, 0, 46},
        {"center 47.5 rounds to 48", DrawHAlign::Center, 102, 0, 48},
        {"block without spaces is left", DrawHAlign::Block, 100, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Options o;
        o.rect.Right = o.rect.Left + c.width;
        o.style = c.style;
        o.lastParaBreak = true;  // so that haBlock is not turned into haLeft by the paragraph end
        const QRect left = inkBox(draw(o));
        o.hAlign = c.align;
        const QRect aligned = inkBox(draw(o));
        EXPECT_EQ(aligned.left() - left.left(), c.shift);
        EXPECT_EQ(aligned.size(), left.size());
    }
}

TEST(DrawTextTest, JustifiedLinesSpreadTheRestOverTheSpaces) {
    // "a a a a" is 4 * 7 + 3 * 4 = 40 pixels; 47 available: 7 over 3 spaces
    // gives them 3, 2 and 2.
    Options o;
    o.lines = {"a a a a"};
    o.rect = {10, 10, 57, 40};
    o.hAlign = DrawHAlign::Block;
    o.lastParaBreak = true;
    EXPECT_EQ(differences(inkRuns(draw(o), true)), (std::vector<int>{14, 13, 13}));
    // The last line of a paragraph is not justified: left, or right with
    // right-to-left reading.
    o.lastParaBreak = false;
    const std::vector<int> left = inkRuns(draw(o), true);
    EXPECT_EQ(differences(left), (std::vector<int>{11, 11, 11}));
    o.rtl = true;
    const std::vector<int> right = inkRuns(draw(o), true);
    // Right: 47 - rnd((4 * 46 + 3 * 23) / 6.25) = 47 - 40.
    EXPECT_EQ(right.front() - left.front(), 7);
}

TEST(DrawTextTest, WysiwygMakesTheLineAsWideAsMeasured) {
    // At scale 4 the font is 53 pixels and "l" 12 wide: 120 for ten of them,
    // but 10 * 18 = 180 at 600 per inch is 115 on the canvas; the 5 pixels
    // are taken evenly from the characters.
    Options o;
    o.lines = {"llllllllll"};
    o.scale = 4;
    o.rect = {10, 10, 390, 120};
    o.size = {400, 130};
    EXPECT_EQ(differences(inkRuns(draw(o), true)),
              (std::vector<int>{11, 12, 11, 12, 12, 11, 12, 11, 11}));
    o.wysiwyg = false;  // the device's own spacing
    EXPECT_EQ(differences(inkRuns(draw(o), true)), std::vector<int>(9, 12));
}

TEST(DrawTextTest, LineAdvancesAddUpToTheMeasuredHeight) {
    // Five lines need rnd(5 * 15.28) = 76 pixels; the pitch is 2 + 13 = 15,
    // so one line advance gets the missing pixel.
    Options o;
    o.lines = {"a", "a", "a", "a", "a"};
    o.rect = {10, 10, 110, 150};
    EXPECT_EQ(differences(inkRuns(draw(o), false)), (std::vector<int>{15, 16, 15, 15}));
    o.wysiwyg = false;
    EXPECT_EQ(differences(inkRuns(draw(o), false)), (std::vector<int>{15, 15, 15, 15}));
}

TEST(DrawTextTest, VerticalAlignment) {
    Options o;
    o.lines = {"a", "a"};  // rnd(2 * 15.28) = 31 pixels
    o.rect = {10, 10, 110, 71};
    const int top = inkRuns(draw(o), false).front();
    o.vAlign = DrawVAlign::Bottom;
    EXPECT_EQ(inkRuns(draw(o), false).front() - top, 30);
    o.vAlign = DrawVAlign::Center;
    EXPECT_EQ(inkRuns(draw(o), false).front() - top, 15);
}

TEST(DrawTextTest, BottomAlignedOverflowStartsAboveTheTopAndIsClipped) {
    Options o;
    o.lines = {"a", "a", "a", "a", "a"};  // 76 pixels into 40
    o.rect = {10, 60, 110, 100};
    o.vAlign = DrawVAlign::Bottom;
    const QRect clipped = inkBox(draw(o));
    EXPECT_GE(clipped.top(), 60);
    EXPECT_LT(clipped.bottom(), 100);
    EXPECT_GT(clipped.bottom(), 90);  // the last line sits at the bottom
    o.clipped = false;
    EXPECT_LT(inkBox(draw(o)).top(), 60);
}

TEST(DrawTextTest, ClippingCutsOverlongLines) {
    Options o;
    o.lines = {"aaaaaaaaaa"};
    o.wordWrap = false;
    o.rect = {10, 10, 30, 40};
    EXPECT_LT(inkBox(draw(o)).right(), 30);
    o.clipped = false;
    EXPECT_GT(inkBox(draw(o)).right(), 70);
}

TEST(DrawTextTest, RotatedText) {
    Options o;
    o.lines = {"aaaa"};
    o.rect = {10, 10, 60, 150};
    o.rotation = 90;  // reads upwards from the bottom left corner
    const QRect up = inkBox(draw(o));
    EXPECT_GT(up.height(), 2 * up.width());
    EXPECT_GE(up.left(), 10);
    EXPECT_LT(up.right(), 10 + 13);
    EXPECT_LT(up.bottom(), 150);
    EXPECT_GT(up.bottom(), 140);
    o.rotation = 180;  // upside down from the bottom right corner
    const QRect down = inkBox(draw(o));
    EXPECT_GT(down.width(), down.height());
    EXPECT_LT(down.right(), 60);
    EXPECT_GT(down.right(), 50);
    EXPECT_LT(down.bottom(), 150);
    EXPECT_GT(down.top(), 150 - 13);
}

TEST(DrawTextTest, MarkupRunsKeepTheirColourAndStyle) {
    Options o;
    o.tags = true;
    o.lines = {"<font color=\"#FF0000\">aa</font>aa <u>aaaa</u>"};
    const QImage image = draw(o);
    int red = 0, black = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 60) {
                ++red;
                EXPECT_LT(x, 10 + 14);
            } else if (qGray(p) < 60) {
                ++black;
                EXPECT_GE(x, 10 + 14);
            }
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(black, 10);
    // The underline joins the last four characters into one run of ink.
    const std::vector<int> runs = inkRuns(image, true);
    EXPECT_EQ(runs.size(), 5u);
}

// An image that reports itself as a 300-per-inch printer.
class PrinterImage : public QPaintDevice {
  public:
    explicit PrinterImage(QSize size) : image(size, QImage::Format_ARGB32) {
        image.fill(Qt::white);
    }
    int devType() const override { return QInternal::Printer; }
    QPaintEngine* paintEngine() const override { return image.paintEngine(); }
    QImage image;

  protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 300;
            case PdmWidth:
                return image.width();
            case PdmHeight:
                return image.height();
            case PdmWidthMM:
                return image.width() * 254 / 3000;
            case PdmHeightMM:
                return image.height() * 254 / 3000;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:
                return 0;
        }
    }
};

TEST(DrawTextTest, PrinterCanvasUsesItsResolution) {
    // At 300 per inch the font is rnd(300 * 10 / 72) = 42 pixels and "a" 23
    // wide; two lines need rnd((2 * 2 * 2 + 2 * 83) / 2) = 87 pixels with
    // r = 600 / 300, so the pitch of 2 + 42 loses one pixel.
    PrinterImage printer({400, 200});
    QPainter painter(&printer);
    ASSERT_TRUE(TfrxDrawText::IsPrinter(&painter));
    TfrxDrawText engine;
    engine.SetFont(FontDesc{});
    engine.SetOptions(true, false, false, false, true, true, 0);
    engine.SetGaps(0, 0, 2);
    engine.SetDimensions(1, 1, 1, {0, 0, 100, 50}, {10, 10, 323, 166});
    engine.SetText({"aaaa", "aaaa"});
    engine.DrawText(&painter, DrawHAlign::Left, DrawVAlign::Top);
    painter.end();
    EXPECT_EQ(differences(inkRuns(printer.image, true)), (std::vector<int>{23, 23, 23}));
    EXPECT_EQ(differences(inkRuns(printer.image, false)), std::vector<int>{43});

    QImage screen(200, 100, QImage::Format_ARGB32);
    QPainter screenPainter(&screen);
    EXPECT_FALSE(TfrxDrawText::IsPrinter(&screenPainter));
}

}  // namespace
}  // namespace qev
