#include "data/ConexionSAP.h"

#include "data/DemoCompany.h"
#include "format/Error.h"

#include <QDir>
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
            throw Error(QStringLiteral("No se encuentra el archivo de la base de datos \"%1\"")
                            .arg(QDir::toNativeSeparators(path)));
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
    throw Error(unknownDriverText(s.driver));
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
    : connectionName_(connectionName), settings_(settings) {
    QString failure;
    {
        QSqlDatabase db = configure(settings, connectionName_);
        try {
            openConnection(db);
        } catch (const Error& e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(connectionName_);
        throw Error(failure);
    }
}

void ConexionSAP::openConnection(QSqlDatabase& db) {
    if (!db.open()) {
        const QString failure = db.lastError().text();
        throw Error(failure.trimmed().isEmpty()
                        ? QStringLiteral("Cannot open the database connection")
                        : failure);
    }
    makeReadOnly(db, settings_);
}

bool ConexionSAP::connectionAlive() {
    QSqlDatabase db = database();
    if (!db.isOpen()) return false;
    QSqlQuery probe(db);
    return probe.exec(QStringLiteral("SELECT 1")) && probe.next();
}

void ConexionSAP::reconnect() {
    QSqlDatabase db = database();
    db.close();
    try {
        openConnection(db);
    } catch (const Error& e) {
        throw Error(QStringLiteral("Se perdió la conexión con la base de datos de la empresa y no "
                                   "se pudo restablecer: %1. Vuelva a intentarlo cuando el "
                                   "servidor esté disponible")
                        .arg(e.message().trimmed()));
    }
}

void ConexionSAP::runReading(QSqlQuery& query, const std::function<bool(QSqlQuery&)>& run) {
    if (run(query)) return;
    const QString failure = query.lastError().text();
    if (connectionAlive()) throw Error(failure);
    // Nothing has been read yet, so asking again cannot give a row twice.
    reconnect();
    query = QSqlQuery(database());
    query.setForwardOnly(true);
    if (!run(query)) throw Error(query.lastError().text());
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
