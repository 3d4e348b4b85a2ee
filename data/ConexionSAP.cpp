#include "data/ConexionSAP.h"

#include "data/DemoCompany.h"
#include "format/Error.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace qev {

namespace {

QSqlDatabase configure(const ConnectionSettings& s, const QString& name) {
    if (s.driver == QLatin1String("sqlite")) {
        const QString path = s.effectiveSqlitePath();
        if (s.usesDemoCompany())
            DemoCompany::ensureSqliteFile(path);
        else if (!QFileInfo::exists(path))
            throw Error(QStringLiteral("Database file \"%1\" not found").arg(path));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        return db;
    }
    if (s.driver == QLatin1String("odbc")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(s.odbcConnectionString());
        db.setConnectOptions(QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY"));
        return db;
    }
    if (s.driver == QLatin1String("postgresql")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(s.server);
        if (s.port > 0) db.setPort(s.port);
        db.setDatabaseName(s.database);
        db.setUserName(s.user);
        db.setPassword(s.password);
        return db;
    }
    throw Error(QStringLiteral("Unknown database driver \"%1\"").arg(s.driver));
}

// The server itself refuses writes for the session: psqlODBC ignores the ODBC
// read-only access mode, and its own ReadOnly option only looks at the first
// word of a statement (a WITH ... DELETE gets through).
void makeReadOnly(QSqlDatabase& db, const ConnectionSettings& s) {
    if (!s.isPostgresServer()) return;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")))
        throw Error(query.lastError().text());
}

}  // namespace

ConexionSAP::ConexionSAP(const ConnectionSettings& settings, const QString& connectionName)
    : connectionName_(connectionName) {
    QString failure;
    {
        QSqlDatabase db = configure(settings, connectionName_);
        if (!db.open()) {
            failure = db.lastError().text();
            if (failure.trimmed().isEmpty())
                failure = QStringLiteral("Cannot open the database connection");
        } else {
            try {
                makeReadOnly(db, settings);
            } catch (const Error& e) {
                failure = e.message();
            }
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(connectionName_);
        throw Error(failure);
    }
}

ConexionSAP::~ConexionSAP() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase ConexionSAP::database() const {
    return QSqlDatabase::database(connectionName_, false);
}

}  // namespace qev
