#include "format/AmountText.h"

#include "format/Error.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace qev {

namespace {

bool isTrimmed(QChar c) { return c.unicode() <= 0x20; }

QString trimmed(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isTrimmed(text[begin])) ++begin;
    while (end > begin && isTrimmed(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// Keeps digits, the first "." and a "-" standing before everything kept.
QString keptCharacters(const QString& text) {
    QString kept;
    bool seenPoint = false, seenMinus = false;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            kept += c;
        } else if (c == u'.') {
            if (!seenPoint) kept += c;
            seenPoint = true;
        } else if (c == u'-') {
            if (!seenMinus && kept.isEmpty()) kept += c;
            seenMinus = true;
        }
    }
    return kept;
}

}  // namespace

Currency valor(const QString& cadena) {
    const QString text = trimmed(cadena);
    QString kept = keptCharacters(text);
    if (kept.isEmpty()) kept = QStringLiteral("0");
    if (!text.contains(u'.')) kept += QStringLiteral(".00");

    Currency amount;
    if (!Currency::tryParse(kept, amount))
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(kept));
    return amount;
}

namespace {

// The grouped magnitude with two decimals, written from the right so that it
// ends at `end`: two decimals cut (not rounded), then the whole part with ","
// after three digits and "'" after six, in turn. Returns where it begins. The
// statement writes one or two of these per movement.
char* writeGrouped(Currency amount, char* end) {
    const std::int64_t raw = amount.raw();
    const std::uint64_t magnitude =
        raw < 0 ? std::uint64_t(0) - std::uint64_t(raw) : std::uint64_t(raw);
    const std::uint64_t cents = magnitude % Currency::Scale / 100;
    std::uint64_t whole = magnitude / Currency::Scale;
    char* at = end;
    *--at = char('0' + cents % 10);
    *--at = char('0' + cents / 10);
    *--at = '.';
    for (int count = 1;; ++count) {
        *--at = char('0' + whole % 10);
        whole /= 10;
        if (whole == 0) break;
        if (count % 6 == 3) *--at = ',';
        else if (count % 6 == 0) *--at = '\'';
    }
    return at;
}

}  // namespace

QString mascara(Currency valor) {
    char buffer[MaxPesosText];
    char* at = writeGrouped(valor, std::end(buffer));
    if (valor.isNegative()) *--at = '-';
    return QString::fromLatin1(at, std::end(buffer) - at);
}

int writePesos(Currency importe, char* out) {
    char buffer[MaxPesosText];
    char* at = writeGrouped(importe, std::end(buffer));
    *--at = '$';
    if (importe.isNegative()) *--at = '-';
    const int length = int(std::end(buffer) - at);
    std::copy(at, std::end(buffer), out);
    return length;
}

QString pesos(Currency importe) {
    char text[MaxPesosText];
    return QString::fromLatin1(text, writePesos(importe, text));
}

QString vstr(Currency valor, int longitud, int decimales) {
    longitud = std::abs(longitud);
    decimales = std::abs(decimales);
    if (valor.isZero()) {
        return decimales > 0 ? espacios(longitud - decimales - 2) + QStringLiteral("0.") + ceros(decimales)
                             : espacios(longitud - 1) + QStringLiteral("0");
    }

    QString work = espacios(longitud) + valor.toString();
    qsizetype point = work.lastIndexOf(u'.');  // 0-based index of the point
    if (point < 0) {
        point = work.size();
        work += u'.' + ceros(decimales);
    } else {
        work += ceros(decimales);
    }

    const int width = decimales > 0 ? longitud - (decimales + 1) : longitud;
    QString result = work.mid(point - width, width);
    if (decimales > 0) result += work.mid(point, decimales + 1);
    return result;
}

QString ceros(int tantos) { return tantos > 0 ? QString(tantos, u'0') : QString(); }

QString espacios(int tantos) { return tantos > 0 ? QString(tantos, u' ') : QString(); }

QString espacero(const QString& entrada) {
    QString result = entrada;
    result.replace(u' ', u'0');
    return result;
}

int wholeNumber(Currency amount) {
    const QString text = amount.toString();
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok) throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return number;
}

}  // namespace qev
