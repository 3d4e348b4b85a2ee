// Batch printing of statements for a period and of open items on the test
// company: what the PDF says, the ageing at the end of the last page, and the
// command lines that must not write anything.
#include "TestCompany.h"

#include "testing/ProcessRun.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using qev::testing::ProcessRun;
using qev::testing::runProcess;

const QString Qev = QStringLiteral(QEV_BUILD_DIR "/app/qev");

class PeriodPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath(QStringLiteral("company.sqlite"));
        testcompany::create(database);
        ini = dir.filePath(QStringLiteral("qev.ini"));
        QSettings settings(ini, QSettings::IniFormat);
        settings.setValue(QStringLiteral("database/driver"), QStringLiteral("sqlite"));
        settings.setValue(QStringLiteral("database/database"), database);
        settings.setValue(QStringLiteral("paths/data_directory"), dir.filePath(QStringLiteral("data")));
        out = dir.filePath(QStringLiteral("out"));
    }

    ProcessRun print(const QStringList& arguments) {
        return runProcess(Qev, QStringList{"--config", ini, "--out", out} + arguments);
    }
    // The text of the statement written for `code`, pages apart by form feeds.
    QString text(const QString& code) {
        return runProcess(QStringLiteral("pdftotext"),
                          {"-layout", QDir(out).filePath("QEV_" + code + ".pdf"), "-"})
            .out;
    }
    // Adds `count` invoices of 10 to a supplier without documents.
    void invoicesOf(const char* code, int count) {
        for (int i = 0; i < count; ++i, ++entry)
            testcompany::execute(
                database, QStringLiteral("INSERT INTO OPCH VALUES (%1, %2, '%3', 'N', 64,"
                                         " '2016-03-01', '2016-03-31', 10, NULL, 0)")
                              .arg(entry)
                              .arg(800 + entry)
                              .arg(QLatin1String(code)));
    }
    QStringList filesOut() const { return QDir(out).entryList(QDir::Files); }

    QTemporaryDir dir;
    QString database, ini, out;
    int entry = 100;  // DocEntry of the next invoice added
};

// A line of the text with these words in this order, blanks of any width between.
bool hasLine(const QString& text, const QStringList& words) {
    QStringList quoted;
    for (const QString& word : words) quoted << QRegularExpression::escape(word);
    return QRegularExpression(QStringLiteral("(^|\\n)\\s*") + quoted.join(QStringLiteral("\\s+")) +
                              QStringLiteral("\\s*(\\n|$)"))
        .match(text)
        .hasMatch();
}

TEST_F(PeriodPrint, PeriodHasItsHeadingAndOpeningRow) {
    const ProcessRun run = print({"--print", "P0004", "--from", "2016-01-10", "--to", "2016-01-31"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString t = text("P0004");
    EXPECT_TRUE(hasLine(t, {"PERIODO:", "10/ENE/2016", "AL", "31/ENE/2016"})) << t.toStdString();
    EXPECT_TRUE(hasLine(t, {"09/ENE/2016", "SALDO", "ANTERIOR", "$1,000.00", "$0.00", "$1,000.00"}))
        << t.toStdString();
    EXPECT_TRUE(hasLine(t, {"20/ENE/2016", "PAGO", "701", "20/ENE/2016", "TR-701", "$400.00",
                            "$500.00"}));
    EXPECT_FALSE(t.contains(QStringLiteral("01/FEB/2016")));  // after the period
    EXPECT_FALSE(t.contains(QStringLiteral("ANTIGÜEDAD")));
    EXPECT_TRUE(hasLine(t, {"PAGINA", "1", "DE", "1"}));
}

// P0004 as of 31 March 2016, nothing applied: the invoice of 1000 is 56 days
// past due, the one of 50 29 days, the credit note and the payment 71 days.
TEST_F(PeriodPrint, OpenItemsEndWithTheirAgeing) {
    const ProcessRun run = print({"--print", "P0004", "--open-items", "--to", "2016-03-31"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString t = text("P0004");
    EXPECT_TRUE(hasLine(t, {"PARTIDAS", "ABIERTAS", "AL", "31/MAR/2016"})) << t.toStdString();
    EXPECT_TRUE(hasLine(t, {"ANTIGÜEDAD", "DE", "SALDOS", "AL", "31/MAR/2016,", "POR", "DÍAS", "DE",
                            "VENCIDO"}))
        << t.toStdString();
    EXPECT_TRUE(hasLine(t, {"CORRIENTE", "1-30", "DÍAS", "31-60", "DÍAS", "61-90", "DÍAS", "MÁS",
                            "DE", "90", "DÍAS", "TOTAL"}));
    EXPECT_TRUE(hasLine(t, {"$0.00", "$50.00", "$1,000.00", "-$500.00", "$0.00", "$550.00"}))
        << t.toStdString();
}

// 26 rows leave room for the ageing above the page footer, 27 do not: it then
// starts a page of its own, and the page count counts it.
TEST_F(PeriodPrint, AgeingThatDoesNotFitGoesToAPageOfItsOwn) {
    invoicesOf("P0010", 26);
    ASSERT_EQ(print({"--print", "P0010", "--open-items", "--to", "2016-03-31"}).exitCode, 0);
    QStringList pages = text("P0010").split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("ANTIGÜEDAD")));
    EXPECT_TRUE(hasLine(pages[0], {"PAGINA", "1", "DE", "1"}));

    invoicesOf("P0001", 27);
    ASSERT_EQ(print({"--print", "P0001", "--open-items", "--to", "2016-03-31"}).exitCode, 0);
    pages = text("P0001").split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_FALSE(pages[0].contains(QStringLiteral("ANTIGÜEDAD")));
    EXPECT_TRUE(hasLine(pages[0], {"PAGINA", "1", "DE", "2"}));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("ANTIGÜEDAD")));
    EXPECT_TRUE(hasLine(pages[1], {"$270.00", "$0.00", "$0.00", "$0.00", "$0.00", "$270.00"}));
    EXPECT_TRUE(hasLine(pages[1], {"PAGINA", "2", "DE", "2"}));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("PROVEEDOR:")));  // under its page header
}

// Workers of a batch run print what the command line asks for, too.
TEST_F(PeriodPrint, WorkersPrintTheSamePeriod) {
    const ProcessRun run = print({"--print-all", "--jobs", "2", "--from", "2016-02-01"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(filesOut().size(), 7);
    for (const char* code : {"P0001", "P0004", "P0006", "P0010"})
        EXPECT_TRUE(hasLine(text(QLatin1String(code)), {"PERIODO:", "DESDE", "EL", "01/FEB/2016"}))
            << code;
}

TEST_F(PeriodPrint, BadInputSaysWhyAndWritesNothing) {
    const struct {
        QStringList arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--print", "NOPE", "--from", "2016-01-01"}, 2, "No existe el proveedor \"NOPE\"."},
        {{"--print", "P0004", "--from", "2016-13-01"},
         2,
         "qev: La fecha de --from no es válida: \"2016-13-01\"; escríbala como AAAA-MM-DD, por "
         "ejemplo 2016-03-31."},
        {{"--print", "P0004", "--to", "31/03/2016"},
         2,
         "qev: La fecha de --to no es válida: \"31/03/2016\"; escríbala como AAAA-MM-DD, por "
         "ejemplo 2016-03-31."},
        {{"--print", "P0004", "--from", "2016-04-01", "--to", "2016-03-31"},
         2,
         "qev: La fecha de --from (2016-04-01) es posterior a la de --to (2016-03-31)."},
        {{"--print-all", "--open-items", "--from", "2016-01-01"},
         2,
         "qev: La opción --open-items no va con --from: las partidas abiertas se calculan a la "
         "fecha de --to (o de hoy)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const ProcessRun run = print(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_EQ(filesOut(), QStringList());
    }
}

}  // namespace
