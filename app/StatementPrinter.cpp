#include "app/StatementPrinter.h"

#include "app/StatementFileName.h"
#include "pdf/TfrxExportRun.h"
#include "pdf/TfrxPDFExport.h"
#include "report/StatementTemplate.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"

#include <QDir>

namespace qev {

namespace {

// The PDF filter as the main window's design sets it up.
void applyStatementExportSettings(TfrxPDFExport& filter) {
    filter.ShowDialog = false;
    filter.PrintOptimized = false;
    filter.Outline = false;
    filter.Background = false;
    filter.HTMLTags = false;
    filter.Quality = 300;
    filter.Author = QStringLiteral("Distribuidora Korvu SA de CV");
    filter.Subject = QStringLiteral("QEV Report PDF export");
}

}  // namespace

StatementPrinter::StatementPrinter(RecordSet& proveedores, RecordSet& movimientos)
    : openFile(TfrxExportRun::DefaultOpenFile),
      report_(new StatementReport(createStatementReport(&owner_))) {
    report_->frxDBDataset1->SetDataSet(&proveedores);
    report_->frxDBDataset2->SetDataSet(&movimientos);
}

StatementPrinter::~StatementPrinter() {
    delete report_;
}

QString StatementPrinter::fileNameFor(const QString& code) {
    return statementFileName(code, QStringLiteral(".pdf"));
}

QString StatementPrinter::print(const QString& code, const QString& directory) {
    TfrxReport& report = *report_->frxReport1;
    report.PrepareReport(true);  // its errors are shown by the report itself

    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    applyStatementExportSettings(filter);
    filter.OpenAfterExport = bool(openFile);
    filter.EmbeddedFonts = embeddedFonts;
    filter.DefaultPath = QDir::toNativeSeparators(directory);
    filter.FileName = fileNameFor(code);

    TfrxPreviewPages& store = *report.PreviewPages();
    // Only exported, never previewed: each rebuilt page is dropped once written.
    TfrxPagesOf pages([&store] { return store.GetCount(); },
                      [&store](int i) { return store.GetPage(i); },
                      [&store](int i) { store.ReleasePage(i); });
    TfrxExportRun run(report, pages);
    run.OpenFile = openFile;
    run.ShowError = showError;
    run.Progress = progress;
    run.ShowProgress = report.ShowProgress;
    const bool exported = run.Export(&filter);
    return exported && !report.Terminated ? filter.FileName : QString();  // a cancel writes none
}

}  // namespace qev
