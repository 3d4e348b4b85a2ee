#pragma once

#include <QString>

#include <compare>
#include <cstdint>

namespace qev {

// An amount as a signed 64-bit count of ten-thousandths (four fixed decimals).
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t tenThousandths) { return Currency(tenThousandths); }
    static constexpr Currency fromUnits(std::int64_t units) { return Currency(units * Scale); }
    static constexpr Currency max() { return Currency(INT64_MAX); }
    static constexpr Currency min() { return Currency(INT64_MIN); }
    // Nearest ten-thousandth, an exact half going to the even neighbour; throws
    // ConversionError when the value lies outside the range.
    static Currency fromDouble(double value);
    // Parses "[-]digits[.digits]" (at least one digit or the point); more than four
    // fraction digits round ties-to-even. Returns false when the text is malformed
    // or the value is out of range.
    static bool tryParse(const QString& text, Currency& out);

    constexpr std::int64_t raw() const { return value_; }
    double toDouble() const { return double(value_) / Scale; }
    constexpr bool isNegative() const { return value_ < 0; }
    constexpr bool isZero() const { return value_ == 0; }
    bool hasFraction() const { return value_ % Scale != 0; }

    // The canonical amount text: "-" for negatives, integer digits, and only when
    // there is a fraction "." and one to four digits without trailing zeros.
    QString toString() const;
    // The canonical text of the absolute value (defined for the minimum too).
    QString magnitudeText() const;

    Currency operator-() const;  // throws on the minimum
    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency& operator+=(Currency other) { return *this = *this + other; }
    Currency& operator-=(Currency other) { return *this = *this - other; }
    constexpr auto operator<=>(const Currency&) const = default;

private:
    constexpr explicit Currency(std::int64_t v) : value_(v) {}
    std::int64_t value_ = 0;
};

}  // namespace qev
