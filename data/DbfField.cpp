#include "data/DbfField.h"

#include "data/DbfNumbers.h"
#include "data/Windows1252.h"
#include "format/Error.h"

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qev {

namespace {

// The field's text without the blanks (and NULs) around it.
std::pair<const char*, int> trimmed(const char* data, int width) {
    int begin = 0, end = width;
    while (end > 0 && (data[end - 1] == ' ' || data[end - 1] == '\0')) --end;
    while (begin < end && data[begin] == ' ') ++begin;
    return {data + begin, end - begin};
}

Error notANumber(const QString& text, const QString& field) {
    return Error(QStringLiteral("'%1' is not a valid number for the field '%2'").arg(text, field));
}

// The general reading of a number, for what the plain decimal path leaves.
QVariant loadNumber(const QByteArray& text, int decimals) {
    bool ok = false;
    if (decimals == 0) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok) return whole;
    }
    const double number = text.toDouble(&ok);
    return ok ? QVariant(number) : QVariant();
}

}  // namespace

void DbfField::store(char* bytes, const QVariant& value) const {
    if (value.isNull()) {
        std::fill(bytes, bytes + width, ' ');  // dBASE's empty value
        return;
    }
    if (type == 'C') {
        if (value.typeId() == QMetaType::QString)
            storeText(bytes, *static_cast<const QString*>(value.constData()));
        else
            storeText(bytes, value.toString());
        return;
    }
    // Doubles and whole numbers, as the drivers give them, without a conversion.
    bool ok = true;
    double number = 0;
    if (value.typeId() == QMetaType::Double)
        number = *static_cast<const double*>(value.constData());
    else if (value.typeId() == QMetaType::Int)
        number = *static_cast<const int*>(value.constData());
    else
        number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) throw notANumber(value.toString(), name);
    storeNumber(bytes, number);
}

void DbfField::storeText(char* bytes, QStringView text) const {
    if (type != 'C') return store(bytes, QVariant(text.toString()));
    std::fill(bytes + writeWindows1252(text, bytes, width), bytes + width, ' ');
}

void DbfField::storeText(char* bytes, QLatin1String text) const {
    if (type != 'C') return store(bytes, QVariant(QString(text)));
    std::fill(bytes + writeWindows1252(text, bytes, width), bytes + width, ' ');
}

void DbfField::storeNumber(char* bytes, double number) const {
    if (type != 'N') return store(bytes, QVariant(number));
    if (!std::isfinite(number)) throw notANumber(QVariant(number).toString(), name);
    if (number == 0) number = 0;  // no "-0.0000"
    char digits[dbf::MaxFixedText];
    int length = -1;
    if (decimals == 0)
        length = int(std::to_chars(digits, digits + sizeof digits, qlonglong(std::llround(number))).ptr - digits);
    else
        length = dbf::writeFixed(number, decimals, digits);
    QByteArray text;  // numbers beyond the plain path, as Qt writes them
    if (length < 0) {
        text = QByteArray::number(number, 'f', decimals);
        length = int(text.size());
    }
    const char* from = text.isNull() ? digits : text.constData();
    // A number is never cut: that would store a different amount.
    if (length > width)
        throw Error(QStringLiteral("El valor %1 no cabe en el campo '%2'")
                        .arg(QString::fromLatin1(from, length), name));
    std::fill(bytes, bytes + (width - length), ' ');
    std::copy_n(from, length, bytes + (width - length));
}

QVariant DbfField::load(const char* bytes) const {
    if (type == 'C') {
        int end = width;
        while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0')) --end;
        if (end == 0) return {};
        return fromWindows1252(bytes, end);
    }
    const auto [text, length] = trimmed(bytes, width);
    if (length == 0 || text[0] == '*') return {};
    if (const auto plain = dbf::parseDecimal(text, length)) {
        if (decimals == 0 && !plain->point)
            return plain->negative ? -qlonglong(plain->digits) : qlonglong(plain->digits);
        if (const auto number = dbf::exactDouble(*plain)) return *number;
    }
    return loadNumber(QByteArray(text, length), decimals);
}

std::optional<double> DbfField::loadDouble(const char* bytes) const {
    if (type == 'N') {
        const auto [text, length] = trimmed(bytes, width);
        if (const auto plain = dbf::parseDecimal(text, length)) {
            if (decimals == 0 && !plain->point) {
                const qlonglong whole = qlonglong(plain->digits);
                return double(plain->negative ? -whole : whole);
            }
            if (const auto number = dbf::exactDouble(*plain)) return *number;
        }
    }
    const QVariant value = load(bytes);
    if (value.isNull()) return std::nullopt;
    return value.toDouble();
}

std::optional<Currency> DbfField::loadAmount(const char* bytes) const {
    if (type != 'N') return std::nullopt;
    const auto [text, length] = trimmed(bytes, width);
    const auto plain = dbf::parseDecimal(text, length);
    // Up to fifteen digits a double keeps the decimal exactly, so its
    // shortest text is these digits again.
    constexpr std::uint64_t FifteenDigits = 1'000'000'000'000'000;
    if (!plain || plain->digits >= FifteenDigits || plain->decimals > 4) return std::nullopt;
    std::int64_t raw = std::int64_t(plain->digits);
    for (int d = plain->decimals; d < 4; ++d)
        if (__builtin_mul_overflow(raw, 10, &raw)) return std::nullopt;
    return Currency::fromRaw(plain->negative ? -raw : raw);
}

}  // namespace qev
