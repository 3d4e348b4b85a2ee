#pragma once

#include <cstdint>
#include <optional>

namespace qev::dbf {

// The numeric fields of a dBASE record hold decimal texts. A statement writes
// and reads several per movement, so the common cases are done here by hand;
// what falls outside them is left to the caller's general (Qt) path.

// Room for every text writeFixed writes.
constexpr int MaxFixedText = 32;

// Writes `value` with `decimals` decimals exactly as QByteArray::number(value,
// 'f', decimals) does: correctly rounded, an exact half away from zero, "-"
// for every negative value (also one that rounds to zero), none for -0.
// Returns the length, or -1 when the value is not finite, decimals is over 9 or
// the digits would not fit 64 bits.
int writeFixed(double value, int decimals, char* out);

// A plain decimal text: "[-]digits[.digits]" with at least one digit.
struct Decimal {
    std::uint64_t digits = 0;  // all of them, the point left out
    int decimals = 0;          // how many follow the point
    bool negative = false;
    bool point = false;
};

// Reads text of the form above with at most 18 digits; nothing for anything
// else (blanks, a "+", exponents, longer numbers).
std::optional<Decimal> parseDecimal(const char* text, int length);

// The double nearest to the decimal, as a correct string-to-double conversion
// of its text gives it; nothing when the plain division by a power of ten
// could round differently (more than 53 bits of digits, over 22 decimals).
std::optional<double> exactDouble(const Decimal& decimal);

}  // namespace qev::dbf
