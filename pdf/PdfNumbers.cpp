#include "pdf/PdfNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qev {

namespace {

// Below this magnitude value x 100 is off its exact product by less than
// 1e-7 (a few units in the last place of a number under 1e9), so a product
// further than tieMargin from a half rounds the same as the exact one.
constexpr double fastLimit = 1e7;
constexpr double tieMargin = 1e-6;

// "%.2f" of hundredths: n / 100, a point, two digits.
qsizetype writeHundredths(char* buffer, bool negative, std::uint64_t hundredths) {
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    *--p = char('0' + hundredths % 10);
    *--p = char('0' + hundredths / 10 % 10);
    *--p = '.';
    std::uint64_t units = hundredths / 100;
    do {
        *--p = char('0' + units % 10);
        units /= 10;
    } while (units);
    if (negative) *--p = '-';
    std::memcpy(buffer, p, std::size_t(end - p));
    return end - p;
}

}  // namespace

qsizetype writeFloat2(char* buffer, double value) {
    // Coordinates are far from halves nearly always: rounding the product
    // gives printf's text at a fraction of its cost.
    const double magnitude = std::fabs(value);
    if (magnitude < fastLimit) {
        const double product = magnitude * 100;
        const double whole = std::floor(product);
        const double fraction = product - whole;  // exact
        if (std::fabs(fraction - 0.5) > tieMargin) {
            const auto hundredths = std::uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
            // A tiny negative value must not come out as "-0.00".
            return writeHundredths(buffer, value < 0 && hundredths != 0, hundredths);
        }
    }
    // std::to_chars rounds exactly like printf's "%.2f" (the binary value,
    // ties to even) without its locale and format parsing.
    const auto [end, error] =
        std::to_chars(buffer, buffer + float2MaxChars, value, std::chars_format::fixed, 2);
    if (error != std::errc()) return 0;
    if (end - buffer == 5 && std::string_view(buffer, 5) == "-0.00") {
        std::memcpy(buffer, "0.00", 4);
        return 4;
    }
    return end - buffer;
}

void appendFloat2(QByteArray& out, double value) {
    char buffer[float2MaxChars];
    out.append(buffer, writeFloat2(buffer, value));
}

QByteArray frFloat2Str(double value) {
    QByteArray text;
    appendFloat2(text, value);
    return text;
}

QByteArray PrepXrefPos(qint64 offset) {
    return QByteArray::number(offset).rightJustified(10, '0');
}

char* writeHex4(char* out, quint16 unit) {
    static constexpr char digits[] = "0123456789ABCDEF";
    *out++ = digits[unit >> 12];
    *out++ = digits[(unit >> 8) & 0xF];
    *out++ = digits[(unit >> 4) & 0xF];
    *out++ = digits[unit & 0xF];
    return out;
}

void appendHex4(QByteArray& out, quint16 unit) {
    char text[4];
    writeHex4(text, unit);
    out.append(text, 4);
}

QByteArray StrToHex(const QVector<quint16>& units) {
    QByteArray text(units.size() * 4, Qt::Uninitialized);
    char* out = text.data();
    for (quint16 unit : units) out = writeHex4(out, unit);
    return text;
}

QByteArray StrToHex(const QString& text) {
    QByteArray hex;
    hex.reserve(text.size() * 4);
    for (QChar c : text) appendHex4(hex, c.unicode());
    return hex;
}

QByteArray pdfUtf16HexString(const QString& text) {
    return "<FEFF" + StrToHex(text) + ">";
}

}  // namespace qev
