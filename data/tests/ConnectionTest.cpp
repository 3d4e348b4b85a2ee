#include "data/CompanySummary.h"
#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"
#include "data/tests/DemoBackends.h"
#include "format/Error.h"
#include "testing/QtPrinters.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qev {
namespace {

TEST(ConnectionSettings, ReadsTheIniFileAndFallsBackToTheDemoCompany) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("qev.ini"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[database]\ndriver=ODBC\nserver=erp.example.local\nport=1433\ndatabase=SBO_KORVU_PILOTO\n"
        "user=qev_lector\npassword=\"a;b}c\"\nodbc_driver=FreeTDS\nodbc_options=TDS_Version=7.4\n"
        "[paths]\ndata_directory=/srv/qev\n");
    f.close();
    const ConnectionSettings s = ConnectionSettings::load(ini);
    EXPECT_EQ(s.driver, QStringLiteral("odbc"));
    EXPECT_EQ(s.server, QStringLiteral("erp.example.local"));
    EXPECT_EQ(s.port, 1433);
    EXPECT_EQ(s.database, QStringLiteral("SBO_KORVU_PILOTO"));
    EXPECT_EQ(s.user, QStringLiteral("qev_lector"));
    EXPECT_EQ(s.password, QStringLiteral("a;b}c"));
    EXPECT_EQ(s.dataDirectory, QStringLiteral("/srv/qev"));
    EXPECT_EQ(
        s.odbcConnectionString(),
        QStringLiteral("DRIVER={FreeTDS};SERVER=erp.example.local;PORT=1433;ClientCharset=UTF-8;"
                       "DATABASE=SBO_KORVU_PILOTO;UID=qev_lector;PWD={a;b}}c};TDS_Version=7.4"));

    ConnectionSettings ms = s;
    ms.odbcDriver = QStringLiteral("ODBC Driver 18 for SQL Server");
    ms.odbcOptions.clear();
    ms.password = QStringLiteral("plain");
    EXPECT_EQ(ms.odbcConnectionString(),
              QStringLiteral(
                  "DRIVER={ODBC Driver 18 for SQL Server};SERVER=erp.example.local,1433;"
                  "ApplicationIntent=ReadOnly;DATABASE=SBO_KORVU_PILOTO;UID=qev_lector;PWD=plain"));

    // psqlODBC, which reaches a PostgreSQL copy of the company, wants the port apart.
    ConnectionSettings pg = ms;
    pg.odbcDriver = QStringLiteral("PostgreSQL Unicode");
    pg.odbcOptions = QStringLiteral("UseDeclareFetch=1");
    EXPECT_EQ(pg.odbcConnectionString(),
              QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=erp.example.local;PORT=1433;"
                             "DATABASE=SBO_KORVU_PILOTO;UID=qev_lector;PWD=plain;"
                             "UseDeclareFetch=1"));

    // A file named explicitly must be there; only the default one may be missing.
    try {
        ConnectionSettings::load(dir.filePath(QStringLiteral("missing.ini")));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("No se encuentra el archivo de configuración \"%1\"")
                                   .arg(dir.filePath(QStringLiteral("missing.ini"))));
    }
    const ConnectionSettings demo;
    EXPECT_TRUE(demo.usesDemoCompany());
    EXPECT_EQ(ConnectionSettings::fromPostgresConnInfo(
                  QStringLiteral("host=127.0.0.1 port=5999 user=qev dbname=x"))
                  .port,
              5999);
}

// A settings file that cannot be what its writer meant is refused with the
// line or value at fault, never read as the demo company.
TEST(ConnectionSettings, AMalformedFileIsRefusedWithWhatIsWrong) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("qev.ini"));
    const QString where = QStringLiteral("Archivo de configuración \"%1\": ").arg(ini);
    const QString invalid =
        QStringLiteral("El archivo de configuración \"%1\" no es válido: ").arg(ini);
    struct Case {
        const char* what;
        QByteArray text;
        QString error;
    };
    const std::vector<Case> cases{
        {"unclosed section", "[database\ndriver=postgresql\n",
         invalid + "la línea 1 (\"[database\") no es una sección [nombre] ni una clave=valor"},
        {"value without =", "[database]\n; the server\ndriver postgresql\n",
         invalid + "la línea 3 (\"driver postgresql\") no es una sección [nombre] ni una "
                   "clave=valor"},
        {"not a text file",
         QByteArray("\x7f"
                    "ELF\x02\x01\x01\0\0\0",
                    10),
         invalid + "la línea 1 (\"?ELF??????\") no es una sección [nombre] ni una "
                   "clave=valor"},
        {"unknown driver", "[database]\ndriver=oracle\n",
         where + "El controlador de base de datos \"oracle\" no se conoce; use sqlite, "
                 "postgresql u odbc"},
        {"port that is not a number", "[database]\ndriver=postgresql\nport=54x2\n",
         where + "el puerto \"54x2\" no es un número de puerto"},
        {"port out of range", "[database]\ndriver=postgresql\nport=70000\n",
         where + "el puerto \"70000\" no es un número de puerto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.text);
        f.close();
        try {
            ConnectionSettings::load(ini);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), c.error);
        }
    }
}

TEST(ConexionSAP, FirstRunCreatesTheDemoCompanyInTheDataDirectory) {
    QTemporaryDir dir;
    ConnectionSettings s;
    s.dataDirectory = dir.filePath(QStringLiteral("datos/qev"));
    {
        ConexionSAP conexion(s, QStringLiteral("first-run"));
        QSqlQuery q(conexion.database());
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM OCRD")));
        ASSERT_TRUE(q.next());
        EXPECT_GT(q.value(0).toInt(), 300);
    }
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("datos/qev/qevdemo.sqlite"))));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("datos/qev"))).entryList(QDir::Files).size(),
              1);  // nothing left aside
}

TEST(ConnectionSettings, TellsTheOdbcDriversApartByName) {
    const std::pair<const char*, OdbcDriverKind> cases[] = {
        {"", OdbcDriverKind::FreeTds},  // the default driver
        {"FreeTDS", OdbcDriverKind::FreeTds},
        {"/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so", OdbcDriverKind::FreeTds},
        {"PostgreSQL Unicode", OdbcDriverKind::PostgreSql},
        {"PostgreSQL ANSI", OdbcDriverKind::PostgreSql},
        {"/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so", OdbcDriverKind::PostgreSql},
        {"ODBC Driver 18 for SQL Server", OdbcDriverKind::MicrosoftSqlServer},
        {"SQL Server", OdbcDriverKind::MicrosoftSqlServer},
    };
    for (const auto& [name, kind] : cases) {
        ConnectionSettings s;
        s.driver = QStringLiteral("odbc");
        s.odbcDriver = QString::fromUtf8(name);
        EXPECT_EQ(s.odbcDriverKind(), kind) << name;
        EXPECT_EQ(s.isPostgresServer(), kind == OdbcDriverKind::PostgreSql) << name;
    }
}

TEST(ConexionSAP, FailuresCarryTheDriverText) {
    ConnectionSettings unknown;
    unknown.driver = QStringLiteral("oracle");
    try {
        ConexionSAP c(unknown);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("El controlador de base de datos \"oracle\" no se "
                                              "conoce; use sqlite, postgresql u odbc"));
    }
    ConnectionSettings closedPort =
        ConnectionSettings::fromPostgresConnInfo(QStringLiteral("host=127.0.0.1 port=1 user=qev"));
    try {
        ConexionSAP c(closedPort, QStringLiteral("closed"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_FALSE(e.message().trimmed().isEmpty());
    }
    // The connection name is free again after a failure: a retry is possible.
    EXPECT_FALSE(QSqlDatabase::contains(QStringLiteral("closed")));
}

TEST(ConexionSAP, SqlServerThroughFreeTdsReportsAnUnreachableServer) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "Qt's ODBC driver is not installed";
    ConnectionSettings s;
    s.driver = QStringLiteral("odbc");
    s.server = QStringLiteral("127.0.0.1");
    s.port = 1;
    s.database = QStringLiteral("SBO_KORVU_PILOTO");
    s.user = QStringLiteral("lector");
    s.password = QStringLiteral("x");
    try {
        ConexionSAP c(s, QStringLiteral("tds"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_FALSE(e.message().trimmed().isEmpty());
    }
}

class ReadOnlyConnection : public testing::OnEachDatabase {};

TEST_P(ReadOnlyConnection, RefusesWrites) {
    QSqlQuery q(conexion->database());
    EXPECT_FALSE(
        q.exec(QStringLiteral("UPDATE OCRD SET CardName = 'x' WHERE CardCode = 'P00001'")));
    EXPECT_FALSE(q.exec(QStringLiteral("CREATE TABLE QEV_SCRATCH (X INTEGER)")));
    // A statement that reads at first sight but writes.
    EXPECT_FALSE(
        q.exec(QStringLiteral("WITH gone AS (DELETE FROM OCRD WHERE CardCode = 'P00001'"
                              " RETURNING CardCode) SELECT COUNT(*) FROM gone")));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT CardName FROM OCRD WHERE CardCode = 'P00001'")));
    ASSERT_TRUE(q.next());
    EXPECT_NE(q.value(0).toString(), QStringLiteral("x"));
}

// The documents per supplier add up to the company's totals, and the
// supplier with the most is the demo's largest statement.
TEST_P(ReadOnlyConnection, DocumentsPerSupplierAddUpToTheCompanysCounts) {
    const CompanySummary summary = CompanySummary::of(*conexion);
    const QHash<QString, long long> bySupplier = CompanySummary::documentsBySupplier(*conexion);
    long long sum = 0;
    QString largest;
    for (auto it = bySupplier.begin(); it != bySupplier.end(); ++it) {
        sum += it.value();
        if (largest.isEmpty() || it.value() > bySupplier.value(largest)) largest = it.key();
    }
    EXPECT_EQ(sum, summary.invoices + summary.creditNotes + summary.payments);
    EXPECT_EQ(largest, QStringLiteral("P99999"));
}

INSTANTIATE_TEST_SUITE_P(Databases, ReadOnlyConnection, testing::everyDatabase(),
                         testing::backendName);

}  // namespace
}  // namespace qev
