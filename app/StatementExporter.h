#pragma once

#include "spreadsheet/SpreadsheetFile.h"
#include "spreadsheet/StatementSheet.h"
#include "statement/StatementOptions.h"

#include <QString>

#include <optional>

namespace qev {

class RecordSet;

// The spreadsheet export of the statement on the main window's record sets:
// the current supplier and the movements in statement order, as the grid and
// the report show them.
class StatementExporter {
  public:
    StatementExporter(RecordSet& proveedores, RecordSet& movimientos);

    // What the statement built last covers and, for open items, its ageing:
    // the period above the movements, the ageing on a sheet of its own.
    void setStatement(const StatementOptions& options, const std::optional<AgeingSummary>& ageing);

    // Writes the statement as CSV or XLSX into `path`, replacing a file of
    // that name only once the new one is complete; throws qev::Error.
    void save(const QString& path, SheetFormat format) const;
    // The statement as the files hold it.
    StatementSheet sheet() const;

    // "QEV_" + code + ".csv" or ".xlsx" (statementFileName).
    static QString fileNameFor(const QString& code, SheetFormat format);

  private:
    RecordSet& proveedores_;
    RecordSet& movimientos_;
    QString heading_;
    std::optional<AgeingSummary> ageing_;
};

}  // namespace qev
