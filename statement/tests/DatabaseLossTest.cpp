// The company database going away in the middle of a statement build: the
// build either gets its connection back and gives the whole statement, or ends
// with a clear message; the next build works once the server takes connections.
#include "StatementHarness.h"

#include "data/DemoCompany.h"
#include "testing/QtPrinters.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <gtest/gtest.h>

namespace qev::testing {
namespace {

// A login role of its own on the demo company, so that its connections can be
// ended and refused without touching the other tests on the server.
class DatabaseLoss : public ::testing::Test {
  protected:
    void SetUp() override {
        const QByteArray connInfo = qgetenv("QEV_TEST_PG");
        if (connInfo.isEmpty())
            GTEST_SKIP() << "QEV_TEST_PG is not set: no PostgreSQL server to test against";
        const ConnectionSettings demo = DemoCompany::ensurePostgres(
            ConnectionSettings::fromPostgresConnInfo(QString::fromUtf8(connInfo)));
        role = QStringLiteral("qev_loss_%1").arg(QCoreApplication::applicationPid());
        admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("loss-admin"));
        admin.setHostName(demo.server);
        admin.setPort(demo.port);
        admin.setUserName(demo.user);
        admin.setDatabaseName(demo.database);
        ASSERT_TRUE(admin.open()) << admin.lastError().text().toStdString();
        run(QStringLiteral("DROP OWNED BY %1").arg(role), true);
        run(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
        run(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
        run(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(role));
        settings = demo;
        settings.user = role;

        QSqlQuery pick(admin);
        // A supplier with rows in the first and the last pass.
        ASSERT_TRUE(pick.exec(QStringLiteral(
            "SELECT p.CardCode FROM OPCH p JOIN OVPM v ON v.CardCode = p.CardCode"
            " WHERE p.CANCELED = 'N' AND v.CANCELED = 'N' ORDER BY p.CardCode LIMIT 1")));
        ASSERT_TRUE(pick.next());
        code = pick.value(0).toString();
    }

    void TearDown() override {
        if (!admin.isOpen()) return;
        endConnections();
        run(QStringLiteral("DROP OWNED BY %1").arg(role), true);
        run(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role), true);
        admin.close();
        admin = {};
        QSqlDatabase::removeDatabase(QStringLiteral("loss-admin"));
    }

    void run(const QString& sql, bool mayFail = false) {
        QSqlQuery query(admin);
        const bool ok = query.exec(sql);
        if (!mayFail) {
            ASSERT_TRUE(ok) << sql.toStdString() << ": " << query.lastError().text().toStdString();
        }
    }

    // Ends the role's connections the way an administrator does, and waits
    // until the server has let them go.
    void endConnections() {
        run(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                           " WHERE usename = '%1'")
                .arg(role));
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QSqlQuery left(admin);
            left.exec(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE usename = '%1'")
                          .arg(role));
            if (!left.next() || left.value(0).toInt() == 0 || waited.elapsed() > 10000) return;
            QThread::msleep(20);
        }
    }

    std::vector<QVariantMap> buildRows(StatementHarness& harness, const StatementHooks& hooks = {}) {
        harness.builder.build(code, hooks);
        return statementRows(harness.sql);
    }

    QSqlDatabase admin;
    QString role, code;
    ConnectionSettings settings;
};

TEST_F(DatabaseLoss, AConnectionEndedBetweenPassesIsOpenedAgainAndTheStatementIsWhole) {
    ConexionSAP conexion(settings, QStringLiteral("loss-user"));
    StatementHarness harness(conexion);
    const std::vector<QVariantMap> whole = buildRows(harness);
    ASSERT_GT(whole.size(), 1u);

    StatementHooks hooks;
    hooks.afterPass = [this](int pass) {
        if (pass == 1) endConnections();
    };
    EXPECT_EQ(buildRows(harness, hooks), whole);
}

TEST_F(DatabaseLoss, ADatabaseThatRefusesConnectionsEndsTheBuildWithAMessageAndTheNextOneWorks) {
    ConexionSAP conexion(settings, QStringLiteral("loss-user"));
    StatementHarness harness(conexion);
    const std::vector<QVariantMap> whole = buildRows(harness);

    StatementHooks hooks;
    hooks.afterPass = [this](int pass) {
        if (pass != 2) return;
        run(QStringLiteral("ALTER ROLE %1 NOLOGIN").arg(role));
        endConnections();
    };
    const QString error = errorOf([&] { harness.builder.build(code, hooks); });
    EXPECT_TRUE(error.startsWith(QStringLiteral(
        "Se perdió la conexión con la base de datos de la empresa y no se pudo restablecer: ")))
        << error.toStdString();
    EXPECT_TRUE(error.endsWith(
        QStringLiteral("Vuelva a intentarlo cuando el servidor esté disponible")))
        << error.toStdString();
    EXPECT_FALSE(harness.puente.isOpen());

    // Still refused: the next build says so again and stores nothing of its own.
    const QString again = errorOf([&] { harness.builder.build(code); });
    EXPECT_TRUE(again.startsWith(QStringLiteral("Se perdió la conexión"))) << again.toStdString();
    EXPECT_EQ(harness.movtos.rowCount(), 0);

    run(QStringLiteral("ALTER ROLE %1 LOGIN").arg(role));
    EXPECT_EQ(buildRows(harness), whole);
}

}  // namespace
}  // namespace qev::testing
