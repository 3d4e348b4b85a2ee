#include "StatementHarness.h"

#include "data/DbfField.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaSql.h"
#include "format/AmountText.h"
#include "statement/RunningBalance.h"
#include "statement/VariantConversion.h"
#include "testing/QtPrinters.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

namespace qev::testing {
namespace {

// Rows put straight into the movements table, as no build would write them.
class RunningBalanceOnFile : public ::testing::Test {
  protected:
    void addRow(const char* serie, int folio, const char* fecha, const QVariant& cargo,
                const QVariant& abono) {
        movtos.append();
        movtos.setField("serie", serie);
        movtos.setField("folio", folio);
        movtos.setField("fecha", fecha);
        movtos.setField("total", 1);
        movtos.setField("cargo", cargo);
        movtos.setField("abono", abono);
        movtos.post();
    }

    QTemporaryDir directory;
    std::shared_ptr<MovementsFile> file = MovementsFile::open(directory.path());
    TablaMovtos movtos{file};
    TablaSql sql{file};
};

TEST_F(RunningBalanceOnFile, NullAmountEndsTheRunKeepingEarlierBalances) {
    addRow("FACSI", 1, "2016/01/05", 100, 0);
    addRow("PAGO", 2, "2016/01/06", 0, QVariant());
    addRow("PAGO", 3, "2016/01/07", 0, 30);
    sql.open();
    EXPECT_EQ(errorOf([&] { RunningBalance(movtos, sql).run(); }),
              "Could not convert variant of type (Null) into type (OleStr)");
    sql.close();
    sql.open();
    const auto rows = statementRows(sql);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(shown(rows[0].value("MSALDO")), "$100.00");
    EXPECT_EQ(shown(rows[1].value("MSALDO")), "<Null>");
    EXPECT_EQ(shown(rows[2].value("MSALDO")), "<Null>");
}

TEST_F(RunningBalanceOnFile, ReadsAmountsThroughTheirTextForm) {
    // 0.1 + 0.2 - 0.3 is not 0 in doubles; read as amounts it is.
    addRow("FACSI", 1, "2016/01/05", 0.1, 0);
    addRow("FACSI", 2, "2016/01/06", 0.2, 0);
    addRow("PAGO", 3, "2016/01/07", 0, 0.3);
    addRow("FACSI", 4, "2016/01/08", 1234.5678, 0);
    sql.open();
    RunningBalance(movtos, sql).run();
    EXPECT_TRUE(sql.isOpen());
    const auto rows = statementRows(sql);
    QStringList saldos, texts;
    for (const auto& row : rows) {
        saldos << shown(row.value("SALDO"));
        texts << shown(row.value("MSALDO"));
    }
    EXPECT_EQ(saldos, QStringList({"0.1", "0.3", "0", "1234.5678"}));
    EXPECT_EQ(texts, QStringList({"$0.10", "$0.30", "$0.00", "$1,234.56"}));
}

// The walk reads a plainly stored amount straight from its digits; that must
// be the amount its text form gives, or else the slow reading is taken.
TEST(RunningBalanceAmounts, DigitsReadStraightGiveTheAmountOfTheTextForm) {
    struct Case {
        int decimals;
        const char* stored;
        bool straight;  // read from the digits, not through the text form
    };
    const Case cases[] = {
        {4, "1234.5000", true},      {4, "-0.0000", true},       {4, "0.0001", true},
        {4, "-250.2500", true},      {4, "99999999999.9999", true},  // fifteen digits
        {4, "999999999999.9999", false},                               // sixteen
        {0, "42", true},             {0, "-7", true},            {2, "0.10", true},
        {6, "0.123450", false},      {4, "1.5E+3", false},       {4, "*****", false},
        {4, "", false}};
    for (const Case& c : cases) {
        const DbfField field{QStringLiteral("CARGO"), 'N', 19, c.decimals, 0, 0};
        char bytes[19];
        std::fill(std::begin(bytes), std::end(bytes), ' ');
        const std::size_t length = std::strlen(c.stored);
        std::copy_n(c.stored, length, bytes + 19 - length);
        const auto straight = field.loadAmount(bytes);
        EXPECT_EQ(straight.has_value(), c.straight) << c.stored;
        if (straight) {
            EXPECT_EQ(*straight, valor(variantToText(field.load(bytes)))) << c.stored;
        }
    }
    const DbfField saldo{QStringLiteral("SALDO"), 'N', 19, 4, 0, 0};
    QRandomGenerator random(11u);
    for (int i = 0; i < 100'000; ++i) {
        const Currency amount =
            Currency::fromRaw(qint64(random.generate64() % 2'000'000'000'000'000) -
                              1'000'000'000'000'000);  // fifteen digits at most
        char bytes[19];
        saldo.storeNumber(bytes, amount.toDouble());
        ASSERT_EQ(saldo.loadAmount(bytes), valor(variantToText(saldo.load(bytes))))
            << amount.toString().toStdString();
    }
}

}  // namespace
}  // namespace qev::testing
