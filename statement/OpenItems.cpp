#include "statement/OpenItems.h"

#include "data/PaymentLines.h"
#include "statement/VariantConversion.h"

namespace qev {

namespace {

// The ERP's object types of the documents a payment line names.
const QString InvoiceType = QStringLiteral("18");
const QString CreditNoteType = QStringLiteral("19");

}  // namespace

OpenItems::OpenItems(const std::vector<PaymentLine>& lines, const QDate& asOf) {
    for (const PaymentLine& line : lines) {
        const Currency amount = variantToCurrency(line.amount);
        // Lines on anything else (a journal entry, say) still spend the payment.
        appliedBy_[line.payment] += amount;
        if (line.date <= asOf) continue;
        if (line.invType == InvoiceType)
            laterOnInvoices_[line.document] += amount;
        else if (line.invType == CreditNoteType)
            laterOnCredits_[line.document] -= amount;  // taken credit is a negative line
    }
}

Currency OpenItems::invoice(int docEntry, Currency total, Currency paidToDate) const {
    return total - paidToDate + laterOnInvoices_.value(docEntry);
}

Currency OpenItems::creditNote(int docEntry, Currency total, Currency paidToDate) const {
    return total - paidToDate + laterOnCredits_.value(docEntry);
}

Currency OpenItems::payment(int docEntry, Currency total) const {
    return total - appliedBy_.value(docEntry);
}

}  // namespace qev
