#include "app/StatementPrinter.h"

#include "app/StatementFileName.h"
#include "format/AmountText.h"
#include "pdf/TfrxExportRun.h"
#include "pdf/TfrxPDFExport.h"
#include "report/DrawTextMemo.h"
#include "report/FontMeasure.h"
#include "report/StatementTemplate.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"

#include <QDir>

#include <algorithm>

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

// The template's period line and ageing summary, hidden unless asked for.
const QString PeriodMemo = QStringLiteral("Memo24");
const QString AgeingBand = QStringLiteral("ReportSummary1");

// The faces the report's memos are measured and written with, each once.
std::vector<FontDesc> fontsOf(const TfrxReport& report) {
    std::vector<FontDesc> fonts;
    for (const TfrxComponent* component : report.AllObjects()) {
        const auto* memo = qobject_cast<const TfrxCustomMemoView*>(component);
        if (!memo) continue;
        FontDesc font = fontDesc(memo->Font());
        font.style &= FontDesc::Bold | FontDesc::Italic;  // what picks the face
        const auto same = [&font](const FontDesc& f) {
            return f.name == font.name && f.style == font.style;
        };
        if (std::none_of(fonts.cbegin(), fonts.cend(), same)) fonts.push_back(font);
    }
    return fonts;
}

}  // namespace

StatementPrinter::StatementPrinter(RecordSet& proveedores, RecordSet& movimientos)
    : openFile(TfrxExportRun::DefaultOpenFile),
      report_(new StatementReport(createStatementReport(&owner_))) {
    report_->frxDBDataset1->SetDataSet(&proveedores);
    report_->frxDBDataset2->SetDataSet(&movimientos);
    report_->frxReport1->OnGetValue = [this](const QString& name, QVariant& value) {
        value = extraValue(name);
    };
    fontWarmUp_ = std::make_unique<FontWarmUp>(fontsOf(*report_->frxReport1));
}

StatementPrinter::~StatementPrinter() {
    fontWarmUp_.reset();
    delete report_;
}

QString StatementPrinter::fileNameFor(const QString& code) {
    return statementFileName(code, QStringLiteral(".pdf"));
}

void StatementPrinter::setStatement(const StatementOptions& options,
                                    const std::optional<AgeingSummary>& ageing) {
    heading_ = options.heading();
    ageing_ = ageing;
}

void StatementPrinter::showStatementExtras() {
    TfrxReport& report = *report_->frxReport1;
    if (TfrxComponent* period = report.FindObject(PeriodMemo))
        period->SetVisible(!heading_.isEmpty());
    if (TfrxComponent* ageing = report.FindObject(AgeingBand))
        ageing->SetVisible(ageing_.has_value());
}

// The values of the period line and of the ageing summary, by the names the
// template gives them; nothing for any other name.
QVariant StatementPrinter::extraValue(const QString& name) const {
    if (name == u"Periodo") return heading_;
    if (!ageing_ || !name.startsWith(u"Antiguedad")) return {};
    const QStringView which = QStringView(name).mid(10);
    if (which == u"Titulo")
        return QStringLiteral("ANTIGÜEDAD DE SALDOS AL %1, POR DÍAS DE VENCIDO")
            .arg(statementDateText(ageing_->asOf));
    if (which == u"Total") return pesos(ageing_->total);
    bool isBucket = false;
    const int bucket = which.toInt(&isBucket);
    if (isBucket && bucket >= 0 && bucket < int(ageing_->buckets.size()))
        return pesos(ageing_->buckets[std::size_t(bucket)].amount);
    return {};
}

QString StatementPrinter::print(const QString& code, const QString& directory) {
    TfrxReport& report = *report_->frxReport1;
    showStatementExtras();
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
