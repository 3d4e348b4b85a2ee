#pragma once

#include <QString>
#include <QStringList>

namespace qev {

class TForm1;
class TFmensaje;

// What the command line may ask for.
struct StartUpOptions {
    QString configPath;     // --config FILE: connection settings (INI)
    QString screenshotDir;  // --screenshot DIR: save a picture of each mode and quit
    QString supplierCode;   // --supplier CODE: the supplier shown in the pictures
    QStringList printCodes; // --print CODE (repeatable): write these statements, no window
    bool printAll = false;  // --print-all: every supplier's statement, no window
    QString outputDir;      // --out DIR: where --print and --print-all write
    bool batch() const { return printAll || !printCodes.isEmpty(); }
};

// Throws qev::Error with the parser's text for an unknown option or a missing value.
StartUpOptions parseStartUpOptions(const QStringList& arguments);

// The whole program: regional formats, the application, the main window with its
// data sources, the hidden wait window, the event loop. A failure while the
// windows are created shows the "Application Error" box and returns 1.
int runQev(int& argc, char** argv);

// Saves list.png, wait.png, statement-movements.png and statement-general.png in
// the directory, building the statement of the current supplier on the way.
// Returns false when a picture cannot be written.
bool saveScreenshots(TForm1& form, TFmensaje& fmensaje, const QString& directory);

}  // namespace qev
