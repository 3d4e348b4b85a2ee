#include "report/TfrxEngineReport.h"

#include "report/TfrxDataSet.h"
#include "report/TfrxEngine.h"
#include "report/TfrxEngineHooks.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/TfrxReportSnapshot.h"

#include "format/Error.h"

#include <optional>

namespace qev {

TfrxPreviewPages* frxPreviewPagesOf(TfrxReport& report) {
    auto* pages = report.findChild<TfrxPreviewPages*>(QString(), Qt::FindDirectChildrenOnly);
    return pages ? pages : new TfrxPreviewPages(&report);
}

TfrxEngine* frxEngineOf(TfrxReport& report) {
    auto* engine = report.findChild<TfrxEngine*>(QString(), Qt::FindDirectChildrenOnly);
    return engine ? engine : new TfrxEngine(&report, frxPreviewPagesOf(report));
}

QString frxErrorsMessage(const QStringList& errors) {
    QString text = QStringLiteral("The following error(s) have occured:\r\n");
    for (const QString& error : errors) text += error + QStringLiteral("\r\n");
    return text;
}

bool frxPrepareReport(TfrxReport& report, bool ClearLastReport) {
    if (ClearLastReport) frxPreviewPagesOf(report)->Clear();
    report.ClearErrors();
    report.Terminated = false;
    for (const TfrxDataSetItem& item : report.DataSets)
        if (!item.DataSet)
            report.AddError(QStringLiteral("Dataset \"%1\" does not exist").arg(item.DataSetName));

    if (report.Errors().isEmpty()) {
        // The run changes the template (band positions, memo texts); it is
        // copied first and put back afterwards. The password stays out of
        // the copy.
        const bool snapshot = report.EngineOptions.DestroyForms;
        const QString password = report.ReportOptions.Password;
        report.ReportOptions.Password.clear();
        std::optional<TfrxReportSnapshot> stored;
        if (snapshot) stored.emplace(report);
        try {
            report.ClearExpressionCache();
            for (TfrxComponent* component : report.AllObjects()) component->BeforeStartReport();
            if (!report.Terminated) frxEngineOf(report)->Run();
        } catch (const std::exception& error) {
            report.AddError(QString::fromUtf8(error.what()));
        }
        if (stored) {
            const QStringList errors = report.Errors();
            stored->restore();
            report.SetErrors(errors);
        }
        report.ReportOptions.Password = password;
    }

    if (report.Errors().isEmpty()) return true;
    const QString message = frxErrorsMessage(report.Errors());
    switch (report.EngineOptions.NewSilentMode) {
        case frx::simMessageBoxes:
            frxErrorBox(message, QStringLiteral("Error"));
            break;
        case frx::simSilent:
            break;
        case frx::simReThrow:
            throw Error(message);
    }
    return false;
}

TfrxEngine* TfrxReport::Engine() { return frxEngineOf(*this); }

TfrxPreviewPages* TfrxReport::PreviewPages() { return frxPreviewPagesOf(*this); }

bool TfrxReport::PrepareReport(bool ClearLastReport) { return frxPrepareReport(*this, ClearLastReport); }

}  // namespace qev
