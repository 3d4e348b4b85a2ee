#pragma once

// The pieces of the demo company's generator that DemoCompany.cpp and
// DemoPayments.cpp share: its random numbers and its documents.

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace qev::demo {

// splitmix64: the same numbers on every platform and library, unlike the
// standard distributions.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& items) {
        return items[std::size_t(below(int(N)))];
    }

  private:
    std::uint64_t state_;
};

enum Table { Invoice, CreditNote, Payment };

struct Document {
    Table table;
    int partner;
    QString canceled;
    int series;
    QString docType;  // credit notes only
    QDate date;
    QDate due;
    std::int64_t totalCents;
    QString reference;       // null: Null
    std::int64_t paidCents;  // PaidToDate; -1: Null
    int entry = 0;           // DocEntry, numbered in date order within its table

    // Taken by a statement: not cancelled, and no invoice of series 63 nor a
    // credit note of a doctype other than "S" and "I".
    bool accepted() const;
};

// A row of VPM2: a line of an outgoing payment. Invoices are paid with
// positive amounts; a credit note taken into a payment has a negative one.
struct PaymentLine {
    int payment;  // OVPM.DocEntry
    int line;     // from 0 within the payment
    Table target;
    int entry;  // DocEntry of the invoice or credit note
    std::int64_t cents;
};

// Applies each payment not cancelled to its supplier's open documents, in date
// order, and sets PaidToDate of every invoice and credit note to what was
// applied to it. Documents of `untouchedPartner` keep their PaidToDate and get
// no lines.
std::vector<PaymentLine> applyPayments(std::vector<Document>& documents, std::uint64_t seed,
                                       int untouchedPartner);

}  // namespace qev::demo
