#include "statement/RunningBalance.h"

#include "data/MovementsFile.h"
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
        const Currency charge = amountOf(cargo);
        const Currency credit = amountOf(abono);
        vsaldo_ = charge + vsaldo_ - credit;
        attachBalance(saldo);
    }
}

// Amounts are read back through their text form, as the statement has always
// done, so a Null amount is an error rather than a silent zero. A plain stored
// decimal gives that same amount straight from its digits.
Currency RunningBalance::amountOf(int field) const {
    if (const auto amount = sql_.amount(field)) return *amount;
    return valor(variantToText(sql_.value(field)));
}

// The balance goes to the first stored row with the query row's series, number
// and date; rows that share all three therefore share that first row, which
// keeps the balance of the later one in statement order.
void RunningBalance::attachBalance(int saldoField) {
    const int record = movtos_.file()->firstWithKeyOf(sql_.storedRecord());
    if (record < 0) return;
    // A balance too large for its field fails here, on its own row.
    movtos_.file()->checkValue(saldoField, vsaldo_.toDouble());
    balances_.push_back({record, vsaldo_});
}

void RunningBalance::writeBalances() {
    if (balances_.empty()) return;
    movtos_.cancel();  // a row left half-filled in the table is never stored
    // A row that receives several balances keeps the last; the rows are
    // written in stored order.
    std::vector<int> last(std::size_t(movtos_.file()->storedRecords()), -1);
    for (std::size_t i = 0; i < balances_.size(); ++i)
        last[std::size_t(balances_[i].record)] = int(i);
    std::vector<int> records;
    std::vector<Currency> saldos;
    for (std::size_t record = 0; record < last.size(); ++record) {
        if (last[record] < 0) continue;
        records.push_back(int(record));
        saldos.push_back(balances_[std::size_t(last[record])].saldo);
    }
    balances_.clear();
    const MovementsFile& file = *movtos_.file();
    const int saldo = movtos_.fieldIndex(QStringLiteral("saldo"));
    const int msaldo = movtos_.fieldIndex(QStringLiteral("msaldo"));
    movtos_.file()->rewriteRecords(records, [&](std::size_t i, char* raw) {
        file.setRecordNumber(raw, saldo, saldos[i].toDouble());
        char text[MaxPesosText];
        file.setRecordText(raw, msaldo, QLatin1String(text, writePesos(saldos[i], text)));
    });
}

}  // namespace qev
