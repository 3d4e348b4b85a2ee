#include "pdf/TfrxExportRun.h"

#include "format/Error.h"
#include "pdf/TfrxCustomExportFilter.h"
#include "report/TfrxEngineHooks.h"
#include "report/TfrxEngineReport.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"

#include <QDesktopServices>
#include <QImage>
#include <QPainter>
#include <QUrl>

namespace qev {

namespace {

// Raised after the object during which the user cancelled; ends the run quietly.
struct ExportTerminated {};

}  // namespace

void TfrxExportRun::DefaultOpenFile(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString TfrxExportRun::ErrorsText(const QStringList& errors) {
    return frxErrorsMessage(errors);
}

QList<int> TfrxExportRun::ParsePageNumbers(const QString& text) {
    QList<int> pages;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList range = part.trimmed().split(QLatin1Char('-'));
        const int first = range.value(0).trimmed().toInt();
        const int last = range.size() > 1 ? range.value(1).trimmed().toInt() : first;
        for (int page = first; page > 0 && page <= last; ++page) pages.append(page);
    }
    return pages;
}

void TfrxExportRun::ProcessMessages() {
    if (!FReport.EngineOptions.EnableThreadSafe) frxProcessMessages();
}

void TfrxExportRun::ReportError(const QString& message) {
    FReport.AddError(message);
    const QString text = ErrorsText(FReport.Errors());
    switch (FReport.EngineOptions.NewSilentMode) {
        case frx::simMessageBoxes:
            if (ShowError)
                ShowError(QStringLiteral("Error"), text);
            else
                frxErrorBox(text, QStringLiteral("Error"));
            break;
        case frx::simSilent:
            break;
        case frx::simReThrow:
            throw Error(text);
    }
}

bool TfrxExportRun::Export(TfrxCustomExportFilter* filter) {
    if (!filter) return false;
    filter->CreationTime = QDateTime::currentDateTime();
    filter->Report = &FReport;
    if (filter->ShowDialog && !filter->ShowModal()) return false;
    QString pageNumbers = filter->PageNumbers;
    if (filter->CurPage) pageNumbers = QStringLiteral("1");  // there is no preview
    FReport.Terminated = false;
    FPageNumbers = ParsePageNumbers(pageNumbers);
    try {
        ExportPages(*filter);
    } catch (const ExportTerminated&) {
        return true;
    } catch (const std::exception& error) {
        ReportError(QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}

void TfrxExportRun::ExportPages(TfrxCustomExportFilter& filter) {
    if (!filter.Start()) return;
    const bool progress = filter.ShowProgress && ShowProgress && Progress;
    if (progress) {
        Progress->Start();
        ProcessMessages();
    }
    // Only a run that got through every page completes its file; an error or
    // a cancel drops it, so a previous file of that name stays whole.
    const auto stopProgress = [this, progress] {
        if (progress) Progress->Stop();
    };
    try {
        const int count = FPages.GetCount();
        for (int i = 0; i < count; ++i) {
            ExportPage(filter, i);
            ProcessMessages();
        }
    } catch (...) {
        stopProgress();
        filter.Abandon();
        throw;
    }
    stopProgress();
    filter.Finish();
    if (filter.OpenAfterExport && !filter.Stream && OpenFile) OpenFile(filter.FileName);
}

void TfrxExportRun::ExportPage(TfrxCustomExportFilter& filter, int index) {
    if (index >= FPages.GetCount()) return;
    if (!FPageNumbers.isEmpty() && !FPageNumbers.contains(index + 1)) return;
    TfrxReportPage* page = FPages.GetPage(index);
    if (!page) return;
    if (filter.ShowProgress && ShowProgress && Progress) {
        Progress->SetMessage(QStringLiteral("Exporting page %1").arg(index + 1));
        if (Progress->Cancelled()) FReport.Terminated = true;
        ProcessMessages();
    }
    filter.StartPage(page, index);
    try {
        const bool mirrored = page->MirrorMargins && index % 2 == 1;
        page->SetLeft((mirrored ? page->RightMargin : page->LeftMargin) * fr01cm);
        page->SetTop(page->TopMargin * fr01cm);

        TfrxPictureView background;
        background.SetName(QStringLiteral("_pagebackground"));
        background.SetColor(page->Color);
        background.SetFrame(page->Frame);
        background.SetPicture(page->BackPicture);
        background.KeepAspectRatio = false;
        background.Stretched = true;
        background.SetBounds(page->Left(), page->Top(),
                             page->Width() - (page->LeftMargin + page->RightMargin) * fr01cm,
                             page->Height() - (page->TopMargin + page->BottomMargin) * fr01cm);
        ExportObject(filter, &background);

        for (TfrxComponent* band : page->Objects()) {
            ExportObject(filter, band);
            ExportObjectsUnder(filter, band);
        }
    } catch (...) {
        filter.FinishPage(page, index);
        page->SetLeft(0);
        page->SetTop(0);
        FPages.ReleasePage(index);
        throw;
    }
    filter.FinishPage(page, index);
    page->SetLeft(0);
    page->SetTop(0);
    FPages.ReleasePage(index);
}

// Depth first, in AllObjects' order, without listing them: exporting changes
// no component's children.
void TfrxExportRun::ExportObjectsUnder(TfrxCustomExportFilter& filter, TfrxComponent* parent) {
    for (TfrxComponent* object : parent->Objects()) {
        ExportObject(filter, object);
        ExportObjectsUnder(filter, object);
    }
}

void TfrxExportRun::ExportObject(TfrxCustomExportFilter& filter, TfrxComponent* object) {
    if (filter.DataOnly) {
        // Only what lies inside data bands.
        const TfrxComponent* parent = object->Parent();
        if (!parent || !parent->inherits("qev::TfrxDataBand")) return;
    }
    if (TfrxCustomMemoView* memo = object->asMemo()) {
        if (memo->Highlight.Active) memo->SetFont(memo->Highlight.Font);
        memo->FTotalPages = FPages.GetCount();
        memo->FCopyNo = 1;
        memo->ExtractMacros();
        if (memo->AutoWidth) {
            // Drawing recomputes the width of an auto-width memo.
            QImage scratch(1, 1, QImage::Format_RGB32);
            QPainter painter(&scratch);
            memo->Draw(&painter, 1, 1, 0, 0);
        }
    }
    filter.ExportObject(object);
    if (FReport.Terminated) throw ExportTerminated{};
}

}  // namespace qev
