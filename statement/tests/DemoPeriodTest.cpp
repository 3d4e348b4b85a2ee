// Statements for a period for every supplier of the demo company, on each
// database, against SQL queries of their own.

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

// The balance after the last row: it lands on the first stored row with that
// row's series, number and date.
Currency closingBalance(const std::vector<QVariantMap>& rows) {
    if (rows.empty()) return {};
    const QVariantMap& last = rows.back();
    const QVariantMap* owner = nullptr;
    for (const QVariantMap& row : rows) {
        const bool sameKey = row.value("SERIE") == last.value("SERIE") &&
                             row.value("FOLIO") == last.value("FOLIO") &&
                             row.value("FECHA") == last.value("FECHA");
        if (sameKey && (!owner || row.value("MOVTO").toInt() < owner->value("MOVTO").toInt()))
            owner = &row;
    }
    return currencyOf(owner->value("SALDO"));
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
            EXPECT_EQ(closingBalance(rows), e.closing);
            movements += e.movements;
        }
        if (period.from == QDate(2016, 1, 1)) {
            EXPECT_GT(movements, 1000);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, DemoPeriodTest, everyDatabase(), backendName);

}  // namespace
}  // namespace qev::testing
