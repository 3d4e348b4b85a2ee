#pragma once

#include "data/ConexionSAP.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "statement/StatementBuilder.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>
#include <vector>

namespace qev::testing {

// What the window holds for a statement: the document table on the ERP
// connection and the movements table with its ordered query on a fresh file.
struct StatementHarness {
    explicit StatementHarness(ConexionSAP& conexion);

    QTemporaryDir directory;
    std::shared_ptr<MovementsFile> file;
    TablaPuente puente;
    TablaMovtos movtos;
    TablaSql sql;
    StatementBuilder builder;
};

// Every row of the ordered query, in statement order, by stored field name.
std::vector<QVariantMap> statementRows(TablaSql& sql);

// The balance after the last row in statement order (0 without rows). It
// lands on the first stored row with that row's series, number and date.
QVariant lastBalance(const std::vector<QVariantMap>& rows);

// A field value as the tests compare it: "<Null>", numbers in their shortest
// form ("1234.5", "0"), texts as they are.
QString shown(const QVariant& value);

// The message of the qev::Error the action throws, or "(no error)".
QString errorOf(const std::function<void()>& action);

}  // namespace qev::testing
