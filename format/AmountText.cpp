#include "format/AmountText.h"

#include "format/Error.h"

#include <cstdlib>

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

QString mascara(Currency valor) {
    const QString sign = valor.isNegative() ? QStringLiteral("-") : QString();
    const QString text = valor.magnitudeText();

    const qsizetype point = text.indexOf(u'.');
    const QString integer = point < 0 ? text : text.left(point);
    const QString decimals =
        point < 0 ? QStringLiteral(".00") : (text.mid(point, 3) + QStringLiteral("00")).left(3);

    QString grouped;
    for (qsizetype i = integer.size() - 1, count = 1; i >= 0; --i, ++count) {
        grouped.prepend(integer[i]);
        if (i == 0) break;
        if (count % 6 == 3) grouped.prepend(u',');
        else if (count % 6 == 0) grouped.prepend(u'\'');
    }
    return sign + grouped + decimals;
}

QString pesos(Currency importe) {
    // mascara of a negative amount is "-" and the grouped absolute value.
    return importe.isNegative() ? QStringLiteral("-$") + mascara(importe).mid(1)
                                : QStringLiteral("$") + mascara(importe);
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
