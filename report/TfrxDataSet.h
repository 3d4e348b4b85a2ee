#pragma once

#include "report/TfrxReportComponent.h"

#include <QPointer>
#include <QStringList>
#include <QVariant>

namespace qev {

class TfrxReport;

// A field of the current row as a memo shows it.
struct TfrxFieldReading {
    QVariant value;
    bool blob = false;
    QString text;  // for a blob, or when asked for: the display text
};

// A report data set: what data bands walk (First, Next, Eof) and memos read
// (GetValue, GetDisplayText). This base keeps the record counter and the
// ranges; TfrxDBDataset adapts an application record set.
//
// Every data set adds itself to a process-wide list when created and leaves it
// when destroyed (guarded by a lock); frxFindDataSet searches it.
class TfrxDataSet : public TfrxDialogComponent {
    Q_OBJECT
    Q_PROPERTY(QString UserName READ UserName WRITE SetUserName)
    Q_PROPERTY(bool Enabled MEMBER Enabled)
    Q_PROPERTY(bool OpenDataSource MEMBER OpenDataSource)
    Q_PROPERTY(bool CloseDataSource MEMBER CloseDataSource)
    Q_PROPERTY(qev::frx::TfrxRangeBegin RangeBegin MEMBER RangeBegin)
    Q_PROPERTY(qev::frx::TfrxRangeEnd RangeEnd MEMBER RangeEnd)
    Q_PROPERTY(int RangeEndCount MEMBER RangeEndCount)

  public:
    explicit TfrxDataSet(QObject* owner = nullptr);
    ~TfrxDataSet() override;

    QString UserName() const { return FUserName; }
    // A blank name is refused with the error "prInvProp".
    virtual void SetUserName(const QString& name);

    bool Enabled = true;
    bool OpenDataSource = true;
    bool CloseDataSource = false;
    frx::TfrxRangeBegin RangeBegin = frx::rbFirst;
    frx::TfrxRangeEnd RangeEnd = frx::reLast;
    int RangeEndCount = 0;
    // 0-based number of the current record in the walk.
    int RecNo = 0;
    // The report that runs this data set (set by the engine before Initialize).
    QPointer<TfrxReport> ReportRef;

    virtual QString GetDisplayText(const QString& field) { return GetValue(field).toString(); }
    virtual int GetDisplayWidth(const QString&) { return 10; }
    virtual frx::TfrxFieldType GetFieldType(const QString&) { return frx::fftNumeric; }
    virtual QVariant GetValue(const QString&) { return {}; }
    // What a memo bound to the field reads of each row: its value, and its
    // display text when withText (a blob's text is its value's always). Data
    // sets that pay for each read may read the field once here.
    virtual TfrxFieldReading ReadField(const QString& field, bool withText);
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open() {}
    virtual void Close() {}
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int FieldsCount() { return 0; }
    virtual bool IsBlobField(const QString&) { return false; }
    virtual int RecordCount() { return 0; }
    virtual QStringList GetFieldList() { return {}; }

  protected:
    // Set when the walk has passed its last record.
    bool FEof = false;

  private:
    QString FUserName;
};

// The data set called `name` (ignoring case) for a component of `report`:
// with the report's UseGlobalDataSetList on (or no report) the process-wide
// list in creation order, skipping data sets owned by another report; with it
// off, the report's DataSets. An empty name gives null; nothing found gives
// `previous`.
TfrxDataSet* frxFindDataSet(TfrxDataSet* previous, const QString& name, const TfrxReport* report);

// The process-wide list, in creation order (a copy taken under the lock).
QList<TfrxDataSet*> frxGlobalDataSets();

}  // namespace qev
