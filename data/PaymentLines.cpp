#include "data/PaymentLines.h"

#include "data/ConexionSAP.h"
#include "data/DriverValue.h"
#include "format/Error.h"

#include <QSqlError>
#include <QSqlQuery>

namespace qev {

std::vector<PaymentLine> readPaymentLines(ConexionSAP& conexion, const QString& cardCode) {
    static const QString sql = QStringLiteral(
        "SELECT p.DocEntry, p.DocDate, l.InvType, l.DocEntry, l.SumApplied"
        " FROM VPM2 l JOIN OVPM p ON p.DocEntry = l.DocNum"
        " WHERE p.CardCode = ? AND p.CANCELED = 'N' ORDER BY p.DocEntry, l.InvoiceId");
    QSqlQuery query(conexion.database());
    query.setForwardOnly(true);
    conexion.runReading(query, [&](QSqlQuery& q) {
        if (!q.prepare(sql)) return false;
        q.addBindValue(cardCode);
        return q.exec();
    });
    std::vector<PaymentLine> lines;
    while (query.next()) {
        lines.push_back({driverValue(query.value(0), FieldType::Integer).toInt(),
                         driverValue(query.value(1), FieldType::Date).toDate(),
                         driverValue(query.value(2), FieldType::String).toString().trimmed(),
                         driverValue(query.value(3), FieldType::Integer).toInt(),
                         driverValue(query.value(4), FieldType::Float)});
    }
    if (query.lastError().isValid()) throw Error(query.lastError().text());
    return lines;
}

}  // namespace qev
