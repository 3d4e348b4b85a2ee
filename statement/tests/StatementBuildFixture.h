#pragma once

// The statement build on fixture companies, one per database: SQLite, the
// test script's PostgreSQL, and that server again through ODBC.

#include "FixtureCompany.h"
#include "StatementHarness.h"

#include "statement/StatementOptions.h"
#include "testing/TestServers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>

namespace qev::testing {

enum class Backend { Sqlite, Postgres, Odbc };

const char* backendName(Backend backend);
void PrintTo(Backend backend, std::ostream* os);

// One fixture company per backend for the whole run; each test takes suppliers
// of its own in it. Dropped before the program ends, while Qt's SQL drivers are
// still there to drop the PostgreSQL database.
class FixtureCompanies : public ::testing::Environment {
  public:
    static FixtureCompany* companyFor(Backend backend);
    void SetUp() override { directory = std::make_unique<QTemporaryDir>(); }
    void TearDown() override {
        companies.clear();
        directory.reset();
    }

  private:
    static inline std::map<Backend, std::unique_ptr<FixtureCompany>> companies;
    static inline std::unique_ptr<QTemporaryDir> directory;
};

class StatementBuild : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        company = FixtureCompanies::companyFor(GetParam());
        if (!company)
            GTEST_SKIP() << (GetParam() == Backend::Odbc ? test::NoOdbcDriver
                                                         : "QEV_TEST_PG is not set");
        harness = std::make_unique<StatementHarness>(company->conexion());
    }

    QString supplierWith(const std::vector<Document>& documents) {
        const QString code = company->newSupplier();
        for (const Document& d : documents) company->insert(code, d);
        return code;
    }

    std::vector<QVariantMap> build(const QString& code, const StatementHooks& hooks = {}) {
        harness->builder.build(code, hooks);
        return statementRows(harness->sql);
    }
    std::vector<QVariantMap> build(const QString& code, const StatementOptions& options) {
        harness->builder.build(code, options);
        return statementRows(harness->sql);
    }

    // The statement's column of one field, in statement order.
    static QStringList column(const std::vector<QVariantMap>& rows, const char* field) {
        QStringList values;
        for (const QVariantMap& row : rows) values << shown(row.value(QLatin1String(field)));
        return values;
    }

    FixtureCompany* company = nullptr;
    std::unique_ptr<StatementHarness> harness;
};

}  // namespace qev::testing
