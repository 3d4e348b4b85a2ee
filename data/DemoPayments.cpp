#include "data/DemoDocuments.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace qev::demo {

bool Document::accepted() const {
    if (canceled != QLatin1String("N")) return false;
    switch (table) {
        case Invoice:
            return series != 63;
        case CreditNote:
            return docType == QLatin1String("S") || docType == QLatin1String("I");
        case Payment:
            return true;
    }
    return false;
}

namespace {

// What is still open on one invoice or credit note.
struct Open {
    std::size_t document;
    std::int64_t cents;
};

// A supplier's open documents: invoices by due date, credit notes by date.
struct Account {
    std::vector<Open> invoices;
    std::vector<Open> credits;
};

class Applications {
  public:
    Applications(std::vector<Document>& documents, std::uint64_t seed)
        : documents_(documents), rng_(seed) {}

    void add(std::size_t index, Account& account) {
        const Document& d = documents_[index];
        if (d.table == Payment) {
            if (d.canceled == QLatin1String("N")) {
                pay(index, account, true);
            } else if (rng_.chance(50)) {
                // The ERP keeps the lines of a payment it cancelled; they
                // apply nothing.
                Account untouched = account;
                pay(index, untouched, false);
            }
            return;
        }
        documents_[index].paidCents = 0;
        if (!d.accepted() || d.totalCents == 0) return;  // nothing to pay
        if (d.table == CreditNote) {
            account.credits.push_back({index, d.totalCents});
            return;
        }
        const auto byDue = [this](const Open& a, const Open& b) {
            const Document& x = documents_[a.document];
            const Document& y = documents_[b.document];
            return std::tie(x.due, x.entry) < std::tie(y.due, y.entry);
        };
        const Open open{index, d.totalCents};
        account.invoices.insert(
            std::upper_bound(account.invoices.begin(), account.invoices.end(), open, byDue), open);
    }

    std::vector<PaymentLine> lines;

  private:
    // Half the payments first take the supplier's open credit notes, as far as
    // the open invoices absorb them; one in five keeps part of its money on
    // account; credit and money then pay the invoices due first.
    void pay(std::size_t payment, Account& account, bool applied) {
        int line = 0;
        const auto take = [&](Open& open, std::int64_t cents) {
            Document& target = documents_[open.document];
            lines.push_back({documents_[payment].entry, line++, target.table, target.entry,
                             target.table == CreditNote ? -cents : cents});
            open.cents -= cents;
            if (applied) target.paidCents += cents;
        };
        std::int64_t owed = 0;
        for (const Open& open : account.invoices) owed += open.cents;

        std::int64_t credit = 0;
        if (rng_.chance(50)) {
            for (Open& open : account.credits) {
                const std::int64_t cents = std::min(open.cents, owed - credit);
                if (cents <= 0) break;
                take(open, cents);
                credit += cents;
            }
        }
        std::int64_t money = documents_[payment].totalCents;
        if (rng_.chance(20)) money = money * rng_.between(30, 90) / 100;
        std::int64_t spend = credit + money;
        for (Open& open : account.invoices) {
            const std::int64_t cents = std::min(open.cents, spend);
            if (cents <= 0) break;
            take(open, cents);
            spend -= cents;
        }
        const auto closed = [](const Open& open) { return open.cents == 0; };
        std::erase_if(account.invoices, closed);
        std::erase_if(account.credits, closed);
    }

    std::vector<Document>& documents_;
    Random rng_;
};

}  // namespace

std::vector<PaymentLine> applyPayments(std::vector<Document>& documents, std::uint64_t seed,
                                       int untouchedPartner) {
    Applications applications(documents, seed);
    std::unordered_map<int, Account> accounts;
    for (std::size_t i = 0; i < documents.size(); ++i)
        if (documents[i].partner != untouchedPartner)
            applications.add(i, accounts[documents[i].partner]);
    return std::move(applications.lines);
}

}  // namespace qev::demo
