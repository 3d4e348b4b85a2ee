#include "report/StatementTemplate.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"
#include "report/TfrxShapeView.h"
#include "testing/QtPrinters.h"

#include <QObject>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>

namespace qev {
namespace {

class StatementTemplateTest : public ::testing::Test {
  protected:
    void SetUp() override { statement = createStatementReport(&window); }

    TfrxReportPage* page() const {
        return qobject_cast<TfrxReportPage*>(
            statement.frxReport1->FindObject(QStringLiteral("Page1")));
    }

    QObject window;
    StatementReport statement;
};

struct ObjectRow {
    const char* band;
    const char* name;
    const char* className;
    double left, top, width, height;
    int fontHeight;  // 0: not a memo
    bool bold;
    frx::TfrxHAlign align;
    const char* dataSet;
    const char* field;
    const char* text;  // the first line for Memo2
};

constexpr frx::TfrxHAlign L = frx::haLeft, R = frx::haRight, C = frx::haCenter;
constexpr const char* H = "PageHeader1";
constexpr const char* M = "MasterData1";
constexpr const char* F = "PageFooter1";
constexpr const char* S = "ReportSummary1";

// Every object of the three bands, in stored order.
const ObjectRow objects[] = {
    {H, "Picture1", "TfrxPictureView", 3.77953, 0, 196, 89, 0, false, L, "", "", ""},
    {H, "Memo1", "TfrxMemoView", 222.99227, 0, 491.3389, 22.67718, -21, true, C, "", "",
     "DISTRIBUIDORA KORVU, S.A. DE C.V."},
    {H, "Memo2", "TfrxMemoView", 222.99227, 22.67718, 491.3389, 83.14966, -12, false, C, "", "",
     "Calle Poniente 116 No. 590, Col. Industrial Vallejo"},
    {H, "Line1", "TfrxLineView", 0, 112.28355, 740.78788, 0, 0, false, L, "", "", ""},
    {H, "Memo3", "TfrxMemoView", 0, 113.3859, 415.7483, 26.45671, -21, true, C, "", "",
     "ESTADO DE CUENTA DEL PROVEEDOR"},
    {H, "Line2", "TfrxLineView", 0, 139.84261, 740.78788, 0, 0, false, L, "", "", ""},
    {H, "Memo4", "TfrxMemoView", 0, 147.40167, 75.5906, 18.89765, -11, false, R, "", "",
     "PROVEEDOR:"},
    {H, "frxDBDataset1CardCode", "TfrxMemoView", 76.70872, 147.40167, 215.43321, 18.89765, -13,
     true, L, "frxDBDataset1", "CardCode", "[frxDBDataset1.\"CardCode\"]"},
    {H, "Memo5", "TfrxMemoView", 3.77953, 166.29932, 71.81107, 18.89765, -11, false, R, "", "",
     "NOMBRE:"},
    {H, "frxDBDataset1CardName", "TfrxMemoView", 76.70872, 166.29932, 653.85869, 18.89765, -13,
     true, L, "frxDBDataset1", "CardName", "[frxDBDataset1.\"CardName\"]"},
    {H, "Memo6", "TfrxMemoView", 3.77953, 185.19697, 71.81107, 18.89765, -11, false, R, "", "",
     "DIRECCION:"},
    {H, "frxDBDataset1Address", "TfrxMemoView", 76.70872, 185.19697, 362.83488, 18.89765, -13, true,
     L, "frxDBDataset1", "Address", "[frxDBDataset1.\"Address\"]"},
    {H, "Memo7", "TfrxMemoView", 442.20501, 185.19697, 64.25201, 18.89765, -11, false, R, "", "",
     "EXTERIOR:"},
    {H, "frxDBDataset1StreetNo", "TfrxMemoView", 506.45702, 185.19697, 75.5906, 18.89765, -13, true,
     L, "frxDBDataset1", "StreetNo", "[frxDBDataset1.\"StreetNo\"]"},
    {H, "Memo8", "TfrxMemoView", 582.04762, 185.19697, 60.47248, 18.89765, -11, false, R, "", "",
     "INTERIOR:"},
    {H, "frxDBDataset1Building", "TfrxMemoView", 642.5201, 185.19697, 90.70872, 18.89765, -13, true,
     L, "frxDBDataset1", "Building", "[frxDBDataset1.\"Building\"]"},
    {H, "Memo9", "TfrxMemoView", 3.77953, 204.09462, 71.81107, 18.89765, -11, false, R, "", "",
     "COLONIA:"},
    {H, "frxDBDataset1Block", "TfrxMemoView", 77.37013, 204.09462, 359.05535, 18.89765, -13, true,
     L, "frxDBDataset1", "Block", "[frxDBDataset1.\"Block\"]"},
    {H, "Memo10", "TfrxMemoView", 453.5436, 204.09462, 52.91342, 18.89765, -11, false, R, "", "",
     "CIUDAD:"},
    {H, "frxDBDataset1City", "TfrxMemoView", 506.45702, 204.09462, 226.7718, 18.89765, -13, true, L,
     "frxDBDataset1", "City", "[frxDBDataset1.\"City\"]"},
    {H, "Memo11", "TfrxMemoView", 3.77953, 222.99227, 71.81107, 18.89765, -11, false, R, "", "",
     "MUNICIPIO:"},
    {H, "frxDBDataset1County", "TfrxMemoView", 76.5906, 222.99227, 362.83488, 18.89765, -13, true,
     L, "frxDBDataset1", "County", "[frxDBDataset1.\"County\"]"},
    {H, "Memo12", "TfrxMemoView", 453.5436, 222.99227, 52.91342, 18.89765, -11, false, R, "", "",
     "ESTADO:"},
    {H, "frxDBDataset1State1", "TfrxMemoView", 506.45702, 222.99227, 60.47248, 18.89765, -13, true,
     L, "frxDBDataset1", "State1", "[frxDBDataset1.\"State1\"]"},
    {H, "Memo13", "TfrxMemoView", 589.60668, 222.99227, 52.91342, 18.89765, -11, false, R, "", "",
     "C.P."},
    {H, "frxDBDataset1ZipCode", "TfrxMemoView", 646.29963, 222.99227, 86.92919, 18.89765, -13, true,
     L, "frxDBDataset1", "ZipCode", "[frxDBDataset1.\"ZipCode\"]"},
    {H, "Memo14", "TfrxMemoView", 453.5436, 147.40167, 52.91342, 18.89765, -11, false, R, "", "",
     "R.F.C.:"},
    {H, "frxDBDataset1LicTradNum", "TfrxMemoView", 506.45702, 147.40167, 226.7718, 18.89765, -13,
     true, L, "frxDBDataset1", "LicTradNum", "[frxDBDataset1.\"LicTradNum\"]"},
    {H, "Memo15", "TfrxMemoView", 419.52783, 117.16543, 173.85838, 18.89765, -13, false, R, "", "",
     "FECHA DE EMISIÓN:"},
    {H, "Date", "TfrxMemoView", 593.38621, 117.16543, 139.84261, 18.89765, -16, true, L, "", "",
     "[Date]"},
    {H, "Shape1", "TfrxShapeView", 0, 245.66945, 740.78788, 18.89765, 0, false, L, "", "", ""},
    {H, "Shape2", "TfrxShapeView", 0, 264.5671, 740.78788, 18.89765, 0, false, L, "", "", ""},
    {H, "Memo16", "TfrxMemoView", 3.77953, 268.34663, 71.81107, 18.89765, -11, false, C, "", "",
     "FECHA"},
    {H, "Memo17", "TfrxMemoView", 75.5906, 268.34663, 49.13389, 18.89765, -11, false, C, "", "",
     "DOCTO."},
    {H, "Memo18", "TfrxMemoView", 124.72449, 268.34663, 64.25201, 18.89765, -11, false, C, "", "",
     "FOLIO"},
    {H, "Memo19", "TfrxMemoView", 188.9765, 268.34663, 79.37013, 18.89765, -11, false, C, "", "",
     "VENCIMIENTO"},
    {H, "Memo20", "TfrxMemoView", 268.34663, 268.34663, 222.99227, 18.89765, -11, false, C, "", "",
     "REFERENCIA"},
    {H, "Memo21", "TfrxMemoView", 491.3389, 268.34663, 79.37013, 18.89765, -11, false, C, "", "",
     "CARGO"},
    {H, "Memo22", "TfrxMemoView", 570.70903, 268.34663, 79.37013, 18.89765, -11, false, C, "", "",
     "ABONO"},
    {H, "Memo23", "TfrxMemoView", 650.07916, 268.34663, 86.92919, 18.89765, -11, false, C, "", "",
     "SALDO"},
    {H, "Shape3", "TfrxShapeView", 0, 94.48825, 740.78788, 18.89765, 0, false, L, "", "", ""},
    // The period, over the aqua strip; shown only for a statement with one.
    {H, "Memo24", "TfrxMemoView", 0, 245.66945, 740.78788, 18.89765, -13, true, C, "", "",
     "[Periodo]"},
    {M, "frxDBDataset2FECHA", "TfrxMemoView", 3.77953, 3.77953, 71.81107, 15.11812, -11, false, C,
     "frxDBDataset2", "MFECHA", "[frxDBDataset2.\"MFECHA\"]"},
    {M, "frxDBDataset2SERIE", "TfrxMemoView", 75.5906, 3.77953, 49.13389, 15.11812, -11, false, L,
     "frxDBDataset2", "SERIE", "[frxDBDataset2.\"SERIE\"]"},
    {M, "frxDBDataset2FOLIO", "TfrxMemoView", 124.72449, 3.77953, 64.25201, 15.11812, -11, false, R,
     "frxDBDataset2", "FOLIO", "[frxDBDataset2.\"FOLIO\"]"},
    {M, "frxDBDataset2VENCTO", "TfrxMemoView", 188.9765, 3.77953, 79.37013, 15.11812, -11, false, C,
     "frxDBDataset2", "MVENCTO", "[frxDBDataset2.\"MVENCTO\"]"},
    {M, "frxDBDataset2REFERENCIA", "TfrxMemoView", 268.34663, 3.77953, 222.99227, 15.11812, -11,
     false, L, "frxDBDataset2", "REFERENCIA", "[frxDBDataset2.\"REFERENCIA\"]"},
    {M, "frxDBDataset2CARGO", "TfrxMemoView", 491.3389, 3.77953, 79.37013, 15.11812, -11, false, R,
     "frxDBDataset2", "MCARGO", "[frxDBDataset2.\"MCARGO\"]"},
    {M, "frxDBDataset2ABONO", "TfrxMemoView", 570.70903, 3.77953, 79.37013, 15.11812, -11, false, R,
     "frxDBDataset2", "MABONO", "[frxDBDataset2.\"MABONO\"]"},
    {M, "frxDBDataset2SALDO", "TfrxMemoView", 653.85869, 3.77953, 83.14966, 15.11812, -11, false, R,
     "frxDBDataset2", "MSALDO", "[frxDBDataset2.\"MSALDO\"]"},
    {F, "Memo26", "TfrxMemoView", 264.5671, 3.77953, 71.81107, 18.89765, -11, false, R, "", "",
     "PAGINA"},
    {F, "Memo27", "TfrxMemoView", 336.37817, 3.77953, 18.89765, 18.89765, -11, false, C, "", "",
     "[Page#]"},
    {F, "Memo28", "TfrxMemoView", 355.27582, 3.77953, 18.89765, 18.89765, -11, false, C, "", "",
     "DE"},
    {F, "Memo29", "TfrxMemoView", 374.17347, 3.77953, 79.37013, 18.89765, -11, false, L, "", "",
     "[TotalPages#]"},
    {F, "Line3", "TfrxLineView", 0, 3.77953, 740.78788, 0, 0, false, L, "", "", ""},
    // The ageing of open items, once at the end; shown only for those.
    {S, "Memo30", "TfrxMemoView", 3.77953, 7.55906, 733.22882, 18.89765, -13, true, L, "", "",
     "[AntiguedadTitulo]"},
    {S, "Shape4", "TfrxShapeView", 0, 26.45671, 740.78788, 18.89765, 0, false, L, "", "", ""},
    {S, "Shape5", "TfrxShapeView", 0, 45.35436, 740.78788, 18.89765, 0, false, L, "", "", ""},
    {S, "Memo31", "TfrxMemoView", 3.77953, 30.23624, 115.90559, 15.11812, -11, false, C, "", "",
     "CORRIENTE"},
    {S, "Memo32", "TfrxMemoView", 127.24418, 30.23624, 115.90559, 15.11812, -11, false, C, "", "",
     "1-30 DÍAS"},
    {S, "Memo33", "TfrxMemoView", 250.70883, 30.23624, 115.90559, 15.11812, -11, false, C, "", "",
     "31-60 DÍAS"},
    {S, "Memo34", "TfrxMemoView", 374.17348, 30.23624, 115.90559, 15.11812, -11, false, C, "", "",
     "61-90 DÍAS"},
    {S, "Memo35", "TfrxMemoView", 497.63813, 30.23624, 115.90559, 15.11812, -11, false, C, "", "",
     "MÁS DE 90 DÍAS"},
    {S, "Memo36", "TfrxMemoView", 621.10278, 30.23624, 115.90559, 15.11812, -11, false, C, "", "",
     "TOTAL"},
    {S, "Memo37", "TfrxMemoView", 3.77953, 49.13389, 115.90559, 15.11812, -11, true, R, "", "",
     "[Antiguedad0]"},
    {S, "Memo38", "TfrxMemoView", 127.24418, 49.13389, 115.90559, 15.11812, -11, true, R, "", "",
     "[Antiguedad1]"},
    {S, "Memo39", "TfrxMemoView", 250.70883, 49.13389, 115.90559, 15.11812, -11, true, R, "", "",
     "[Antiguedad2]"},
    {S, "Memo40", "TfrxMemoView", 374.17348, 49.13389, 115.90559, 15.11812, -11, true, R, "", "",
     "[Antiguedad3]"},
    {S, "Memo41", "TfrxMemoView", 497.63813, 49.13389, 115.90559, 15.11812, -11, true, R, "", "",
     "[Antiguedad4]"},
    {S, "Memo42", "TfrxMemoView", 621.10278, 49.13389, 115.90559, 15.11812, -11, true, R, "", "",
     "[AntiguedadTotal]"},
};

TEST_F(StatementTemplateTest, EveryObjectHoldsItsStoredValues) {
    QMap<QString, int> indexInBand;
    for (const ObjectRow& row : objects) {
        SCOPED_TRACE(row.name);
        TfrxComponent* c = statement.frxReport1->FindObject(QString::fromUtf8(row.name));
        ASSERT_NE(c, nullptr);
        const QString band = QString::fromUtf8(row.band);
        ASSERT_EQ(c->Parent()->Name(), band);
        EXPECT_EQ(c->Parent()->Objects().indexOf(c), indexInBand[band]++) << "stored order";
        EXPECT_EQ(c->ClassName(), QString::fromUtf8(row.className));
        EXPECT_DOUBLE_EQ(c->Left(), row.left);
        EXPECT_DOUBLE_EQ(c->Top(), row.top);
        EXPECT_DOUBLE_EQ(c->Width(), row.width);
        EXPECT_DOUBLE_EQ(c->Height(), row.height);
        auto* view = qobject_cast<TfrxView*>(c);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Frame().Color(), clBlack);
        EXPECT_EQ(view->Frame().Width(), 1);
        EXPECT_EQ(view->Frame().Style(), frx::fsSolid);
        auto* memo = qobject_cast<TfrxMemoView*>(c);
        if (!memo) continue;
        EXPECT_EQ(memo->Font().Name, u"Arial");
        EXPECT_EQ(memo->Font().Height, row.fontHeight);
        EXPECT_EQ(memo->Font().IsBold(), row.bold);
        EXPECT_EQ(memo->Font().Style & ~frx::TfrxFontStyles(frx::fsBold), frx::TfrxFontStyles());
        EXPECT_EQ(memo->Font().Color, clBlack);
        EXPECT_EQ(memo->Font().Charset, DEFAULT_CHARSET);
        EXPECT_FALSE(memo->ParentFont());
        EXPECT_EQ(memo->HAlign, row.align);
        EXPECT_EQ(memo->VAlign, frx::vaTop);
        EXPECT_EQ(memo->DataSetName(), QString::fromUtf8(row.dataSet));
        EXPECT_EQ(memo->DataField(), QString::fromUtf8(row.field));
        if (*row.dataSet) {
            ASSERT_NE(memo->DataSet(), nullptr);
            EXPECT_EQ(memo->DataSet()->Name(), QString::fromUtf8(row.dataSet));
        } else {
            EXPECT_EQ(memo->DataSet(), nullptr);
        }
        EXPECT_EQ(memo->Memo().value(0), QString::fromUtf8(row.text));
        EXPECT_EQ(memo->Frame().Typ, frx::TfrxFrameTypes());
        EXPECT_EQ(memo->Color(), clNone);
        EXPECT_EQ(memo->BrushStyle(), frx::bsSolid);
        EXPECT_EQ(memo->GapX, 2);
        EXPECT_EQ(memo->GapY, 1);
        EXPECT_EQ(memo->LineSpacing, 2);
        EXPECT_TRUE(memo->WordWrap && memo->Wysiwyg && memo->Clipped && memo->AllowExpressions);
        EXPECT_EQ(memo->ExpressionDelimiters, u"[,]");
        EXPECT_EQ(memo->Rotation, 0);
        EXPECT_EQ(memo->StretchMode(), frx::smDontStretch);
        EXPECT_FALSE(memo->HideZeros || memo->SuppressRepeated || memo->AutoWidth);
        const bool isDate = memo->Name() == u"Date";
        EXPECT_EQ(memo->DisplayFormat.Kind, isDate ? frx::fkDateTime : frx::fkText);
        EXPECT_EQ(memo->DisplayFormat.FormatStr, isDate ? u"dd-mmm-yyyy" : u"");
    }
    EXPECT_EQ(indexInBand[QStringLiteral("PageHeader1")], 42);
    EXPECT_EQ(indexInBand[QStringLiteral("MasterData1")], 8);
    EXPECT_EQ(indexInBand[QStringLiteral("ReportSummary1")], 15);
    EXPECT_EQ(indexInBand[QStringLiteral("PageFooter1")], 5);
}

TEST_F(StatementTemplateTest, LetterheadHasFiveLines) {
    auto* memo2 =
        qobject_cast<TfrxMemoView*>(statement.frxReport1->FindObject(QStringLiteral("Memo2")));
    ASSERT_NE(memo2, nullptr);
    ASSERT_EQ(memo2->Memo().size(), 5);
    EXPECT_TRUE(memo2->Memo()[2].contains(u"C.P.") && memo2->Memo()[2].contains(u"R.F.C."));
    EXPECT_TRUE(memo2->Memo()[3].startsWith(u"Tel."));
    EXPECT_TRUE(memo2->Memo()[4].startsWith(u"www."));
}

TEST_F(StatementTemplateTest, LinesAndShapes) {
    for (const char* name : {"Line1", "Line2", "Line3"}) {
        auto* line = qobject_cast<TfrxLineView*>(
            statement.frxReport1->FindObject(QString::fromLatin1(name)));
        ASSERT_NE(line, nullptr) << name;
        EXPECT_EQ(line->Frame().Typ, frx::TfrxFrameTypes(frx::ftTop));
        EXPECT_FALSE(line->Diagonal || line->ArrowStart || line->ArrowEnd);
    }
    const std::pair<const char*, int> shapes[] = {{"Shape1", clAqua}, {"Shape2", clWhite},
                                                  {"Shape3", clAqua}, {"Shape4", clAqua},
                                                  {"Shape5", clWhite}};
    for (const auto& [name, color] : shapes) {
        auto* shape = qobject_cast<TfrxShapeView*>(
            statement.frxReport1->FindObject(QString::fromLatin1(name)));
        ASSERT_NE(shape, nullptr) << name;
        EXPECT_EQ(shape->Shape, frx::skRectangle);
        EXPECT_EQ(shape->Color(), color);
        EXPECT_EQ(shape->Frame().Typ, frx::TfrxFrameTypes());
    }
}

TEST_F(StatementTemplateTest, LogoIsA24BitBitmapOf196By89) {
    auto* picture = qobject_cast<TfrxPictureView*>(
        statement.frxReport1->FindObject(QStringLiteral("Picture1")));
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->AutoSize() && picture->KeepAspectRatio && picture->Stretched);
    EXPECT_FALSE(picture->Center || picture->Transparent || picture->HightQuality);
    EXPECT_EQ(picture->TransparentColor, clWhite);
    const QByteArray& stored = picture->Picture();
    EXPECT_EQ(stored.left(8), QByteArray("\x07TBitmap", 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(stored.constData() + 8), 52386u);
    const QByteArray bmp = TfrxPictureView::BitmapFileOf(stored);
    ASSERT_EQ(bmp.size(), 52386);
    auto le32 = [&](int at) { return qFromLittleEndian<quint32>(bmp.constData() + at); };
    auto le16 = [&](int at) { return qFromLittleEndian<quint16>(bmp.constData() + at); };
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(le32(14), 40u);   // information header
    EXPECT_EQ(le32(18), 196u);  // width
    EXPECT_EQ(le32(22), 89u);   // height, bottom row first
    EXPECT_EQ(le16(28), 24u);   // bits per pixel
    EXPECT_EQ(le32(30), 0u);    // uncompressed
    EXPECT_EQ(le32(38), 3780u);
    EXPECT_EQ(le32(42), 3780u);
    EXPECT_EQ(le32(46), 0u);  // no colour table
    EXPECT_EQ(picture->Image().size(), QSize(196, 89));
}

TEST_F(StatementTemplateTest, ReportPagesBandsAndDataSets) {
    TfrxReport* report = statement.frxReport1;
    EXPECT_EQ(report->Name(), u"frxReport1");
    EXPECT_EQ(report->Version, u"4.15.10");
    EXPECT_EQ(report->ScriptLanguage, u"PascalScript");
    EXPECT_EQ(report->ScriptText, (QStringList{"begin", "", "end."}));
    EXPECT_DOUBLE_EQ(report->ReportOptions.CreateDate, 42542.5912190856);
    EXPECT_DOUBLE_EQ(report->ReportOptions.LastChange, 42542.5912190856);
    EXPECT_EQ(report->PrintOptions.Printer, u"Default");
    EXPECT_EQ(report->PreviewOptions.Zoom, 1.0);
    EXPECT_EQ(report->EngineOptions, TfrxEngineOptions());
    ASSERT_EQ(report->DataSets.size(), 2);
    EXPECT_EQ(report->DataSets[0].DataSet, statement.frxDBDataset1);
    EXPECT_EQ(report->DataSets[1].DataSet, statement.frxDBDataset2);
    for (TfrxDBDataset* ds : {statement.frxDBDataset1, statement.frxDBDataset2}) {
        EXPECT_EQ(ds->UserName(), ds->Name());
        EXPECT_FALSE(ds->CloseDataSource || ds->BCDToCurrency);
        EXPECT_EQ(ds->RangeBegin, frx::rbFirst);
        EXPECT_EQ(ds->RangeEnd, frx::reLast);
    }

    ASSERT_EQ(report->Objects().size(), 2);
    EXPECT_EQ(report->Objects()[0]->ClassName(), u"TfrxDataPage");
    EXPECT_EQ(report->Objects()[0]->Width(), 1000);
    EXPECT_TRUE(report->Objects()[0]->Objects().isEmpty());
    TfrxReportPage* p = page();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->PaperSize(), 1);
    EXPECT_DOUBLE_EQ(p->PaperWidth(), 215.9);
    EXPECT_DOUBLE_EQ(p->PaperHeight(), 279.4);
    EXPECT_EQ(p->Width(), 816);
    EXPECT_EQ(p->Height(), 1056);
    EXPECT_EQ(p->Orientation(), frx::poPortrait);
    EXPECT_EQ(p->LeftMargin + p->RightMargin + p->TopMargin + p->BottomMargin, 40);
    EXPECT_NEAR(p->PaperWidth() * fr01cm - (p->LeftMargin + p->RightMargin) * fr01cm, 740.409927,
                1e-9);
    EXPECT_NEAR(p->PaperHeight() * fr01cm - (p->TopMargin + p->BottomMargin) * fr01cm, 980.410082,
                1e-9);

    ASSERT_EQ(p->Objects().size(), 4);
    auto* header = p->FindBand<TfrxPageHeader>();
    auto* master = p->FindBand<TfrxMasterData>();
    auto* summary = p->FindBand<TfrxReportSummary>();
    auto* footer = p->FindBand<TfrxPageFooter>();
    ASSERT_TRUE(header && master && summary && footer);
    EXPECT_EQ(p->Objects(), (QList<TfrxComponent*>{header, master, summary, footer}));
    EXPECT_DOUBLE_EQ(header->Height(), 283.46475);
    EXPECT_DOUBLE_EQ(header->Top(), 18.89765);
    EXPECT_TRUE(header->PrintOnFirstPage);
    EXPECT_DOUBLE_EQ(master->Height(), 22.67718);
    EXPECT_DOUBLE_EQ(master->Top(), 362.83488);
    EXPECT_EQ(master->DataSet(), statement.frxDBDataset2);
    EXPECT_EQ(master->RowCount(), 0);
    EXPECT_DOUBLE_EQ(footer->Top(), 445.98454);
    EXPECT_TRUE(footer->PrintOnFirstPage && footer->PrintOnLastPage);
    // The period line and the ageing are hidden until a statement asks for them.
    EXPECT_DOUBLE_EQ(summary->Height(), 68.03154);
    EXPECT_FALSE(summary->Visible());
    EXPECT_FALSE(report->FindObject(QStringLiteral("Memo24"))->Visible());
    for (TfrxBand* band : {static_cast<TfrxBand*>(header), static_cast<TfrxBand*>(master),
                           static_cast<TfrxBand*>(summary), static_cast<TfrxBand*>(footer)}) {
        EXPECT_EQ(band->Left(), 0);
        EXPECT_DOUBLE_EQ(band->Width(), 740.409927);
        EXPECT_FALSE(band->Stretched);
        EXPECT_EQ(band->ChildBand(), nullptr);
    }
}

}  // namespace
}  // namespace qev
