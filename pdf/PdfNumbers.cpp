#include "pdf/PdfNumbers.h"

#include <cmath>
#include <cstdio>

namespace qev {

QByteArray frFloat2Str(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    QByteArray text(buffer);
    // A tiny negative value must not come out as "-0.00".
    if (text == "-0.00") return QByteArrayLiteral("0.00");
    return text;
}

QByteArray PrepXrefPos(qint64 offset) {
    return QByteArray::number(offset).rightJustified(10, '0');
}

QByteArray StrToHex(const QVector<quint16>& units) {
    QByteArray text;
    text.reserve(units.size() * 4);
    for (quint16 unit : units)
        text += QByteArray::number(unit, 16).rightJustified(4, '0').toUpper();
    return text;
}

QByteArray StrToHex(const QString& text) {
    QVector<quint16> units;
    units.reserve(text.size());
    for (QChar c : text) units.append(c.unicode());
    return StrToHex(units);
}

QByteArray pdfUtf16HexString(const QString& text) {
    return "<FEFF" + StrToHex(text) + ">";
}

}  // namespace qev
