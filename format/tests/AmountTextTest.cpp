#include "format/AmountText.h"
#include "format/Error.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace qev;

namespace {

Currency amount(const char* text) {
    Currency c;
    EXPECT_TRUE(Currency::tryParse(QString::fromLatin1(text), c)) << text;
    return c;
}

struct TextCase {
    const char* input;
    const char* expected;
};

}  // namespace

TEST(Valor, KeepsDigitsFirstPointAndLeadingMinus) {
    const TextCase cases[] = {
        {"", "0"},
        {"abc", "0"},
        {" 1,234.56 ", "1234.56"},
        {"$-1,234.50", "-1234.5"},
        {"12-5", "125"},  // the minus follows a kept digit
        {"1.2.3", "1.23"},
        {"-", "0"},
        {".", "0"},
        {"06", "6"},
        {"2016", "2016"},
        {"\t\n 7 \r", "7"},
        {"$1'234,567.89", "1234567.89"},
        {"-$0.0001", "-0.0001"},
        {"0.12345", "0.1234"},  // a half goes to the even neighbour
        {"0.12355", "0.1236"},
        {"0.123451", "0.1235"},  // more than a half
        {"922337203685477.5807", "922337203685477.5807"},
        {"-922337203685477.5808", "-922337203685477.5808"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(valor(QString::fromUtf8(c.input)).toString(), QString::fromLatin1(c.expected))
            << "input: " << c.input;
}

TEST(Valor, OutOfRangeNamesTheKeptText) {
    const TextCase cases[] = {
        {"12345678901234567890", "'12345678901234567890.00' is not a valid floating point value"},
        {"922337203685477.5808", "'922337203685477.5808' is not a valid floating point value"},
        {"$ -99999999999999999999.5", "'-99999999999999999999.5' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        try {
            valor(QString::fromLatin1(c.input));
            ADD_FAILURE() << "no error for " << c.input;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(c.expected));
        }
    }
}

TEST(Valor, ArbitraryInputGivesAnAmountOrTheConversionError) {
    auto* random = QRandomGenerator::global();
    const QString alphabet = QStringLiteral("0123456789.-,$' \t\x01abcZ\u00e9\u00f1");
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = random->bounded(0, 40);
        for (int i = 0; i < length; ++i) {
            // Mostly the characters valor cares about, sometimes any code unit.
            text += random->bounded(10) == 0 ? QChar(char16_t(random->bounded(1, 0xD800)))
                                             : alphabet[random->bounded(int(alphabet.size()))];
        }
        try {
            const Currency c = valor(text);
            // Whatever was parsed must come back through its own canonical text.
            EXPECT_EQ(valor(c.toString()), c) << text.toStdString();
        } catch (const ConversionError&) {
        } catch (...) {
            ADD_FAILURE() << "unexpected exception for " << text.toStdString();
        }
    }
}

TEST(Mascara, GroupsWithCommaAndApostropheAndCutsDecimals) {
    const TextCase cases[] = {
        {"0", "0.00"},
        {"0.5", "0.50"},
        {"1234.5", "1,234.50"},
        {"1234567.89", "1'234,567.89"},
        {"1234567890", "1,234'567,890.00"},
        {"1234567890123", "1'234,567'890,123.00"},
        {"-1234.5", "-1,234.50"},
        {"1.2399", "1.23"},  // cut, not rounded
        {"-0.001", "-0.00"},
        {"999", "999.00"},
        {"100000", "100,000.00"},
        {"-922337203685477.5808", "-922'337,203'685,477.58"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mascara(amount(c.input)), QString::fromLatin1(c.expected)) << c.input;
}

TEST(Pesos, PutsTheSignBeforeTheDollar) {
    const TextCase cases[] = {
        {"1234.5", "$1,234.50"}, {"-1234.5", "-$1,234.50"}, {"0", "$0.00"},
        {"0.0001", "$0.00"},     {"-0.0001", "-$0.00"},     {"-922337203685477.5808", "-$922'337,203'685,477.58"},
    };
    for (const auto& c : cases) EXPECT_EQ(pesos(amount(c.input)), QString::fromLatin1(c.expected)) << c.input;
}

TEST(Vstr, RightAlignsInAFixedWidth) {
    struct Case {
        const char* value;
        int length, decimals;
        const char* expected;
    };
    const Case cases[] = {
        {"5", 2, 0, " 5"},
        {"2016", 4, 0, "2016"},
        {"0", 2, 0, " 0"},
        {"0", 6, 2, "  0.00"},
        {"1.2345", 10, 2, "      1.23"},
        {"-5.5", 7, 2, "  -5.50"},
        {"12345", 3, 0, "345"},  // the leftmost digits are lost
        {"2.9", 3, 0, "  2"},    // cut, not rounded
        {"-5", 1, 0, "5"},       // the sign is lost with them
        {"5", -3, -1, "5.0"},  // negative widths count as positive
    };
    for (const auto& c : cases)
        EXPECT_EQ(vstr(amount(c.value), c.length, c.decimals), QString::fromLatin1(c.expected))
            << c.value << " " << c.length << " " << c.decimals;
}

TEST(FixedTexts, RepeatAndReplace) {
    EXPECT_EQ(espacero(QStringLiteral(" 5/Jun/2016")), QStringLiteral("05/Jun/2016"));
    EXPECT_EQ(ceros(0), QString());
    EXPECT_EQ(espacios(-3), QString());
    EXPECT_EQ(ceros(3), QStringLiteral("000"));
    EXPECT_EQ(espacios(2), QStringLiteral("  "));
}

TEST(CurrencyArithmetic, OverflowIsAnErrorNotAWrap) {
    EXPECT_THROW(Currency::max() + Currency::fromRaw(1), ConversionError);
    EXPECT_THROW(Currency::min() - Currency::fromRaw(1), ConversionError);
    EXPECT_THROW(-Currency::min(), ConversionError);
    EXPECT_EQ((amount("10.5") - amount("20.25")).toString(), QStringLiteral("-9.75"));
    EXPECT_EQ(Currency::fromDouble(0.00005).toString(), QStringLiteral("0"));  // tie to even
    EXPECT_EQ(Currency::fromDouble(1234.5).toString(), QStringLiteral("1234.5"));
}
