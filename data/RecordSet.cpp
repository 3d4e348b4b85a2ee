#include "data/RecordSet.h"

namespace qev {

bool RecordSet::hasField(const QString& name) const {
    return fieldNames().contains(name, Qt::CaseInsensitive);
}

QString RecordSet::displayText(const QString& name) const {
    return displayTextOf(value(name));
}

QString displayTextOf(const QVariant& value) {
    if (value.isNull()) return {};
    return value.toString();
}

}  // namespace qev
