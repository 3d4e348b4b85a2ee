// The hand-made number texts of the dBASE fields against Qt's, which wrote
// every file before them: the same bytes for the same value.
#include "data/DbfField.h"
#include "data/DbfNumbers.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <algorithm>
#include <bit>
#include <cstring>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace qev {
namespace {

// The hand-made text; "(Qt's)" where the field leaves the value to Qt.
std::string fixed(double value, int decimals) {
    char text[dbf::MaxFixedText];
    const int length = dbf::writeFixed(value, decimals, text);
    return length < 0 ? std::string("(Qt's)") : std::string(text, std::size_t(length));
}

std::string qtFixed(double value, int decimals) {
    return QByteArray::number(value, 'f', decimals).toStdString();
}

TEST(DbfNumbers, FixedTextsAreQtsOnTheCasesThatMatter) {
    const double cases[] = {
        0.0, 1.0, -1.0, 1234.5, -250.25, 0.1, 0.7, 1.0005, 2.675,
        0.03125,   // an exact half at the fifth decimal: away from zero
        -0.03125, 0.09375, 1.00005, 0.00005, -0.00005,
        -0.00001,  // rounds to zero and keeps its "-", as Qt writes it
        -0.0,      // no "-"
        1e-300, std::numeric_limits<double>::denorm_min(), 999999999999999.9999,
        123456789012345.6789, 4503599627370496.5, 9007199254740993.0, 8.99e14, -8.99e14,
        922337203685477.5807};
    for (double value : cases) {
        for (int decimals : {1, 2, 4, 6, 9}) {
            const std::string text = fixed(value, decimals);
            if (text != "(Qt's)") {
                EXPECT_EQ(text, qtFixed(value, decimals))
                    << value << " with " << decimals << " decimals";
            }
        }
        // Every amount a numeric field of 19 places with 4 decimals can hold.
        if (std::fabs(value) < 1e14) {
            EXPECT_NE(fixed(value, 4), "(Qt's)") << value;
        }
    }
}

TEST(DbfNumbers, FixedTextsAreQtsOverAMillionValues) {
    QRandomGenerator random(20240611u);
    for (int i = 0; i < 1'000'000; ++i) {
        double value = 0;
        switch (i % 4) {
            case 0:  // amounts in cents, as documents hold them
                value = double(qint64(random.bounded(2'000'000'000)) - 1'000'000'000) / 100.0;
                break;
            case 1:  // binary fractions: exact halves somewhere
                value = double(qint64(random.generate64() % (1ull << 50)) - (1ll << 49)) /
                        double(1ull << random.bounded(1, 30));
                break;
            case 2:  // any bits within the fast range
                value = std::bit_cast<double>(random.generate64());
                if (!std::isfinite(value) || std::fabs(value) > 1e14) value = std::fmod(value, 1e14);
                if (!std::isfinite(value)) value = 0;
                break;
            default:  // sums of many amounts, as balances are
                value = random.generateDouble() * 1e12 - 5e11;
                break;
        }
        ASSERT_EQ(fixed(value, 4), qtFixed(value, 4)) << std::bit_cast<std::uint64_t>(value);
    }
}

TEST(DbfNumbers, ValuesBeyondThePlainPathAreLeftToQt) {
    EXPECT_EQ(fixed(1e15, 4), "(Qt's)");
    EXPECT_EQ(fixed(std::numeric_limits<double>::infinity(), 4), "(Qt's)");
    EXPECT_EQ(fixed(std::nan(""), 4), "(Qt's)");
    EXPECT_EQ(fixed(1.5, 10), "(Qt's)");
}

// Reading a stored number: the plain decimal path gives the double Qt's
// conversion gives, bit for bit, and refuses what it does not read.
TEST(DbfNumbers, PlainDecimalsReadAsQtReadsThem) {
    const char* texts[] = {"0",        "-0",          "0.0000",     "-0.0000",    "1234.5000",
                           "-250.2500", "0.1",        ".5",         "12.",        "007",
                           "12345678901234.6789", "9007199254740993", "999999999999999999"};
    for (const char* text : texts) {
        const auto plain = dbf::parseDecimal(text, int(std::strlen(text)));
        ASSERT_TRUE(plain) << text;
        if (const auto number = dbf::exactDouble(*plain)) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(*number),
                      std::bit_cast<std::uint64_t>(QByteArray(text).toDouble()))
                << text;
        }
    }
    for (const char* text : {"", "-", ".", "1.2.3", "+5", "1e5", "1 2", "--1", "nan",
                             "1234567890123456789", "123456789012345.6789"})
        EXPECT_FALSE(dbf::parseDecimal(text, int(std::strlen(text)))) << text;
}

TEST(DbfNumbers, FieldsReadWhatTheyStore) {
    const DbfField total{QStringLiteral("TOTAL"), 'N', 19, 4, 0, 0};
    QRandomGenerator random(7u);
    char bytes[19];
    for (int i = 0; i < 100'000; ++i) {
        const double value = double(qint64(random.generate64() % 2'000'000'000'000) -
                                    1'000'000'000'000) / 10000.0;
        total.storeNumber(bytes, value);
        const QByteArray stored(bytes, 19);
        ASSERT_EQ(stored.trimmed(), QByteArray::number(value, 'f', 4));
        ASSERT_EQ(total.load(bytes).toDouble(), stored.trimmed().toDouble()) << stored.constData();
        ASSERT_EQ(total.loadAmount(bytes)->toDouble(), value) << stored.constData();
        ASSERT_EQ(total.loadDouble(bytes), value) << stored.constData();
    }
}

TEST(DbfNumbers, NumbersReadAsDoublesAreTheValuesReadAsDoubles) {
    const char* texts[] = {"", "*******", "-0", "42", "-7.5", "1.5E+3", "12.", "abc",
                           "123456789012345678"};
    for (int decimals : {0, 4}) {
        const DbfField field{QStringLiteral("TOTAL"), 'N', 19, decimals, 0, 0};
        for (const char* text : texts) {
            char bytes[19];
            std::fill(std::begin(bytes), std::end(bytes), ' ');
            std::copy_n(text, std::strlen(text), bytes + 19 - std::strlen(text));
            const QVariant loaded = field.load(bytes);
            const std::optional<double> number = field.loadDouble(bytes);
            EXPECT_EQ(number.has_value(), !loaded.isNull()) << text;
            if (number) {
                EXPECT_EQ(std::bit_cast<std::uint64_t>(*number),
                          std::bit_cast<std::uint64_t>(loaded.toDouble()))
                    << text << " with " << decimals << " decimals";
            }
        }
    }
}

}  // namespace
}  // namespace qev
