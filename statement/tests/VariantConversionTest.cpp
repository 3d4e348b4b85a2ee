#include "statement/VariantConversion.h"

#include "StatementHarness.h"
#include "testing/QtPrinters.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace qev::testing {
namespace {

TEST(VariantConversion, TextFormIsShortestDecimalWithoutExponent) {
    const std::pair<QVariant, QString> cases[] = {
        {1234.5, "1234.5"},
        {0.0, "0"},
        {5.0, "5"},
        {-250.0, "-250"},
        {0.0001, "0.0001"},  // never "1e-04", which valor would misread
        {1e20, "100000000000000000000"},
        {0.1 + 0.2, "0.30000000000000004"},  // the stored double, exactly as it reads back
        {QVariant(42), "42"},
        {QVariant(qlonglong(9000000000)), "9000000000"},
        {QString("1,234.50"), "1,234.50"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(variantToText(value), text) << value.toString().toStdString();
}

TEST(VariantConversion, NullHasNoTextAmountOrDate) {
    EXPECT_EQ(errorOf([] { variantToText(QVariant()); }),
              "Could not convert variant of type (Null) into type (OleStr)");
    EXPECT_EQ(errorOf([] { variantToCurrency(QVariant()); }),
              "Could not convert variant of type (Null) into type (Currency)");
    EXPECT_EQ(errorOf([] { variantToDate(QVariant()); }),
              "Could not convert variant of type (Null) into type (Double)");
    // A typed Null, as drivers hand them out, is Null too.
    EXPECT_EQ(errorOf([] { variantToDate(QVariant(QMetaType::fromType<QDate>())); }),
              "Could not convert variant of type (Null) into type (Double)");
    EXPECT_EQ(errorOf([] { variantToCurrency(QVariant(QMetaType::fromType<double>())); }),
              "Could not convert variant of type (Null) into type (Currency)");
}

TEST(VariantConversion, AmountsFromEveryDriverForm) {
    EXPECT_EQ(variantToCurrency(1234.5), Currency::fromRaw(12345000));
    EXPECT_EQ(variantToCurrency(0.30000000000000004), Currency::fromRaw(3000));
    EXPECT_EQ(variantToCurrency(QVariant(7)), Currency::fromUnits(7));
    EXPECT_EQ(variantToCurrency(QString("1234.567800")),
              Currency::fromRaw(12345678));  // high-precision numeric
    EXPECT_EQ(errorOf([] { variantToCurrency(QString("abc")); }),
              "Could not convert variant of type (String) into type (Currency)");
}

TEST(VariantConversion, DatesFromEveryDriverForm) {
    const QDate june24(2016, 6, 24);
    EXPECT_EQ(variantToDate(june24), june24);
    EXPECT_EQ(variantToDate(QDateTime(june24, QTime(13, 5))), june24);
    EXPECT_EQ(variantToDate(QString("2016-06-24")), june24);
    EXPECT_EQ(variantToDate(QString("2016-06-24 00:00:00")), june24);
    EXPECT_EQ(variantToDate(QString("2016-06-24T00:00:00.000")), june24);
    EXPECT_EQ(errorOf([] { variantToDate(QString("ayer")); }),
              "Could not convert variant of type (String) into type (Double)");
}

TEST(VariantConversion, SameValue) {
    EXPECT_TRUE(sameValue(QVariant(), QVariant(QMetaType::fromType<double>())));
    EXPECT_TRUE(sameValue(QVariant(17), 17.0));
    EXPECT_FALSE(sameValue(QVariant(17), QVariant()));
    EXPECT_FALSE(sameValue(17.0, 18.0));
    EXPECT_TRUE(sameValue(QString("A"), QString("A")));
    EXPECT_FALSE(sameValue(QString("A"), QString("a")));
}

}  // namespace
}  // namespace qev::testing
