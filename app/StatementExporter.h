#pragma once

#include "spreadsheet/SpreadsheetFile.h"
#include "spreadsheet/StatementSheet.h"

#include <QString>

#include <functional>
#include <optional>

namespace qev {

class RecordSet;

// The spreadsheet export of the statement on the main window's record sets:
// the current supplier and the movements in statement order, as the grid and
// the report show them.
class StatementExporter {
  public:
    StatementExporter(RecordSet& proveedores, RecordSet& movimientos);

    // Writes the statement as CSV or XLSX into `path`, replacing a file of
    // that name only once the new one is complete; throws qev::Error.
    void save(const QString& path, SheetFormat format) const;
    // The statement as the files hold it.
    StatementSheet sheet() const;

    // "QEV_" + code + ".csv" or ".xlsx" (statementFileName).
    static QString fileNameFor(const QString& code, SheetFormat format);

    // The ageing summary of the statement, when it has one.
    std::function<std::optional<SheetAgeing>()> ageing;

  private:
    RecordSet& proveedores_;
    RecordSet& movimientos_;
};

}  // namespace qev
