#pragma once

#include "mail/SmtpSettings.h"
#include "statement/StatementOptions.h"

#include <QString>
#include <QStringList>

#include <iosfwd>

class QTextStream;

namespace qev {

struct ConnectionSettings;

// Statements written without a window: `qev --print CODE` or `--print-all`.
struct BatchPrintRequest {
    QStringList codes;        // the suppliers to print; empty with `all`
    bool all = false;         // every supplier of the list, in code order
    QString outputDirectory;  // --out DIR; the data directory when empty
    // --csv, --xlsx: a file with one supplier, a folder otherwise; empty: none.
    QString csvTarget, xlsxTarget;
    int jobs = 0;             // --jobs N: statements printed at once; 0: one per processor
    // The program started as a worker when jobs > 1; empty: this program.
    QString workerProgram;
    bool email = false;       // --email: mail each statement written to its supplier
    bool dryRun = false;      // --dry-run: write the messages as .eml files instead
    bool resume = false;      // --resume: go on with the last run of the send log
    SmtpSettings smtp;        // the [smtp] section of the settings file
    StatementOptions statement;  // --from, --to, --open-items: what each statement covers

    // The PDF is written unless the run asks for spreadsheets only: with an
    // export it takes --out (or --email, which sends it) to write it too.
    bool writesPdf() const {
        return (csvTarget.isEmpty() && xlsxTarget.isEmpty()) || !outputDirectory.isEmpty() || email;
    }
};

// Exit codes of a batch run.
enum BatchPrintResult {
    BatchPrinted = 0,      // every statement written (and with --email, sent)
    BatchCannotStart = 1,  // database or movements table unusable, a folder to write
                           // into cannot be made, mail settings or send log unusable
    BatchUnknownSupplier = 2,
    BatchSomeFailed = 3,
};

// Builds and exports each statement the same way as the print button (and,
// with --csv or --xlsx, as the export button), writing one progress line per
// supplier with the files written to `out` and errors to `err` (Spanish
// texts), in the order of the codes whatever the order they are finished in. With more
// than one job the statements are printed by worker processes (BatchPool).
// With `email` each statement written is then mailed to the supplier's
// address and the line tells how that went; a server that cannot be used
// stops the run, which `resume` continues later. Mailing runs one job.
int runBatchPrint(const ConnectionSettings& settings, const BatchPrintRequest& request,
                  QTextStream& out, QTextStream& err);

// `qev --batch-worker`: prints the statements a BatchPool hands it on `in` and
// answers on `out`; returns the exit code.
int runBatchWorker(std::istream& in, std::ostream& out);

}  // namespace qev
