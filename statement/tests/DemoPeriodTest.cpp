// Statements for a period and of open items for every supplier of the demo
// company, on each database, against SQL queries of their own.

#include "StatementHarness.h"

#include "data/tests/DemoBackends.h"
#include "format/AmountText.h"
#include "statement/VariantConversion.h"
#include "testing/QtPrinters.h"

#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

namespace qev::testing {
namespace {

// Every accepted movement with its signed amount, as the statement takes them.
const char* const Movements =
    "SELECT CardCode, DocDate, DocTotal AS Amount FROM OPCH"
    " WHERE CANCELED = 'N' AND (Series IS NULL OR Series <> 63)"
    " UNION ALL SELECT CardCode, DocDate, -DocTotal FROM ORPC"
    " WHERE CANCELED = 'N' AND DocType IN ('S', 'I')"
    " UNION ALL SELECT CardCode, DocDate, -DocTotal FROM OVPM WHERE CANCELED = 'N'";

// What a period statement must show for one supplier.
struct PeriodExpectation {
    int movements = 0;  // dated in the period
    Currency opening;   // the balance before it
    Currency closing;   // the balance at its end
};

// Dates of the period as bounds on date-times: from midnight of `from` to
// before midnight of the day after `to`; no bound stands for all time.
QDate lowerBound(const QDate& from) {
    return from.isValid() ? from : QDate(1900, 1, 1);
}
QDate upperBound(const QDate& to) {
    return to.isValid() ? to.addDays(1) : QDate(9999, 12, 31);
}

Currency amountOf(const QVariant& value) {
    return value.isNull() ? Currency() : variantToCurrency(value);
}

std::map<QString, PeriodExpectation> periodExpectations(QSqlDatabase db,
                                                         const StatementOptions& period) {
    QSqlQuery query(db);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    EXPECT_TRUE(query.prepare(
        QStringLiteral("SELECT CardCode,"
                       " SUM(CASE WHEN DocDate >= ? AND DocDate < ? THEN 1 ELSE 0 END),"
                       " SUM(CASE WHEN DocDate < ? THEN Amount ELSE 0 END),"
                       " SUM(CASE WHEN DocDate < ? THEN Amount ELSE 0 END)"
                       " FROM (%1) m GROUP BY CardCode")
            .arg(QLatin1String(Movements))));
    for (const QDate& bound : {lowerBound(period.from), upperBound(period.to),
                               lowerBound(period.from), upperBound(period.to)})
        query.addBindValue(bound);
    EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
    std::map<QString, PeriodExpectation> result;
    while (query.next())
        result[query.value(0).toString()] = {query.value(1).toInt(), amountOf(query.value(2)),
                                             amountOf(query.value(3))};
    return result;
}

QStringList supplierCodes(QSqlDatabase db) {
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(
        QStringLiteral("SELECT CardCode FROM OCRD WHERE CardType = 'S' ORDER BY CardCode")));
    QStringList codes;
    while (query.next()) codes << query.value(0).toString();
    return codes;
}

Currency currencyOf(const QVariant& value) {
    return Currency::fromDouble(value.toDouble());
}

QString sortable(const QDate& date) {
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

class DemoPeriodTest : public OnEachDatabase {};

// Opening balance plus the period's movements is the balance of the whole
// history at the period's end, for every supplier: a period inside the two
// years, one ending before the first movement, one after the last (empty),
// and the two with one end open.
TEST_P(DemoPeriodTest, OpeningBalancePlusThePeriodIsTheBalanceAtItsEnd) {
    const StatementOptions periods[] = {
        {QDate(2016, 1, 1), QDate(2016, 3, 31)},
        {QDate(2014, 1, 1), QDate(2014, 12, 31)},
        {QDate(2017, 1, 1), QDate(2017, 12, 31)},
        {QDate(2016, 7, 1), {}},
        {{}, QDate(2015, 6, 30)},
    };
    const QStringList codes = supplierCodes(conexion->database());
    ASSERT_GT(codes.size(), 300);
    StatementHarness harness(*conexion);
    for (const StatementOptions& period : periods) {
        SCOPED_TRACE(period.heading().toStdString());
        const auto expected = periodExpectations(conexion->database(), period);
        int movements = 0;
        for (const QString& code : codes) {
            SCOPED_TRACE(code.toStdString());
            const PeriodExpectation e = expected.count(code) ? expected.at(code) : PeriodExpectation{};
            harness.builder.build(code, period);
            std::vector<QVariantMap> rows = statementRows(harness.sql);
            if (period.from.isValid()) {
                ASSERT_FALSE(rows.empty());
                const QVariantMap opening = rows.front();
                EXPECT_EQ(opening.value("REFERENCIA").toString(), u"SALDO ANTERIOR");
                EXPECT_EQ(opening.value("FECHA").toString(), sortable(period.from.addDays(-1)));
                EXPECT_EQ(currencyOf(opening.value("SALDO")), e.opening);
                EXPECT_EQ(opening.value("MSALDO").toString(), pesos(e.opening));
            }
            const std::size_t firstMovement = period.from.isValid() ? 1 : 0;
            ASSERT_EQ(int(rows.size() - firstMovement), e.movements);
            for (std::size_t i = firstMovement; i < rows.size(); ++i) {
                const QString fecha = rows[i].value("FECHA").toString();
                EXPECT_GE(fecha, sortable(lowerBound(period.from)));
                EXPECT_LT(fecha, sortable(upperBound(period.to)));
            }
            EXPECT_EQ(currencyOf(lastBalance(rows)), e.closing);
            movements += e.movements;
        }
        if (period.from == QDate(2016, 1, 1)) {
            EXPECT_GT(movements, 1000);
        }
    }
}

// One open document as the SQL below finds it: its number, its open amount
// (negative for credit notes and payments) and the ageing bucket of its due date.
struct OpenDocument {
    int docnum;
    Currency amount;
    int bucket;
    auto operator<=>(const OpenDocument&) const = default;
};

// Open on `day`: invoices less what payments dated up to then applied to them,
// credit notes less what such payments took of them, payments less their
// lines; only documents dated up to then, from VPM2 alone.
std::map<QString, std::vector<OpenDocument>> openDocuments(QSqlDatabase db, const QDate& day) {
    const QString lines = QStringLiteral(
        "SELECT SUM(l.SumApplied) FROM VPM2 l JOIN OVPM p ON p.DocEntry = l.DocNum"
        " WHERE p.CANCELED = 'N' AND p.DocDate < :next AND l.InvType = '%1'"
        " AND l.DocEntry = d.DocEntry");
    const QString sql =
        QStringLiteral(
            "SELECT CardCode, DocNum, Amount, CASE WHEN DocDueDate >= :d0 THEN 0"
            " WHEN DocDueDate >= :d30 THEN 1 WHEN DocDueDate >= :d60 THEN 2"
            " WHEN DocDueDate >= :d90 THEN 3 ELSE 4 END FROM ("
            " SELECT d.CardCode, d.DocNum, d.DocDueDate,"
            "  d.DocTotal - COALESCE((%1), 0) AS Amount FROM OPCH d"
            "  WHERE d.CANCELED = 'N' AND (d.Series IS NULL OR d.Series <> 63) AND d.DocDate < :next"
            " UNION ALL SELECT d.CardCode, d.DocNum, d.DocDueDate,"
            "  -(d.DocTotal + COALESCE((%2), 0)) FROM ORPC d"
            "  WHERE d.CANCELED = 'N' AND d.DocType IN ('S', 'I') AND d.DocDate < :next"
            " UNION ALL SELECT d.CardCode, d.DocNum, d.DocDueDate,"
            "  -(d.DocTotal - COALESCE((SELECT SUM(l.SumApplied) FROM VPM2 l"
            "   WHERE l.DocNum = d.DocEntry), 0)) FROM OVPM d"
            "  WHERE d.CANCELED = 'N' AND d.DocDate < :next) o")
            .arg(lines.arg(QLatin1String("18")), lines.arg(QLatin1String("19")));
    QSqlQuery query(db);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    EXPECT_TRUE(query.prepare(sql)) << query.lastError().text().toStdString();
    query.bindValue(QStringLiteral(":next"), day.addDays(1));
    query.bindValue(QStringLiteral(":d0"), day);
    query.bindValue(QStringLiteral(":d30"), day.addDays(-30));
    query.bindValue(QStringLiteral(":d60"), day.addDays(-60));
    query.bindValue(QStringLiteral(":d90"), day.addDays(-90));
    EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
    std::map<QString, std::vector<OpenDocument>> result;
    while (query.next()) {
        const Currency amount = amountOf(query.value(2));
        if (amount.isZero()) continue;  // nothing open
        result[query.value(0).toString()].push_back(
            {query.value(1).toInt(), amount, query.value(3).toInt()});
    }
    for (auto& [code, documents] : result) std::sort(documents.begin(), documents.end());
    return result;
}

// The open items of every supplier on several days equal what the SQL finds
// from the payment lines, document by document; the ageing buckets are their
// sums by due date; the total is the last balance of the statement and, by
// the rules of the payment lines, the whole history's balance on that day.
TEST_P(DemoPeriodTest, OpenItemsAndAgeingEqualTheirSqlFromThePaymentLines) {
    const QStringList codes = supplierCodes(conexion->database());
    StatementHarness harness(*conexion);
    for (const QDate& day : {QDate(2015, 3, 31), QDate(2016, 6, 30), QDate(2030, 1, 1)}) {
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        StatementOptions options;
        options.to = day;
        options.openItems = true;
        const auto expected = openDocuments(conexion->database(), day);
        const auto balances = periodExpectations(conexion->database(), {{}, day});
        int open = 0;
        for (const QString& code : codes) {
            SCOPED_TRACE(code.toStdString());
            harness.builder.build(code, options);
            const std::vector<QVariantMap> rows = statementRows(harness.sql);
            std::vector<std::pair<int, Currency>> shown;
            for (const QVariantMap& row : rows)
                shown.push_back({row.value("FOLIO").toInt(),
                                 currencyOf(row.value("CARGO")) - currencyOf(row.value("ABONO"))});
            std::sort(shown.begin(), shown.end());
            const std::vector<OpenDocument> documents =
                expected.count(code) ? expected.at(code) : std::vector<OpenDocument>{};
            std::vector<std::pair<int, Currency>> found;
            std::array<Currency, 5> buckets{};
            Currency total;
            for (const OpenDocument& d : documents) {
                found.push_back({d.docnum, d.amount});
                buckets[std::size_t(d.bucket)] += d.amount;
                total += d.amount;
            }
            std::sort(found.begin(), found.end());
            ASSERT_EQ(shown, found);

            ASSERT_TRUE(harness.builder.ageing().has_value());
            const AgeingSummary& ageing = *harness.builder.ageing();
            EXPECT_EQ(ageing.asOf, day);
            Currency sum;
            for (std::size_t b = 0; b < 5; ++b) {
                EXPECT_EQ(ageing.buckets[b].amount, buckets[b]) << ageing.buckets[b].label.toStdString();
                sum += ageing.buckets[b].amount;
            }
            EXPECT_EQ(ageing.total, total);
            EXPECT_EQ(sum, ageing.total);
            EXPECT_EQ(currencyOf(lastBalance(rows)), total);
            EXPECT_EQ(total, balances.count(code) ? balances.at(code).closing : Currency());
            open += int(rows.size());
        }
        EXPECT_GT(open, 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, DemoPeriodTest, everyDatabase(), backendName);

}  // namespace
}  // namespace qev::testing
