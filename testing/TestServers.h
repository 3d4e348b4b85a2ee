#pragma once

// The database servers the test script provides: the PostgreSQL server
// (QEV_TEST_PG) and, through ODBC, the PostgreSQL driver it registers
// (QEV_TEST_ODBC_DRIVER). Tests without them are skipped.

#include "data/ConnectionSettings.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace qev::test {

inline std::optional<ConnectionSettings> testPostgresLogin() {
    const QByteArray connInfo = qgetenv("QEV_TEST_PG");
    if (connInfo.isEmpty()) return std::nullopt;
    return ConnectionSettings::fromPostgresConnInfo(QString::fromUtf8(connInfo));
}

// The name of the ODBC driver that reaches the PostgreSQL server.
inline std::optional<QString> testOdbcDriver() {
    const QByteArray driver = qgetenv("QEV_TEST_ODBC_DRIVER");
    if (driver.isEmpty() || qgetenv("QEV_TEST_PG").isEmpty()) return std::nullopt;
    return QString::fromUtf8(driver);
}

// The driver's ANSI variant, which hands texts over in a code page.
inline std::optional<QString> testOdbcAnsiDriver() {
    const QByteArray driver = qgetenv("QEV_TEST_ODBC_ANSI_DRIVER");
    if (driver.isEmpty() || !testOdbcDriver()) return std::nullopt;
    return QString::fromUtf8(driver);
}

// The same PostgreSQL database, reached through the ODBC driver instead.
inline ConnectionSettings throughOdbc(ConnectionSettings postgres, const QString& odbcDriver) {
    postgres.driver = QStringLiteral("odbc");
    postgres.odbcDriver = odbcDriver;
    return postgres;
}

inline const char* const NoOdbcDriver =
    "QEV_TEST_ODBC_DRIVER is not set: no ODBC driver to test through (scripts/test.sh "
    "registers one)";

}  // namespace qev::test
