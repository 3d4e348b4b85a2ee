// The engine over the statement template and fixture data: page breaks,
// header and footer positions, page numbers, data-set positions, errors and
// the template left as stored.

#include "report/StatementTemplate.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxEngineReport.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/tests/EngineFixture.h"
#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qev {
namespace {

using test::HookRecorder;
using test::MemoryRecordSet;

constexpr double headerHeight = 283.46475;
constexpr double rowHeight = 22.67718;
constexpr double footerTop = 957.732902;
constexpr double printableWidth = 740.409927;
constexpr double printableHeight = 980.410082;

const QStringList supplierFields{"CardCode", "CardName", "Address",   "StreetNo",
                                 "Building", "Block",    "City",      "County",
                                 "State1",   "ZipCode",  "LicTradNum"};
const QStringList movementFields{"MFECHA",     "SERIE",  "FOLIO",  "MVENCTO",
                                 "REFERENCIA", "MCARGO", "MABONO", "MSALDO"};

QList<QVariantList> supplierRows(const QStringList& fields) {
    QList<QVariantList> rows;
    for (const char* code : {"P0001", "P0002", "P0003"}) {
        QVariantList row;
        for (const QString& field : fields)
            row.append(field == "CardCode" ? QString(code) : field + " " + code);
        rows.append(row);
    }
    return rows;
}

QList<QVariantList> movementRows(int count) {
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({"24/JUN/2016", "PC", i, "24/JUL/2016", QString("Ref %1").arg(i), "$1,234.50",
                     "$0.00", QString("$%1.00").arg(i)});
    return rows;
}

// The statement report of the main window over fixture record sets, the
// supplier table standing on its second row.
struct StatementFixture {
    explicit StatementFixture(int movements, const QStringList& fields = supplierFields)
        : suppliers("TablaProveedores", fields, supplierRows(fields)),
          movimientos("TablaSql", movementFields, movementRows(movements)) {
        suppliers.open();
        suppliers.goTo(1);
        movimientos.open();
        statement = createStatementReport(&owner);
        statement.frxDBDataset1->SetDataSet(&suppliers);
        statement.frxDBDataset2->SetDataSet(&movimientos);
    }

    TfrxReport& report() { return *statement.frxReport1; }
    TfrxPreviewPages& pages() { return *report().PreviewPages(); }
    bool prepare() { return report().PrepareReport(true); }

    HookRecorder hooks;
    MemoryRecordSet suppliers;
    MemoryRecordSet movimientos;
    QObject owner;
    StatementReport statement;
};

QString textOf(const TfrxComponent* parent, const QString& name) {
    const auto* memo = qobject_cast<const TfrxCustomMemoView*>(parent->FindObject(name));
    return memo ? memo->Memo().join('\n') : QStringLiteral("<no memo %1>").arg(name);
}

// Every component of a rebuilt page as one line: class, name, geometry, text.
QStringList dump(TfrxReportPage* page) {
    QStringList lines;
    for (const TfrxComponent* c : page->AllObjects()) {
        QString line =
            QString::asprintf("%s %s %.6f %.6f %.6f %.6f", qPrintable(c->ClassName()),
                              qPrintable(c->Name()), c->Left(), c->Top(), c->Width(), c->Height());
        if (auto* memo = qobject_cast<const TfrxCustomMemoView*>(c))
            line += " [" + memo->Memo().join('|') + "]";
        lines.append(line);
    }
    return lines;
}

QStringList dumpAll(TfrxPreviewPages& pages) {
    QStringList all;
    for (int i = 0; i < pages.GetCount(); ++i) all += dump(pages.GetPage(i));
    return all;
}

struct PagingCase {
    int movements;
    QList<int> rowsPerPage;
};

void PrintTo(const PagingCase& c, std::ostream* os) {
    *os << c.movements << " rows";
}

class StatementPaging : public testing::TestWithParam<PagingCase> {};

TEST_P(StatementPaging, HeaderRowsAndFooterOnEveryPage) {
    const PagingCase& c = GetParam();
    StatementFixture f(c.movements);
    ASSERT_TRUE(f.prepare()) << f.report().Errors().join('\n').toStdString();
    ASSERT_EQ(f.pages().GetCount(), c.rowsPerPage.size());

    int row = 0;
    for (int p = 0; p < f.pages().GetCount(); ++p) {
        SCOPED_TRACE(testing::Message() << "page " << p + 1);
        TfrxReportPage* page = f.pages().GetPage(p);
        const QList<TfrxComponent*>& bands = page->Objects();
        const int nullBands = p == 0 ? 1 : 0;
        ASSERT_EQ(bands.size(), 2 + nullBands + c.rowsPerPage[p]);

        EXPECT_EQ(bands.first()->ClassName(), "TfrxPageHeader");
        EXPECT_EQ(bands.first()->Top(), 0);
        EXPECT_EQ(textOf(bands.first(), "frxDBDataset1CardCode"), "P0002");
        EXPECT_EQ(textOf(bands.first(), "frxDBDataset1City"), "City P0002");
        if (nullBands) {
            const TfrxComponent* nullBand = bands[1];
            EXPECT_EQ(nullBand->ClassName(), "TfrxNullBand");
            EXPECT_EQ(nullBand->Left(), 0);
            EXPECT_EQ(nullBand->Top(), 0);
            EXPECT_NEAR(nullBand->Width(), printableWidth, 1e-9);
            EXPECT_NEAR(nullBand->Height(), printableHeight, 1e-9);
            EXPECT_TRUE(nullBand->Objects().isEmpty());
        }
        for (int k = 0; k < c.rowsPerPage[p]; ++k) {
            const TfrxComponent* band = bands[1 + nullBands + k];
            ++row;
            EXPECT_EQ(band->Name(), "MasterData1");
            EXPECT_NEAR(band->Top(), headerHeight + k * rowHeight, 1e-9);
            EXPECT_EQ(textOf(band, "frxDBDataset2REFERENCIA"), QString("Ref %1").arg(row));
            EXPECT_EQ(band->Objects().size(), 8);
        }
        const TfrxComponent* footer = bands.last();
        EXPECT_EQ(footer->Name(), "PageFooter1");
        EXPECT_NEAR(footer->Top(), footerTop, 1e-9);
        EXPECT_EQ(textOf(footer, "Memo27"), QString::number(p + 1));
        EXPECT_EQ(textOf(footer, "Memo29"), "[TotalPages#]");
        // Views keep their template place inside the band.
        EXPECT_NEAR(footer->FindObject("Memo27")->AbsTop(), footerTop + 3.77953, 1e-9);
    }
    EXPECT_EQ(row, c.movements);
}

INSTANTIATE_TEST_SUITE_P(Rows, StatementPaging,
                         testing::Values(PagingCase{0, {0}}, PagingCase{1, {1}},
                                         PagingCase{29, {29}}, PagingCase{30, {29, 1}},
                                         PagingCase{58, {29, 29}}, PagingCase{59, {29, 29, 1}}));

TEST(EngineStatement, ThirtiethRowOpensTheSecondPageRightBelowItsHeader) {
    StatementFixture f(30);
    ASSERT_TRUE(f.prepare());
    ASSERT_EQ(f.pages().GetCount(), 2);
    TfrxReportPage* second = f.pages().GetPage(1);
    ASSERT_EQ(second->Objects().size(), 3);
    const TfrxComponent* row = second->Objects()[1];
    EXPECT_DOUBLE_EQ(row->Top(), 283.46475);
    EXPECT_EQ(textOf(row, "frxDBDataset2REFERENCIA"), "Ref 30");
    EXPECT_EQ(textOf(row, "frxDBDataset2SALDO"), "$30.00");
}

TEST(EngineStatement, SupplierTableStaysAndMovementsEndOnTheirLastRow) {
    StatementFixture f(45);
    ASSERT_TRUE(f.prepare());
    EXPECT_TRUE(f.suppliers.isOpen());
    EXPECT_EQ(f.suppliers.position(), 1);
    EXPECT_EQ(f.suppliers.Moves, 0);
    EXPECT_TRUE(f.movimientos.isOpen());
    EXPECT_EQ(f.movimientos.position(), 44);
    EXPECT_TRUE(f.movimientos.eof());
    // The data sets let go of the record sets' notifications.
    EXPECT_FALSE(f.movimientos.afterOpen);
    EXPECT_FALSE(f.suppliers.beforeClose);
}

TEST(EngineStatement, MissingFieldShowsItsTextAndOneErrorBox) {
    QStringList fields = supplierFields;
    fields.removeAll("City");
    StatementFixture f(31, fields);

    EXPECT_FALSE(f.prepare());

    ASSERT_EQ(f.pages().GetCount(), 2);
    for (int p = 0; p < 2; ++p)
        EXPECT_EQ(textOf(f.pages().GetPage(p)->Objects().first(), "frxDBDataset1City"),
                  "Field not found: frxDBDataset1.\"City\"");
    ASSERT_EQ(f.hooks.Boxes.size(), 1);
    EXPECT_EQ(f.hooks.Captions.first(), "Error");
    EXPECT_EQ(f.hooks.Boxes.first(),
              "The following error(s) have occured:\r\n"
              "frxDBDataset1City: Field not found: frxDBDataset1.\"City\"\r\n");
}

TEST(EngineStatement, PreparingTwiceGivesTheSamePages) {
    StatementFixture f(40);
    ASSERT_TRUE(f.prepare());
    const QStringList first = dumpAll(f.pages());
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.pages().GetCount(), 2);
    EXPECT_EQ(dumpAll(f.pages()), first);
    EXPECT_TRUE(f.hooks.Boxes.isEmpty());
}

TEST(EngineStatement, TemplateIsAsStoredAfterwards) {
    StatementFixture f(35);
    const QByteArray before = f.report().SaveToJson();
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.report().SaveToJson(), before);
    EXPECT_EQ(textOf(&f.report(), "frxDBDataset1CardCode"), "[frxDBDataset1.\"CardCode\"]");
    EXPECT_EQ(textOf(&f.report(), "Memo27"), "[Page#]");
    EXPECT_EQ(textOf(&f.report(), "frxDBDataset2REFERENCIA"), "[frxDBDataset2.\"REFERENCIA\"]");
    EXPECT_DOUBLE_EQ(f.report().FindObject("MasterData1")->Top(), 362.83488);
}

TEST(EngineStatement, WindowMessagesAreHandledPerPageAndPerRecord) {
    StatementFixture f(60);
    ASSERT_TRUE(f.prepare());
    // 3 page starts, 1 band tree and 60 detail levels, plus run start and end.
    EXPECT_GE(f.hooks.ProcessCalls, 60 + 3 + 1);

    StatementFixture quiet(60);
    quiet.report().EngineOptions.EnableThreadSafe = true;
    ASSERT_TRUE(quiet.prepare());
    EXPECT_EQ(quiet.hooks.ProcessCalls, 0);
}

TEST(EngineStatement, TerminatedStopsWithThePagesMadeSoFar) {
    StatementFixture f(200);
    f.hooks.OnProcess = [&f] {
        if (f.movimientos.position() >= 40) f.report().Terminated = true;
    };
    EXPECT_TRUE(f.prepare());
    ASSERT_EQ(f.pages().GetCount(), 2);
    TfrxReportPage* last = f.pages().GetPage(1);
    EXPECT_EQ(last->Objects().last()->Name(), "PageFooter1");
    EXPECT_LT(last->Objects().size(), 2 + 29);
}

TEST(EngineStatement, DataSetItemWithoutDataSetStopsBeforeTheRun) {
    StatementFixture f(5);
    f.report().DataSets.append({nullptr, "frxDBDataset9"});
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.pages().GetCount(), 0);
    ASSERT_EQ(f.hooks.Boxes.size(), 1);
    EXPECT_EQ(
        f.hooks.Boxes.first(),
        "The following error(s) have occured:\r\nDataset \"frxDBDataset9\" does not exist\r\n");
    EXPECT_EQ(f.movimientos.Moves, 0);
}

TEST(EngineStatement, DataSetWithoutRecordSetEndsTheRunWithItsError) {
    StatementFixture f(5);
    f.statement.frxDBDataset2->SetDataSet(nullptr);
    EXPECT_FALSE(f.prepare());
    EXPECT_EQ(f.report().Errors(), QStringList{"DataSet frxDBDataset2 is not connected to data"});
    ASSERT_EQ(f.hooks.Boxes.size(), 1);
    // The template is restored even after a failed run.
    EXPECT_EQ(textOf(&f.report(), "Memo27"), "[Page#]");
}

TEST(EngineStatement, SilentModesDecideHowErrorsAreReported) {
    StatementFixture f(5);
    f.statement.frxDBDataset2->SetDataSet(nullptr);
    f.report().EngineOptions.NewSilentMode = frx::simSilent;
    EXPECT_FALSE(f.prepare());
    EXPECT_TRUE(f.hooks.Boxes.isEmpty());

    f.report().EngineOptions.NewSilentMode = frx::simReThrow;
    try {
        f.prepare();
        ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(),
                  "The following error(s) have occured:\r\nDataSet frxDBDataset2 is not connected "
                  "to data\r\n");
    }
}

}  // namespace
}  // namespace qev
