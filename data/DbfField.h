#pragma once

#include "format/Currency.h"

#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace qev {

// One field of a dBASE record and how values are kept in its bytes: texts in
// Windows-1252, left-aligned and cut to the width; numbers right-aligned with
// the field's decimals, never cut; blanks for Null.
struct DbfField {
    QString name;
    char type = 'C';  // 'C' text, 'N' numeric
    int width = 0;
    int decimals = 0;
    int offset = 0;       // in the raw record, after the deletion flag
    char nativeType = 0;  // as in the file ('D', 'F', 'L' ...), kept when recreating it

    // `bytes` are the field's own: a raw record plus offset.
    // Throws Error when a value cannot be stored as a number of this field.
    void store(char* bytes, const QVariant& value) const;
    // The same as store() with a QVariant holding the text or the number,
    // without making one.
    void storeText(char* bytes, QStringView text) const;
    void storeText(char* bytes, QLatin1String text) const;
    void storeNumber(char* bytes, double number) const;

    // Blanks for Null, a text as it is stored, whole numbers and doubles.
    QVariant load(const char* bytes) const;
    // load() as a double (QVariant::toDouble), without the QVariant where the
    // digits are plain; nothing for Null.
    std::optional<double> loadDouble(const char* bytes) const;
    // A numeric field's value as an amount, read straight from its digits when
    // they are a plain decimal of at most fifteen digits and four decimals:
    // exactly the amount that the shortest text of load()'s value gives.
    // Nothing for anything else (Null, texts, other forms, longer numbers).
    std::optional<Currency> loadAmount(const char* bytes) const;
};

}  // namespace qev
