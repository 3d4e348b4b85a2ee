#include "data/RecordSet.h"

namespace qev {

bool RecordSet::hasField(const QString& name) const {
    return fieldNames().contains(name, Qt::CaseInsensitive);
}

QString RecordSet::displayText(const QString& name) const {
    return displayTextOf(value(name));
}

int RecordSet::fieldNumber(const QString& name) const {
    const QStringList names = fieldNames();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

FieldType RecordSet::fieldTypeAt(int field) const {
    return fieldType(fieldNames().at(field));
}

QVariant RecordSet::valueAt(int field) const {
    return value(fieldNames().at(field));
}

QString RecordSet::displayTextAt(int field) const {
    return displayText(fieldNames().at(field));
}

QString displayTextOf(const QVariant& value) {
    if (value.isNull()) return {};
    return value.toString();
}

}  // namespace qev
