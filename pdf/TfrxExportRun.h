#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace qev {

class TfrxCustomExportFilter;
class TfrxReport;
class TfrxReportPage;

// The prepared pages as the export reads them.
class TfrxExportPages {
  public:
    virtual ~TfrxExportPages() = default;
    virtual int GetCount() = 0;
    // The rebuilt page, owned by the source; null when it is missing.
    virtual TfrxReportPage* GetPage(int index) = 0;
    // The run is done with a page (a store may drop its rebuilt copy).
    virtual void ReleasePage(int index) { Q_UNUSED(index) }
};

// Pages already built by the caller.
class TfrxPageList : public TfrxExportPages {
  public:
    explicit TfrxPageList(QList<TfrxReportPage*> pages) : FPages(std::move(pages)) {}
    int GetCount() override { return FPages.size(); }
    TfrxReportPage* GetPage(int index) override { return FPages.value(index); }

  private:
    QList<TfrxReportPage*> FPages;
};

// Pages read through two functions, e.g. over the report's prepared pages:
//   TfrxPagesOf pages([&] { return store.GetCount(); },
//                     [&](int i) { return store.GetPage(i); });
// A third one, when given, is told when the run is done with a page.
class TfrxPagesOf : public TfrxExportPages {
  public:
    TfrxPagesOf(std::function<int()> count, std::function<TfrxReportPage*(int)> page,
                std::function<void(int)> release = {})
        : FCount(std::move(count)), FPage(std::move(page)), FRelease(std::move(release)) {}
    int GetCount() override { return FCount(); }
    TfrxReportPage* GetPage(int index) override { return FPage(index); }
    void ReleasePage(int index) override {
        if (FRelease) FRelease(index);
    }

  private:
    std::function<int()> FCount;
    std::function<TfrxReportPage*(int)> FPage;
    std::function<void(int)> FRelease;
};

// The progress window of an export, implemented by the application. While
// it exists the window that was active is disabled; its cancel button sets
// Cancelled() and closes it.
class TfrxExportProgress {
  public:
    virtual ~TfrxExportProgress() = default;
    virtual void Start() = 0;                             // shown with an empty message
    virtual void SetMessage(const QString& message) = 0;  // "Exporting page 3"
    virtual bool Cancelled() const = 0;
    virtual void Stop() = 0;  // removed
};

// One export of a report's prepared pages through a filter: output path,
// page and object order, progress with cancel, error collection and the
// error box, and opening the finished file.
class TfrxExportRun {
  public:
    TfrxExportRun(TfrxReport& report, TfrxExportPages& pages) : FReport(report), FPages(pages) {}

    // Shown (when the report's silent mode asks for boxes) with the caption
    // "Error" and the collected error texts; unset, the report's error box
    // (frxErrorBox) shows them.
    std::function<void(const QString& caption, const QString& text)> ShowError;
    // Opens a finished file in the user's viewer; the default asks the
    // desktop. Tests replace it.
    std::function<void(const QString& path)> OpenFile = DefaultOpenFile;
    TfrxExportProgress* Progress = nullptr;
    bool ShowProgress = true;  // the report's own option

    // False when the filter is missing, its dialog was cancelled or an error
    // was reported; a cancel in the progress window still gives true. The
    // filter's output is completed only when every page got through; after an
    // error or a cancel it is dropped and nothing is opened.
    bool Export(TfrxCustomExportFilter* filter);

    static void DefaultOpenFile(const QString& path);
    static QString ErrorsText(const QStringList& errors);
    // "1,3-5" as page numbers; empty for every page.
    static QList<int> ParsePageNumbers(const QString& text);

  private:
    void ExportPages(TfrxCustomExportFilter& filter);
    void ExportPage(TfrxCustomExportFilter& filter, int index);
    void ExportObject(TfrxCustomExportFilter& filter, class TfrxComponent* object);
    void ExportObjectsUnder(TfrxCustomExportFilter& filter, class TfrxComponent* parent);
    void ReportError(const QString& message);
    void ProcessMessages();

    TfrxReport& FReport;
    TfrxExportPages& FPages;
    QList<int> FPageNumbers;
};

}  // namespace qev
