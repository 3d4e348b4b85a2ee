// Memo expressions: the input is a memo text whose brackets are expanded as a
// report run does it (bracket scan, inline " #" formats, compile, evaluate,
// display format), against report variables and a data set that give every
// kind of value. Any input must end in a text or in qev::Error, never in a
// crash or undefined behaviour.

#include "FuzzSupport.h"
#include "format/Error.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxReport.h"
#include "report/frxExpression.h"
#include "testing/VectorRecordSet.h"

#include <QDateTime>

namespace {

using namespace qev;

test::VectorRecordSet supplierRows() {
    using test::VectorRecordSet;
    return VectorRecordSet(
        QStringLiteral("TablaProveedores"),
        {{"CardCode"},
         {"Balance", FieldType::Currency},
         {"Docs", FieldType::Integer},
         {"Rate", FieldType::Float},
         {"Since", FieldType::DateTime},
         {"Active", FieldType::Boolean},
         {"Empty"}},
        {{"P001", 1500.25, 3, 1e300, QDateTime(QDate(2016, 6, 24), QTime(10, 0)), true,
          QVariant()}});
}

// One report with a memo on a band, built once: the harness only changes the
// memo's text and format between inputs.
struct Report {
    test::VectorRecordSet rows = supplierRows();
    TfrxReport report;
    TfrxDBDataset dataSet;
    TfrxMemoView* memo = nullptr;

    Report() {
        dataSet.SetName(QStringLiteral("frxDBDataset1"));
        dataSet.SetUserName(QStringLiteral("frxDBDataset1"));
        dataSet.SetDataSet(&rows);
        dataSet.ReportRef = &report;
        report.AddDataSet(&dataSet);
        dataSet.Initialize();
        dataSet.First();
        report.Variables.Set(QStringLiteral("Whole"), qlonglong(9223372036854775807LL));
        report.Variables.Set(QStringLiteral("Real"), 1.5e308);
        report.Variables.Set(QStringLiteral("Day"), QDate(2016, 6, 24));
        report.Variables.Set(QStringLiteral("Word"), QStringLiteral("abc"));
        report.Variables.Set(QStringLiteral("Sum"), QStringLiteral("Whole + 1"));
        report.Variables.Set(QStringLiteral("Loop"), QStringLiteral("Loop + 1"));
        report.RunState.StartDate = QDate(2016, 6, 24);
        auto* page = new TfrxReportPage(&report);
        auto* band = new TfrxMasterData(page);
        memo = new TfrxMemoView(band);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Report fixture;
    const QString input = fuzz::text(data, size);

    fixture.memo->SetText(input);
    try {
        fixture.memo->GetData();
    } catch (const Error&) {
    }

    // The whole input as one expression too, the way a highlight condition or
    // a variable is calculated.
    try {
        fixture.report.Calc(input);
    } catch (const Error&) {
    }
    fixture.report.ClearExpressionCache();
    fixture.report.SetErrors({});
    return 0;
}
