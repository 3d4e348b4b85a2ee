#include "FixtureCompany.h"
#include "StatementHarness.h"

#include "data/DemoCompany.h"
#include "format/AmountText.h"
#include "statement/VariantConversion.h"
#include "testing/QtPrinters.h"
#include "testing/TestServers.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qev::testing {
namespace {

struct Expectation {
    QString cardCode;
    int movements = 0;
    Currency balance;
};

// Accepted invoices minus accepted credit notes and payments, and how many
// documents are accepted, for every supplier, in one query.
std::vector<Expectation> expectations(QSqlDatabase db) {
    const char* sql =
        "SELECT c.CardCode,"
        " (SELECT COUNT(*) FROM OPCH d WHERE d.CardCode = c.CardCode AND d.CANCELED = 'N'"
        "   AND (d.Series IS NULL OR d.Series <> 63))"
        " + (SELECT COUNT(*) FROM ORPC d WHERE d.CardCode = c.CardCode AND d.CANCELED = 'N'"
        "   AND d.DocType IN ('S', 'I'))"
        " + (SELECT COUNT(*) FROM OVPM d WHERE d.CardCode = c.CardCode AND d.CANCELED = 'N'),"
        " COALESCE((SELECT SUM(d.DocTotal) FROM OPCH d WHERE d.CardCode = c.CardCode AND "
        "d.CANCELED = 'N'"
        "   AND (d.Series IS NULL OR d.Series <> 63)), 0)"
        " - COALESCE((SELECT SUM(d.DocTotal) FROM ORPC d WHERE d.CardCode = c.CardCode AND "
        "d.CANCELED = 'N'"
        "   AND d.DocType IN ('S', 'I')), 0)"
        " - COALESCE((SELECT SUM(d.DocTotal) FROM OVPM d WHERE d.CardCode = c.CardCode AND "
        "d.CANCELED = 'N'), 0)"
        " FROM OCRD c WHERE c.CardType = 'S' ORDER BY c.CardCode";
    QSqlQuery query(db);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);  // exact sums where the server has them
    EXPECT_TRUE(query.exec(QString::fromLatin1(sql))) << query.lastError().text().toStdString();
    std::vector<Expectation> result;
    while (query.next())
        result.push_back(
            {query.value(0).toString(), query.value(1).toInt(), variantToCurrency(query.value(2))});
    return result;
}

void checkEverySupplier(ConexionSAP& conexion) {
    const std::vector<Expectation> suppliers = expectations(conexion.database());
    ASSERT_GT(suppliers.size(), std::size_t(300));
    StatementHarness harness(conexion);
    int withMovements = 0;
    for (const Expectation& supplier : suppliers) {
        SCOPED_TRACE(supplier.cardCode.toStdString());
        harness.builder.build(supplier.cardCode);
        const auto rows = statementRows(harness.sql);
        ASSERT_EQ(int(rows.size()), supplier.movements);
        const QVariant balance = lastBalance(rows);
        ASSERT_FALSE(balance.isNull());
        EXPECT_EQ(pesos(Currency::fromDouble(balance.toDouble())), pesos(supplier.balance));
        EXPECT_EQ(Currency::fromDouble(balance.toDouble()), supplier.balance);
        withMovements += rows.empty() ? 0 : 1;
    }
    EXPECT_GT(withMovements, 300);
}

TEST(DemoCompanyStatement, LastBalanceOfEverySupplierOnSqlite) {
    QTemporaryDir directory;
    ConnectionSettings settings;
    settings.demoDatabasePath = directory.filePath("demo.sqlite");
    ConexionSAP conexion(settings, QStringLiteral("demo-sqlite"));
    checkEverySupplier(conexion);
}

TEST(DemoCompanyStatement, LastBalanceOfEverySupplierOnPostgres) {
    const std::optional<ConnectionSettings> server = testPostgresServer();
    if (!server) GTEST_SKIP() << "QEV_TEST_PG is not set";
    ConexionSAP conexion(DemoCompany::ensurePostgres(*server), QStringLiteral("demo-pg"));
    checkEverySupplier(conexion);
}

TEST(DemoCompanyStatement, LastBalanceOfEverySupplierThroughOdbc) {
    const std::optional<ConnectionSettings> server = testPostgresServer();
    const std::optional<QString> driver = test::testOdbcDriver();
    if (!server || !driver) GTEST_SKIP() << test::NoOdbcDriver;
    ConexionSAP conexion(
        test::throughOdbc(DemoCompany::ensurePostgres(*server, DocumentDates::DateTime), *driver),
        QStringLiteral("demo-odbc"));
    checkEverySupplier(conexion);
}

QStringList supplierCodes(QSqlDatabase db) {
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(
        QStringLiteral("SELECT CardCode FROM OCRD WHERE CardType = 'S' ORDER BY CardCode")))
        << query.lastError().text().toStdString();
    QStringList codes;
    while (query.next()) codes << query.value(0).toString();
    return codes;
}

// Every statement of the demo company read through ODBC, from the copy whose
// document dates are date-times with a time of day, equals the one read
// natively from the copy with plain dates: every stored field of every row
// (amounts, balances, texts, dates), in statement order.
TEST(DemoCompanyStatement, EveryStatementThroughOdbcEqualsTheNativeOne) {
    const std::optional<ConnectionSettings> server = testPostgresServer();
    const std::optional<QString> driver = test::testOdbcDriver();
    if (!server || !driver) GTEST_SKIP() << test::NoOdbcDriver;
    ConexionSAP native(DemoCompany::ensurePostgres(*server), QStringLiteral("demo-native"));
    ConexionSAP odbc(
        test::throughOdbc(DemoCompany::ensurePostgres(*server, DocumentDates::DateTime), *driver),
        QStringLiteral("demo-odbc"));
    const QStringList codes = supplierCodes(native.database());
    ASSERT_EQ(supplierCodes(odbc.database()), codes);
    ASSERT_GT(codes.size(), 300);
    StatementHarness a(native), b(odbc);
    std::size_t compared = 0;
    for (const QString& code : codes) {
        SCOPED_TRACE(code.toStdString());
        a.builder.build(code);
        b.builder.build(code);
        const auto expected = statementRows(a.sql);
        const auto actual = statementRows(b.sql);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "row " << i;
        compared += expected.size();
    }
    EXPECT_GT(compared, std::size_t(demo::ManyDocumentsMovements + 10000));
}

}  // namespace
}  // namespace qev::testing
