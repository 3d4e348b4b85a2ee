#include "report/TfrxDataSet.h"

#include "format/Error.h"
#include "report/TfrxReport.h"

#include <QMutex>
#include <QMutexLocker>

namespace qev {

TfrxFieldReading TfrxDataSet::ReadField(const QString& field, bool withText) {
    TfrxFieldReading reading;
    reading.blob = IsBlobField(field);
    reading.value = GetValue(field);
    if (reading.blob)
        reading.text = reading.value.toString();
    else if (withText)
        reading.text = GetDisplayText(field);
    return reading;
}

namespace {

QMutex& listLock() {
    static QMutex lock;
    return lock;
}

QList<TfrxDataSet*>& globalList() {
    static QList<TfrxDataSet*> list;
    return list;
}

// The report that owns a data set through the QObject tree, if any.
const TfrxReport* owningReport(const QObject* object) {
    for (const QObject* o = object ? object->parent() : nullptr; o; o = o->parent())
        if (auto* report = qobject_cast<const TfrxReport*>(o)) return report;
    return nullptr;
}

}  // namespace

TfrxDataSet::TfrxDataSet(QObject* owner) : TfrxDialogComponent(owner) {
    QMutexLocker locker(&listLock());
    globalList().append(this);
}

TfrxDataSet::~TfrxDataSet() {
    QMutexLocker locker(&listLock());
    globalList().removeOne(this);
}

void TfrxDataSet::SetUserName(const QString& name) {
    if (name.trimmed().isEmpty()) throw Error(QStringLiteral("prInvProp"));
    FUserName = name;
}

void TfrxDataSet::First() {
    RecNo = 0;
    FEof = false;
}

void TfrxDataSet::Next() {
    FEof = false;
    ++RecNo;
    if (RangeEnd == frx::reCount && RecNo >= RangeEndCount) {
        RecNo = RangeEndCount - 1;
        FEof = true;
    }
}

void TfrxDataSet::Prior() {
    if (RecNo > 0) --RecNo;
}

bool TfrxDataSet::Eof() {
    if (RangeEnd == frx::reCount) return RecNo >= RangeEndCount || FEof;
    return FEof;
}

QList<TfrxDataSet*> frxGlobalDataSets() {
    QMutexLocker locker(&listLock());
    return globalList();
}

TfrxDataSet* frxFindDataSet(TfrxDataSet* previous, const QString& name, const TfrxReport* report) {
    if (name.isEmpty()) return nullptr;
    if (report && !report->EngineOptions.UseGlobalDataSetList) {
        TfrxDataSet* found = report->GetDataset(name);
        return found ? found : previous;
    }
    QMutexLocker locker(&listLock());
    for (TfrxDataSet* dataSet : globalList()) {
        if (dataSet->UserName().compare(name, Qt::CaseInsensitive) != 0) continue;
        const TfrxReport* owner = owningReport(dataSet);
        if (owner && report && owner != report) continue;
        return dataSet;
    }
    return previous;
}

}  // namespace qev
