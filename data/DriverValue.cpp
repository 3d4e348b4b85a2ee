#include "data/DriverValue.h"

#include <QDate>
#include <QDateTime>

namespace qev {

QVariant driverValue(const QVariant& v, FieldType type) {
    if (v.isNull()) return {};
    switch (type) {
        case FieldType::Date: {
            if (v.typeId() == QMetaType::QDate) return v;
            if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
            const QString text = v.toString();
            QDate d = QDate::fromString(text.left(10), Qt::ISODate);
            return d.isValid() ? QVariant(d) : v;
        }
        case FieldType::Integer: {
            bool ok = false;
            const int i = v.toInt(&ok);
            return ok ? QVariant(i) : v;
        }
        case FieldType::Float: {
            bool ok = false;
            const double d = v.toDouble(&ok);
            return ok ? QVariant(d) : v;
        }
        default:
            return v.toString();
    }
}

}  // namespace qev
