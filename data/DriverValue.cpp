#include "data/DriverValue.h"

#include <QDate>
#include <QDateTime>

#include <optional>

namespace qev {

namespace {

// "2016-06-24", the form SQLite and PostgreSQL give, read by hand: Qt's
// general ISO parser was a good part of reading a large statement. Anything
// else is left to it.
std::optional<QDate> plainIsoDate(QStringView text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') return std::nullopt;
            parts[p] = parts[p] * 10 + (c - u'0');
        }
    }
    if (parts[0] == 0) return std::nullopt;
    return QDate(parts[0], parts[1], parts[2]);
}

QVariant dateValue(QVariant v) {
    if (v.typeId() == QMetaType::QDate) return v;
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
    const QString text = v.toString();
    const std::optional<QDate> plain = plainIsoDate(text);
    const QDate d = plain ? *plain : QDate::fromString(text.left(10), Qt::ISODate);
    return d.isValid() ? QVariant(d) : v;
}

}  // namespace

QVariant driverValue(QVariant v, FieldType type) {
    if (v.isNull()) return {};
    switch (type) {
        case FieldType::Date:
            return dateValue(std::move(v));
        case FieldType::Integer: {
            if (v.typeId() == QMetaType::Int) return v;
            // As QVariant::toInt converts it: the low bits, never a failure.
            if (v.typeId() == QMetaType::LongLong) return int(v.toLongLong());
            bool ok = false;
            const int i = v.toInt(&ok);
            return ok ? QVariant(i) : v;
        }
        case FieldType::Float: {
            if (v.typeId() == QMetaType::Double) return v;
            bool ok = false;
            const double d = v.toDouble(&ok);
            return ok ? QVariant(d) : v;
        }
        default:
            if (v.typeId() == QMetaType::QString) return v;
            return v.toString();
    }
}

}  // namespace qev
