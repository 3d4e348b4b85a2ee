// Prepares the statement report from its template over a supplier with many
// movements and exports it as PDF; prints the time of each part, pages per
// second and the peak memory.
// Usage: bench_pdf_statement [rows=10000] [output=bench_pdf_statement.pdf]

#include "pdf/TfrxExportRun.h"
#include "pdf/TfrxPDFExport.h"
#include "report/StatementTemplate.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/tests/EngineFixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

#include <sys/resource.h>

int main(int argc, char** argv) {
    using namespace qev;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const QString output =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("bench_pdf_statement.pdf");

    const QStringList supplierFields{"CardCode", "CardName", "Address",   "StreetNo",
                                     "Building", "Block",    "City",      "County",
                                     "State1",   "ZipCode",  "LicTradNum"};
    QVariantList supplier;
    for (const QString& field : supplierFields)
        supplier.append(field == "CardCode" ? QStringLiteral("P0001") : field);
    QList<QVariantList> movements;
    for (int i = 1; i <= rows; ++i)
        movements.append({"24/JUN/2016", "PC", i, "24/JUL/2016", QString("Ref %1").arg(i),
                          "$1'234,567.89", "$0.00", QString("$%1.00").arg(i * 37)});
    test::MemoryRecordSet suppliers("TablaProveedores", supplierFields, {supplier});
    test::MemoryRecordSet query(
        "TablaSql",
        {"MFECHA", "SERIE", "FOLIO", "MVENCTO", "REFERENCIA", "MCARGO", "MABONO", "MSALDO"},
        movements);
    suppliers.open();
    query.open();
    QObject owner;
    StatementReport statement = createStatementReport(&owner);
    statement.frxDBDataset1->SetDataSet(&suppliers);
    statement.frxDBDataset2->SetDataSet(&query);
    TfrxReport& report = *statement.frxReport1;

    QElapsedTimer timer;
    timer.start();
    const bool prepared = report.PrepareReport(true);
    const qint64 prepareMs = timer.restart();

    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    filter.ShowDialog = false;
    filter.FileName = output;
    TfrxPreviewPages& store = *report.PreviewPages();
    // As the print action exports: each page released once written.
    TfrxPagesOf pages([&store] { return store.GetCount(); },
                      [&store](int i) { return store.GetPage(i); },
                      [&store](int i) { store.ReleasePage(i); });
    TfrxExportRun run(report, pages);
    const bool exported = run.Export(&filter);
    const qint64 exportMs = timer.elapsed();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const int count = store.GetCount();
    std::printf("rows %d, pages %d, file %s\n", rows, count, qPrintable(filter.FileName));
    std::printf("prepare       %8lld ms  (%.1f pages/s)\n", qlonglong(prepareMs),
                prepareMs > 0 ? count * 1000.0 / prepareMs : 0.0);
    std::printf("export        %8lld ms  (%.1f pages/s)\n", qlonglong(exportMs),
                exportMs > 0 ? count * 1000.0 / exportMs : 0.0);
    std::printf("together      %8lld ms  (%.1f pages/s)\n", qlonglong(prepareMs + exportMs),
                count * 1000.0 / std::max<qint64>(1, prepareMs + exportMs));
    std::printf("peak memory   %8ld KiB\n", usage.ru_maxrss);
    return prepared && exported ? 0 : 1;
}
