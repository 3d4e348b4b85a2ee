#pragma once

#include "mail/SmtpSettings.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace qev {

struct ConnectionSettings;

// Statements written without a window: `qev --print CODE` or `--print-all`.
struct BatchPrintRequest {
    QStringList codes;        // the suppliers to print; empty with `all`
    bool all = false;         // every supplier of the list, in code order
    QString outputDirectory;  // --out DIR; the data directory when empty
    bool email = false;       // --email: mail each statement written to its supplier
    bool dryRun = false;      // --dry-run: write the messages as .eml files instead
    bool resume = false;      // --resume: go on with the last run of the send log
    SmtpSettings smtp;        // the [smtp] section of the settings file
};

// Exit codes of a batch run.
enum BatchPrintResult {
    BatchPrinted = 0,      // every statement written (and with --email, sent)
    BatchCannotStart = 1,  // database or movements table unusable, folder not writable,
                           // mail settings or send log unusable
    BatchUnknownSupplier = 2,
    BatchSomeFailed = 3,
};

// Builds and exports each statement the same way as the print button, writing
// one progress line per supplier to `out` and errors to `err` (Spanish texts).
// With `email` each statement written is then mailed to the supplier's
// address and the line tells how that went; a server that cannot be used
// stops the run, which `resume` continues later.
int runBatchPrint(const ConnectionSettings& settings, const BatchPrintRequest& request,
                  QTextStream& out, QTextStream& err);

}  // namespace qev
