#include "app/CommandLine.h"

#include "format/Error.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <vector>

namespace qev {

namespace {

// One option: its names, the name of its value (none for a switch) and what it does.
struct OptionRow {
    QStringList names;
    QString valueName;
    QString description;
    bool hidden = false;  // started by qev itself, not shown in the usage
};

const std::vector<OptionRow>& optionTable() {
    static const std::vector<OptionRow> rows{
        {{"config"}, "archivo", "Archivo de configuración de la conexión (INI)."},
        {{"print"}, "código", "Escribe el estado de cuenta del proveedor y termina (repetible)."},
        {{"print-all"}, {}, "Escribe el estado de cuenta de cada proveedor y termina."},
        {{"out"},
         "carpeta",
         "Carpeta de los estados de cuenta escritos (con --print o --print-all)."},
        {{"csv"},
         "archivo",
         "Escribe el estado de cuenta en CSV: en ese archivo con un --print, en esa carpeta "
         "(QEV_<código>.csv) con varios o con --print-all. Sin --out no escribe el PDF."},
        {{"xlsx"},
         "archivo",
         "Lo mismo que --csv en un libro de Excel (QEV_<código>.xlsx)."},
        {{"jobs"},
         "número",
         "Estados de cuenta escritos a la vez con --print o --print-all (por omisión, uno más que procesadores)."},
        {{"email"},
         {},
         "Envía por correo cada estado de cuenta escrito a su proveedor (con --print o "
         "--print-all)."},
        {{"dry-run"}, {}, "Con --email, escribe los mensajes como archivos .eml sin enviarlos."},
        {{"resume"}, {}, "Con --email, continúa el último envío sin repetir los ya enviados."},
        {{"from"},
         "AAAA-MM-DD",
         "Estado de cuenta desde esa fecha: los movimientos anteriores se suman en el saldo "
         "anterior."},
        {{"to"}, "AAAA-MM-DD", "Estado de cuenta hasta esa fecha: deja fuera los posteriores."},
        {{"open-items"},
         {},
         "Solo partidas abiertas a la fecha de --to (o de hoy), con su antigüedad de saldos."},
        {{"screenshot"}, "carpeta", "Guarda una imagen de cada modo de la ventana y termina."},
        {{"check-connection"},
         {},
         "Comprueba la conexión: cuenta proveedores y documentos, y termina."},
        {{"supplier"}, "código", "Proveedor que muestran las imágenes de --screenshot."},
        {{"h", "help"}, {}, "Muestra esta ayuda y termina."},
        {{"v", "version"}, {}, "Muestra la versión y termina."},
        {{"batch-worker"}, {}, {}, true},
    };
    return rows;
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// QCommandLineParser's own texts are English; the user gets Spanish ones.
QString parseErrorText(const QCommandLineParser& parser, const QStringList& arguments) {
    if (!parser.unknownOptionNames().isEmpty())
        return QStringLiteral("Opción desconocida: %1.")
            .arg(dashed(parser.unknownOptionNames().first()));
    // The parser takes whatever follows an option as its value, so a value can
    // only be missing after the last argument.
    const QString last = arguments.last();
    for (const OptionRow& row : optionTable())
        for (const QString& name : row.names)
            if (!row.valueName.isEmpty() && last == dashed(name))
                return QStringLiteral("Falta el valor de la opción %1.").arg(last);
    return parser.errorText();
}

// A date of --from or --to: "2016-03-31", a day that exists.
QDate statementDate(const QCommandLineParser& parser, const char* option) {
    const QString name = QLatin1String(option);
    if (!parser.isSet(name)) return {};
    const QString text = parser.value(name);
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    const QDate date = match.hasMatch() ? QDate(match.captured(1).toInt(), match.captured(2).toInt(),
                                                match.captured(3).toInt())
                                        : QDate();
    if (!date.isValid())
        throw Error(QStringLiteral("La fecha de --%1 no es válida: \"%2\"; escríbala como "
                                   "AAAA-MM-DD, por ejemplo 2016-03-31.")
                        .arg(name, text));
    return date;
}

// --from, --to and --open-items, refused as the statement build would refuse them.
StatementOptions statementOptions(const QCommandLineParser& parser) {
    StatementOptions options;
    options.from = statementDate(parser, "from");
    options.to = statementDate(parser, "to");
    options.openItems = parser.isSet(QStringLiteral("open-items"));
    if (options.openItems && options.from.isValid())
        throw Error(QStringLiteral("La opción --open-items no va con --from: las partidas abiertas "
                                   "se calculan a la fecha de --to (o de hoy)."));
    if (options.from.isValid() && options.to.isValid() && options.from > options.to)
        throw Error(QStringLiteral("La fecha de --from (%1) es posterior a la de --to (%2).")
                        .arg(parser.value(QStringLiteral("from")), parser.value(QStringLiteral("to"))));
    return options;
}

}  // namespace

StartUpOptions parseStartUpOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    for (const OptionRow& row : optionTable())
        parser.addOption(QCommandLineOption(row.names, row.description, row.valueName));
    if (!parser.parse(arguments)) throw Error(parseErrorText(parser, arguments));
    if (!parser.positionalArguments().isEmpty())
        throw Error(
            QStringLiteral("Argumento inesperado: %1.").arg(parser.positionalArguments().first()));

    StartUpOptions options;
    options.configPath = parser.value(QStringLiteral("config"));
    options.screenshotDir = parser.value(QStringLiteral("screenshot"));
    options.supplierCode = parser.value(QStringLiteral("supplier"));
    options.printCodes = parser.values(QStringLiteral("print"));
    options.printAll = parser.isSet(QStringLiteral("print-all"));
    options.outputDir = parser.value(QStringLiteral("out"));
    options.csvPath = parser.value(QStringLiteral("csv"));
    options.xlsxPath = parser.value(QStringLiteral("xlsx"));
    options.batchWorker = parser.isSet(QStringLiteral("batch-worker"));
    if (parser.isSet(QStringLiteral("jobs"))) {
        bool ok = false;
        options.jobs = parser.value(QStringLiteral("jobs")).toInt(&ok);
        if (!ok || options.jobs < 1)
            throw Error(QStringLiteral("El valor de --jobs debe ser un número entero mayor que 0: %1.")
                            .arg(parser.value(QStringLiteral("jobs"))));
        if (!options.batch())
            throw Error(QStringLiteral("La opción --jobs va con --print o --print-all."));
    }
    options.checkConnection = parser.isSet(QStringLiteral("check-connection"));
    options.help = parser.isSet(QStringLiteral("help"));
    options.version = parser.isSet(QStringLiteral("version"));
    options.email = parser.isSet(QStringLiteral("email"));
    options.dryRun = parser.isSet(QStringLiteral("dry-run"));
    options.resume = parser.isSet(QStringLiteral("resume"));
    for (const char* option : {"out", "csv", "xlsx"}) {
        if (!parser.isSet(QLatin1String(option))) continue;
        if (parser.value(QLatin1String(option)).isEmpty())
            throw Error(QStringLiteral("Falta el valor de la opción --%1.").arg(QLatin1String(option)));
        if (!options.batch())
            throw Error(QStringLiteral("La opción --%1 va con --print o --print-all.")
                            .arg(QLatin1String(option)));
    }
    options.statement = statementOptions(parser);
    if (!options.statement.isWholeHistory() && !options.batch() && options.screenshotDir.isEmpty())
        throw Error(QStringLiteral(
            "Las opciones --from, --to y --open-items van con --print, --print-all o --screenshot."));
    if (options.email && !options.batch())
        throw Error(QStringLiteral("La opción --email va con --print o --print-all."));
    for (const char* option : {"dry-run", "resume"})
        if (parser.isSet(QLatin1String(option)) && !options.email)
            throw Error(QStringLiteral("La opción --%1 va con --email.").arg(QLatin1String(option)));
    if (options.dryRun && options.resume)
        throw Error(QStringLiteral("Las opciones --dry-run y --resume no van juntas."));
    if (options.checkConnection && (options.batch() || !options.screenshotDir.isEmpty()))
        throw Error(QStringLiteral(
            "La opción --check-connection no va con --print, --print-all ni --screenshot."));
    return options;
}

QString usageText() {
    QString text = QStringLiteral(
        "Uso: qev [opciones]\n"
        "Estados de cuenta de proveedores. Sin --print, --print-all ni --check-connection abre\n"
        "la ventana.\n"
        "\n"
        "Opciones:\n");
    for (const OptionRow& row : optionTable()) {
        if (row.hidden) continue;
        QStringList names;
        for (const QString& name : row.names) names << dashed(name);
        QString left = names.join(QStringLiteral(", "));
        if (!row.valueName.isEmpty()) left += QStringLiteral(" <%1>").arg(row.valueName);
        text += QStringLiteral("  %1  %2\n").arg(left, -24).arg(row.description);
    }
    text += QStringLiteral(
        "\n"
        "Códigos de salida de --print y --print-all: 0 todos escritos (con --email, todos\n"
        "enviados), 1 la base de datos, la carpeta o la configuración de correo no se pueden\n"
        "usar, 2 proveedor desconocido, opción o fecha no válida, 3 algunos fallaron.\n"
        "Código de salida de --check-connection: 0 conexión correcta, 1 no se pudo usar la base "
        "de datos.\n");
    return text;
}

QString versionText() {
    return QStringLiteral("qev " QEV_VERSION);
}

}  // namespace qev
