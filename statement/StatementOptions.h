#pragma once

#include <QDate>
#include <QString>

namespace qev {

// What a statement covers. The default, no dates and every movement, is the
// supplier's whole history. The window, the batch print and the spreadsheet
// exports fill one of these and hand it to StatementBuilder::build.
struct StatementOptions {
    // Movements dated before `from` are summed into one opening row "SALDO
    // ANTERIOR"; null: from the first movement.
    QDate from;
    // Movements dated after `to` are left out; null: up to the last one.
    QDate to;
    // Only what is still open on asOf(): invoices not paid in full, credit notes
    // and payments not applied in full, each with its open amount, and the
    // ageing of these. Goes with `to` only.
    bool openItems = false;

    bool isWholeHistory() const { return !from.isValid() && !to.isValid() && !openItems; }
    // The day open items are worked out on: `to`, or today.
    QDate asOf() const { return to.isValid() ? to : QDate::currentDate(); }
    // The last movement date a statement takes: `to`, and for open items today
    // when `to` is not set; null when there is no such bound.
    QDate lastDay() const { return openItems ? asOf() : to; }

    // Throws qev::Error with a Spanish text when `from` comes after `to`, or
    // when open items are asked for with `from`.
    void check() const;

    // The line under the title of the printed statement, empty for the whole
    // history: "PERIODO: 01/ENE/2016 AL 31/MAR/2016", "PERIODO: DESDE EL
    // 01/ENE/2016", "PERIODO: HASTA EL 31/MAR/2016", or for open items
    // "PARTIDAS ABIERTAS AL 31/MAR/2016".
    QString heading() const;
    // The period as {periodo} of the mail templates says it: "del 01/ENE/2016
    // al 31/MAR/2016", "desde el 01/ENE/2016", "al 31/MAR/2016", "de partidas
    // abiertas al 31/MAR/2016"; for the whole history "al " + today.
    QString mailPeriod() const;
};

// A date as the statement shows it: "31/MAR/2016".
QString statementDateText(const QDate& date);

}  // namespace qev
