#include "statement/RunningBalance.h"

#include "data/TablaMovtos.h"
#include "data/TablaSql.h"
#include "format/AmountText.h"
#include "statement/VariantConversion.h"

namespace qev {

namespace {

// Amounts are read back through their text form, as the statement has always
// done, so a Null amount is an error rather than a silent zero.
Currency amountOf(const TablaSql& sql, const QString& field) {
    return valor(variantToText(sql.value(field)));
}

}  // namespace

RunningBalance::RunningBalance(TablaMovtos& movtos, TablaSql& sql) : movtos_(movtos), sql_(sql) {}

void RunningBalance::run() {
    vsaldo_ = Currency();
    sql_.close();
    sql_.open();
    for (sql_.first(); !sql_.eof(); sql_.next()) {
        const Currency charge = amountOf(sql_, QStringLiteral("cargo"));
        const Currency credit = amountOf(sql_, QStringLiteral("abono"));
        vsaldo_ = charge + vsaldo_ - credit;
        writeBalance();
    }
    sql_.close();
    sql_.open();
}

// The balance goes to the first stored row with the query row's series, number
// and date; rows that share all three therefore share that first row.
void RunningBalance::writeBalance() {
    const QVariant folio = sql_.value(QStringLiteral("folio"));
    const bool found = movtos_.locate(sql_.value(QStringLiteral("serie")).toString(), folio,
                                      sql_.value(QStringLiteral("fecha")).toString());
    // A failed locate leaves some other row current: never write there, even if
    // its number happens to match.
    if (!found || !sameValue(movtos_.field(QStringLiteral("folio")), folio)) return;
    movtos_.edit();
    try {
        movtos_.setField(QStringLiteral("saldo"), vsaldo_.toDouble());
        movtos_.setField(QStringLiteral("msaldo"), pesos(vsaldo_));
        movtos_.post();
    } catch (...) {
        movtos_.cancel();
        throw;
    }
}

}  // namespace qev
