#include "StatementHarness.h"

#include "format/Error.h"

namespace qev::testing {

StatementHarness::StatementHarness(ConexionSAP& conexion)
    : file(MovementsFile::open(directory.path())),
      puente(conexion),
      movtos(file),
      sql(file),
      builder(puente, movtos, sql) {
    sql.open();
}

std::vector<QVariantMap> statementRows(TablaSql& sql) {
    std::vector<QVariantMap> rows;
    const QStringList names = sql.fieldNames();
    for (sql.first(); !sql.eof(); sql.next()) {
        QVariantMap row;
        for (const QString& name : names) row.insert(name.toUpper(), sql.value(name));
        rows.push_back(row);
    }
    sql.first();
    return rows;
}

QVariant lastBalance(const std::vector<QVariantMap>& rows) {
    if (rows.empty()) return 0.0;
    const QVariantMap& last = rows.back();
    const QVariantMap* owner = nullptr;
    for (const QVariantMap& row : rows) {
        const bool sameKey = row.value("SERIE") == last.value("SERIE") &&
                             row.value("FOLIO") == last.value("FOLIO") &&
                             row.value("FECHA") == last.value("FECHA");
        if (sameKey && (!owner || row.value("MOVTO").toInt() < owner->value("MOVTO").toInt()))
            owner = &row;
    }
    return owner->value("SALDO");
}

QString shown(const QVariant& value) {
    if (value.isNull()) return QStringLiteral("<Null>");
    if (value.metaType().id() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace qev::testing
