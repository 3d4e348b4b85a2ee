#pragma once

#include "app/CommandLine.h"

#include <QString>

namespace qev {

class TForm1;
class TFmensaje;

// The whole program: the command line (a bad one prints the error and the usage
// and returns 2 before anything is opened; --help and --version print and
// return 0), the regional formats, then either the batch print or the
// application with the main window and its data sources, the hidden wait
// window and the event loop. A failure while the
// windows are created shows the "Application Error" box and returns 1.
int runQev(int& argc, char** argv);

// Saves list.png, wait.png, statement-movements.png and statement-general.png in
// the directory, building the statement of the current supplier on the way.
// Returns false when a picture cannot be written.
bool saveScreenshots(TForm1& form, TFmensaje& fmensaje, const QString& directory);

}  // namespace qev
