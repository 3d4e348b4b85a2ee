// Prepares the statement report over a long movements list and shows what
// the prepared pages cost: preparation time, stored bytes per page, and the
// resident memory sampled as pages are added (it should grow by a small,
// roughly constant amount per page), then the time to rebuild every page.
// Usage: bench_engine [rows=10000]   (run under /usr/bin/time -v for the peak)

#include "report/StatementTemplate.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxPage.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/tests/EngineFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

#include <sys/resource.h>

namespace {

using namespace qev;

// Resident memory of this process in kB.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QList<QVariantList> movements(int count) {
    QList<QVariantList> rows;
    rows.reserve(count);
    for (int i = 1; i <= count; ++i)
        rows.append({QStringLiteral("24/JUN/2016"), QStringLiteral("PC"), i,
                     QStringLiteral("24/JUL/2016"), QStringLiteral("Factura de compra %1").arg(i),
                     QStringLiteral("$1,234.50"), QStringLiteral("$0.00"),
                     QStringLiteral("$%1.50").arg(i * 1234)});
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;

    const QStringList supplierFields{"CardCode", "CardName", "Address",   "StreetNo",
                                     "Building", "Block",    "City",      "County",
                                     "State1",   "ZipCode",  "LicTradNum"};
    QVariantList supplier;
    for (const QString& field : supplierFields) supplier.append(field + QStringLiteral(" P0001"));
    test::MemoryRecordSet suppliers(QStringLiteral("TablaProveedores"), supplierFields, {supplier});
    test::MemoryRecordSet movimientos(
        QStringLiteral("TablaSql"),
        {"MFECHA", "SERIE", "FOLIO", "MVENCTO", "REFERENCIA", "MCARGO", "MABONO", "MSALDO"},
        movements(rows));
    suppliers.open();
    movimientos.open();

    QObject owner;
    StatementReport statement = createStatementReport(&owner);
    statement.frxDBDataset1->SetDataSet(&suppliers);
    statement.frxDBDataset2->SetDataSet(&movimientos);
    TfrxReport& report = *statement.frxReport1;
    TfrxPreviewPages& pages = *report.PreviewPages();

    // Sample the resident memory at page starts (the message-processing points).
    struct Sample {
        int pages;
        long kb;
    };
    QList<Sample> samples;
    int lastSampled = 0;
    frxSetProcessMessages([&] {
        const int count = pages.GetCount();
        if (count >= lastSampled + 50 || (count > 0 && samples.isEmpty())) {
            samples.append({count, residentKb()});
            lastSampled = count;
        }
    });

    const long before = residentKb();
    QElapsedTimer timer;
    timer.start();
    const bool ok = report.PrepareReport(true);
    const double prepareMs = double(timer.nsecsElapsed()) / 1e6;
    const long after = residentKb();
    samples.append({pages.GetCount(), after});

    std::printf("rows %d, pages %d, prepared %s in %.1f ms (%.1f pages/s, %.1f rows/s)\n", rows,
                pages.GetCount(), ok ? "without errors" : "WITH ERRORS", prepareMs,
                pages.GetCount() / (prepareMs / 1000), rows / (prepareMs / 1000));
    std::printf("stored entries: %lld bytes, %.0f bytes per page; pictures kept: %d\n",
                static_cast<long long>(pages.StoredSize()),
                double(pages.StoredSize()) / pages.GetCount(), pages.PictureCount());
    std::printf("resident memory: %ld kB before, %ld kB after (+%ld kB, %.1f kB per page)\n",
                before, after, after - before, double(after - before) / pages.GetCount());
    std::printf(
        "resident memory as pages are added (pages: kB, kB per page since the previous sample):\n");
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const double perPage = i == 0 ? 0
                                      : double(samples[i].kb - samples[i - 1].kb) /
                                            std::max(1, samples[i].pages - samples[i - 1].pages);
        std::printf("  %4d: %7ld  %6.1f\n", samples[i].pages, samples[i].kb, perPage);
    }

    timer.restart();
    qsizetype objects = 0;
    for (int i = 0; i < pages.GetCount(); ++i) objects += pages.GetPage(i)->AllObjects().size();
    const double rebuildMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf(
        "rebuilt every page in %.1f ms (%.2f ms per page, %lld objects), %d pages in the cache\n",
        rebuildMs, rebuildMs / pages.GetCount(), static_cast<long long>(objects),
        pages.CachedPageCount());
    std::printf("peak resident memory: %ld kB\n", peakKb());
    frxSetProcessMessages({});
    return ok ? 0 : 1;
}
