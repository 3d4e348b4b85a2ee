// Statements for a period on small fixture companies, on each database.

#include "StatementBuildFixture.h"

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
    EXPECT_EQ(statementRows(harness->sql), before);
}

TEST(StatementOptions, HeadingAndMailPeriod) {
    const QDate jan1(2016, 1, 1), mar31(2016, 3, 31);
    const struct {
        StatementOptions options;
        const char* heading;
        const char* mail;
    } cases[] = {
        {period(jan1, mar31), "PERIODO: 01/ENE/2016 AL 31/MAR/2016", "del 01/ENE/2016 al 31/MAR/2016"},
        {period(jan1, {}), "PERIODO: DESDE EL 01/ENE/2016", "desde el 01/ENE/2016"},
        {period({}, mar31), "PERIODO: HASTA EL 31/MAR/2016", "al 31/MAR/2016"},
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
