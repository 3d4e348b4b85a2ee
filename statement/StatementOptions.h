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

    bool isWholeHistory() const { return !from.isValid() && !to.isValid(); }

    // Throws qev::Error with a Spanish text when `from` comes after `to`.
    void check() const;

    // The line under the title of the printed statement, empty for the whole
    // history: "PERIODO: 01/ENE/2016 AL 31/MAR/2016", "PERIODO: DESDE EL
    // 01/ENE/2016", "PERIODO: HASTA EL 31/MAR/2016".
    QString heading() const;
    // The period as {periodo} of the mail templates says it: "del 01/ENE/2016
    // al 31/MAR/2016", "desde el 01/ENE/2016", "al 31/MAR/2016"; for the whole
    // history "al " + today.
    QString mailPeriod() const;
};

// A date as the statement shows it: "31/MAR/2016".
QString statementDateText(const QDate& date);

}  // namespace qev
