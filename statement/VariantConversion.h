#pragma once

#include "format/Currency.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace qev {

// Conversions of database values the way the statement needs them. A Null value
// has no date, amount or text form; each conversion then throws a qev::Error
// "Could not convert variant of type (Null) into type (...)".

// A document date (docdate, docduedate): a date, a date-time or an ISO date text.
QDate variantToDate(const QVariant& value);
// A document amount (doctotal): numbers and numeric texts, to the nearest
// ten-thousandth.
Currency variantToCurrency(const QVariant& value);
// The text form of a stored value: texts as they are, numbers as their shortest
// decimal text with "." and never an exponent ("1234.5", "0.0001", "5").
QString variantToText(const QVariant& value);

// Two field values are the same: both Null, or equal numbers, or equal texts.
bool sameValue(const QVariant& a, const QVariant& b);

}  // namespace qev
