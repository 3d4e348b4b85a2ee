#include "app/BatchPrint.h"

#include "app/BatchMail.h"
#include "app/ErrorBox.h"
#include "app/StatementPrinter.h"
#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaProveedores.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/Error.h"
#include "statement/StatementBuilder.h"

#include <QDir>
#include <QTextStream>

#include <memory>

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
          printer(proveedores, sql) {
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

// One statement: build, then export. Returns the error text, empty on success;
// `printed` gets the supplier's name, address field and the file written.
QString printOne(BatchSources& sources, const QString& code, const QString& directory,
                 StatementRecipient& printed) {
    QString exportError;
    sources.printer.showError = [&exportError](const QString&, const QString& text) {
        exportError = text;
    };
    printed = {code, {}, {}, {}};
    try {
        sources.proveedores.findCode(code);
        printed.name = sources.proveedores.displayText(QStringLiteral("CardName"));
        printed.emailField = sources.proveedores.displayText(QStringLiteral("E_Mail"));
        sources.builder.build(code.trimmed());
        printed.pdfPath = sources.printer.print(code, directory);
    } catch (const std::exception& error) {
        return handlerErrorText(exceptionMessage(error));
    }
    if (printed.pdfPath.isEmpty())
        return exportError.isEmpty() ? QStringLiteral("No se escribió el archivo.") : exportError;
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

}  // namespace

int runBatchPrint(const ConnectionSettings& settings, const BatchPrintRequest& request,
                  QTextStream& out, QTextStream& err) {
    std::unique_ptr<BatchSources> sources;
    QString directory;
    try {
        sources = std::make_unique<BatchSources>(settings);
        directory = request.outputDirectory.isEmpty()
                        ? settings.effectiveDataDirectory()
                        : QDir(request.outputDirectory).absolutePath();
    } catch (const std::exception& error) {
        err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
        return BatchCannotStart;
    }
    if (!QDir().mkpath(directory)) {
        err << QStringLiteral("No se puede crear la carpeta \"%1\".").arg(directory) << Qt::endl;
        return BatchCannotStart;
    }

    std::unique_ptr<BatchMail> mail;
    if (request.email) {
        try {
            mail = std::make_unique<BatchMail>(request.smtp, settings.effectiveDataDirectory(),
                                               request.dryRun, request.resume, QString());
        } catch (const std::exception& error) {
            err << handlerErrorText(exceptionMessage(error)) << Qt::endl;
            return BatchCannotStart;
        }
    }

    const QStringList codes = codesToPrint(sources->proveedores, request, err);
    if (codes.isEmpty()) return request.all ? BatchPrinted : BatchUnknownSupplier;

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
        const QString error = printOne(*sources, code, directory, printed);
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
            out << counter << QDir::toNativeSeparators(printed.pdfPath) << Qt::endl;
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

}  // namespace qev
