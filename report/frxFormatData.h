#pragma once

// Turning memo values into text: the four display-format kinds and the picture
// formats they use, all with the process-wide format settings.

#include "report/TfrxFormat.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace qev {

// The display text of a value under a display format. Null gives "" whatever
// the kind; a value the format cannot handle gives its plain text form.
QString FormatData(const QVariant& value, const TfrxFormat& format);

// The plain text form: integers in decimal digits, floats with up to 15
// significant digits, dates in the short date form, booleans "True"/"False",
// strings as they are, Null "".
QString frxPlainText(const QVariant& value);

// A date-time picture: "d", "dd", "ddd", "dddd", "ddddd" (short date),
// "m", "mm", "mmm" (regional abbreviated month name), "mmmm", "yy", "yyyy",
// "h", "hh", "n", "nn" (minutes; "m"/"mm" right after an hour are minutes too),
// "s", "ss", "z", "zzz", "am/pm", "a/p", "/" and ":" (regional separators),
// quoted literals; any other character stands for itself. Letters ignore case.
QString frxFormatDateTime(const QString& picture, const QDateTime& value);

// A number picture: "0" digit, "#" optional digit, "." decimal point, ","
// anywhere for grouping, literal text before and after, up to three sections
// "positive;negative;zero".
QString frxFormatFloat(const QString& picture, double value);

// A printf-style format applied to one value: %[-][width][.precision]type with
// d, u, x (whole numbers), f, e, g, n (grouped), m (money), s. Throws
// qev::ConversionError when the value does not fit the type.
QString frxFormatPrintf(const QString& format, const QVariant& value);

// The value as a date-time: QDate, QDateTime, QTime, a number of days since
// 30 December 1899, or a text in the short date form. Invalid when none fits.
QDateTime frxToDateTime(const QVariant& value);

}  // namespace qev
