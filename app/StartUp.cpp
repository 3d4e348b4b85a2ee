#include "app/StartUp.h"

#include "app/BatchPrint.h"
#include "app/ConnectionCheck.h"
#include "app/ErrorBox.h"
#include "app/TFmensaje.h"
#include "app/TForm1.h"
#include "data/ConnectionSettings.h"
#include "format/Error.h"
#include "format/FormatSettings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextStream>

#include <dlfcn.h>
#include <iostream>
#include <memory>
#include <optional>

namespace qev {

namespace {

// The settings file in use: the one named on the command line or the default.
QString settingsPath(const StartUpOptions& options) {
    return options.configPath.isEmpty() ? ConnectionSettings::defaultConfigPath()
                                        : options.configPath;
}

struct Windows {
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFmensaje> fmensaje;
};

// The main window first (it opens the data sources), then the wait window, hidden.
Windows createWindows(const StartUpOptions& options) {
    Windows windows;
    windows.form = std::make_unique<TForm1>(ConnectionSettings::load(options.configPath));
    windows.form->setSettingsFile(settingsPath(options));
    windows.fmensaje = std::make_unique<TFmensaje>();
    windows.form->setWaitWindow(windows.fmensaje.get());
    return windows;
}

// Where in the program the failure surfaced, as an offset into the program file
// so that it is the same on every run: the code that creates the windows.
const void* failureAddress() {
    const auto code = reinterpret_cast<const void*>(&createWindows);
    Dl_info info{};
    if (dladdr(code, &info) != 0 && info.dli_fbase)
        return reinterpret_cast<const void*>(reinterpret_cast<const char*>(code) -
                                             reinterpret_cast<const char*>(info.dli_fbase));
    return code;
}

void showApplicationError(const std::exception& error) {
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    showErrorBox(nullptr, QStringLiteral("Application Error"),
                 applicationErrorText(exceptionClassName(error), module, failureAddress(),
                                      exceptionMessage(error)));
}

bool grabTo(QWidget& widget, const QString& path) {
    return widget.grab().save(path, "PNG");
}

}  // namespace

// The settings of a run without a window; a file that cannot be read is
// reported on err.
static std::optional<ConnectionSettings> loadSettings(const StartUpOptions& options,
                                                      QTextStream& err) {
    try {
        return ConnectionSettings::load(options.configPath);
    } catch (const std::exception& error) {
        err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
        return std::nullopt;
    }
}

// Batch runs need no windowing system: pictures are painted on images and
// fonts are read through fontconfig and FreeType, not through Qt's font
// database. Without it a run starts faster and takes less memory.
static int runBatch(int& argc, char** argv, const StartUpOptions& options) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const std::optional<ConnectionSettings> settings = loadSettings(options, err);
    if (!settings) return BatchCannotStart;
    BatchPrintRequest request;
    request.codes = options.printCodes;
    request.all = options.printAll;
    request.outputDirectory = options.outputDir;
    request.csvTarget = options.csvPath;
    request.xlsxTarget = options.xlsxPath;
    request.email = options.email;
    request.dryRun = options.dryRun;
    request.resume = options.resume;
    request.jobs = options.jobs;
    request.statement = options.statement;
    if (options.email) {
        try {
            request.smtp = SmtpSettings::load(settingsPath(options));
        } catch (const std::exception& error) {
            err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
            return BatchCannotStart;
        }
    }
    return runBatchPrint(*settings, request, out, err);
}

static int runWorker(int& argc, char** argv) {
    QCoreApplication application(argc, argv);
    return runBatchWorker(std::cin, std::cout);
}

static int runCheck(int& argc, char** argv, const StartUpOptions& options) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const std::optional<ConnectionSettings> settings = loadSettings(options, err);
    if (!settings) return 1;
    return runConnectionCheck(*settings, out, err);
}

int runQev(int& argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    StartUpOptions options;
    try {
        options = parseStartUpOptions(arguments);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "qev: " << exceptionMessage(error) << "\n\n" << usageText();
        return CommandLineErrorExit;
    }
    if (options.help || options.version) {
        QTextStream(stdout) << (options.help ? usageText() : versionText() + u'\n');
        return 0;
    }

    // The regional formats first, with the program's own overrides, before any window.
    initFormatSettings(QLocale::system());
    if (options.batchWorker) return runWorker(argc, argv);
    if (options.checkConnection) return runCheck(argc, argv, options);
    if (options.batch()) return runBatch(argc, argv, options);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qev"));
    Windows windows;
    try {
        windows = createWindows(options);
    } catch (const std::exception& error) {
        showApplicationError(error);
        return 1;
    }
    windows.form->show();
    if (const QString notice = windows.form->movementsNotice(); !notice.isEmpty())
        showInformationBox(windows.form.get(), QCoreApplication::applicationName(), notice);
    if (!options.screenshotDir.isEmpty()) {
        if (!options.supplierCode.isEmpty()) windows.form->Edit1->setText(options.supplierCode);
        windows.form->setStatementOptions(options.statement);
        return saveScreenshots(*windows.form, *windows.fmensaje, options.screenshotDir) ? 0 : 1;
    }
    return QApplication::exec();
}

bool saveScreenshots(TForm1& form, TFmensaje& fmensaje, const QString& directory) {
    if (!QDir().mkpath(directory)) return false;
    const QDir dir(directory);
    bool saved = true;
    form.show();
    QCoreApplication::processEvents();
    saved &= grabTo(form, dir.filePath(QStringLiteral("list.png")));

    fmensaje.Label1()->setText(QStringLiteral("Recolectando datos, favor de esperar..."));
    saved &= grabTo(fmensaje, dir.filePath(QStringLiteral("wait.png")));

    form.ConsultarClick();
    QCoreApplication::processEvents();
    saved &= grabTo(form, dir.filePath(QStringLiteral("statement-movements.png")));
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    QCoreApplication::processEvents();
    saved &= grabTo(form, dir.filePath(QStringLiteral("statement-general.png")));
    form.PageControl1->setCurrentWidget(form.TabSheet2);
    return saved;
}

}  // namespace qev
