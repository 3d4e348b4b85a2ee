#pragma once

#include "format/Currency.h"

#include <QDate>
#include <QString>

#include <array>

namespace qev {

// One bucket of the ageing: its label and the net amount open in it.
struct AgeingBucket {
    QString label;
    Currency amount;
};

// What is open on a supplier's account on one day, by days past the due date:
// "Corriente" (not yet due, or due that day), "1-30", "31-60", "61-90" and
// "Más de 90". Invoices count positive; credit notes and payments not yet
// applied count negative, each in the bucket of its own due date. The total is
// the sum of the five, which is the balance on that day.
struct AgeingSummary {
    QDate asOf;
    std::array<AgeingBucket, 5> buckets{{{QStringLiteral("Corriente"), {}},
                                         {QStringLiteral("1-30"), {}},
                                         {QStringLiteral("31-60"), {}},
                                         {QStringLiteral("61-90"), {}},
                                         {QStringLiteral("Más de 90"), {}}}};
    Currency total;

    // Adds an open amount due on `due` to its bucket and to the total.
    void add(const QDate& due, Currency amount);
    // The bucket of an amount `daysPastDue` days past its due date.
    static int bucketOf(qint64 daysPastDue);
};

}  // namespace qev
