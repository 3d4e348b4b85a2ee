#include "app/BatchPrint.h"

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

// One statement: build, then export. Returns the error text, empty on success.
QString printOne(BatchSources& sources, const QString& code, const QString& directory,
                 QString& path) {
    QString exportError;
    sources.printer.showError = [&exportError](const QString&, const QString& text) {
        exportError = text;
    };
    try {
        sources.proveedores.findCode(code);
        sources.builder.build(code.trimmed());
        path = sources.printer.print(code, directory);
    } catch (const std::exception& error) {
        return handlerErrorText(exceptionMessage(error));
    }
    if (path.isEmpty())
        return exportError.isEmpty() ? QStringLiteral("No se escribió el archivo.") : exportError;
    return {};
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

    const QStringList codes = codesToPrint(sources->proveedores, request, err);
    if (codes.isEmpty()) return request.all ? BatchPrinted : BatchUnknownSupplier;

    int failed = 0;
    for (int i = 0; i < codes.size(); ++i) {
        QString path;
        const QString error = printOne(*sources, codes[i], directory, path);
        const QString counter =
            QStringLiteral("[%1/%2] %3: ").arg(i + 1).arg(codes.size()).arg(codes[i]);
        if (error.isEmpty()) {
            out << counter << QDir::toNativeSeparators(path) << Qt::endl;
        } else {
            ++failed;
            err << counter << error << Qt::endl;
        }
    }
    if (failed > 0) {
        err << QStringLiteral("%1 de %2 estados de cuenta no se pudieron escribir.")
                   .arg(failed)
                   .arg(codes.size())
            << Qt::endl;
        return BatchSomeFailed;
    }
    return BatchPrinted;
}

}  // namespace qev
