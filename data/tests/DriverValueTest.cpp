#include "data/DriverValue.h"
#include "testing/QtPrinters.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

namespace qev {
namespace {

struct Case {
    QVariant given;
    FieldType type;
    QVariant expected;
};

// What each driver hands over, and the one type the rest of qev sees.
TEST(DriverValue, OneTypePerFieldKindNullKeptAndWhatDoesNotConvertAsGiven) {
    const QDate day(2016, 6, 24);
    const Case cases[] = {
        {QStringLiteral("2016-06-24"), FieldType::Date, day},           // SQLite
        {QStringLiteral("2016-06-24 23:59:59"), FieldType::Date, day},  // a time of day
        {QStringLiteral("2016-06-24T00:00:00"), FieldType::Date, day},
        {QStringLiteral("2016/06/24"), FieldType::Date, day},  // Qt's ISO reading allows it
        {QDateTime(day, QTime(23, 59, 59)), FieldType::Date, day},  // ODBC
        {day, FieldType::Date, day},
        {QStringLiteral("2016-02-30"), FieldType::Date, QStringLiteral("2016-02-30")},
        {QStringLiteral("0000-01-01"), FieldType::Date, QStringLiteral("0000-01-01")},
        {QStringLiteral("2016-6-24"), FieldType::Date, QStringLiteral("2016-6-24")},
        {QStringLiteral("24/06/2016"), FieldType::Date, QStringLiteral("24/06/2016")},
        {QVariant(qlonglong(10023)), FieldType::Integer, 10023},  // SQLite, PostgreSQL
        {QVariant(10023), FieldType::Integer, 10023},
        {QVariant(qlonglong(1) << 40), FieldType::Integer, 0},  // as QVariant::toInt cuts it
        {QStringLiteral("64"), FieldType::Integer, 64},          // ODBC decimal text
        {3.7, FieldType::Integer, 4},
        {QStringLiteral("x"), FieldType::Integer, QStringLiteral("x")},
        {1234.5, FieldType::Float, 1234.5},
        {QVariant(qlonglong(1234)), FieldType::Float, 1234.0},
        {QStringLiteral("1234.500000"), FieldType::Float, 1234.5},  // PostgreSQL numeric
        {QStringLiteral("abc"), FieldType::Float, QStringLiteral("abc")},
        {QStringLiteral("N"), FieldType::String, QStringLiteral("N")},
        {QVariant(7), FieldType::String, QStringLiteral("7")},
        {QVariant(), FieldType::Date, QVariant()},
        {QVariant(QMetaType::fromType<QString>()), FieldType::Float, QVariant()},
    };
    for (const Case& c : cases) {
        const QVariant got = driverValue(c.given, c.type);
        EXPECT_EQ(got.typeId(), c.expected.typeId()) << c.given.toString().toStdString();
        EXPECT_EQ(got, c.expected) << c.given.toString().toStdString();
    }
}

}  // namespace
}  // namespace qev
