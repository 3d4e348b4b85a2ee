#pragma once

#include <QString>
#include <QVariant>

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
    // Blanks for Null, a text as it is stored, whole numbers and doubles.
    QVariant load(const char* bytes) const;
};

}  // namespace qev
