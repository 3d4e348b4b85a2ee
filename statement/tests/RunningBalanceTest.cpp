#include "StatementHarness.h"

#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaSql.h"
#include "statement/RunningBalance.h"
#include "testing/QtPrinters.h"

#include <QTemporaryDir>

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

}  // namespace
}  // namespace qev::testing
