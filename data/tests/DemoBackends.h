#pragma once

// The demo company on each database the tests run against: a SQLite file built
// once per test program, the PostgreSQL server the test script starts
// (QEV_TEST_PG), loaded with the same fixtures, and that server again through
// its ODBC driver (QEV_TEST_ODBC_DRIVER), with date-times for the document
// dates as the ERP keeps them.

#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"
#include "data/DemoCompany.h"
#include "testing/DemoCompanyFile.h"
#include "testing/TestServers.h"


#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace qev::testing {

inline const char* const Sqlite = "sqlite";
inline const char* const Postgres = "postgresql";
inline const char* const Odbc = "odbc";

inline QString demoSqlitePath() { return test::demoCompanyFile(); }

inline std::optional<ConnectionSettings> demoSettings(const std::string& backend) {
    if (backend == Sqlite) {
        ConnectionSettings s;
        s.driver = QStringLiteral("sqlite");
        s.demoDatabasePath = demoSqlitePath();
        return s;
    }
    const std::optional<ConnectionSettings> server = test::testPostgresLogin();
    if (!server) return std::nullopt;
    if (backend == Odbc) {
        const std::optional<QString> driver = test::testOdbcDriver();
        if (!driver) return std::nullopt;
        static const ConnectionSettings odbc = test::throughOdbc(
            DemoCompany::ensurePostgres(*server, DocumentDates::DateTime), *driver);
        return odbc;
    }
    static const ConnectionSettings pg = DemoCompany::ensurePostgres(*server);
    return pg;
}

inline std::string backendName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}

// A test suite run once per database; without QEV_TEST_PG (and
// QEV_TEST_ODBC_DRIVER) the server runs are skipped (scripts/test.sh always
// sets them).
class OnEachDatabase : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        const auto settings = demoSettings(GetParam());
        if (!settings)
            GTEST_SKIP() << (GetParam() == Odbc ? test::NoOdbcDriver
                                                : "QEV_TEST_PG is not set: no PostgreSQL server "
                                                  "to test against (scripts/test.sh starts one)");
        conexion = std::make_unique<ConexionSAP>(
            *settings, QStringLiteral("test-") + QString::fromStdString(GetParam()));
    }
    void TearDown() override { conexion.reset(); }

    std::unique_ptr<ConexionSAP> conexion;
};

// Every database, for INSTANTIATE_TEST_SUITE_P.
inline auto everyDatabase() {
    return ::testing::Values(std::string(Sqlite), std::string(Postgres), std::string(Odbc));
}

}  // namespace qev::testing
