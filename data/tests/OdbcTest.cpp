// The PostgreSQL ODBC driver hands values over unlike the native driver:
// date-times with a time of day, Null without a type, amounts as decimal texts
// when asked for precision, rows through a server cursor when so configured.
// The data layer delivers the same suppliers and documents whichever way.
#include "data/TablaProveedores.h"
#include "data/TablaPuente.h"
#include "data/tests/DemoBackends.h"
#include "testing/QtPrinters.h"

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

}  // namespace
}  // namespace qev
