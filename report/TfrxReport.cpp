#include "report/TfrxReport.h"

#include "report/ReportStorage.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxPage.h"
#include "report/frxExpression.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>

#include <algorithm>

namespace qev {

namespace {

// Days since 30 December 1899, as the report options keep dates.
double dateTimeNumber(const QDateTime& dt) {
    return double(QDate(1899, 12, 30).daysTo(dt.date())) +
           dt.time().msecsSinceStartOfDay() / 86400000.0;
}

// An error already worded as "Error in expression ..." (from a nested Calc).
class CalcError : public TfrxExpressionError {
  public:
    using TfrxExpressionError::TfrxExpressionError;
};

// Names inside compiled expressions are the report's to resolve.
class ReportContext : public TfrxExpressionContext {
  public:
    explicit ReportContext(TfrxReport& report) : FReport(report) {}
    QVariant NameValue(const QString& name) override { return FReport.Get(name); }
    QVariant FieldValue(const QString& dataSet, const QString& field) override {
        return FReport.Get(dataSet + QStringLiteral(".\"") + field + u'"');
    }
    QVariant BracketValue(const QString& expression) override { return FReport.Calc(expression); }

  private:
    TfrxReport& FReport;
};

constexpr int MaxCalcDepth = 32;

}  // namespace

TfrxReport::TfrxReport(QObject* owner) : TfrxComponent(owner) {
    const double now = dateTimeNumber(QDateTime::currentDateTime());
    ReportOptions.CreateDate = now;
    ReportOptions.LastChange = now;
}

TfrxReport::~TfrxReport() = default;

QList<TfrxReportPage*> TfrxReport::ReportPages() const {
    QList<TfrxReportPage*> pages;
    for (TfrxComponent* c : Objects())
        if (auto* page = qobject_cast<TfrxReportPage*>(c)) pages.append(page);
    return pages;
}

// --- Data sets -------------------------------------------------------------

void TfrxReport::AddDataSet(TfrxDataSet* dataSet) {
    DataSets.append({dataSet, dataSet ? dataSet->UserName() : QString()});
}

QStringList TfrxReport::DataSetNames() const {
    QStringList names;
    for (const TfrxDataSetItem& item : DataSets)
        names.append(item.DataSet ? item.DataSet->UserName() : item.DataSetName);
    return names;
}

void TfrxReport::SetDataSetNames(const QStringList& names) {
    DataSets.clear();
    for (const QString& name : names) DataSets.append({frxFindDataSet(nullptr, name, this), name});
}

TfrxDataSet* TfrxReport::GetDataset(const QString& userName) const {
    for (const TfrxDataSetItem& item : DataSets)
        if (item.DataSet && item.DataSet->UserName().compare(userName, Qt::CaseInsensitive) == 0)
            return item.DataSet;
    return nullptr;
}

bool TfrxReport::GetDatasetAndField(const QString& complexName, TfrxDataSet*& dataSet,
                                    QString& field) const {
    dataSet = nullptr;
    field.clear();
    const qsizetype dot = complexName.indexOf(QStringLiteral(".\""));
    if (dot < 0) return false;
    dataSet = GetDataset(complexName.left(dot));
    field = complexName.mid(dot + 2);
    field.chop(1);  // the closing double quote
    return dataSet && !field.isEmpty();
}

void TfrxReport::SetDataSet(TfrxDataSet* dataSet) {
    FDataSet = dataSet;
    FDataSetName = dataSet ? dataSet->UserName() : QString();
}

TfrxDataSet* TfrxReport::DataSet() const {
    return FDataSet;
}

QString TfrxReport::DataSetName() const {
    return FDataSet ? FDataSet->UserName() : FDataSetName;
}

void TfrxReport::SetDataSetName(const QString& name) {
    FDataSetName = name;
    FDataSet = frxFindDataSet(FDataSet, name, this);
}

// --- Errors ------------------------------------------------------------------

void TfrxReport::AddError(const QString& text) {
    const auto at = std::lower_bound(FErrors.begin(), FErrors.end(), text);
    if (at != FErrors.end() && *at == text) return;
    FErrors.insert(at, text);
}

void TfrxReport::SetErrors(const QStringList& errors) {
    FErrors.clear();
    for (const QString& e : errors) AddError(e);
}

// --- Expressions ---------------------------------------------------------------

const QStringList& TfrxReport::SystemVariables() {
    static const QStringList names{
        QStringLiteral("Date"),  QStringLiteral("Time"),       QStringLiteral("Page"),
        QStringLiteral("Page#"), QStringLiteral("TotalPages"), QStringLiteral("TotalPages#"),
        QStringLiteral("Line"),  QStringLiteral("Line#"),      QStringLiteral("CopyName#")};
    return names;
}

bool TfrxReport::GetDirectValue(const QString& name, QVariant& value) {
    // A data-field reference: dataset."field".
    TfrxDataSet* dataSet = nullptr;
    QString field;
    // Only a whole reference: `ds."a" + '!'` is an expression that uses one.
    if (name.trimmed().endsWith(u'"') && GetDatasetAndField(name.trimmed(), dataSet, field) &&
        !field.contains(u'"')) {
        value = dataSet->GetValue(field);
        if (value.isNull() && EngineOptions.ConvertNulls) {
            switch (dataSet->GetFieldType(field)) {
                case frx::fftNumeric:
                    value = 0;
                    break;
                case frx::fftString:
                    value = QString();
                    break;
                case frx::fftBoolean:
                    value = false;
                    break;
            }
        }
        return true;
    }
    qsizetype systemVariable = -1;
    for (qsizetype i = 0; i < SystemVariables().size() && systemVariable < 0; ++i)
        if (SystemVariables()[i].compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            systemVariable = i;
    switch (systemVariable) {
        case 0:
            value = QDateTime(RunState.StartDate, QTime(0, 0));
            return true;
        case 1:
            value = QDateTime(QDate(1899, 12, 30), RunState.StartTime);
            return true;
        case 2:
            value = RunState.Page;
            return true;
        case 3:
            value = RunState.PageNo;
            return true;
        case 4:
            value = RunState.LogicalTotalPages;
            return true;
        case 5:
            value = RunState.TotalPages;
            return true;
        case 6:
            value = RunState.CurLine;
            return true;
        case 7:
            value = RunState.CurLineThrough;
            return true;
        case 8:
            value = frxGlobalVariables().Value(QStringLiteral("CopyName0"));
            return true;
        default:
            break;
    }
    if (OnGetValue) {
        QVariant hooked;
        OnGetValue(name, hooked);
        if (hooked.isValid()) {
            value = hooked;
            return true;
        }
    }
    if (Variables.Contains(name)) {
        const QVariant v = Variables.Value(name);
        const bool expression = v.typeId() == QMetaType::QString && !v.toString().contains(u'\n') &&
                                !v.toString().contains(u'\r');
        value = expression ? Calc(v.toString()) : v;
        return true;
    }
    if (frxGlobalVariables().Contains(name)) {
        value = frxGlobalVariables().Value(name);
        return true;
    }
    if (name.compare(u"Value", Qt::CaseInsensitive) == 0) {
        value = CurrentValue;
        return true;
    }
    return false;
}

QVariant TfrxReport::Get(const QString& name) {
    QVariant value;
    if (GetDirectValue(name, value)) return value;
    AddError(QStringLiteral("Unknown variable or datafield: ") + name);
    return {};
}

void TfrxReport::ClearExpressionCache() {
    FExpressionCache.clear();
}

QVariant TfrxReport::Calc(const QString& expression) {
    auto failure = [&](const QString& message) {
        QString text = QStringLiteral("Error in expression '%1': %2").arg(expression, message);
        if (!CurObject.isEmpty()) text = CurObject + QStringLiteral(": ") + text;
        AddError(text);
        return CalcError(text);
    };
    // A variable whose value names itself would otherwise never end.
    if (FCalcDepth >= MaxCalcDepth) throw failure(QStringLiteral("Expressions nested too deeply"));
    struct Depth {
        int& d;
        explicit Depth(int& depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(FCalcDepth);

    try {
        QVariant value;
        if (GetDirectValue(expression, value)) return value;
        std::shared_ptr<TfrxExpression>& compiled = FExpressionCache[expression];
        if (!compiled) compiled = TfrxExpression::Compile(expression);
        ReportContext context(*this);
        return compiled->Evaluate(context);
    } catch (const CalcError&) {
        throw;
    } catch (const TfrxExpressionError& e) {
        FExpressionCache.remove(expression);
        if (EngineOptions.IgnoreDevByZero && e.message() == u"Floating point division by zero")
            return {};
        throw failure(e.message());
    }
}

// --- Storing ----------------------------------------------------------------

QVariantList TfrxReport::VariablesList() const {
    QVariantList list;
    for (const TfrxVariable& v : Variables.Items())
        list.append(
            QVariantMap{{QStringLiteral("Name"), v.Name}, {QStringLiteral("Value"), v.Value}});
    return list;
}

void TfrxReport::SetVariablesList(const QVariantList& list) {
    Variables.Clear();
    for (const QVariant& item : list) {
        const QVariantMap map = item.toMap();
        Variables.Set(map.value(QStringLiteral("Name")).toString(),
                      map.value(QStringLiteral("Value")));
    }
}

QByteArray TfrxReport::SaveToJson() const {
    return QJsonDocument(frxStoreComponent(this)).toJson(QJsonDocument::Indented);
}

void TfrxReport::LoadFromJson(const QByteArray& stored) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(stored, &error);
    if (!document.isObject()) throw Error(QStringLiteral("Invalid report: ") + error.errorString());
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("Class")).toString() != ClassName())
        throw Error(QStringLiteral("Invalid report: not a %1").arg(ClassName()));
    Clear();
    frxResetProperties(this);
    frxReadInto(this, root);
}

void TfrxReport::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    LoadFromJson(file.readAll());
}

void TfrxReport::Restore(const QByteArray& snapshot) {
    const QStringList errors = FErrors;
    LoadFromJson(snapshot);
    FErrors = errors;
}

void TfrxReport::Clear() {
    TfrxComponent::Clear();
    ClearExpressionCache();
}

}  // namespace qev
