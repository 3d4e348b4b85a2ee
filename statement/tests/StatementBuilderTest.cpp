#include "StatementBuildFixture.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

namespace qev::testing {
namespace {

const QDate june24(2016, 6, 24);

TEST_P(StatementBuild, WritesEveryFieldOfEachKindOfMovement) {
    Document bill = invoice(501, 1234.5, june24);
    bill.dueDate = QDate(2016, 7, 24);
    bill.paidToDate = 200.25;
    Document note = creditNote(601, 300, june24.addDays(1));
    note.paidToDate = QVariant();
    const auto rows = build(supplierWith({bill, note, payment(701, 1234.5, june24.addDays(2)),
                                          invoice(502, 0, june24.addDays(3), 64)}));

    const char* const null = "<Null>";
    const QStringList fields = {"MOVTO",   "SERIE",      "FOLIO",    "FECHA",  "VENCTO", "TOTAL",
                                "MTOTAL",  "CARGO",      "ABONO",    "MCARGO", "MABONO", "MFECHA",
                                "MVENCTO", "REFERENCIA", "APLICADO", "SALDO",  "MSALDO"};
    const QStringList expected[] = {
        {"1", "FACSI", "501", "2016/06/24", "2016/07/24", "1234.5", "$1,234.50", "1234.5", "0",
         "$1,234.50", null, "24/JUN/2016", "24/JUL/2016", "F-501", "200.25", "1234.5", "$1,234.50"},
        {"3", "NCRE", "601", "2016/06/25", "2016/06/25", "300", "$300.00", "0", "300", null,
         "$300.00", "25/JUN/2016", "25/JUN/2016", "NC-601", null, "934.5", "$934.50"},
        // A payment has no applied amount; its reference is the counter reference.
        {"4", "PAGO", "701", "2016/06/26", "2016/06/26", "1234.5", "$1,234.50", "0", "1234.5", null,
         "$1,234.50", "26/JUN/2016", "26/JUN/2016", "TR-701", null, "-300", "-$300.00"},
        {"2", "FAC", "502", "2016/06/27", "2016/07/27", "0", "$0.00", "0", "0", "$0.00", null,
         "27/JUN/2016", "27/JUL/2016", "F-502", "0", "-300", "-$300.00"},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(QStringList(rows[r].keys()).size(), fields.size()) << "row " << r;
        QStringList actual;
        for (const QString& field : fields) actual << shown(rows[r].value(field));
        EXPECT_EQ(actual, expected[r]) << "row " << r;
    }
}

TEST_P(StatementBuild, AcceptsDocumentsAndNamesTheirSeries) {
    auto with = [](Document d, auto change) {
        change(d);
        return d;
    };
    const QDate day = june24;
    const std::vector<Document> documents = {
        invoice(1, 10, day, 10),                                                // FACSI
        invoice(2, 10, day, 64),                                                // FAC
        invoice(3, 10, day, 5),                                                 // no mnemonic
        invoice(4, 10, day, 63),                                                // never taken
        with(invoice(5, 10, day), [](Document& d) { d.series = QVariant(); }),  // Null passes
        with(invoice(6, 10, day), [](Document& d) { d.canceled = "Y"; }),
        with(invoice(7, 10, day), [](Document& d) { d.canceled = QVariant(); }),
        creditNote(11, 10, day, "S", 12),   // NCRE
        creditNote(12, 10, day, "S", 100),  // NCCAN
        creditNote(13, 10, day, "I", 12),   // NDEV
        creditNote(14, 10, day, "I", 100),  // DVCAN
        creditNote(15, 10, day, "S", 7),
        creditNote(16, 10, day, "X", 12),
        with(creditNote(17, 10, day), [](Document& d) { d.doctype = QVariant(); }),
        with(creditNote(18, 10, day), [](Document& d) { d.canceled = "Y"; }),
        with(creditNote(19, 10, day, "I"), [](Document& d) { d.canceled = "Y"; }),
        payment(21, 10, day, 20),  // PAGO
        payment(22, 10, day, 12),  // a credit note's series means nothing here
        with(payment(23, 10, day), [](Document& d) { d.canceled = "Y"; }),
    };
    const std::map<int, QString> expected = {
        {1, "FACSI"}, {2, "FAC"},    {3, "5"},  {5, ""},      {11, "NCRE"}, {12, "NCCAN"},
        {13, "NDEV"}, {14, "DVCAN"}, {15, "7"}, {21, "PAGO"}, {22, "12"},
    };
    std::map<int, QString> serieByFolio;
    for (const QVariantMap& row : build(supplierWith(documents)))
        serieByFolio[row.value("FOLIO").toInt()] = row.value("SERIE").toString();
    EXPECT_EQ(serieByFolio, expected);
}

TEST_P(StatementBuild, NumbersMovementsByPassThenByDocumentOrder) {
    const QDate day = june24;
    // Stored interleaved and dated so that the statement order mixes them.
    const auto rows = build(supplierWith({
        payment(31, 5, day.addDays(-9)),
        creditNote(21, 5, day.addDays(-8), "I"),
        invoice(11, 5, day.addDays(-7)),
        creditNote(22, 5, day.addDays(-6), "S"),
        invoice(99, 5, day, 63),  // refused: takes no number
        invoice(12, 5, day.addDays(-5)),
        payment(32, 5, day.addDays(-4)),
        invoice(13, 5, day.addDays(-3)),
    }));
    std::map<int, int> movtoByFolio;
    for (const QVariantMap& row : rows)
        movtoByFolio[row.value("FOLIO").toInt()] = row.value("MOVTO").toInt();
    const std::map<int, int> expected = {{11, 1}, {12, 2}, {13, 3}, {22, 4},
                                         {21, 5}, {31, 6}, {32, 7}};
    EXPECT_EQ(movtoByFolio, expected);
}

struct BalanceCase {
    const char* name;
    std::vector<Document> documents;
    QStringList folios;    // statement order
    QStringList balances;  // MSALDO, statement order
    QStringList saldos;
};

TEST_P(StatementBuild, RunsTheBalanceInStatementOrder) {
    const QDate jan5(2016, 1, 5), jan20(2016, 1, 20), feb1(2016, 2, 1);
    const BalanceCase cases[] = {
        {"same-day credits ordered by total",
         {invoice(1, 1000, jan5), payment(2, 400, jan20), creditNote(3, 100, jan20),
          invoice(4, 50, feb1)},
         {"1", "3", "2", "4"},
         {"$1,000.00", "$900.00", "$500.00", "$550.00"},
         {"1000", "900", "500", "550"}},
        {"paid off",
         {invoice(1, 100, jan5), payment(2, 100, jan20)},
         {"1", "2"},
         {"$100.00", "$0.00"},
         {"100", "0"}},
        {"overpaid",
         {invoice(1, 100, jan5), payment(2, 150, jan20), payment(3, 200, feb1)},
         {"1", "2", "3"},
         {"$100.00", "-$50.00", "-$250.00"},
         {"100", "-50", "-250"}},
        {"millions and cents",
         {invoice(1, 1234567.89, jan5), creditNote(2, 0.01, jan20), invoice(3, 0, feb1)},
         {"1", "2", "3"},
         {"$1'234,567.89", "$1'234,567.88", "$1'234,567.88"},
         {"1234567.89", "1234567.88", "1234567.88"}},
        {"no documents", {}, {}, {}, {}},
    };
    for (const BalanceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto rows = build(supplierWith(c.documents));
        EXPECT_EQ(column(rows, "FOLIO"), c.folios);
        EXPECT_EQ(column(rows, "MSALDO"), c.balances);
        EXPECT_EQ(column(rows, "SALDO"), c.saldos);
    }
}

TEST_P(StatementBuild, RowsSharingSeriesFolioAndDateShareTheFirstStoredRow) {
    // Two invoices FACSI 7 on one day (stored 200 first, then 100) and a payment
    // PAGO 7 that day: same folio, other series.
    const auto rows = build(
        supplierWith({invoice(7, 200, june24), invoice(7, 100, june24), payment(7, 50, june24)}));
    // Statement order by total: PAGO 50 (-50), FACSI 100 (50), FACSI 200 (250).
    EXPECT_EQ(column(rows, "MOVTO"), QStringList({"3", "2", "1"}));
    // Both invoice rows locate MOVTO 1, which keeps the later balance; MOVTO 2 keeps none.
    EXPECT_EQ(column(rows, "MSALDO"), QStringList({"-$50.00", "<Null>", "$250.00"}));
    EXPECT_EQ(column(rows, "SALDO"), QStringList({"-50", "<Null>", "250"}));
}

TEST_P(StatementBuild, EmptiesTheTableAndCallsTheHooksInOrder) {
    build(supplierWith({invoice(1, 10, june24), invoice(2, 10, june24)}));
    ASSERT_EQ(harness->movtos.rowCount(), 2);

    QStringList events;
    auto record = [&](const QString& what) {
        events << what + QStringLiteral(":%1").arg(harness->movtos.rowCount());
    };
    StatementHooks hooks;
    hooks.statementMode = [&] { record("mode"); };
    hooks.showWait = [&] { record("wait"); };
    hooks.afterPass = [&](int pass) { record(QStringLiteral("pass%1").arg(pass)); };
    hooks.finished = [&] {
        record("finished");
        // The ordered query already shows the balances, from its first row.
        events << (harness->sql.recordCount() > 0 ? shown(harness->sql.value("MSALDO"))
                                                  : QStringLiteral("no rows"));
    };
    const auto code = supplierWith({payment(4, 10, june24), creditNote(3, 10, june24, "I"),
                                    invoice(1, 30, june24), creditNote(2, 5, june24, "S")});
    build(code, hooks);
    EXPECT_EQ(events, QStringList({"mode:2", "wait:2", "pass1:1", "pass2:2", "pass3:3",
                                   "finished:4", "-$5.00"}));
    EXPECT_FALSE(harness->puente.isOpen());

    events.clear();
    const auto rows = build(supplierWith({}), hooks);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(events, QStringList({"mode:4", "wait:4", "pass1:0", "pass2:0", "pass3:0",
                                   "finished:0", "no rows"}));
}

struct FailureCase {
    const char* name;
    std::vector<Document> documents;
    QString message;
    QStringList events;  // hooks reached before the failure
    QStringList storedFolios;
};

TEST_P(StatementBuild, FirstFailureEndsTheBuildKeepingStoredRows) {
    auto nulled = [](Document d, bool Document::*field) {
        d.*field = true;
        return d;
    };
    const QString nullDate = "Could not convert variant of type (Null) into type (Double)";
    // A pass long enough to be stored in several pieces before it fails.
    const int longPass =
        int(3 * StatementBuilder::PendingBytesToStore / harness->movtos.file()->recordLength());
    std::vector<Document> manyInvoices;
    QStringList manyFolios;
    for (int folio = 1; folio <= longPass; ++folio) {
        manyInvoices.push_back(invoice(folio, 10, june24));
        manyFolios << QString::number(folio);
    }
    manyInvoices.push_back(nulled(invoice(longPass + 1, 10, june24), &Document::nullDate));
    manyInvoices.push_back(invoice(longPass + 2, 10, june24));
    const FailureCase cases[] = {
        {"document date in the first pass",
         {invoice(1, 10, june24), nulled(invoice(2, 10, june24), &Document::nullDate),
          invoice(3, 10, june24)},
         nullDate,
         {"mode", "wait"},
         {"1"}},
        {"due date of a credit note",
         {invoice(1, 10, june24), invoice(2, 10, june24),
          nulled(creditNote(3, 10, june24), &Document::nullDueDate)},
         nullDate,
         {"mode", "wait", "pass1"},
         {"1", "2"}},
        {"total of a payment, half written",
         {invoice(1, 10, june24), creditNote(2, 10, june24, "I"),
          nulled(payment(3, 10, june24), &Document::nullTotal)},
         "Could not convert variant of type (Null) into type (Currency)",
         {"mode", "wait", "pass1", "pass2", "pass3"},
         {"1", "2"}},
        {"a long first pass", manyInvoices, nullDate, {"mode", "wait"}, manyFolios},
    };
    const QString healthy =
        supplierWith({invoice(1, 70, june24), payment(2, 20, june24.addDays(1))});
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList events;
        StatementHooks hooks;
        hooks.statementMode = [&] { events << "mode"; };
        hooks.showWait = [&] { events << "wait"; };
        hooks.afterPass = [&](int pass) { events << QStringLiteral("pass%1").arg(pass); };
        hooks.finished = [&] { events << "finished"; };

        const QString code = supplierWith(c.documents);
        EXPECT_EQ(errorOf([&] { harness->builder.build(code, hooks); }), c.message);
        EXPECT_EQ(events, c.events);
        EXPECT_FALSE(harness->puente.isOpen());
        EXPECT_EQ(harness->movtos.rowCount(), c.storedFolios.size());
        harness->sql.close();
        harness->sql.open();
        const auto stored = statementRows(harness->sql);
        EXPECT_EQ(column(stored, "FOLIO"), c.storedFolios);
        EXPECT_EQ(column(stored, "MOVTO"), c.storedFolios);  // numbered as stored, no gap
        for (const QVariantMap& row : stored) EXPECT_TRUE(row.value("SALDO").isNull());

        // The next build starts afresh and runs to the end.
        EXPECT_EQ(column(build(healthy), "MSALDO"), QStringList({"$70.00", "$50.00"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, StatementBuild,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres, Backend::Odbc),
                         [](const auto& info) { return std::string(backendName(info.param)); });

}  // namespace
}  // namespace qev::testing
