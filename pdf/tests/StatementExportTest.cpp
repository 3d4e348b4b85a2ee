// The statement report prepared by the engine from its template over
// fixture record sets, then exported: the bytes the file structure fixes and
// what real readers find in it.

#include "PdfSamples.h"
#include "PdfTestTools.h"
#include "pdf/TfrxExportRun.h"
#include "pdf/TfrxPDFExport.h"
#include "report/StatementTemplate.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/WorkerQueue.h"
#include "report/tests/EngineFixture.h"
#include "testing/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qev::test {
namespace {

const QStringList supplierFields{"CardCode", "CardName", "Address",   "StreetNo",
                                 "Building", "Block",    "City",      "County",
                                 "State1",   "ZipCode",  "LicTradNum"};
const QStringList movementFields{"MFECHA",     "SERIE",  "FOLIO",  "MVENCTO",
                                 "REFERENCIA", "MCARGO", "MABONO", "MSALDO"};

QList<QVariantList> supplierRows() {
    QVariantList row;
    for (const QString& field : supplierFields)
        row.append(field == "CardCode"   ? QStringLiteral("P0001")
                   : field == "CardName" ? QStringLiteral("ACEROS DEL NORTE SA DE CV")
                                         : field + " P0001");
    return {row};
}

QList<QVariantList> movementRows(int count) {
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({"24/JUN/2016", "PC", i, "24/JUL/2016", QString("Ref %1").arg(i), "$1,234.50",
                     "$0.00", QString("$%1.00").arg(i)});
    return rows;
}

struct PreparedStatement {
    explicit PreparedStatement(int movements)
        : suppliers("TablaProveedores", supplierFields, supplierRows()),
          movimientos("TablaSql", movementFields, movementRows(movements)) {
        suppliers.open();
        movimientos.open();
        statement = createStatementReport(&owner);
        statement.frxDBDataset1->SetDataSet(&suppliers);
        statement.frxDBDataset2->SetDataSet(&movimientos);
        prepared = statement.frxReport1->PrepareReport(true);
    }

    // Exported into dir as QEV_P0001.pdf; returns the file's bytes.
    QByteArray exportTo(const QTemporaryDir& dir, bool embed) {
        TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
        filter.ShowDialog = false;
        filter.EmbeddedFonts = embed;
        filter.DefaultPath = dir.path();
        filter.FileName = QStringLiteral("QEV_P0001.pdf");
        filter.SetFixedIdentity(fixedGuid, fixedDate);
        TfrxPreviewPages& store = *statement.frxReport1->PreviewPages();
        TfrxPagesOf pages([&store] { return store.GetCount(); },
                          [&store](int i) { return store.GetPage(i); });
        TfrxExportRun run(*statement.frxReport1, pages);
        run.ShowError = [this](const QString&, const QString& text) { errors << text; };
        run.OpenFile = [](const QString&) {};
        exported = run.Export(&filter);
        path = filter.FileName;
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    HookRecorder hooks;
    MemoryRecordSet suppliers;
    MemoryRecordSet movimientos;
    QObject owner;
    StatementReport statement;
    bool prepared = false;
    bool exported = false;
    QString path;
    QStringList errors;
};

TEST(StatementExport, OnePage) {
    QTemporaryDir dir;
    PreparedStatement statement(5);
    ASSERT_TRUE(statement.prepared) << statement.hooks.Boxes.join("\n").toStdString();
    const PdfFileReader pdf(statement.exportTo(dir, false));
    ASSERT_TRUE(statement.exported) << statement.errors.join("\n").toStdString();
    EXPECT_EQ(pdf.size(), 17);
    EXPECT_EQ(pdf.objectOrder(),
              (QList<int>{2, 3, 6, 7, 8, 9, 10, 4, 11, 12, 13, 14, 5, 1, 15, 16}));
    EXPECT_TRUE(pdf.object(6).contains("/MediaBox [0 0 612.00 792.00 ]"));
    EXPECT_TRUE(pdf.object(2).contains("/Width 197\r\n/Height 90\r\n"));
    EXPECT_TRUE(
        pdf.allContent().contains("q\r\n147.00 0 0 66.75 31.68 696.40 cm\r\n/Im0 Do\r\nQ\r\n"));
    EXPECT_TRUE(pdf.object(6).contains("/Font << /F0 4 0 R /F1 5 0 R >>"));
    EXPECT_TRUE(pdf.object(4).contains("/BaseFont /Arial,Bold\r\n"));
    EXPECT_TRUE(pdf.object(5).contains("/BaseFont /Arial\r\n"));
    const QList<QByteArray> xref = pdf.xrefSection().split('\n');
    for (int i = 2; i < xref.size() - 1; ++i) EXPECT_EQ(xref[i].size() + 1, 20);
}

TEST(StatementExport, ThreePagesReadBack) {
    QTemporaryDir dir;
    PreparedStatement statement(70);  // 29 + 29 + 12 rows
    ASSERT_TRUE(statement.prepared);
    const PdfFileReader pdf(statement.exportTo(dir, true));
    ASSERT_TRUE(statement.exported);
    EXPECT_TRUE(pdf.object(1).contains("/Kids [6 0 R 9 0 R 12 0 R ]\r\n/Count 3"));
    for (const char* image : {"/Im0 Do", "/Im1 Do", "/Im2 Do"})
        EXPECT_TRUE(pdf.allContent().contains(image));

    QString output;
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), statement.path}, &output),
              0)
        << output.toStdString();
    ASSERT_EQ(runTool(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), statement.path, QStringLiteral("-")}, &output),
              0);
    for (const char* text :
         {"ACEROS DEL NORTE SA DE CV", "$1,234.50", "24/JUN/2016", "PAGINA", "$70.00"})
        EXPECT_TRUE(output.contains(QString::fromUtf8(text))) << text << "\n"
                                                              << output.toStdString();
    EXPECT_EQ(output.count(QStringLiteral("PAGINA")), 3) << output.toStdString();
    ASSERT_EQ(runTool(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                       statement.path, dir.filePath(QStringLiteral("p"))},
                      &output),
              0);
    for (const char* page : {"p-1.png", "p-2.png", "p-3.png"})
        EXPECT_FALSE(QImage(dir.filePath(QString::fromLatin1(page))).isNull()) << page;
}

// A process that works its queues off in place (a print-all worker) writes
// the file that one handing pages to threads writes.
TEST(StatementExport, QueuesWithoutThreadsGiveTheSameFile) {
    QTemporaryDir dir;
    QByteArray files[2];
    for (const bool threads : {true, false}) {
        setWorkerQueueThreads(threads);
        PreparedStatement statement(100);  // 4 pages
        const QByteArray bytes = statement.exportTo(dir, true);
        setWorkerQueueThreads(true);
        ASSERT_TRUE(statement.prepared && statement.exported)
            << statement.errors.join("\n").toStdString();
        files[threads] = bytes;
    }
    EXPECT_GT(files[false].size(), 10000);
    EXPECT_EQ(files[false], files[true]);
}

}  // namespace
}  // namespace qev::test
