#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace qev {

// Number and string texts of the PDF file. They never depend on the user's
// locale: a PDF reader only understands "." and plain digits.

// Two decimals, "." as decimal point, no grouping ("12.50", "-3.00", "0.00").
QByteArray frFloat2Str(double value);
// The same text appended to out.
void appendFloat2(QByteArray& out, double value);
// The same text written at the start of buffer, which holds at least
// float2MaxChars characters ("%.2f" of the largest double has 309 digits);
// returns its length.
constexpr int float2MaxChars = 400;
qsizetype writeFloat2(char* buffer, double value);

// A cross-reference offset as exactly ten decimal digits.
QByteArray PrepXrefPos(qint64 offset);

// Every 16-bit unit as four upper-case hexadecimal digits, no separators.
QByteArray StrToHex(const QVector<quint16>& units);
QByteArray StrToHex(const QString& text);
// One unit's four digits appended to out.
void appendHex4(QByteArray& out, quint16 unit);
// One unit's four digits written at out; returns the end of them.
char* writeHex4(char* out, quint16 unit);

// Document-information string: "<FEFF" + UTF-16 units in hexadecimal + ">".
QByteArray pdfUtf16HexString(const QString& text);

}  // namespace qev
