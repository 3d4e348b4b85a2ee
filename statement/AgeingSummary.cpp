#include "statement/AgeingSummary.h"

namespace qev {

int AgeingSummary::bucketOf(qint64 daysPastDue) {
    if (daysPastDue <= 0) return 0;
    if (daysPastDue <= 30) return 1;
    if (daysPastDue <= 60) return 2;
    if (daysPastDue <= 90) return 3;
    return 4;
}

void AgeingSummary::add(const QDate& due, Currency amount) {
    buckets[std::size_t(bucketOf(due.daysTo(asOf)))].amount += amount;
    total += amount;
}

}  // namespace qev
