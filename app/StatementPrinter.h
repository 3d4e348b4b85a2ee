#pragma once

#include "statement/AgeingSummary.h"
#include "statement/StatementOptions.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace qev {

class FontWarmUp;
class RecordSet;
class TfrxExportProgress;
struct StatementReport;

// The statement report of the main window over its two record sets (the current
// supplier and the movements in statement order) and the PDF export of it:
// prepare afresh, write "QEV_" + code + ".pdf" in a directory, open it.
class StatementPrinter {
  public:
    StatementPrinter(RecordSet& proveedores, RecordSet& movimientos);
    ~StatementPrinter();
    StatementPrinter(const StatementPrinter&) = delete;
    StatementPrinter& operator=(const StatementPrinter&) = delete;

    // Prepares the report and exports it into `directory`; returns the file
    // written, or an empty text when the export was cancelled or reported an
    // error (through showError, or the report's error box when that is unset).
    // A file of that name from before is then left as it was.
    QString print(const QString& code, const QString& directory);

    // What the next statements printed say besides their rows: the period
    // under the title, and for open items the ageing summary once, at the end
    // of the last page. The default, the whole history, prints neither.
    void setStatement(const StatementOptions& options, const std::optional<AgeingSummary>& ageing);

    // "QEV_" + code + ".pdf" (statementFileName).
    static QString fileNameFor(const QString& code);

    // Opens the finished file; the default asks the desktop. Empty: not opened.
    std::function<void(const QString& path)> openFile;
    // Shows the collected export errors; unset: the report's error box.
    std::function<void(const QString& caption, const QString& text)> showError;
    // The progress window with its cancel button; none when null.
    TfrxExportProgress* progress = nullptr;
    // Font embedding stays on: the glyph ids come from the font file we measure with.
    bool embeddedFonts = true;

  private:
    void showStatementExtras();
    QVariant extraValue(const QString& name) const;

    QString heading_;
    std::optional<AgeingSummary> ageing_;
    QObject owner_;
    StatementReport* report_;
    // Started with the report: its fonts are ready by the first statement.
    std::unique_ptr<FontWarmUp> fontWarmUp_;
};

}  // namespace qev
