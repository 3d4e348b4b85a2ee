#pragma once

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
};

// Exit codes of a batch run.
enum BatchPrintResult {
    BatchPrinted = 0,      // every statement written
    BatchCannotStart = 1,  // database or movements table unusable, folder not writable
    BatchUnknownSupplier = 2,
    BatchSomeFailed = 3,
};

// Builds and exports each statement the same way as the print button, writing
// one progress line per supplier to `out` and errors to `err` (Spanish texts).
int runBatchPrint(const ConnectionSettings& settings, const BatchPrintRequest& request,
                  QTextStream& out, QTextStream& err);

}  // namespace qev
