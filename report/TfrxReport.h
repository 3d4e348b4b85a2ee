#pragma once

#include "report/TfrxComponent.h"
#include "report/TfrxReportOptions.h"
#include "report/TfrxVariables.h"

#include <QDate>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <functional>
#include <memory>

namespace qev {

class TfrxDataSet;
class TfrxEngine;
class TfrxExpression;
class TfrxPreviewPages;
class TfrxReportPage;

// An entry of a report's DataSets: the data sets the report may use.
struct TfrxDataSetItem {
    QPointer<TfrxDataSet> DataSet;
    QString DataSetName;
};

// What the engine tells expressions about the run in progress (the values of
// the system variables "Date", "Page#", "Line#" and the rest).
struct TfrxRunState {
    QDate StartDate;            // "Date": the day the preparation started
    QTime StartTime;            // "Time"
    int Page = 0;               // "Page": logical page number
    int PageNo = 0;             // "Page#": index of the current prepared page + 1
    int TotalPages = 0;         // "TotalPages#": first-pass count of a two-pass run, else 0
    int LogicalTotalPages = 0;  // "TotalPages"
    int CurLine = 0;            // "Line": record number in the current band's walk
    int CurLineThrough = 0;     // "Line#": running record number
};

// The report: owns its pages (Objects), lists its data sets, holds the options,
// the errors of the last preparation and the expression machinery.
//
// Storing and reading: SaveToJson writes the whole tree (only values that differ
// from the constructors' defaults); LoadFromJson frees the pages, puts every
// property back to its default and reads the stored form, so it restores every
// property of every component. Snapshot and Restore wrap the two around a
// preparation; Restore keeps Errors.
class TfrxReport : public TfrxComponent {
    Q_OBJECT
    Q_PROPERTY(QString Version MEMBER Version)
    Q_PROPERTY(QStringList DataSets READ DataSetNames WRITE SetDataSetNames)
    Q_PROPERTY(QString DataSetName READ DataSetName WRITE SetDataSetName)
    Q_PROPERTY(bool DotMatrixReport MEMBER DotMatrixReport)
    Q_PROPERTY(qev::TfrxEngineOptions EngineOptions MEMBER EngineOptions)
    Q_PROPERTY(bool OldStyleProgress MEMBER OldStyleProgress)
    Q_PROPERTY(QString ParentReport MEMBER ParentReport)
    Q_PROPERTY(qev::TfrxPreviewOptions PreviewOptions MEMBER PreviewOptions)
    Q_PROPERTY(qev::TfrxPrintOptions PrintOptions MEMBER PrintOptions)
    Q_PROPERTY(qev::TfrxReportOptions ReportOptions MEMBER ReportOptions)
    Q_PROPERTY(QString ScriptLanguage MEMBER ScriptLanguage)
    Q_PROPERTY(QStringList ScriptText MEMBER ScriptText)
    Q_PROPERTY(bool ShowProgress MEMBER ShowProgress)
    Q_PROPERTY(bool StoreInDFM MEMBER StoreInDFM)
    Q_PROPERTY(QStringList Styles MEMBER Styles)
    Q_PROPERTY(QVariantList Variables READ VariablesList WRITE SetVariablesList)

  public:
    explicit TfrxReport(QObject* owner = nullptr);
    ~TfrxReport() override;

    QString Version = QStringLiteral("4.15.10");
    bool DotMatrixReport = false;
    TfrxEngineOptions EngineOptions;
    bool OldStyleProgress = false;
    QString ParentReport;
    TfrxPreviewOptions PreviewOptions;
    TfrxPrintOptions PrintOptions;
    TfrxReportOptions ReportOptions;
    QString ScriptLanguage = QStringLiteral("PascalScript");
    QStringList ScriptText{QStringLiteral("begin"), QString(), QStringLiteral("end.")};
    bool ShowProgress = true;
    bool StoreInDFM = true;
    QStringList Styles;
    TfrxVariables Variables;

    // The report pages, in order (the data page is not one of them).
    QList<TfrxReportPage*> ReportPages() const;

    // --- Data sets -------------------------------------------------------
    QList<TfrxDataSetItem> DataSets;
    void AddDataSet(TfrxDataSet* dataSet);
    QStringList DataSetNames() const;
    // Each name is looked up among the process's data sets; an unknown name
    // stays as an item without data set (the preparation reports it).
    void SetDataSetNames(const QStringList& names);
    // The data set of DataSets whose UserName equals the name ignoring case.
    TfrxDataSet* GetDataset(const QString& userName) const;
    // Splits `name."field"` at the first point followed by a double quote: the
    // data set of that name and the field (less its closing quote). False when
    // there is no such point or no such data set.
    bool GetDatasetAndField(const QString& complexName, TfrxDataSet*& dataSet,
                            QString& field) const;
    // Report-level data set (all pages run once per record).
    TfrxDataSet* DataSet() const;
    void SetDataSet(TfrxDataSet* dataSet);
    QString DataSetName() const;
    void SetDataSetName(const QString& name);

    // --- Errors of the last preparation ----------------------------------
    // Sorted, each text once.
    const QStringList& Errors() const { return FErrors; }
    void AddError(const QString& text);
    void ClearErrors() { FErrors.clear(); }
    void SetErrors(const QStringList& errors);
    bool Terminated = false;
    // Name of the band or view being processed; prefix of error texts.
    QString CurObject;

    // --- Expressions -------------------------------------------------------
    TfrxRunState RunState;
    // The script's "Value": the last value a memo computed.
    QVariant CurrentValue;
    // Application-side value hook, asked before report variables.
    std::function<void(const QString& name, QVariant& value)> OnGetValue;
    // The system variable names, in this order.
    static const QStringList& SystemVariables();
    // Value of an expression: direct values first (data-field reference,
    // system variable, OnGetValue, report variable, global variable), then the
    // expression compiled once per text. A failure adds "Error in expression
    // '<e>': <message>" (after CurObject + ": " when known) to Errors and
    // throws TfrxExpressionError with that text.
    QVariant Calc(const QString& expression);
    // The direct value of a name, or false when the name has none. Used by
    // Calc and by names met inside compiled expressions.
    bool GetDirectValue(const QString& name, QVariant& value);
    // Names met inside expressions: direct values, else "Unknown variable or
    // datafield: <name>" goes to Errors and the value is Null.
    QVariant Get(const QString& name);
    // Empties the cache of compiled expressions (at the start of a preparation).
    void ClearExpressionCache();
    int CompiledExpressionCount() const { return int(FExpressionCache.size()); }

    // --- Storing ----------------------------------------------------------
    QByteArray SaveToJson() const;
    void LoadFromJson(const QByteArray& stored);
    void LoadFromFile(const QString& fileName);
    QByteArray Snapshot() const { return SaveToJson(); }
    void Restore(const QByteArray& snapshot);

    // --- Preparing (TfrxEngineReport.cpp) ---------------------------------
    // The engine and the store of prepared pages, made on first use.
    TfrxEngine* Engine();
    TfrxPreviewPages* PreviewPages();
    // Prepares the pages (frxPrepareReport); true when there were no errors.
    bool PrepareReport(bool ClearLastReport = true);

    void Clear() override;

  protected:
    TfrxReport* asReport() const override { return const_cast<TfrxReport*>(this); }

  private:
    QVariantList VariablesList() const;
    void SetVariablesList(const QVariantList& list);
    QVariant calcDirect(const QString& expression, bool& found);

    QStringList FErrors;
    QPointer<TfrxDataSet> FDataSet;
    QString FDataSetName;
    QHash<QString, std::shared_ptr<TfrxExpression>> FExpressionCache;
    int FCalcDepth = 0;
};

}  // namespace qev
