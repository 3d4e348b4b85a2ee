// Statements for a period and of open items on small fixture companies, on
// each database.

#include "StatementBuildFixture.h"

#include "format/AmountText.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

namespace qev::testing {
namespace {

// Invoices of 1000 (5 January 2016) and 50 (1 February), a credit note of 100
// and a payment of 400 on 20 January.
std::vector<Document> january() {
    return {invoice(501, 1000, QDate(2016, 1, 5)), payment(701, 400, QDate(2016, 1, 20)),
            creditNote(601, 100, QDate(2016, 1, 20)), invoice(502, 50, QDate(2016, 2, 1))};
}

StatementOptions period(QDate from, QDate to) {
    StatementOptions options;
    options.from = from;
    options.to = to;
    return options;
}

TEST_P(StatementBuild, PeriodSumsWhatCameBeforeIntoTheOpeningRowAndLeavesOutWhatCameAfter) {
    const QString code = supplierWith(january());
    const QString opening = QStringLiteral("SALDO ANTERIOR");
    const struct Case {
        const char* what;
        StatementOptions options;
        QStringList references, charges, credits, balances;
    } cases[] = {
        {"inside January", period(QDate(2016, 1, 10), QDate(2016, 1, 31)),
         {opening, "NC-601", "TR-701"},
         {"$1,000.00", "<Null>", "<Null>"},
         {"$0.00", "$100.00", "$400.00"},
         {"$1,000.00", "$900.00", "$500.00"}},
        {"one day, its documents included", period(QDate(2016, 1, 20), QDate(2016, 1, 20)),
         {opening, "NC-601", "TR-701"},
         {"$1,000.00", "<Null>", "<Null>"},
         {"$0.00", "$100.00", "$400.00"},
         {"$1,000.00", "$900.00", "$500.00"}},
        {"from only", period(QDate(2016, 1, 21), {}),
         {opening, "F-502"},
         {"$1,000.00", "$50.00"},
         {"$500.00", "<Null>"},
         {"$500.00", "$550.00"}},
        {"to only: no opening row", period({}, QDate(2016, 1, 19)),
         {"F-501"},
         {"$1,000.00"},
         {"<Null>"},
         {"$1,000.00"}},
        {"after the last movement: the opening row alone", period(QDate(2016, 3, 1), QDate(2016, 3, 31)),
         {opening},
         {"$1,050.00"},
         {"$500.00"},
         {"$550.00"}},
        {"before the first movement", period(QDate(2015, 1, 1), QDate(2015, 12, 31)),
         {opening},
         {"$0.00"},
         {"$0.00"},
         {"$0.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto rows = build(code, c.options);
        EXPECT_EQ(column(rows, "REFERENCIA"), c.references);
        EXPECT_EQ(column(rows, "MCARGO"), c.charges);
        EXPECT_EQ(column(rows, "MABONO"), c.credits);
        EXPECT_EQ(column(rows, "MSALDO"), c.balances);
    }
    // The opening row is dated the day before the period and is no document.
    const auto rows = build(code, period(QDate(2016, 1, 10), QDate(2016, 1, 31)));
    const QStringList fields = {"MOVTO", "SERIE", "FOLIO",  "FECHA",   "VENCTO", "TOTAL",
                                "MTOTAL", "CARGO", "ABONO", "MFECHA", "MVENCTO", "APLICADO"};
    QStringList values;
    for (const char* field : {"MOVTO", "SERIE", "FOLIO", "FECHA", "VENCTO", "TOTAL", "MTOTAL",
                              "CARGO", "ABONO", "MFECHA", "MVENCTO", "APLICADO"})
        values << shown(rows.front().value(QLatin1String(field)));
    EXPECT_EQ(values, QStringList({"<Null>", "<Null>", "<Null>", "2016/01/09", "<Null>", "1000",
                                   "$1,000.00", "1000", "0", "09/ENE/2016", "<Null>", "<Null>"}))
        << fields.join(u' ').toStdString();
    EXPECT_EQ(column(rows, "MOVTO"), QStringList({"<Null>", "1", "2"}));  // credit note, payment
}

TEST_P(StatementBuild, DatesThatDoNotGoTogetherChangeNothing) {
    const QString code = supplierWith(january());
    const auto before = build(code);
    StatementOptions backwards = period(QDate(2016, 2, 1), QDate(2016, 1, 31));
    EXPECT_EQ(errorOf([&] { harness->builder.build(code, backwards); }),
              QStringLiteral("La fecha inicial (01/FEB/2016) es posterior a la final (31/ENE/2016)"));
    StatementOptions openFrom = period(QDate(2016, 1, 1), {});
    openFrom.openItems = true;
    EXPECT_EQ(errorOf([&] { harness->builder.build(code, openFrom); }),
              QStringLiteral("Las partidas abiertas se calculan a una sola fecha: deje vacía la "
                             "fecha inicial"));
    EXPECT_EQ(statementRows(harness->sql), before);
}

// Invoices A (1000, due 4 February), B (500, due 2 March) and C (300, due 31
// March), a credit note N of 100, and three payments: P1 (400) pays A; P2
// (700) pays A's other 600 and 100 of B with its money and N's credit, and
// keeps 100 unapplied; P3 is cancelled, so its line on C applies nothing.
class OpenItemsBuild : public StatementBuild {
  protected:
    QString supplier() {
        const QString code = company->newSupplier();
        Document a = invoice(501, 1000, QDate(2016, 1, 5));
        a.paidToDate = 1000.0;
        Document b = invoice(502, 500, QDate(2016, 2, 1));
        b.paidToDate = 100.0;
        Document c = invoice(503, 300, QDate(2016, 3, 1));
        c.dueDate = QDate(2016, 3, 31);
        Document n = creditNote(601, 100, QDate(2016, 1, 20));
        n.paidToDate = 100.0;
        Document p3 = payment(703, 300, QDate(2016, 3, 15));
        p3.canceled = QStringLiteral("Y");
        const int ea = company->insert(code, a), eb = company->insert(code, b),
                  ec = company->insert(code, c), en = company->insert(code, n);
        const int p1 = company->insert(code, payment(701, 400, QDate(2016, 1, 25)));
        const int p2 = company->insert(code, payment(702, 700, QDate(2016, 3, 10)));
        const int ep3 = company->insert(code, p3);
        company->addPaymentLine(p1, "18", ea, 400);
        company->addPaymentLine(p2, "18", ea, 600);
        company->addPaymentLine(p2, "19", en, -100);
        company->addPaymentLine(p2, "18", eb, 100);
        company->addPaymentLine(ep3, "18", ec, 300);
        return code;
    }

    std::vector<QVariantMap> openOn(const QString& code, QDate day) {
        StatementOptions options;
        options.to = day;
        options.openItems = true;
        return build(code, options);
    }

    QStringList ageingTexts() const {
        QStringList texts;
        for (const AgeingBucket& bucket : harness->builder.ageing()->buckets)
            texts << bucket.label + u' ' + pesos(bucket.amount);
        return texts << QStringLiteral("Total ") + pesos(harness->builder.ageing()->total);
    }
};

TEST_P(OpenItemsBuild, ShowWhatIsOpenOnTheDayAndItsAgeing) {
    const QString code = supplier();

    // End of February: P2 came later, so A still has its 600 open and N its credit.
    auto rows = openOn(code, QDate(2016, 2, 29));
    EXPECT_EQ(column(rows, "FOLIO"), QStringList({"501", "601", "502"}));
    EXPECT_EQ(column(rows, "MCARGO"), QStringList({"$600.00", "<Null>", "$500.00"}));
    EXPECT_EQ(column(rows, "MABONO"), QStringList({"<Null>", "$100.00", "<Null>"}));
    EXPECT_EQ(column(rows, "MTOTAL"), QStringList({"$1,000.00", "$100.00", "$500.00"}));
    EXPECT_EQ(column(rows, "APLICADO"), QStringList({"400", "0", "0"}));
    EXPECT_EQ(column(rows, "MSALDO"), QStringList({"$600.00", "$500.00", "$1,000.00"}));
    ASSERT_TRUE(harness->builder.ageing());
    EXPECT_EQ(harness->builder.ageing()->asOf, QDate(2016, 2, 29));
    EXPECT_EQ(ageingTexts(), QStringList({"Corriente $500.00", "1-30 $600.00", "31-60 -$100.00",
                                          "61-90 $0.00", "Más de 90 $0.00", "Total $1,000.00"}));

    // The day of P2: A and N are settled, P2 keeps 100 unapplied; the line of
    // the cancelled payment P3, later that month, is not given back to C.
    rows = openOn(code, QDate(2016, 3, 10));
    EXPECT_EQ(column(rows, "FOLIO"), QStringList({"502", "503", "702"}));
    EXPECT_EQ(column(rows, "MCARGO"), QStringList({"$400.00", "$300.00", "<Null>"}));
    EXPECT_EQ(ageingTexts(), QStringList({"Corriente $200.00", "1-30 $400.00", "31-60 $0.00",
                                          "61-90 $0.00", "Más de 90 $0.00", "Total $600.00"}));

    // End of March: the same documents, older.
    rows = openOn(code, QDate(2016, 3, 31));
    EXPECT_EQ(column(rows, "FOLIO"), QStringList({"502", "503", "702"}));
    EXPECT_EQ(column(rows, "MCARGO"), QStringList({"$400.00", "$300.00", "<Null>"}));
    EXPECT_EQ(column(rows, "MABONO"), QStringList({"<Null>", "<Null>", "$100.00"}));
    EXPECT_EQ(column(rows, "APLICADO"), QStringList({"100", "0", "<Null>"}));
    EXPECT_EQ(column(rows, "MSALDO"), QStringList({"$400.00", "$700.00", "$600.00"}));
    EXPECT_EQ(ageingTexts(), QStringList({"Corriente $300.00", "1-30 $300.00", "31-60 $0.00",
                                          "61-90 $0.00", "Más de 90 $0.00", "Total $600.00"}));

    // Other statements have no ageing.
    build(code);
    EXPECT_FALSE(harness->builder.ageing());
}

INSTANTIATE_TEST_SUITE_P(Backends, OpenItemsBuild,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres, Backend::Odbc),
                         [](const auto& info) { return std::string(backendName(info.param)); });

TEST(AgeingSummary, BucketsByDaysPastTheDueDate) {
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0},  {1, 1},  {30, 1}, {31, 2},
                                         {60, 2}, {61, 3}, {90, 3}, {91, 4}, {400, 4}};
    for (const auto& [days, bucket] : cases) EXPECT_EQ(AgeingSummary::bucketOf(days), bucket) << days;
    AgeingSummary ageing;
    ageing.asOf = QDate(2016, 3, 31);
    ageing.add(QDate(2016, 3, 31), Currency::fromUnits(10));
    ageing.add(QDate(2015, 12, 1), Currency::fromUnits(-3));
    EXPECT_EQ(ageing.buckets[0].amount, Currency::fromUnits(10));
    EXPECT_EQ(ageing.buckets[4].amount, Currency::fromUnits(-3));
    EXPECT_EQ(ageing.total, Currency::fromUnits(7));
}

TEST(StatementOptions, HeadingAndMailPeriod) {
    const QDate jan1(2016, 1, 1), mar31(2016, 3, 31);
    StatementOptions open;
    open.to = mar31;
    open.openItems = true;
    const struct {
        StatementOptions options;
        const char* heading;
        const char* mail;
    } cases[] = {
        {period(jan1, mar31), "PERIODO: 01/ENE/2016 AL 31/MAR/2016", "del 01/ENE/2016 al 31/MAR/2016"},
        {period(jan1, {}), "PERIODO: DESDE EL 01/ENE/2016", "desde el 01/ENE/2016"},
        {period({}, mar31), "PERIODO: HASTA EL 31/MAR/2016", "al 31/MAR/2016"},
        {open, "PARTIDAS ABIERTAS AL 31/MAR/2016", "de partidas abiertas al 31/MAR/2016"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.options.heading(), QString::fromUtf8(c.heading));
        EXPECT_EQ(c.options.mailPeriod(), QString::fromUtf8(c.mail));
    }
    const StatementOptions whole;
    EXPECT_TRUE(whole.isWholeHistory());
    EXPECT_EQ(whole.heading(), QString());
    EXPECT_EQ(whole.mailPeriod(), QStringLiteral("al ") + statementDateText(QDate::currentDate()));
}

}  // namespace
}  // namespace qev::testing
