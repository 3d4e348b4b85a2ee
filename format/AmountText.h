#pragma once

#include "format/Currency.h"

#include <QString>

namespace qev {

// Amount texts of the statement: "$1'234,567.89". All of them write "." as the
// decimal point and never depend on the user's regional settings.

// Any text to an amount, keeping only its digits, its first "." and a leading "-".
// Throws ConversionError "'%s' is not a valid floating point value" out of range.
Currency valor(const QString& cadena);
// Grouped text with two decimals cut (not rounded): "1'234,567.89", "-1,234.50".
QString mascara(Currency valor);
// "$" or "-$" and the grouped absolute value.
QString pesos(Currency importe);
// The pesos text written into `out`, which has room for MaxPesosText
// characters (all of them ASCII); returns its length.
constexpr int MaxPesosText = 32;
int writePesos(Currency importe, char* out);
// Right-aligned fixed-width number text.
QString vstr(Currency valor, int longitud, int decimales);
QString ceros(int tantos);
QString espacios(int tantos);
QString espacero(const QString& entrada);

// A whole amount as an integer; throws ConversionError "'%s' is not a valid
// integer value" (with the canonical amount text) when it has a fraction.
int wholeNumber(Currency amount);

}  // namespace qev
