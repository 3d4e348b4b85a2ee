#include "statement/RunningBalance.h"

#include "data/TablaMovtos.h"
#include "data/TablaSql.h"
#include "format/AmountText.h"
#include "statement/VariantConversion.h"

namespace qev {

RunningBalance::RunningBalance(TablaMovtos& movtos, TablaSql& sql) : movtos_(movtos), sql_(sql) {}

void RunningBalance::run() {
    vsaldo_ = Currency();
    balances_.clear();
    sql_.close();
    sql_.open();
    try {
        walk();
    } catch (...) {
        // The balances before the failure stay, as if written one by one. The
        // failure that ended the walk is the one reported.
        try {
            writeBalances();
        } catch (...) {
        }
        throw;
    }
    writeBalances();
    sql_.close();
    sql_.open();
}

void RunningBalance::walk() {
    const int cargo = sql_.fieldIndex(QStringLiteral("cargo"));
    const int abono = sql_.fieldIndex(QStringLiteral("abono"));
    const int saldo = movtos_.fieldIndex(QStringLiteral("saldo"));
    for (sql_.first(); !sql_.eof(); sql_.next()) {
        // Amounts are read back through their text form, as the statement has
        // always done, so a Null amount is an error rather than a silent zero.
        const Currency charge = valor(variantToText(sql_.value(cargo)));
        const Currency credit = valor(variantToText(sql_.value(abono)));
        vsaldo_ = charge + vsaldo_ - credit;
        attachBalance(saldo);
    }
}

// The balance goes to the first stored row with the query row's series, number
// and date; rows that share all three therefore share that first row, which
// keeps the balance of the later one in statement order.
void RunningBalance::attachBalance(int saldoField) {
    const int record = movtos_.file()->firstWithKeyOf(sql_.storedRecord());
    if (record < 0) return;
    const QVariant saldo = vsaldo_.toDouble();
    // A balance too large for its field fails here, on its own row.
    movtos_.file()->checkValue(saldoField, saldo);
    balances_.push_back({record, {saldo, pesos(vsaldo_)}});
}

void RunningBalance::writeBalances() {
    if (balances_.empty()) return;
    movtos_.cancel();  // a row left half-filled in the table is never stored
    const std::vector<int> fields = {movtos_.fieldIndex(QStringLiteral("saldo")),
                                     movtos_.fieldIndex(QStringLiteral("msaldo"))};
    movtos_.file()->updateRecords(fields, std::move(balances_));
    balances_.clear();
}

}  // namespace qev
