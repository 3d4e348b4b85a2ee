// Exports a long statement as PDF: pages shaped like the statement report
// (header with logo and supplier data, 29 movement rows, footer), built from
// report objects, then written by the PDF export. Prints the time of each
// part, pages per second and the peak memory.
// Usage: bench_pdf [rows=10000] [output=bench_pdf.pdf]

#include "pdf/TfrxExportRun.h"
#include "pdf/TfrxPDFExport.h"
#include "report/TfrxBand.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"
#include "report/TfrxShapeView.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

#include <sys/resource.h>

namespace {

using namespace qev;

void memo(TfrxComponent* band, double left, double top, double width, const QString& text,
          bool bold = false, frx::TfrxHAlign align = frx::haLeft) {
    auto* view = new TfrxMemoView(band);
    view->SetBounds(left, top, width, 18.89765);
    view->SetMemo(QStringList{text});
    view->HAlign = align;
    if (bold) {
        TfrxFont font = view->Font();
        font.Style = frx::fsBold;
        view->SetFont(font);
    }
}

QImage logo() {
    QImage image(196, 89, QImage::Format_RGB888);
    image.fill(QColor(20, 60, 160));
    QPainter painter(&image);
    painter.fillRect(10, 10, 80, 69, QColor(240, 200, 0));
    return image;
}

QList<TfrxReportPage*> buildPages(TfrxReport& report, int rows) {
    const int perPage = 29;
    const int pageCount = (rows + perPage - 1) / perPage;
    const QImage picture = logo();
    const double width = 740.409;
    QList<TfrxReportPage*> pages;
    int row = 0;
    for (int p = 0; p < pageCount; ++p) {
        auto* page = new TfrxReportPage(&report);
        page->SetPaperSize(1);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
        auto* header = new TfrxPageHeader(page);
        header->SetBounds(0, 0, width, 283.46475);
        auto* view = new TfrxPictureView(header);
        view->SetBounds(3.77953, 0, 196, 89);
        view->SetImage(picture);
        memo(header, 260, 20, 300, QStringLiteral("DISTRIBUIDORA KORVU SA DE CV"), true,
             frx::haCenter);
        memo(header, 260, 40, 300, QStringLiteral("ESTADO DE CUENTA DE PROVEEDORES"), true,
             frx::haCenter);
        memo(header, 4, 110, 400, QStringLiteral("P0001 ACEROS Y LÁMINAS DEL NORTE SA DE CV"));
        memo(header, 4, 130, 400, QStringLiteral("AV. INDUSTRIAL 1234, MONTERREY, N.L."));
        memo(header, 500, 110, 200, QStringLiteral("EMISIÓN: 24/JUN/2016"), false, frx::haRight);
        auto* box = new TfrxShapeView(header);
        box->SetBounds(0, 255, width, 28);
        box->SetColor(clAqua);
        const char* titles[] = {"FECHA", "SERIE", "CONCEPTO", "CARGOS", "ABONOS", "SALDO"};
        for (int c = 0; c < 6; ++c)
            memo(header, 4 + c * 122, 260, 118, QString::fromLatin1(titles[c]), true);
        for (int r = 0; r < perPage && row < rows; ++r, ++row) {
            auto* band = new TfrxMasterData(page);
            band->SetBounds(0, 283.46475 + r * 22.67718, width, 22.67718);
            memo(band, 4, 2, 118, QStringLiteral("24/JUN/2016"));
            memo(band, 126, 2, 118, QStringLiteral("FP-%1").arg(100000 + row));
            memo(band, 248, 2, 118, QStringLiteral("Factura proveedor"));
            memo(band, 370, 2, 118, QStringLiteral("$1'234,567.89"), false, frx::haRight);
            memo(band, 492, 2, 118, QStringLiteral("$0.00"), false, frx::haRight);
            memo(band, 614, 2, 118, QStringLiteral("$%1.50").arg(row * 37 % 100000), false,
                 frx::haRight);
            auto* rule = new TfrxLineView(band);
            rule->SetBounds(0, 22, width, 0);
            rule->Frame().Typ = frx::ftTop;
        }
        auto* footer = new TfrxPageFooter(page);
        footer->SetBounds(0, 957.732902, width, 22.67718);
        memo(footer, 500, 2, 220, QStringLiteral("PAGINA %1 DE [TotalPages#]").arg(p + 1), false,
             frx::haRight);
        pages.append(page);
    }
    return pages;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const QString output =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("bench_pdf.pdf");

    QElapsedTimer timer;
    timer.start();
    TfrxReport report;
    const QList<TfrxReportPage*> pages = buildPages(report, rows);
    const qint64 buildMs = timer.restart();

    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    filter.ShowDialog = false;
    filter.FileName = output;
    TfrxPageList source(pages);
    TfrxExportRun run(report, source);
    run.ShowError = [](const QString&, const QString& text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    const bool ok = run.Export(&filter);
    const qint64 exportMs = timer.elapsed();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rows %d, pages %lld, file %s\n", rows, qlonglong(pages.size()),
                qPrintable(filter.FileName));
    std::printf("build pages   %8lld ms\n", qlonglong(buildMs));
    std::printf("export        %8lld ms  (%.1f pages/s)\n", qlonglong(exportMs),
                exportMs > 0 ? pages.size() * 1000.0 / exportMs : 0.0);
    std::printf("peak memory   %8ld KiB\n", usage.ru_maxrss);
    return ok ? 0 : 1;
}
