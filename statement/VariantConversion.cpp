#include "statement/VariantConversion.h"

#include "format/Error.h"

#include <QDateTime>

#include <charconv>
#include <cmath>

namespace qev {

namespace {

bool isNumber(const QVariant& value) {
    switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
    }
}

bool isWholeNumber(const QVariant& value) {
    return isNumber(value) && value.metaType().id() != QMetaType::Double &&
           value.metaType().id() != QMetaType::Float;
}

// The names the error texts give the kinds of value.
QString typeName(const QVariant& value) {
    if (value.isNull()) return QStringLiteral("Null");
    switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
            return QStringLiteral("Integer");
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return QStringLiteral("Int64");
        case QMetaType::Double:
        case QMetaType::Float:
            return QStringLiteral("Double");
        case QMetaType::QString:
        case QMetaType::QByteArray:
            return QStringLiteral("String");
        case QMetaType::Bool:
            return QStringLiteral("Boolean");
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            return QStringLiteral("Date");
        default:
            return QString::fromLatin1(value.typeName());
    }
}

[[noreturn]] void cannotConvert(const QVariant& value, const char* target) {
    throw Error(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                    .arg(typeName(value), QLatin1String(target)));
}

QDate dateFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    QDate date = QDate::fromString(trimmed.left(10), Qt::ISODate);
    if (!date.isValid()) date = QDateTime::fromString(trimmed, Qt::ISODateWithMs).date();
    return date;
}

QString shortestDecimalText(double number) {
    // Fixed notation with the fewest digits that read back as the same number.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

}  // namespace

QDate variantToDate(const QVariant& value) {
    if (value.isNull()) cannotConvert(value, "Double");
    QDate date;
    switch (value.metaType().id()) {
        case QMetaType::QDate:
            date = value.toDate();
            break;
        case QMetaType::QDateTime:
            date = value.toDateTime().date();
            break;
        case QMetaType::QString:
        case QMetaType::QByteArray:
            date = dateFromText(value.toString());
            break;
        default:
            break;
    }
    if (!date.isValid()) cannotConvert(value, "Double");
    return date;
}

Currency variantToCurrency(const QVariant& value) {
    if (value.isNull()) cannotConvert(value, "Currency");
    if (isWholeNumber(value)) {
        bool ok = false;
        const qlonglong units = value.toLongLong(&ok);
        if (ok && std::llabs(units) <= Currency::max().raw() / Currency::Scale)
            return Currency::fromUnits(units);
    } else if (isNumber(value)) {
        const double number = value.toDouble();
        if (std::isfinite(number)) return Currency::fromDouble(number);
    } else if (value.metaType().id() == QMetaType::QString ||
               value.metaType().id() == QMetaType::QByteArray) {
        Currency amount;
        if (Currency::tryParse(value.toString().trimmed(), amount)) return amount;
    }
    cannotConvert(value, "Currency");
}

QString variantToText(const QVariant& value) {
    if (value.isNull()) cannotConvert(value, "OleStr");
    if (isWholeNumber(value)) return QString::number(value.toLongLong());
    if (isNumber(value)) return shortestDecimalText(value.toDouble());
    return value.toString();
}

bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (isNumber(a) && isNumber(b)) return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}

}  // namespace qev
