#pragma once
// An empty company database with the demo company's tables, for the
// benchmarks that fill one of their own size.

#include "data/DemoCompany.h"
#include "format/Error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

inline QSqlDatabase createBenchCompany(const QString& path, const QString& connection) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    if (!db.open()) throw qev::Error(db.lastError().text());
    QSqlQuery query(db);
    for (const QString& sql : qev::DemoCompany::schema())
        if (!query.exec(sql)) throw qev::Error(query.lastError().text());
    return db;
}
