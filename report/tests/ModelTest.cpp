#include "report/ReportStorage.h"
#include "report/TfrxBand.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"
#include "report/TfrxShapeView.h"
#include "testing/QtPrinters.h"

#include <QJsonObject>

#include <gtest/gtest.h>

namespace qev {
namespace {

TEST(ReportModel, UnitConstantsAreFixedValues) {
    EXPECT_EQ(fr01cm, 3.77953);
    EXPECT_EQ(fr1cm, 37.7953);
    EXPECT_EQ(fr01in, 9.6);
    EXPECT_EQ(fr1in, 96);
    EXPECT_NE(fr01cm, 96 / 25.4);
}

TEST(ReportModel, NewMemoHasTheConstructorDefaults) {
    TfrxMemoView memo;
    EXPECT_EQ(memo.GapX, 2);
    EXPECT_EQ(memo.GapY, 1);
    EXPECT_EQ(memo.LineSpacing, 2);
    EXPECT_TRUE(memo.WordWrap);
    EXPECT_EQ(memo.HAlign, frx::haLeft);
    EXPECT_EQ(memo.VAlign, frx::vaTop);
    EXPECT_EQ(memo.Color(), clNone);
    EXPECT_EQ(memo.Frame().Typ, frx::TfrxFrameTypes());
    EXPECT_EQ(memo.Font().Name, u"Arial");
    EXPECT_EQ(memo.Font().Size(), 10);
    EXPECT_EQ(memo.Font().Color, clBlack);
    EXPECT_EQ(memo.Font().Charset, DEFAULT_CHARSET);
    EXPECT_TRUE(memo.ParentFont());
    EXPECT_TRUE(memo.Value.isNull());
    EXPECT_EQ(memo.ExpressionDelimiters, u"[,]");
    EXPECT_FALSE(memo.Highlight.Active);
    EXPECT_EQ(memo.Highlight.Font.Color, 0x0000FF);
    EXPECT_EQ(memo.Highlight.Color, clNone);
}

TEST(ReportModel, FontSizeFollowsPixelHeight) {
    const std::pair<int, int> cases[] = {{-11, 8}, {-12, 9}, {-13, 10}, {-16, 12}, {-21, 16}};
    for (const auto& [height, size] : cases) {
        TfrxFont font;
        font.Height = height;
        EXPECT_EQ(font.Size(), size) << height;
    }
}

TEST(ReportModel, BaseNameAndComponentStyle) {
    const std::pair<TfrxComponent*, const char*> cases[] = {
        {new TfrxMemoView, "Memo"},        {new TfrxPictureView, "Picture"},
        {new TfrxLineView, "Line"},        {new TfrxShapeView, "Shape"},
        {new TfrxReportPage, "Page"},      {new TfrxMasterData, "MasterData"},
        {new TfrxPageHeader, "PageHeader"}};
    for (const auto& [component, name] : cases) {
        EXPECT_EQ(component->BaseName(), QString::fromLatin1(name));
        EXPECT_FALSE(component->frComponentStyle().testFlag(frx::csDefaultDiff)) << name;
        EXPECT_TRUE(component->frComponentStyle().testFlag(frx::csPreviewVisible)) << name;
        delete component;
    }
    TfrxView view;
    EXPECT_TRUE(view.frComponentStyle().testFlag(frx::csDefaultDiff));
}

TEST(ReportModel, TreeGeometryAndOwnership) {
    TfrxReport report;
    auto* page = new TfrxReportPage(&report);
    auto* band = new TfrxMasterData(page);
    auto* memo = new TfrxMemoView(band);
    page->SetLeft(5);
    page->SetTop(7);
    band->SetBounds(0, 100, 700, 20);
    memo->SetBounds(3, 4, 50, 10);
    EXPECT_EQ(memo->AbsLeft(), 8);
    EXPECT_EQ(memo->AbsTop(), 111);
    EXPECT_EQ(memo->Parent(), band);
    EXPECT_EQ(memo->Page(), page);
    EXPECT_EQ(memo->Report(), &report);
    EXPECT_EQ(report.AllObjects(), (QList<TfrxComponent*>{page, band, memo}));
    delete band;  // leaves its parent's list
    EXPECT_TRUE(page->Objects().isEmpty());
}

TEST(ReportModel, FindBandTakesDerivedClassesAndFindsAbsentOnesAsNull) {
    TfrxReportPage page;
    auto* header = new TfrxPageHeader(&page);
    auto* master = new TfrxMasterData(&page);
    EXPECT_EQ(page.FindBand<TfrxPageHeader>(), header);
    EXPECT_EQ(page.FindBand<TfrxDataBand>(), master);
    EXPECT_EQ(page.FindBand<TfrxBand>(), header);
    EXPECT_EQ(page.FindBand<TfrxReportTitle>(), nullptr);
    EXPECT_EQ(page.FindBand<TfrxPageFooter>(), nullptr);
    EXPECT_EQ(page.FindBand<TfrxDetailData>(), nullptr);
}

TEST(ReportModel, ParentFontRules) {
    TfrxMasterData band;
    TfrxFont big;
    big.Height = -21;
    band.SetFont(big);
    EXPECT_FALSE(band.ParentFont());  // assigning a font turns it off

    auto* memo = new TfrxMemoView(&band);
    EXPECT_EQ(memo->Font().Height, -21);  // copied when the parent is set
    auto* own = new TfrxMemoView(&band);
    TfrxFont small;
    small.Height = -11;
    own->SetFont(small);

    TfrxFont bold = big;
    bold.Style = frx::fsBold;
    band.SetFont(bold);
    EXPECT_EQ(memo->Font(), bold);       // passed on to children with ParentFont
    EXPECT_EQ(own->Font().Height, -11);  // not to those with their own font

    own->SetParentFont(true);
    EXPECT_EQ(own->Font(), bold);  // copied at once
}

TEST(ReportModel, FrameColourStyleAndWidthReachEverySideUntilASideIsSet) {
    TfrxFrame frame;
    frame.SetWidth(2);
    for (const TfrxFrameLine* line :
         {&frame.LeftLine, &frame.TopLine, &frame.RightLine, &frame.BottomLine})
        EXPECT_EQ(line->Width, 2);
    frame.TopLine.Width = 1;
    EXPECT_EQ(frame.TopLine.Width, 1);
    EXPECT_EQ(frame.LeftLine.Width, 2);
    EXPECT_EQ(frame.BottomLine.Width, 2);
    frame.SetColor(clAqua);
    frame.SetStyle(frx::fsDash);
    EXPECT_EQ(frame.RightLine.Color, clAqua);
    EXPECT_EQ(frame.RightLine.Style, frx::fsDash);

    // Stored: the frame's width, and the top side only where it differs.
    TfrxMemoView memo;
    TfrxFrame two;
    two.SetWidth(2);
    two.TopLine.Width = 1;
    memo.SetFrame(two);
    const QJsonObject stored = frxStoreProperties(&memo).value(u"Frame").toObject();
    EXPECT_EQ(stored.value(u"Width").toDouble(), 2);
    EXPECT_EQ(stored.value(u"TopLine").toObject(), QJsonObject({{"Width", 1}}));
    EXPECT_FALSE(stored.contains(u"LeftLine"));
}

TEST(ReportModel, PaperSizes) {
    TfrxReportPage page;
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 297);
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);

    page.SetPaperWidth(100.123456789);
    EXPECT_EQ(page.PaperSize(), 256);  // custom
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 100.12345679);
    EXPECT_EQ(page.Width(), 378);

    page.SetOrientation(frx::poLandscape);
    page.SetPaperSize(1);
    EXPECT_EQ(page.PaperWidth(), 279.4);
    EXPECT_EQ(page.PaperHeight(), 215.9);

    page.SetPaperSize(48);  // not in the table: dimensions stay
    EXPECT_EQ(page.PaperSize(), 48);
    EXPECT_EQ(page.PaperWidth(), 279.4);
}

TEST(ReportModel, StoredLetterPageKeepsItsCodeAndSize) {
    TfrxReportPage page;
    frxReadProperties(&page,
                      QJsonObject{{"PaperWidth", 215.9}, {"PaperHeight", 279.4}, {"PaperSize", 1}});
    EXPECT_EQ(page.PaperSize(), 1);
    EXPECT_EQ(page.PaperWidth(), 215.9);
    EXPECT_EQ(page.PaperHeight(), 279.4);
    EXPECT_EQ(page.Width(), 816);
    EXPECT_EQ(page.Height(), 1056);

    // A known code wins over stored dimensions.
    TfrxReportPage other;
    frxReadProperties(&other,
                      QJsonObject{{"PaperWidth", 100}, {"PaperHeight", 100}, {"PaperSize", 9}});
    EXPECT_EQ(other.PaperWidth(), 210);
    EXPECT_EQ(other.Height(), 1123);
}

TEST(ReportModel, PictureAutoSizeTakesThePicturePixelSize) {
    TfrxPictureView picture;
    EXPECT_EQ(picture.Color(), clWhite);
    picture.SetBounds(0, 0, 10, 10);
    QImage image(30, 20, QImage::Format_RGB888);
    image.fill(Qt::red);
    picture.SetImage(image);
    EXPECT_EQ(picture.Width(), 10);  // AutoSize off
    picture.SetAutoSize(true);
    EXPECT_EQ(picture.Width(), 30);
    EXPECT_EQ(picture.Height(), 20);
    image = QImage(7, 5, QImage::Format_RGB888);
    image.fill(Qt::blue);
    picture.SetImage(image);
    EXPECT_EQ(picture.Width(), 7);
    EXPECT_EQ(picture.Image().pixelColor(3, 2), QColor(Qt::blue));
}

TEST(ReportModel, MemoTextIsItsLinesEachWithCrLf) {
    TfrxMemoView memo;
    memo.SetText(QStringLiteral("one\r\ntwo\nthree\r\n"));
    EXPECT_EQ(memo.Memo(), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(memo.Text(), u"one\r\ntwo\r\nthree\r\n");
    memo.SetText(QString());
    EXPECT_TRUE(memo.Memo().isEmpty());
    memo.SetText(QStringLiteral("\r\n"));
    EXPECT_EQ(memo.Memo(), QStringList{QString()});
}

}  // namespace
}  // namespace qev
