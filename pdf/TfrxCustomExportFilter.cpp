#include "pdf/TfrxCustomExportFilter.h"

#include <QDir>

namespace qev {

QList<TfrxCustomExportFilter*>& frxExportFilters() {
    static QList<TfrxCustomExportFilter*> filters;
    return filters;
}

TfrxCustomExportFilter::TfrxCustomExportFilter(QObject* owner) : QObject(owner) {
    frxExportFilters().append(this);
    FRegistered = true;
}

TfrxCustomExportFilter::TfrxCustomExportFilter(CreateNoRegisterTag, QObject* owner)
    : QObject(owner) {}

TfrxCustomExportFilter::~TfrxCustomExportFilter() {
    if (FRegistered) frxExportFilters().removeAll(this);
}

QString TfrxCustomExportFilter::JoinDefaultPath(const QString& defaultPath,
                                                const QString& fileName) {
    const bool hasDirectory =
        fileName.contains(QLatin1Char('/')) || fileName.contains(QDir::separator());
    if (hasDirectory || defaultPath.isEmpty()) return fileName;
    return defaultPath + QDir::separator() + fileName;
}

}  // namespace qev
