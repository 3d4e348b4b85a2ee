#pragma once

// Lets GoogleTest print Qt values readably in failure messages.

#include <QString>
#include <QVariant>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QVariant& value, std::ostream* os) {
    if (value.isNull())
        *os << "Null(" << value.typeName() << ')';
    else
        *os << value.typeName() << '(' << value.toString().toStdString() << ')';
}
QT_END_NAMESPACE
