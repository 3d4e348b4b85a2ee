#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QLatin1String>

namespace qev {

// Texts of the dBASE file are Windows-1252, the code page its readers expect.
// Characters the code page lacks become '?'.
QByteArray toWindows1252(const QString& text);
// The same bytes written straight into a field: at most `room` of them, the
// text cut there; returns how many were written.
qsizetype writeWindows1252(QStringView text, char* out, qsizetype room);
qsizetype writeWindows1252(QLatin1String text, char* out, qsizetype room);
QString fromWindows1252(const char* bytes, qsizetype size);

}  // namespace qev
