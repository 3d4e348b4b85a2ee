#include "data/DbfNumbers.h"

#include <array>
#include <bit>
#include <cmath>

namespace qev::dbf {

namespace {

// g++ and clang, the compilers qev is built with, have it.
__extension__ typedef unsigned __int128 Wide;

constexpr std::array<double, 23> PowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// |value| * 10^decimals rounded to a whole number, an exact half away from
// zero, computed on the exact binary value: value = mantissa * 2^exponent.
std::uint64_t scaledMagnitude(double value, int decimals) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t mantissa = biased ? fraction | (std::uint64_t(1) << 52) : fraction;
    const int exponent = (biased ? biased : 1) - 1075;
    // Below 2^53 * 10^9 < 2^83: exact in 128 bits.
    const Wide scaled = Wide(mantissa) * std::uint64_t(PowersOfTen[std::size_t(decimals)]);
    if (exponent >= 0) return std::uint64_t(scaled << exponent);  // the caller bounds it
    const int shift = -exponent;
    if (shift >= 100) return 0;  // far below half a unit of the last decimal
    const Wide whole = scaled >> shift;
    const Wide rest = scaled - (whole << shift);
    const Wide half = Wide(1) << (shift - 1);
    return std::uint64_t(rest >= half ? whole + 1 : whole);
}

}  // namespace

int writeFixed(double value, int decimals, char* out) {
    // Past 9.2e18 the scaled value leaves 64 bits; Qt writes those.
    if (!std::isfinite(value) || decimals < 0 || decimals > 9 ||
        std::fabs(value) >= 9e18 / PowersOfTen[std::size_t(decimals)])
        return -1;
    std::uint64_t magnitude = scaledMagnitude(value, decimals);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    while (count <= decimals) digits[count++] = '0';  // one whole digit at least
    int length = 0;
    if (value < 0) out[length++] = '-';
    while (count > decimals) out[length++] = digits[--count];
    if (decimals > 0) out[length++] = '.';
    while (count > 0) out[length++] = digits[--count];
    return length;
}

std::optional<Decimal> parseDecimal(const char* text, int length) {
    Decimal d;
    int at = 0, digits = 0;
    if (at < length && text[at] == '-') {
        d.negative = true;
        ++at;
    }
    for (; at < length; ++at) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            if (++digits > 18) return std::nullopt;
            d.digits = d.digits * 10 + std::uint64_t(c - '0');
            if (d.point) ++d.decimals;
        } else if (c == '.' && !d.point) {
            d.point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) return std::nullopt;
    return d;
}

std::optional<double> exactDouble(const Decimal& decimal) {
    // Both operands exact, so the one rounding of the division is the
    // correct one (the digits 0 give 0, or -0 with a sign, as strtod does).
    if (decimal.digits > (std::uint64_t(1) << 53) || decimal.decimals >= int(PowersOfTen.size()))
        return std::nullopt;
    const double magnitude =
        double(decimal.digits) / PowersOfTen[std::size_t(decimal.decimals)];
    return decimal.negative ? -magnitude : magnitude;
}

}  // namespace qev::dbf
