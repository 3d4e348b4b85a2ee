#include "report/DrawTextMemo.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxMemoView.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace qev {
namespace {

// A default memo (Arial 10, gaps 2 and 1, line spacing 2) at 10, 5 of 100 x 20.
struct DrawTextMemoTest : ::testing::Test {
    TfrxMemoView memo;
    DrawTextMemoTest() { memo.SetBounds(10, 5, 100, 20); }
    void frameAll(double width) {
        memo.Frame().Typ = frx::ftLeft | frx::ftRight | frx::ftTop | frx::ftBottom;
        memo.Frame().SetWidth(width);
    }
};

TEST_F(DrawTextMemoTest, TextRectangleIsInsetByFrameAndGaps) {
    EXPECT_EQ(memoTextRect(memo, 1, 1, 0, 0), (LayoutRect{12, 6, 109, 25}));
    frameAll(2);
    // Left and top: rnd((2 - 1) / 2) = 0 more; right and bottom: rnd(2 / 2) = 1 less.
    EXPECT_EQ(memoTextRect(memo, 1, 1, 0, 0), (LayoutRect{12, 6, 108, 24}));
    // Scale 2, offsets 5 and 7: the memo is 25, 17 to 225, 57 on the canvas;
    // rnd((4 - 1) / 2) = 2, gaps 4 and 2.
    EXPECT_EQ(memoTextRect(memo, 2, 2, 5, 7), (LayoutRect{31, 21, 220, 54}));
}

TEST_F(DrawTextMemoTest, AdjustmentsForFrameGapsAndShadow) {
    EXPECT_EQ(AdjustCalcWidth(memo), 4);
    EXPECT_EQ(AdjustCalcHeight(memo), 2);
    frameAll(2);
    memo.Frame().DropShadow = true;
    EXPECT_EQ(AdjustCalcWidth(memo), 4 + 0.5 + 1 + 4);
    EXPECT_EQ(AdjustCalcHeight(memo), 2 + 0.5 + 1 + 4);
}

TEST_F(DrawTextMemoTest, CalcHeightAndWidth) {
    EXPECT_EQ(memoCalcHeight(memo), 2);  // no text: the gaps only
    memo.SetMemo({"aaaa"});
    EXPECT_EQ(memoCalcHeight(memo), 17);  // rnd(15.28 + 2)
    EXPECT_EQ(memoCalcWidth(memo), 33);   // rnd(184 / 6.25 + 4)
    memo.SetWidth(40);                    // text width 40 - 4 + 1 = 37: three lines of "aaaa"
    memo.SetMemo({"aaaa aaaa aaaa"});
    EXPECT_EQ(memoCalcHeight(memo), 48);  // rnd(3 * 15.28 + 2)
    EXPECT_EQ(memoCalcWidth(memo), 100);  // unwrapped: rnd(598 / 6.25 + 4)
    memo.AutoWidth = true;                // measured unwrapped as well
    EXPECT_EQ(memoCalcHeight(memo), 17);
}

TEST_F(DrawTextMemoTest, AutoWidthResizesAndKeepsTheAlignedEdge) {
    memo.SetMemo({"aaaa"});
    memo.AutoWidth = true;
    memo.HAlign = frx::haRight;
    SetDrawParams(memo, frxDrawText(), 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(memo.Width(), 184 / 6.25 + 4);
    EXPECT_DOUBLE_EQ(memo.Left() + memo.Width(), 110);
    memo.SetBounds(10, 5, 100, 20);
    memo.HAlign = frx::haCenter;
    SetDrawParams(memo, frxDrawText(), 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(memo.Left() + memo.Width() / 2, 60);
}

TEST_F(DrawTextMemoTest, DrawFillsFramesAndWritesTheText) {
    memo.SetBounds(10, 10, 100, 30);
    memo.SetColor(clAqua);
    frameAll(1);
    memo.SetMemo({"aaaa"});
    QImage image(140, 60, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    memo.Draw(&painter, 1, 1, 0, 0);
    painter.end();
    EXPECT_EQ(image.pixel(100, 35), qRgb(0, 255, 255));  // fill
    EXPECT_EQ(qGray(image.pixel(60, 10)), 0);            // top line
    EXPECT_EQ(qGray(image.pixel(10, 20)), 0);            // left line
    int ink = 0;                                         // the text, inside the text rectangle
    for (int y = 11; y < 39; ++y)
        for (int x = 11; x < 109; ++x) ink += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(ink, 20);
    for (int y = 11; y < 39; ++y)
        for (int x = 50; x < 109; ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(0, 255, 255))
                << x << "," << y;  // short text: no ink there
}

TEST_F(DrawTextMemoTest, HighlightColoursOneDrawingOnly) {
    memo.SetMemo({"a"});
    memo.Highlight.Active = true;
    memo.Highlight.Color = clAqua;
    QImage image(140, 60, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    memo.Draw(&painter, 1, 1, 0, 0);
    painter.end();
    EXPECT_EQ(image.pixel(100, 20), qRgb(0, 255, 255));
    EXPECT_EQ(memo.Color(), clNone);
    bool red = false;  // the highlight's font is red
    for (int y = 5; y < 25 && !red; ++y)
        for (int x = 10; x < 30 && !red; ++x)
            red = qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80;
    EXPECT_TRUE(red);
}

TEST_F(DrawTextMemoTest, DrawPartKeepsWhatFitsAndHandsOnTheRest) {
    memo.SetBounds(0, 0, 40, 33);  // text rectangle 32 high: two lines of 15.28
    memo.SetMemo({"aaaa aaaa aaaa"});
    memo.InitPart();
    EXPECT_NEAR(memo.DrawPart(), 33 - 2 * 15.28, 1e-9);
    EXPECT_EQ(memo.Memo(), QStringList{"aaaa aaaa "});
    EXPECT_TRUE(memo.LastParaBreak);
    // The unused space counts the lines the rectangle holds, not the lines left.
    EXPECT_NEAR(memo.DrawPart(), 33 - 2 * 15.28, 1e-9);
    EXPECT_EQ(memo.Memo(), QStringList{"aaaa"});
    EXPECT_FALSE(memo.LastParaBreak);

    QString part;  // the same through the free functions, with the part text in view
    memo.SetMemo({"aaaa aaaa aaaa", "bb"});
    memoInitPart(memo, part);
    EXPECT_EQ(part, QStringLiteral("aaaa aaaa aaaa\r\nbb\r\n"));
    memoDrawPart(memo, part);
    EXPECT_EQ(part, QStringLiteral("aaaa\r\nbb\r\n"));
    memoDrawPart(memo, part);
    EXPECT_EQ(part, QString());
    EXPECT_EQ(memo.Memo(), (QStringList{"aaaa", "bb"}));
}

}  // namespace
}  // namespace qev
