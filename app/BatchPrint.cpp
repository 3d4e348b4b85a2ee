#include "app/BatchPrint.h"

#include "app/BatchMail.h"
#include "app/BatchOutputs.h"
#include "app/BatchPool.h"
#include "app/ErrorBox.h"
#include "app/StatementExporter.h"
#include "app/StatementPrinter.h"
#include "data/CompanySummary.h"
#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaProveedores.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/Error.h"
#include "report/WorkerQueue.h"
#include "statement/StatementBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

namespace qev {

namespace {

std::shared_ptr<MovementsFile> openAfter(TablaProveedores& proveedores,
                                         const ConnectionSettings& settings) {
    proveedores.open();
    return MovementsFile::open(settings.effectiveDataDirectory());
}

// The same data sources as the main window, opened in the same order.
struct BatchSources {
    explicit BatchSources(const ConnectionSettings& settings)
        : conexion(settings),
          proveedores(conexion),
          file(openAfter(proveedores, settings)),
          movtos(file),
          sql(file),
          puente(conexion),
          builder(puente, movtos, sql),
          printer(proveedores, sql),
          exporter(proveedores, sql) {
        sql.open();
        printer.openFile = nullptr;  // batch runs never start a viewer
    }

    ConexionSAP conexion;
    TablaProveedores proveedores;
    std::shared_ptr<MovementsFile> file;
    TablaMovtos movtos;
    TablaSql sql;
    TablaPuente puente;
    StatementBuilder builder;
    StatementPrinter printer;
    StatementExporter exporter;
};

// The codes to print, each checked before anything is written.
QStringList codesToPrint(TablaProveedores& proveedores, const BatchPrintRequest& request,
                         QTextStream& err) {
    QStringList codes;
    if (request.all) {
        for (proveedores.first(); !proveedores.eof(); proveedores.next())
            codes << proveedores.displayText(QStringLiteral("CardCode"));
        return codes;
    }
    for (const QString& code : request.codes) {
        if (!proveedores.findCode(code)) {
            err << QStringLiteral("No existe el proveedor \"%1\".").arg(code) << Qt::endl;
            return {};
        }
        codes << proveedores.displayText(QStringLiteral("CardCode"));
    }
    return codes;
}

// The export's error box text without its heading, on one line.
QString errorLines(const QString& boxText) {
    QStringList lines = boxText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (lines.size() > 1) lines.removeFirst();  // "The following error(s) have occured:"
    return handlerErrorText(lines.join(QStringLiteral("; ")));
}

// The files of a supplier's line: "a.pdf, b.csv".
QString filesText(const QStringList& files) {
    return QDir::toNativeSeparators(files.join(QStringLiteral(", ")));
}

// One statement: build, then write its files. Returns the error text, empty on
// success; `printed` gets the supplier's name, address field and the PDF
// written, `files` every file written.
QString printOne(BatchSources& sources, const QString& code, const StatementOptions& statement,
                 const BatchOutputs& outputs, StatementRecipient& printed, QStringList& files) {
    QString exportError;
    sources.printer.showError = [&exportError](const QString&, const QString& text) {
        exportError = text;
    };
    printed = {code, {}, {}, {}};
    files.clear();
    const QString& directory = outputs.pdfDirectory;
    try {
        sources.proveedores.findCode(code);
        printed.name = sources.proveedores.displayText(QStringLiteral("CardName"));
        printed.emailField = sources.proveedores.displayText(QStringLiteral("E_Mail"));
        sources.builder.build(code.trimmed(), statement);
        sources.printer.setStatement(statement, sources.builder.ageing());
        sources.exporter.setStatement(statement, sources.builder.ageing());
        if (!directory.isEmpty()) printed.pdfPath = sources.printer.print(code, directory);
    } catch (const std::exception& error) {
        return handlerErrorText(exceptionMessage(error));
    }
    if (!directory.isEmpty() && printed.pdfPath.isEmpty()) {
        const QString file =
            QDir::toNativeSeparators(QDir(directory).filePath(StatementPrinter::fileNameFor(code)));
        return exportError.isEmpty()
                   ? QStringLiteral("No se escribió \"%1\".").arg(file)
                   : QStringLiteral("No se escribió \"%1\": %2").arg(file, errorLines(exportError));
    }
    if (!printed.pdfPath.isEmpty()) files << printed.pdfPath;
    try {
        for (const BatchOutputs::Sheet& sheet : outputs.sheets) {
            const QString path = outputs.pathFor(sheet, code);
            sources.exporter.save(path, sheet.format);
            files << path;
        }
    } catch (const std::exception& error) {
        return handlerErrorText(exceptionMessage(error));
    }
    return {};
}

// The mailing half of one supplier's line. Returns false when the run must stop.
bool mailOne(BatchMail& mail, const StatementRecipient& printed, const QString& counter,
             QTextStream& out, QTextStream& err, int& failed) {
    const MailOutcome outcome = mail.mail(printed);
    const QString line = counter + QDir::toNativeSeparators(printed.pdfPath) +
                         QStringLiteral(": ") + outcome.text;
    if (outcome.sent) {
        out << line << Qt::endl;
    } else {
        ++failed;
        err << line << Qt::endl;
    }
    return !outcome.stopRun;
}

// The progress lines, one per supplier in the order of the codes, however the
// statements finish.
class ProgressLines {
  public:
    ProgressLines(const QStringList& codes, QTextStream& out, QTextStream& err)
        : codes_(codes), out_(out), err_(err) {}

    void done(int index, const QString& path, const QString& error) {
        pending_[index] = {path, error};
        for (auto it = pending_.begin(); it != pending_.end() && it->first == next_;
             it = pending_.erase(it), ++next_)
            write(it->first, it->second.first, it->second.second);
    }
    int failed() const { return failed_; }

  private:
    void write(int index, const QString& path, const QString& error) {
        const QString counter =
            QStringLiteral("[%1/%2] %3: ").arg(index + 1).arg(codes_.size()).arg(codes_[index]);
        if (error.isEmpty()) {
            out_ << counter << QDir::toNativeSeparators(path) << Qt::endl;
        } else {
            ++failed_;
            err_ << counter << error << Qt::endl;
        }
    }

    const QStringList& codes_;
    QTextStream& out_;
    QTextStream& err_;
    std::map<int, std::pair<QString, QString>> pending_;
    int next_ = 0;
    int failed_ = 0;
};

QJsonObject toJson(const ConnectionSettings& s) {
    return {{"driver", s.driver},
            {"server", s.server},
            {"port", s.port},
            {"database", s.database},
            {"user", s.user},
            {"password", s.password},
            {"odbcDriver", s.odbcDriver},
            {"odbcOptions", s.odbcOptions},
            {"dataDirectory", s.dataDirectory},
            {"demoDatabasePath", s.demoDatabasePath}};
}

QJsonObject toJson(const StatementOptions& o) {
    return {{"from", o.from.toString(Qt::ISODate)},
            {"to", o.to.toString(Qt::ISODate)},
            {"openItems", o.openItems}};
}

StatementOptions statementFromJson(const QJsonObject& o) {
    StatementOptions s;
    s.from = QDate::fromString(o.value(QLatin1String("from")).toString(), Qt::ISODate);
    s.to = QDate::fromString(o.value(QLatin1String("to")).toString(), Qt::ISODate);
    s.openItems = o.value(QLatin1String("openItems")).toBool();
    return s;
}

ConnectionSettings settingsFromJson(const QJsonObject& o) {
    ConnectionSettings s;
    s.driver = o.value(QLatin1String("driver")).toString();
    s.server = o.value(QLatin1String("server")).toString();
    s.port = o.value(QLatin1String("port")).toInt();
    s.database = o.value(QLatin1String("database")).toString();
    s.user = o.value(QLatin1String("user")).toString();
    s.password = o.value(QLatin1String("password")).toString();
    s.odbcDriver = o.value(QLatin1String("odbcDriver")).toString();
    s.odbcOptions = o.value(QLatin1String("odbcOptions")).toString();
    s.dataDirectory = o.value(QLatin1String("dataDirectory")).toString();
    s.demoDatabasePath = o.value(QLatin1String("demoDatabasePath")).toString();
    return s;
}

// The statements with the most documents first, so that no long one is left
// to a single worker at the end; the codes' order when the counts cannot be
// read (the order only spreads the work).
std::vector<int> largestFirst(ConexionSAP& conexion, const QStringList& codes) {
    QHash<QString, long long> documents;
    try {
        documents = CompanySummary::documentsBySupplier(conexion);
    } catch (const std::exception&) {
        return {};
    }
    std::vector<int> order(std::size_t(codes.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return documents.value(codes[a]) > documents.value(codes[b]);
    });
    return order;
}

// One worker more than cores by default: each worker waits for the disk at
// the end of every file it writes (the file is synced before it replaces the
// old one), and the extra worker uses the core meanwhile.
int jobsFor(const BatchPrintRequest& request, int statements) {
    const int jobs = request.jobs > 0 ? request.jobs : QThread::idealThreadCount() + 1;
    return std::max(1, std::min(jobs, statements));
}

// The settings go to the workers on their input, so that no password is put
// on a command line or in a file.
void printInWorkers(const ConnectionSettings& settings, const BatchPrintRequest& request,
                    const QStringList& codes, const std::vector<int>& handOutOrder,
                    const BatchOutputs& outputs, int jobs, ProgressLines& progress) {
    const QString program = request.workerProgram.isEmpty()
                                ? QCoreApplication::applicationFilePath()
                                : request.workerProgram;
    // As many workers as cores, or more, keep every core busy by themselves:
    // threads of their own would only take turns with the other workers.
    const bool queueThreads = jobs < QThread::idealThreadCount();
    const QByteArray start =
        QJsonDocument(QJsonObject{{"settings", toJson(settings)},
                                  {"statement", toJson(request.statement)},
                                  {"outputs", outputs.toJson()},
                                  {"queueThreads", queueThreads}})
            .toJson(QJsonDocument::Compact);
    BatchPool pool(
        program, start, codes, jobs,
        [&progress](int index, const QString& path, const QString& error) {
            progress.done(index, path, error);
        },
        handOutOrder);
    pool.run();
}

}  // namespace

int runBatchPrint(const ConnectionSettings& settings, const BatchPrintRequest& request,
                  QTextStream& out, QTextStream& err) {
    std::unique_ptr<BatchSources> sources;
    try {
        sources = std::make_unique<BatchSources>(settings);
    } catch (const std::exception& error) {
        err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
        return BatchCannotStart;
    }
    if (!sources->file->damageNotice().isEmpty()) err << sources->file->damageNotice() << Qt::endl;
    BatchOutputs outputs;
    try {
        const QString pdfDirectory =
            !request.writesPdf()                 ? QString()
            : request.outputDirectory.isEmpty() ? settings.effectiveDataDirectory()
                                                : request.outputDirectory;
        outputs = BatchOutputs::prepare(pdfDirectory, request.csvTarget, request.xlsxTarget,
                                        !request.all && request.codes.size() == 1);
    } catch (const std::exception& error) {
        err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
        return BatchCannotStart;
    }

    std::unique_ptr<BatchMail> mail;
    if (request.email) {
        try {
            mail = std::make_unique<BatchMail>(request.smtp, settings.effectiveDataDirectory(),
                                               request.dryRun, request.resume,
                                               request.statement.mailPeriod());
        } catch (const std::exception& error) {
            err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
            return BatchCannotStart;
        }
    }

    const QStringList codes = codesToPrint(sources->proveedores, request, err);
    if (codes.isEmpty()) return request.all ? BatchPrinted : BatchUnknownSupplier;

    // Mailing goes one supplier after the other: its send log and its stop on
    // a server failure follow the order of the suppliers.
    const int jobs = mail ? 1 : jobsFor(request, int(codes.size()));
    if (jobs > 1) {
        const std::vector<int> order = largestFirst(sources->conexion, codes);
        sources.reset();  // the workers bring their own connections and movements files
        ProgressLines progress(codes, out, err);
        printInWorkers(settings, request, codes, order, outputs, jobs, progress);
        if (progress.failed() == 0) return BatchPrinted;
        err << QStringLiteral("%1 de %2 estados de cuenta no se pudieron escribir.")
                   .arg(progress.failed())
                   .arg(codes.size())
            << Qt::endl;
        return BatchSomeFailed;
    }

    int failed = 0;
    int done = 0;
    for (; done < codes.size(); ++done) {
        const QString& code = codes[done];
        const QString counter =
            QStringLiteral("[%1/%2] %3: ").arg(done + 1).arg(codes.size()).arg(code);
        if (mail && mail->alreadySent(code)) {
            out << counter << QStringLiteral("ya enviado en la corrida que se reanuda, se omite.")
                << Qt::endl;
            continue;
        }
        StatementRecipient printed;
        QStringList files;
        const QString error = printOne(*sources, code, request.statement, outputs, printed, files);
        if (!error.isEmpty()) {
            ++failed;
            err << counter << error << Qt::endl;
            if (mail) {
                try {
                    mail->notePrintFailure(code, error);
                } catch (const std::exception& logError) {
                    err << handlerErrorText(exceptionMessage(logError)) << Qt::endl;
                    ++done;
                    break;
                }
            }
        } else if (!mail) {
            out << counter << filesText(files) << Qt::endl;
        } else if (!mailOne(*mail, printed, counter, out, err, failed)) {
            ++done;
            break;
        }
    }
    int left = 0;
    for (; done < codes.size(); ++done)
        if (!mail || !mail->alreadySent(codes[done])) ++left;
    if (left > 0) {
        failed += left;
        err << (left == 1 ? QStringLiteral("Envío detenido: 1 proveedor queda sin enviar; use "
                                           "--resume para continuar.")
                          : QStringLiteral("Envío detenido: %1 proveedores quedan sin enviar; use "
                                           "--resume para continuar.")
                                .arg(left))
            << Qt::endl;
    }
    if (failed > 0) {
        err << (mail ? QStringLiteral("%1 de %2 estados de cuenta no se enviaron.")
                     : QStringLiteral("%1 de %2 estados de cuenta no se pudieron escribir."))
                   .arg(failed)
                   .arg(codes.size())
            << Qt::endl;
        return BatchSomeFailed;
    }
    return BatchPrinted;
}

int runBatchWorker(std::istream& in, std::ostream& out) {
    const auto readMessage = [&in](QJsonObject& message) {
        std::string line;
        if (!std::getline(in, line)) return false;
        message = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        return true;
    };
    const auto answer = [&out](const QJsonObject& message) {
        out << QJsonDocument(message).toJson(QJsonDocument::Compact).toStdString() << std::endl;
    };
    QJsonObject start;
    readMessage(start);
    setWorkerQueueThreads(start.value(QLatin1String("queueThreads")).toBool(true));
    const BatchOutputs outputs =
        BatchOutputs::fromJson(start.value(QLatin1String("outputs")).toObject());
    const StatementOptions statement =
        statementFromJson(start.value(QLatin1String("statement")).toObject());
    std::unique_ptr<BatchSources> sources;
    try {
        sources = std::make_unique<BatchSources>(
            settingsFromJson(start.value(QLatin1String("settings")).toObject()));
    } catch (const std::exception& error) {
        answer({{"fatal", handlerErrorText(exceptionMessage(error))}});
        return BatchCannotStart;
    }
    if (!sources->file->damageNotice().isEmpty())
        QTextStream(stderr) << sources->file->damageNotice() << Qt::endl;
    for (QJsonObject job; readMessage(job);) {
        if (!job.contains(QLatin1String("code"))) continue;
        const int index = job.value(QLatin1String("i")).toInt();
        StatementRecipient printed;
        QStringList files;
        const QString error = printOne(*sources, job.value(QLatin1String("code")).toString(),
                                       statement, outputs, printed, files);
        answer(error.isEmpty() ? QJsonObject{{"i", index}, {"path", filesText(files)}}
                               : QJsonObject{{"i", index}, {"error", error}});
    }
    return BatchPrinted;
}

}  // namespace qev
