#pragma once

#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace qev {

class TfrxComponent;
class TfrxReport;
class TfrxReportPage;

// Base of the export filters: receives the prepared pages of a report one
// page and one object at a time (see TfrxExportRun) and writes them in its
// own format. Unless created with CreateNoRegister, a filter is listed in
// frxExportFilters() while it exists.
class TfrxCustomExportFilter : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ShowDialog MEMBER ShowDialog)
    Q_PROPERTY(QString FileName MEMBER FileName)
    Q_PROPERTY(QString DefaultPath MEMBER DefaultPath)
    Q_PROPERTY(bool ShowProgress MEMBER ShowProgress)
    Q_PROPERTY(bool OverwritePrompt MEMBER OverwritePrompt)
    Q_PROPERTY(bool UseFileCache MEMBER UseFileCache)
    Q_PROPERTY(bool DataOnly MEMBER DataOnly)
    Q_PROPERTY(bool ExportNotPrintable MEMBER ExportNotPrintable)
    Q_PROPERTY(bool OpenAfterExport MEMBER OpenAfterExport)
    Q_PROPERTY(QString PageNumbers MEMBER PageNumbers)

  public:
    struct CreateNoRegisterTag {};
    static constexpr CreateNoRegisterTag CreateNoRegister{};

    explicit TfrxCustomExportFilter(QObject* owner = nullptr);
    TfrxCustomExportFilter(CreateNoRegisterTag, QObject* owner = nullptr);
    ~TfrxCustomExportFilter() override;

    bool ShowDialog = true;
    QString FileName;
    QString DefaultPath;
    bool ShowProgress = true;
    bool OverwritePrompt = false;
    bool UseFileCache = true;
    bool DataOnly = false;
    bool ExportNotPrintable = false;
    bool OpenAfterExport = false;
    bool SlaveExport = false;
    bool CurPage = false;  // export only the current preview page
    QString PageNumbers;   // "1,3-5"; empty: every page
    QDateTime CreationTime;
    // When set, the filter writes here instead of creating FileName.
    QPointer<QIODevice> Stream;
    TfrxReport* Report = nullptr;

    virtual QString GetDescription() const { return {}; }
    virtual bool ShowModal() { return true; }
    virtual bool Start() { return true; }
    virtual void ExportObject(TfrxComponent* object) = 0;
    virtual void Finish() {}
    // Instead of Finish when the run stops early (an error or a cancel): the
    // output is dropped, so that no half-written file takes the place of a
    // complete one.
    virtual void Abandon() {}
    virtual void FinishPage(TfrxReportPage* page, int index) {
        Q_UNUSED(page)
        Q_UNUSED(index)
    }
    virtual void StartPage(TfrxReportPage* page, int index) {
        Q_UNUSED(page)
        Q_UNUSED(index)
    }

    // FileName with DefaultPath put in front when the name has no directory
    // of its own (the path keeps a separator the default path ends with).
    static QString JoinDefaultPath(const QString& defaultPath, const QString& fileName);

  private:
    bool FRegistered = false;
};

// The filters that exist and registered themselves.
QList<TfrxCustomExportFilter*>& frxExportFilters();

}  // namespace qev
