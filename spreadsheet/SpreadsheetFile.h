#pragma once

#include <QString>

#include <optional>

namespace qev {

struct StatementSheet;

enum class SheetFormat { Csv, Xlsx };

// The format a file name asks for by its suffix (".csv", ".xlsx", any case).
std::optional<SheetFormat> sheetFormatOf(const QString& path);
// ".csv" or ".xlsx".
QString sheetSuffix(SheetFormat format);

// Writes the statement in that format. The file is written under a temporary
// name in its folder and renamed into place once complete, so that a failure
// leaves no partial file and an earlier file of that name as it was. Throws
// qev::Error with the Spanish text of what went wrong.
void saveStatementSheet(const StatementSheet& sheet, const QString& path, SheetFormat format);

}  // namespace qev
