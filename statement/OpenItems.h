#pragma once

#include "format/Currency.h"

#include <QDate>
#include <QHash>

#include <vector>

namespace qev {

struct PaymentLine;

// What is still open, on one day, of a supplier's invoices, credit notes and
// payments. An invoice or credit note has open its total less its PaidToDate
// (what the ERP has applied to it up to now, Null counting as nothing), plus
// what payments dated after that day applied to it: so a past day sees the
// documents as they stood then. A payment has open its total less its lines.
class OpenItems {
  public:
    // The lines of the supplier's payments that are not cancelled.
    OpenItems(const std::vector<PaymentLine>& lines, const QDate& asOf);

    Currency invoice(int docEntry, Currency total, Currency paidToDate) const;
    Currency creditNote(int docEntry, Currency total, Currency paidToDate) const;
    Currency payment(int docEntry, Currency total) const;

  private:
    QHash<int, Currency> laterOnInvoices_;  // DocEntry -> paid by later payments
    QHash<int, Currency> laterOnCredits_;   // DocEntry -> taken by later payments
    QHash<int, Currency> appliedBy_;        // payment DocEntry -> sum of its lines
};

}  // namespace qev
