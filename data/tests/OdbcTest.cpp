// The PostgreSQL ODBC driver hands values over unlike the native driver:
// date-times with a time of day, Null without a type, amounts as decimal texts
// when asked for precision, rows through a server cursor when so configured.
// The data layer delivers the same suppliers and documents whichever way.
#include "data/DemoCompany.h"
#include "data/TablaProveedores.h"
#include "data/TablaPuente.h"
#include "data/tests/DemoBackends.h"
#include "format/Error.h"
#include "testing/QtPrinters.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

#include <gtest/gtest.h>

namespace qev {
namespace {

struct DriverVariant {
    const char* what;
    const char* odbcOptions;
    QSql::NumericalPrecisionPolicy precision;
};

const DriverVariant Variants[] = {
    {"as the driver hands values over by default", "", QSql::LowPrecisionDouble},
    {"amounts as decimal texts", "", QSql::HighPrecision},
    {"rows fetched through a server-side cursor", "UseDeclareFetch=1;Fetch=100",
     QSql::LowPrecisionDouble},
};

class ThroughOdbc : public ::testing::Test {
  protected:
    void SetUp() override {
        native = testing::demoSettings(testing::Postgres);
        odbc = testing::demoSettings(testing::Odbc);
        if (!native || !odbc) GTEST_SKIP() << test::NoOdbcDriver;
    }
    std::unique_ptr<ConexionSAP> odbcWith(const DriverVariant& variant) {
        ConnectionSettings settings = *odbc;
        settings.odbcOptions = QString::fromLatin1(variant.odbcOptions);
        auto conexion = std::make_unique<ConexionSAP>(settings, QStringLiteral("odbc-variant"));
        conexion->database().setNumericalPrecisionPolicy(variant.precision);
        return conexion;
    }
    std::optional<ConnectionSettings> native, odbc;
};

TEST_F(ThroughOdbc, DocumentDatesArriveWithTheirTimeOfDayAndLeaveAsDates) {
    ConexionSAP conexion(*odbc, QStringLiteral("odbc-dates"));
    QSqlQuery raw(conexion.database());
    raw.setForwardOnly(true);
    ASSERT_TRUE(raw.exec(QStringLiteral("SELECT DocDate FROM OPCH ORDER BY DocEntry")))
        << raw.lastError().text().toStdString();
    std::vector<QDateTime> stored;
    int midnight = 0, lastSecond = 0;
    while (raw.next()) {
        ASSERT_EQ(raw.value(0).typeId(), QMetaType::QDateTime);
        stored.push_back(raw.value(0).toDateTime());
        midnight += stored.back().time() == QTime(0, 0) ? 1 : 0;
        lastSecond += stored.back().time() == QTime(23, 59, 59) ? 1 : 0;
    }
    ASSERT_GT(stored.size(), std::size_t(10000));
    EXPECT_GT(midnight, 0);
    EXPECT_GT(lastSecond, 0);
    EXPECT_GT(stored.size() - std::size_t(midnight), stored.size() / 2);

    TablaPuente puente(conexion);
    puente.setTableName(QStringLiteral("opch"));
    puente.open();
    ASSERT_EQ(std::size_t(puente.recordCount()), stored.size());
    std::size_t row = 0;
    for (puente.first(); !puente.eof(); puente.next(), ++row)
        ASSERT_EQ(puente.value(QStringLiteral("docdate")), QVariant(stored[row].date())) << row;
}

// Value for value against the native driver on the copy with plain dates.
TEST_F(ThroughOdbc, EveryWayOfHandingValuesOverGivesTheNativeDocuments) {
    ConexionSAP nativeConexion(*native, QStringLiteral("native-documents"));
    TablaPuente expected(nativeConexion);
    for (const DriverVariant& variant : Variants) {
        SCOPED_TRACE(variant.what);
        const auto conexion = odbcWith(variant);
        TablaPuente actual(*conexion);
        int rows = 0;
        for (const char* table : {"opch", "orpc", "ovpm"}) {
            for (const char* code : {demo::SupplierWith58Movements, demo::SupplierWithNulls,
                                     demo::SupplierWithManyDocuments, demo::SupplierWithApostrophe,
                                     demo::SharedPrefixCode3, "P00007"}) {
                for (TablaPuente* p : {&expected, &actual}) {
                    p->setTableName(QString::fromLatin1(table));
                    p->setCardCodeFilter(QString::fromUtf8(code));
                    p->open();
                }
                ASSERT_EQ(actual.recordCount(), expected.recordCount()) << table << code;
                for (expected.first(), actual.first(); !expected.eof();
                     expected.next(), actual.next(), ++rows)
                    for (const QString& field : expected.fieldNames())
                        ASSERT_EQ(actual.value(field), expected.value(field))
                            << table << " " << code << " " << field.toStdString();
                expected.close();
                actual.close();
            }
        }
        EXPECT_GT(rows, demo::ManyDocumentsMovements);
    }
}

TEST_F(ThroughOdbc, AmountsAsDecimalTextsAreWhatTheDriverGives) {
    // Otherwise the variant above would compare doubles twice.
    const auto conexion = odbcWith(Variants[1]);
    QSqlQuery raw(conexion->database());
    ASSERT_TRUE(raw.exec(QStringLiteral("SELECT DocTotal FROM OPCH ORDER BY DocEntry LIMIT 1")));
    ASSERT_TRUE(raw.next());
    EXPECT_EQ(raw.value(0).typeId(), QMetaType::QString);
    EXPECT_TRUE(raw.value(0).toString().contains(QLatin1Char('.')))
        << raw.value(0).toString().toStdString();
}

TEST_F(ThroughOdbc, EveryWayOfHandingValuesOverGivesTheNativeSuppliers) {
    ConexionSAP nativeConexion(*native, QStringLiteral("native-suppliers"));
    TablaProveedores expected(nativeConexion);
    expected.open();
    for (const DriverVariant& variant : Variants) {
        SCOPED_TRACE(variant.what);
        const auto conexion = odbcWith(variant);
        TablaProveedores actual(*conexion);
        actual.open();
        ASSERT_EQ(actual.recordCount(), expected.recordCount());
        int accented = 0;
        for (expected.first(), actual.first(); !expected.eof(); expected.next(), actual.next()) {
            for (const QString& field : expected.fieldNames())
                ASSERT_EQ(actual.value(field), expected.value(field)) << field.toStdString();
            const QString name = actual.value(QStringLiteral("CardName")).toString();
            accented += name.contains(QChar(0x00F1)) || name.contains(QChar(0x00E1)) ? 1 : 0;
        }
        EXPECT_GT(accented, 10);
        // Accents and "ñ" found the same way through either driver.
        EXPECT_TRUE(actual.findName(QStringLiteral("abarrotes laz")));
        EXPECT_EQ(actual.value(QStringLiteral("CardCode")).toString(),
                  QString::fromUtf8(demo::SharedPrefixCode3));
    }
}

// A company database of its own in another code page, written natively and
// dropped at the end.
class CodePageCompany {
  public:
    CodePageCompany(const ConnectionSettings& server, const QString& encoding)
        : server_(server),
          name_(QStringLiteral("qev_%1_%2")
                    .arg(encoding.toLower())
                    .arg(QCoreApplication::applicationPid())) {
        runOn(server_, {QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name_),
                        QStringLiteral("CREATE DATABASE %1 ENCODING '%2' TEMPLATE template0"
                                       " LC_COLLATE 'C' LC_CTYPE 'C'")
                            .arg(name_, encoding)});
        settings_ = server_;
        settings_.database = name_;
    }
    ~CodePageCompany() {
        try {
            runOn(server_, {QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_)});
        } catch (const Error&) {
            // Left for the end of the run, when the whole server goes.
        }
    }
    const ConnectionSettings& settings() const { return settings_; }

    // Runs the statements in order, each with its bound values; throws Error
    // on the first failure.
    static void runOn(const ConnectionSettings& s,
                      const std::vector<std::pair<QString, QVariantList>>& statements) {
        QString failure;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "code-page");
            db.setHostName(s.server);
            db.setPort(s.port);
            db.setDatabaseName(s.database.isEmpty() ? QStringLiteral("postgres") : s.database);
            db.setUserName(s.user);
            if (!db.open()) failure = db.lastError().text();
            for (const auto& [sql, values] : statements) {
                if (!failure.isEmpty()) break;
                QSqlQuery query(db);
                bool ok = values.isEmpty() ? query.exec(sql) : query.prepare(sql);
                for (const QVariant& v : values) query.addBindValue(v);
                if (ok && !values.isEmpty()) ok = query.exec();
                if (!ok) failure = sql + QStringLiteral(": ") + query.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase("code-page");
        if (!failure.isEmpty()) throw Error(failure);
    }
    static void runOn(const ConnectionSettings& s, const QStringList& statements) {
        std::vector<std::pair<QString, QVariantList>> plain;
        for (const QString& sql : statements) plain.push_back({sql, {}});
        runOn(s, plain);
    }

  private:
    ConnectionSettings server_;
    QString name_;
    ConnectionSettings settings_;
};

// Names kept in Windows-1252, as SQL Server keeps varchar columns under a
// Latin collation, arrive whole through the Unicode and the ANSI (code page)
// ODBC driver, and a bound code with an accent finds its documents.
TEST(ThroughOdbcCodePages, NamesInAWindows1252DatabaseArriveWhole) {
    const std::optional<ConnectionSettings> server = test::testPostgresLogin();
    const std::optional<QString> unicode = test::testOdbcDriver();
    const std::optional<QString> ansi = test::testOdbcAnsiDriver();
    if (!server || !unicode || !ansi) GTEST_SKIP() << test::NoOdbcDriver;
    CodePageCompany company(*server, QStringLiteral("WIN1252"));
    const std::pair<const char*, const char*> suppliers[] = {
        {"PÑ001", "Zapatería Núñez, S.A. de C.V."},
        {"PÑ002", "Ácidos y Solventes «Óptica» € Ü"},
        {"P0003", "Begoña Ibáñez Yáñez"},
    };
    std::vector<std::pair<QString, QVariantList>> statements;
    for (const QString& sql : DemoCompany::schema()) statements.push_back({sql, {}});
    for (const auto& [code, name] : suppliers)
        statements.push_back({QStringLiteral("INSERT INTO OCRD (CardCode, CardName, CardType,"
                                             " City) VALUES (?, ?, 'S', 'Querétaro')"),
                              {QString::fromUtf8(code), QString::fromUtf8(name)}});
    statements.push_back(
        {QStringLiteral("INSERT INTO OPCH (DocEntry, DocNum, CardCode, CANCELED, Series, DocDate,"
                        " DocDueDate, DocTotal, NumAtCard) VALUES (1, 101, ?, 'N', 10,"
                        " '2016-06-24', '2016-07-24', 1234.5, ?)"),
         {QString::fromUtf8("PÑ001"), QString::fromUtf8("Remisión nº 7")}});
    CodePageCompany::runOn(company.settings(), statements);

    for (const QString& driver : {*unicode, *ansi}) {
        SCOPED_TRACE(driver.toStdString());
        ConexionSAP conexion(test::throughOdbc(company.settings(), driver),
                             QStringLiteral("code-page-odbc"));
        TablaProveedores proveedores(conexion);
        proveedores.open();
        ASSERT_EQ(proveedores.recordCount(), 3);
        for (const auto& [code, name] : suppliers) {
            ASSERT_TRUE(proveedores.findCode(QString::fromUtf8(code))) << code;
            EXPECT_EQ(proveedores.value(QStringLiteral("CardName")).toString(),
                      QString::fromUtf8(name));
            EXPECT_EQ(proveedores.value(QStringLiteral("City")).toString(),
                      QString::fromUtf8("Querétaro"));
        }
        EXPECT_TRUE(proveedores.findName(QString::fromUtf8("zapateria nuñ")));
        EXPECT_EQ(proveedores.value(QStringLiteral("CardCode")).toString(),
                  QString::fromUtf8("PÑ001"));

        TablaPuente puente(conexion);
        puente.setTableName(QStringLiteral("opch"));
        puente.setCardCodeFilter(QString::fromUtf8("PÑ001"));
        puente.open();
        ASSERT_EQ(puente.recordCount(), 1);
        EXPECT_EQ(puente.value(QStringLiteral("numatcard")).toString(),
                  QString::fromUtf8("Remisión nº 7"));
        EXPECT_EQ(puente.value(QStringLiteral("doctotal")), QVariant(1234.5));
    }
}

}  // namespace
}  // namespace qev
