#pragma once

#include <QString>

namespace qev {

// The ODBC drivers whose connection strings differ. psqlODBC reaches a
// PostgreSQL copy of the company (the test server); any other driver name is
// taken for Microsoft's SQL Server driver.
enum class OdbcDriverKind { FreeTds, PostgreSql, MicrosoftSqlServer };

// Where the ERP company database is and where local files go. Read from an INI
// file so that no server name or login is ever part of the program.
struct ConnectionSettings {
    QString driver = QStringLiteral("sqlite");  // "sqlite", "odbc" or "postgresql"
    QString server;
    int port = 0;
    QString database;
    QString user;
    QString password;
    QString odbcDriver;     // ODBC driver name, e.g. "FreeTDS" or "ODBC Driver 18 for SQL Server"
    QString odbcOptions;    // extra "Key=Value;..." pairs appended to the ODBC connection string
    QString dataDirectory;  // where qevmovs.dbf and the PDFs go; default per platform
    QString demoDatabasePath;  // for "sqlite" without database: the demo company file

    // The INI file at the platform's per-user config location.
    static QString defaultConfigPath();
    // Reads the INI file. With no path the default one is used, and a missing
    // default file gives the demo company; a path given explicitly must exist.
    static ConnectionSettings load(const QString& iniPath = {});
    // Settings from a libpq "key=value ..." text (host, port, user, password, dbname).
    static ConnectionSettings fromPostgresConnInfo(const QString& connInfo);

    // The DSN-less ODBC connection string for SQL Server (FreeTDS or Microsoft's
    // driver) or PostgreSQL (psqlODBC), values braced where they need it.
    QString odbcConnectionString() const;
    // odbcDriver, FreeTDS when not given, and which kind of driver it names.
    QString effectiveOdbcDriver() const;
    OdbcDriverKind odbcDriverKind() const;
    // The database server is PostgreSQL, natively or through ODBC.
    bool isPostgresServer() const;

    // The data directory to use, created if missing; throws Error when it cannot be.
    QString effectiveDataDirectory() const;
    // The SQLite file to open: database when given, else demoDatabasePath, else
    // the demo company file in the data directory.
    QString effectiveSqlitePath() const;
    bool usesDemoCompany() const;
};

// "El controlador de base de datos "x" no se conoce; ..." for a driver qev has none for.
QString unknownDriverText(const QString& driver);

}  // namespace qev
