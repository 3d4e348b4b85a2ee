#include "format/Currency.h"

#include "format/Error.h"

#include <cmath>

namespace qev {

namespace {

using Wide = std::uint64_t;
constexpr Wide MaxMagnitude = Wide(INT64_MAX) + 1;  // the magnitude of the minimum
constexpr Wide MaxUnits = MaxMagnitude / Currency::Scale;

[[noreturn]] void overflow(const QString& what) {
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(what));
}

// Rounds a magnitude given in ten-thousandths plus the discarded digits.
Wide roundHalfEven(Wide units, QChar firstDropped, bool moreNonZero) {
    if (firstDropped.isNull()) return units;
    const int d = firstDropped.digitValue();
    const bool roundUp = d > 5 || (d == 5 && (moreNonZero || units % 2 == 1));
    return roundUp ? units + 1 : units;
}

}  // namespace

bool Currency::tryParse(const QString& text, Currency& out) {
    int i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative) ++i;

    Wide magnitude = 0;
    bool sawDigitOrPoint = false;
    for (; i < text.size() && text[i].isDigit(); ++i) {
        sawDigitOrPoint = true;
        magnitude = magnitude * 10 + Wide(text[i].digitValue());
        if (magnitude > MaxUnits) return false;
    }
    magnitude *= Scale;

    int fractionDigits = 0;
    QChar firstDropped;
    bool moreNonZero = false;
    if (i < text.size() && text[i] == u'.') {
        sawDigitOrPoint = true;
        Wide fraction = 0;
        for (++i; i < text.size() && text[i].isDigit(); ++i, ++fractionDigits) {
            if (fractionDigits < 4) {
                fraction = fraction * 10 + Wide(text[i].digitValue());
            } else if (fractionDigits == 4) {
                firstDropped = text[i];
            } else if (text[i] != u'0') {
                moreNonZero = true;
            }
        }
        for (int k = fractionDigits; k < 4; ++k) fraction *= 10;
        magnitude = roundHalfEven(magnitude + fraction, firstDropped, moreNonZero);
    }
    if (i != text.size() || !sawDigitOrPoint) return false;
    if (magnitude > (negative ? MaxMagnitude : MaxMagnitude - 1)) return false;

    out = Currency(negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude));
    return true;
}

Currency Currency::fromDouble(double value) {
    const double scaled = std::nearbyint(value * Scale);  // default mode: ties to even
    if (!std::isfinite(scaled) || scaled >= 9.2233720368547758e18 || scaled < -9.2233720368547758e18)
        overflow(QString::number(value, 'g', 17));
    return Currency(std::int64_t(scaled));
}

QString Currency::magnitudeText() const {
    const std::uint64_t magnitude =
        value_ < 0 ? std::uint64_t(0) - std::uint64_t(value_) : std::uint64_t(value_);
    QString text = QString::number(magnitude / Scale);
    if (const std::uint64_t fraction = magnitude % Scale) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QChar(u'0'));
        while (digits.endsWith(u'0')) digits.chop(1);
        text += u'.' + digits;
    }
    return text;
}

QString Currency::toString() const {
    return value_ < 0 ? u'-' + magnitudeText() : magnitudeText();
}

Currency Currency::operator-() const {
    if (value_ == INT64_MIN) overflow(toString());
    return Currency(-value_);
}

Currency Currency::operator+(Currency other) const {
    std::int64_t sum;
    if (__builtin_add_overflow(value_, other.value_, &sum)) overflow(toString());
    return Currency(sum);
}

Currency Currency::operator-(Currency other) const {
    std::int64_t difference;
    if (__builtin_sub_overflow(value_, other.value_, &difference)) overflow(toString());
    return Currency(difference);
}

}  // namespace qev
