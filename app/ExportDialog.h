#pragma once

#include "spreadsheet/SpreadsheetFile.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace qev {

// Where the export button writes, as the user chose it.
struct ExportChoice {
    QString path;
    SheetFormat format;
};

// Asks where to save an export, starting from a suggested file; nothing when
// the user cancels. Replaceable in tests, as the PDF opener is.
using ExportDialog =
    std::function<std::optional<ExportChoice>(QWidget* parent, const QString& suggestedPath)>;

// The save dialog: "Libro de Excel (*.xlsx)" or "CSV (*.csv)". The format is
// the one the name's suffix says, or else the chosen filter's (whose suffix
// is added to a name without one). It asks before replacing a file.
std::optional<ExportChoice> askExportPath(QWidget* parent, const QString& suggestedPath);

}  // namespace qev
