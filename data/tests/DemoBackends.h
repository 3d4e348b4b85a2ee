#pragma once

// The demo company on each database the tests run against: a SQLite file built
// once per test program, and the PostgreSQL server the test script starts
// (QEV_TEST_PG), loaded with the same fixtures.

#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"
#include "data/DemoCompany.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace qev::testing {

inline const char* const Sqlite = "sqlite";
inline const char* const Postgres = "postgresql";

// ctest runs every test in a process of its own: the file is built once per
// test binary (its time stamp names it, so a rebuilt generator gets a new one)
// and shared; ensureSqliteFile renames it into place whole.
inline QString demoSqlitePath() {
    static const QString path = [] {
        const QFileInfo binary(QCoreApplication::applicationFilePath());
        const QString p = QStringLiteral(QEV_BUILD_DIR "/data/test-demo/qevdemo-%1.sqlite")
                              .arg(binary.lastModified().toMSecsSinceEpoch());
        DemoCompany::ensureSqliteFile(p);
        return p;
    }();
    return path;
}

inline std::optional<ConnectionSettings> demoSettings(const std::string& backend) {
    if (backend == Sqlite) {
        ConnectionSettings s;
        s.driver = QStringLiteral("sqlite");
        s.demoDatabasePath = demoSqlitePath();
        return s;
    }
    const QByteArray connInfo = qgetenv("QEV_TEST_PG");
    if (connInfo.isEmpty()) return std::nullopt;
    static const ConnectionSettings pg = DemoCompany::ensurePostgres(
        ConnectionSettings::fromPostgresConnInfo(QString::fromUtf8(connInfo)));
    return pg;
}

inline std::string backendName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}

// A test suite run once per database; without QEV_TEST_PG the PostgreSQL runs
// are skipped (scripts/test.sh always sets it).
class OnEachDatabase : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        const auto settings = demoSettings(GetParam());
        if (!settings)
            GTEST_SKIP() << "QEV_TEST_PG is not set: no PostgreSQL server to test against "
                            "(scripts/test.sh starts one)";
        conexion = std::make_unique<ConexionSAP>(
            *settings, QStringLiteral("test-") + QString::fromStdString(GetParam()));
    }
    void TearDown() override { conexion.reset(); }

    std::unique_ptr<ConexionSAP> conexion;
};

}  // namespace qev::testing
