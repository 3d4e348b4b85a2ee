#pragma once

#include "statement/StatementOptions.h"

#include <QString>
#include <QStringList>

namespace qev {

// What the command line may ask for.
struct StartUpOptions {
    QString configPath;      // --config FILE: connection settings (INI)
    QString screenshotDir;   // --screenshot DIR: save a picture of each mode and quit
    QString supplierCode;    // --supplier CODE: the supplier shown in the pictures
    QStringList printCodes;  // --print CODE (repeatable): write these statements, no window
    bool printAll = false;   // --print-all: every supplier's statement, no window
    QString outputDir;       // --out DIR: where --print and --print-all write
    QString csvPath;         // --csv FILE: the statement as CSV (a folder with several)
    QString xlsxPath;        // --xlsx FILE: the statement as XLSX (a folder with several)
    int jobs = 0;            // --jobs N: statements printed at once; 0: one per processor
    bool batchWorker = false;  // --batch-worker: a worker of a batch run (not for users)
    bool email = false;      // --email: mail each statement printed to its supplier
    bool dryRun = false;     // --dry-run: with --email, write .eml files instead of sending
    bool resume = false;     // --resume: with --email, go on with the interrupted run
    // --from DATE, --to DATE, --open-items: what the statements printed (or
    // shown by --screenshot) cover
    StatementOptions statement;
    bool help = false;       // --help: print the usage and quit
    bool version = false;    // --version: print the version and quit
    // --check-connection: count the suppliers and documents, and quit
    bool checkConnection = false;
    bool batch() const { return printAll || !printCodes.isEmpty(); }
};

// Exit code of a command line that cannot be run (unknown option, missing value).
inline constexpr int CommandLineErrorExit = 2;

// Reads the arguments (the program name first). Throws qev::Error with a
// Spanish text for an unknown option, a missing value, a stray argument or
// options that do not go together.
StartUpOptions parseStartUpOptions(const QStringList& arguments);

// The usage in Spanish, as --help prints it.
QString usageText();
// "qev " + version.
QString versionText();

}  // namespace qev
