#pragma once

#include <QByteArray>
#include <QString>

namespace qev {

// Texts of the dBASE file are Windows-1252, the code page its readers expect.
// Characters the code page lacks become '?'.
QByteArray toWindows1252(const QString& text);
QString fromWindows1252(const char* bytes, qsizetype size);

}  // namespace qev
