#include "app/ConnectionCheck.h"

#include "app/ErrorBox.h"
#include "data/CompanySummary.h"
#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"

#include <QLocale>
#include <QTextStream>

namespace qev {

namespace {

QString serverText(const ConnectionSettings& s) {
    return s.port > 0 ? s.server + u':' + QString::number(s.port) : s.server;
}

// Which database the settings reach, in the words of the check's first line.
QString whereText(const ConnectionSettings& s) {
    if (s.driver == QLatin1String("sqlite"))
        return s.usesDemoCompany() ? QStringLiteral("SQLite, compañía de demostración")
                                   : QStringLiteral("SQLite, archivo %1").arg(s.database);
    const QString kind = s.driver == QLatin1String("odbc")
                             ? QStringLiteral("ODBC (%1)").arg(s.effectiveOdbcDriver())
                             : QStringLiteral("PostgreSQL");
    return QStringLiteral("%1, servidor %2, base de datos %3").arg(kind, serverText(s), s.database);
}

}  // namespace

int runConnectionCheck(const ConnectionSettings& settings, QTextStream& out, QTextStream& err) {
    CompanySummary summary;
    try {
        ConexionSAP conexion(settings, QStringLiteral("qev-check-connection"));
        summary = CompanySummary::of(conexion);
    } catch (const std::exception& error) {
        err << QStringLiteral("No se pudo usar la base de datos (%1):\n%2")
                   .arg(whereText(settings), exceptionMessage(error))
            << Qt::endl;
        return 1;
    }
    const QLocale mexico(QLocale::Spanish, QLocale::Mexico);
    out << QStringLiteral("Conexión correcta: %1.").arg(whereText(settings)) << '\n'
        << QStringLiteral("Proveedores: %1").arg(mexico.toString(summary.suppliers)) << '\n'
        << QStringLiteral("Facturas de proveedores: %1").arg(mexico.toString(summary.invoices))
        << '\n'
        << QStringLiteral("Notas de crédito de proveedores: %1")
               .arg(mexico.toString(summary.creditNotes))
        << '\n'
        << QStringLiteral("Pagos efectuados: %1").arg(mexico.toString(summary.payments))
        << Qt::endl;
    return 0;
}

}  // namespace qev
