#include "data/DbfField.h"

#include "data/Windows1252.h"
#include "format/Error.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

namespace qev {

namespace {

QByteArray trimmed(const char* data, int width) {
    int begin = 0, end = width;
    while (end > 0 && (data[end - 1] == ' ' || data[end - 1] == '\0')) --end;
    while (begin < end && data[begin] == ' ') ++begin;
    return QByteArray(data + begin, end - begin);
}

}  // namespace

void DbfField::store(char* bytes, const QVariant& value) const {
    std::fill(bytes, bytes + width, ' ');
    if (value.isNull()) return;  // blanks: dBASE's empty value
    if (type == 'C') {
        const QByteArray text = toWindows1252(value.toString());
        std::copy_n(text.constData(), std::min<qsizetype>(text.size(), width), bytes);
        return;
    }
    bool ok = false;
    double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        throw Error(QStringLiteral("'%1' is not a valid number for the field '%2'")
                        .arg(value.toString(), name));
    if (number == 0) number = 0;  // no "-0.0000"
    const QByteArray text = decimals == 0 ? QByteArray::number(qlonglong(std::llround(number)))
                                          : QByteArray::number(number, 'f', decimals);
    // A number is never cut: that would store a different amount.
    if (text.size() > width)
        throw Error(QStringLiteral("The value %1 does not fit the field '%2'")
                        .arg(QString::fromLatin1(text), name));
    std::copy(text.begin(), text.end(), bytes + (width - text.size()));
}

QVariant DbfField::load(const char* bytes) const {
    if (type == 'C') {
        int end = width;
        while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0')) --end;
        if (end == 0) return {};
        return fromWindows1252(bytes, end);
    }
    const QByteArray text = trimmed(bytes, width);
    if (text.isEmpty() || text.startsWith('*')) return {};
    bool ok = false;
    if (decimals == 0) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok) return whole;
    }
    const double number = text.toDouble(&ok);
    return ok ? QVariant(number) : QVariant();
}

}  // namespace qev
