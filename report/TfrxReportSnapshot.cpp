#include "report/TfrxReportSnapshot.h"

#include "format/Error.h"
#include "report/ReportStorage.h"
#include "report/TfrxReport.h"

#include <QHash>
#include <QMetaProperty>

namespace qev {

namespace {

QList<QMetaProperty> reportProperties(const TfrxReport& report) {
    QList<QMetaProperty> properties;
    const QMetaObject* mo = report.metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (p.isWritable() && p.isStored() && report.IsStoredProperty(p.name())) properties.append(p);
    }
    return properties;
}

}  // namespace

TfrxReportSnapshot::TfrxReportSnapshot(TfrxReport& report) : FReport(report) {
    for (const QMetaProperty& p : reportProperties(report)) FReportValues.append(p.read(&report));
    QHash<const TfrxComponent*, int> index;
    for (TfrxComponent* c : report.AllObjects()) {
        std::unique_ptr<TfrxComponent> copy(frxCreateComponent(c->ClassName(), nullptr));
        if (!copy) throw Error(QStringLiteral("Class %1 not found").arg(c->ClassName()));
        copy->AssignStored(*c);
        index.insert(c, int(FEntries.size()));
        FEntries.push_back({c, index.value(c->Parent(), -1), std::move(copy)});
    }
}

TfrxReportSnapshot::~TfrxReportSnapshot() = default;

bool TfrxReportSnapshot::treeUnchanged() const {
    const QList<TfrxComponent*> now = FReport.AllObjects();
    if (now.size() != qsizetype(FEntries.size())) return false;
    for (qsizetype i = 0; i < now.size(); ++i) {
        const Entry& e = FEntries[std::size_t(i)];
        const TfrxComponent* parent =
            e.parent < 0 ? &FReport : FEntries[std::size_t(e.parent)].original.data();
        if (now[i] != e.original || now[i]->Parent() != parent) return false;
    }
    return true;
}

void TfrxReportSnapshot::restore() {
    const bool sameTree = treeUnchanged();
    // As reading the stored form: the compiled expressions go too.
    if (sameTree)
        FReport.ClearExpressionCache();
    else
        FReport.Clear();
    const QList<QMetaProperty> properties = reportProperties(FReport);
    for (qsizetype i = 0; i < properties.size() && i < FReportValues.size(); ++i)
        properties[i].write(&FReport, FReportValues[i]);
    if (sameTree) {
        for (const Entry& e : FEntries) e.original->AssignStored(*e.copy);
        return;
    }
    std::vector<TfrxComponent*> made;
    made.reserve(FEntries.size());
    for (const Entry& e : FEntries) {
        TfrxComponent* parent = e.parent < 0 ? &FReport : made[std::size_t(e.parent)];
        TfrxComponent* c = frxCreateComponent(e.copy->ClassName(), parent);
        c->AssignStored(*e.copy);
        made.push_back(c);
    }
}

}  // namespace qev
