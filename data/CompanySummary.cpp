#include "data/CompanySummary.h"

#include "data/ConexionSAP.h"
#include "format/Error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace qev {

namespace {

long long count(ConexionSAP& conexion, const char* sql) {
    QSqlQuery query(conexion.database());
    query.setForwardOnly(true);
    if (!query.exec(QString::fromLatin1(sql))) throw Error(query.lastError().text());
    if (!query.next()) throw Error(query.lastError().text());
    // Drivers hand COUNT(*) over as an integer, a double or a decimal text.
    bool ok = false;
    const long long n = query.value(0).toLongLong(&ok);
    if (!ok) throw Error(QStringLiteral("Unexpected count \"%1\"").arg(query.value(0).toString()));
    return n;
}

}  // namespace

CompanySummary CompanySummary::of(ConexionSAP& conexion) {
    CompanySummary summary;
    summary.suppliers = count(conexion, "SELECT COUNT(*) FROM OCRD WHERE CardType = 'S'");
    summary.invoices = count(conexion, "SELECT COUNT(*) FROM OPCH");
    summary.creditNotes = count(conexion, "SELECT COUNT(*) FROM ORPC");
    summary.payments = count(conexion, "SELECT COUNT(*) FROM OVPM");
    return summary;
}

QHash<QString, long long> CompanySummary::documentsBySupplier(ConexionSAP& conexion) {
    QSqlQuery query(conexion.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT CardCode, COUNT(*) FROM (SELECT CardCode FROM OPCH UNION ALL "
            "SELECT CardCode FROM ORPC UNION ALL SELECT CardCode FROM OVPM) d GROUP BY CardCode")))
        throw Error(query.lastError().text());
    QHash<QString, long long> counts;
    while (query.next()) counts.insert(query.value(0).toString(), query.value(1).toLongLong());
    if (query.lastError().isValid()) throw Error(query.lastError().text());
    return counts;
}

}  // namespace qev
