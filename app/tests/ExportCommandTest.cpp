// `--csv` and `--xlsx` of batch printing, on the test company and on demo
// suppliers, the files read back by openpyxl and Python's csv module and
// compared with the movements of the statement.
#include "ExportFiles.h"
#include "TestCompany.h"
#include "app/StatementExporter.h"
#include "data/ConexionSAP.h"
#include "data/DemoCompany.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "statement/StatementBuilder.h"

#include "testing/DemoCompanyFile.h"
#include "testing/ProcessRun.h"
#include "testing/QtPrinters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qev;
using namespace exportfiles;
using qev::testing::ProcessRun;
using qev::testing::readSpreadsheet;

namespace {

const QString Qev = QStringLiteral(QEV_BUILD_DIR "/app/qev");

ProcessRun runQev(const QStringList& arguments) {
    return qev::testing::runProcess(Qev, arguments, 600000,
                                    qev::testing::environmentWithOwnRuntime());
}

// `qev --config ... --print ...` on the test company.
class ExportCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath(QStringLiteral("company.sqlite"));
        dataDir = dir.filePath(QStringLiteral("data"));
        ini = dir.filePath(QStringLiteral("qev.ini"));
        testcompany::create(database);
        testcompany::writeSettingsFile(ini, database, dataDir);
    }

    ProcessRun qev(const QStringList& arguments) const {
        return runQev(QStringList{"--config", ini} + arguments);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList filesIn(const QString& folder, const QStringList& patterns = {}) const {
        return QDir(folder).entryList(patterns, QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    QString database, dataDir, ini;
};

}  // namespace

TEST_F(ExportCommandTest, OneSupplierIntoTheNamedFileWithoutThePdf) {
    const QString csv = path("estado.csv"), xlsx = path("libro/estado.xlsx");
    const ProcessRun run = qev({"--print", "p0004", "--csv", csv, "--xlsx", xlsx});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("[1/1] P0004: %1, %2\n").arg(csv, xlsx));
    EXPECT_EQ(csvRecords(csv), QStringList{Titles} + MovementsOfP0004);
    EXPECT_EQ(sheetRow(cellsOf(readSpreadsheet(xlsx)), 8), MovementsOfP0004.last());
    EXPECT_TRUE(filesIn(dataDir, {"*.pdf"}).isEmpty());  // spreadsheets only

    // With --out the PDF is written too; a folder named as the target takes
    // the file under its statement name.
    const QString out = path("pdf");
    const ProcessRun both = qev({"--print", "P0004", "--out", out, "--xlsx", path("libro")});
    ASSERT_EQ(both.exitCode, 0) << both.err.toStdString();
    const QString pdf = QDir(out).filePath("QEV_P0004.pdf");
    const QString named = path("libro/QEV_P0004.xlsx");
    EXPECT_EQ(both.out, QStringLiteral("[1/1] P0004: %1, %2\n").arg(pdf, named));
    EXPECT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(sheetRow(cellsOf(readSpreadsheet(named)), 5), MovementsOfP0004.first());
}

TEST_F(ExportCommandTest, EverySupplierIntoAFolderWithOneOrTwoJobs) {
    for (const QString jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs.toStdString());
        const QString folder = path("hojas" + jobs);
        const ProcessRun run = qev({"--print-all", "--jobs", jobs, "--csv", folder, "--xlsx", folder});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.count(u'\n'), 7) << run.out.toStdString();
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("[1/7] P0001: %1/QEV_P0001.csv, %1/QEV_P0001.xlsx\n")
                                           .arg(folder)))
            << run.out.toStdString();
        EXPECT_EQ(filesIn(folder, {"*.csv"}).size(), 7);
        EXPECT_EQ(filesIn(folder, {"*.xlsx"}).size(), 7);
        EXPECT_EQ(filesIn(folder).size(), 14);
        EXPECT_EQ(csvRecords(QDir(folder).filePath("QEV_P0004.csv")),
                  QStringList{Titles} + MovementsOfP0004);
        EXPECT_EQ(csvRecords(QDir(folder).filePath("QEV_P0003.csv")), QStringList{Titles});
    }
    EXPECT_TRUE(filesIn(dataDir, {"*.pdf"}).isEmpty());
}

// Each bad input: its message, its exit code, and no file written.
TEST_F(ExportCommandTest, BadInputIsToldAndLeavesNoFile) {
    const QString aFile = path("archivo");
    {
        QFile f(aFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString csv = path("estado.csv");
    const struct {
        QStringList arguments;
        int exitCode;
        QString error;
    } cases[] = {
        {{"--print", "NOPE", "--csv", csv}, 2, QStringLiteral("No existe el proveedor \"NOPE\".\n")},
        {{"--print", "P0004", "--csv", aFile + "/estado.csv"},
         1,
         QStringLiteral("No se puede crear la carpeta \"%1\".\n").arg(aFile)},
        {{"--print-all", "--xlsx", aFile + "/hojas"},
         1,
         QStringLiteral("No se puede crear la carpeta \"%1/hojas\".\n").arg(aFile)},
        {{"--csv", csv}, 2, QStringLiteral("qev: La opción --csv va con --print o --print-all.\n")},
        {{"--print", "P0004", "--xlsx"}, 2, QStringLiteral("qev: Falta el valor de la opción --xlsx.\n")},
        {{"--print", "P0004", "--csv", ""}, 2, QStringLiteral("qev: Falta el valor de la opción --csv.\n")},
    };
    for (const auto& [arguments, exitCode, error] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const ProcessRun run = qev(arguments);
        EXPECT_EQ(run.exitCode, exitCode);
        EXPECT_TRUE(run.err.startsWith(error)) << run.err.toStdString();
        EXPECT_EQ(filesIn(dir.path()), (QStringList{"archivo", "company.sqlite", "qev.ini"}));
        EXPECT_TRUE(filesIn(dataDir, {"*.pdf"}).isEmpty());
    }
}

// A file that cannot be written fails its statement only (exit 3); the
// others are written.
TEST_F(ExportCommandTest, AFileThatCannotBeWrittenFailsThatStatement) {
    const QString folder = path("hojas");
    const QString inTheWay = QDir(folder).filePath("QEV_P0004.csv");
    ASSERT_TRUE(QDir().mkpath(inTheWay));
    const ProcessRun run = qev({"--print-all", "--csv", folder});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, QStringLiteral("[4/7] P0004: No se puede escribir \"%1\": es una carpeta.\n"
                                      "1 de 7 estados de cuenta no se pudieron escribir.\n")
                           .arg(inTheWay));
    EXPECT_EQ(run.out.count(u'\n'), 6);
    EXPECT_EQ(filesIn(folder).size(), 6);
    EXPECT_TRUE(QFileInfo(inTheWay).isDir());

    // A folder where no file can be made, not even by root.
    const ProcessRun proc = qev({"--print", "P0004", "--csv", "/proc/qev-estado.csv"});
    EXPECT_EQ(proc.exitCode, 3);
    EXPECT_TRUE(proc.err.startsWith(
        QStringLiteral("[1/1] P0004: No se puede crear el archivo \"/proc/qev-estado.csv\": ")))
        << proc.err.toStdString();
}

namespace {

// A supplier's movements as this program builds them, each row "value|..."
// as the CSV writes it: whole numbers, ISO dates, amounts with a dot, empty
// where the grid shows nothing.
QStringList builtMovements(const QString& code, const QString& scratch,
                           const StatementOptions& options = {},
                           std::optional<AgeingSummary>* ageing = nullptr) {
    ConnectionSettings settings;
    settings.driver = QStringLiteral("sqlite");
    settings.database = test::demoCompanyFile();
    ConexionSAP conexion(settings, QStringLiteral("expected"));
    TablaPuente puente(conexion);
    const std::shared_ptr<MovementsFile> file = MovementsFile::open(scratch);
    TablaMovtos movtos(file);
    TablaSql sql(file);
    sql.open();
    StatementBuilder builder(puente, movtos, sql);
    builder.build(code, options);
    if (ageing) *ageing = builder.ageing();
    const auto date = [&sql](const char* field) {
        return sql.value(QLatin1String(field)).toString().replace(u'/', u'-');
    };
    const auto amount = [&sql](const char* field, const char* text) {
        return sql.displayText(QLatin1String(text)).isEmpty()
                   ? QString()
                   : QString::number(sql.value(QLatin1String(field)).toDouble(), 'f', 2);
    };
    QStringList rows;
    for (sql.first(); !sql.eof(); sql.next())
        rows << QStringList{sql.displayText("MOVTO"),  date("FECHA"),
                            sql.displayText("SERIE"),  sql.displayText("FOLIO"),
                            amount("CARGO", "MCARGO"), amount("ABONO", "MABONO"),
                            amount("SALDO", "MSALDO"), date("VENCTO"),
                            sql.displayText("REFERENCIA")}
                    .join(u'|');
    return rows;
}

}  // namespace

// Demo suppliers with an accented name, an apostrophe in the code, no
// documents, Null optional columns and 10,500 movements: every movement of
// the files equals the statement's, read by openpyxl and by Python's csv.
TEST(ExportDemoStatements, FilesHoldEveryMovementOfTheStatement) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("qev.ini"));
    testcompany::writeSettingsFile(ini, test::demoCompanyFile(), dir.filePath("data"));
    const QStringList codes = {QString::fromUtf8(demo::SharedPrefixCode3),
                               QString::fromUtf8(demo::SupplierWithApostrophe),
                               QString::fromUtf8(demo::SupplierWithoutDocuments),
                               QString::fromUtf8(demo::SupplierWithNulls),
                               QString::fromUtf8(demo::SupplierWithManyDocuments)};
    const QString out = dir.filePath(QStringLiteral("hojas"));
    QStringList arguments{"--config", ini, "--csv", out, "--xlsx", out};
    for (const QString& code : codes) arguments << "--print" << code;
    const ProcessRun run = runQev(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    for (const QString& code : codes) {
        SCOPED_TRACE(code.toStdString());
        const QStringList expected = builtMovements(code, dir.filePath("esperado"));
        if (code == QString::fromUtf8(demo::SupplierWithManyDocuments)) {
            EXPECT_EQ(expected.size(), demo::ManyDocumentsMovements);
        }

        const QString csv = QDir(out).filePath(StatementExporter::fileNameFor(code, SheetFormat::Csv));
        EXPECT_EQ(csvRecords(csv), QStringList{Titles} + expected);

        const QJsonObject book =
            readSpreadsheet(QDir(out).filePath(StatementExporter::fileNameFor(code, SheetFormat::Xlsx)));
        const QJsonObject cells = cellsOf(book);
        EXPECT_EQ(cells.value("B1").toObject().value("value").toString(), code);
        QStringList rows;
        for (int row = 5; row < 5 + expected.size(); ++row) rows << sheetRow(cells, row);
        EXPECT_EQ(rows, expected);
        // Nothing after the last movement.
        for (char column = 'A'; column <= 'I'; ++column) {
            const QString after = QStringLiteral("%1%2").arg(QLatin1Char(column)).arg(5 + expected.size());
            EXPECT_FALSE(cells.contains(after)) << after.toStdString();
        }
    }
    // The accented name, as openpyxl reads it.
    EXPECT_EQ(cellsOf(readSpreadsheet(QDir(out).filePath(StatementExporter::fileNameFor(
                          codes[0], SheetFormat::Xlsx))))
                  .value("B2")
                  .toObject()
                  .value("value")
                  .toString(),
              QString::fromUtf8(demo::SharedPrefixName3));
}

// A period and open items: the opening row, the period above the movements,
// the ageing on its own sheet, each as the statement build has them.
TEST(ExportDemoStatements, PeriodsAndOpenItemsAsTheStatementHasThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("qev.ini"));
    testcompany::writeSettingsFile(ini, test::demoCompanyFile(), dir.filePath("data"));
    const QString code = QString::fromUtf8(demo::SupplierWith58Movements);
    StatementOptions period;
    period.from = {2015, 3, 1};
    period.to = {2015, 12, 31};
    StatementOptions open;
    open.openItems = true;
    open.to = {2016, 6, 30};
    const struct {
        StatementOptions options;
        QStringList arguments;
    } cases[] = {
        {period, {"--from", "2015-03-01", "--to", "2015-12-31"}},
        {open, {"--open-items", "--to", "2016-06-30"}},
    };
    for (const auto& [options, arguments] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const QString csv = dir.filePath("estado.csv"), xlsx = dir.filePath("estado.xlsx");
        const ProcessRun run = runQev(QStringList{"--config", ini, "--print", code, "--csv", csv,
                                                  "--xlsx", xlsx} + arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

        std::optional<AgeingSummary> ageing;
        const QStringList expected = builtMovements(code, dir.filePath("esperado"), options, &ageing);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(csvRecords(csv), QStringList{Titles} + expected);
        const QJsonObject book = readSpreadsheet(xlsx);
        const QJsonObject cells = cellsOf(book);
        EXPECT_EQ(cells.value("A3").toObject().value("value").toString(), options.heading());
        QStringList rows;
        for (int row = 5; row < 5 + expected.size(); ++row) rows << sheetRow(cells, row);
        EXPECT_EQ(rows, expected);

        const QJsonObject ageingSheet = qev::testing::sheetNamed(book, QStringLiteral("Antigüedad"));
        ASSERT_EQ(ageingSheet.isEmpty(), !ageing.has_value());
        if (!ageing) {
            EXPECT_TRUE(expected.first().endsWith(QStringLiteral("|SALDO ANTERIOR")));
            continue;
        }
        const QJsonObject a = ageingSheet.value(QLatin1String("cells")).toObject();
        const auto value = [&a](const QString& cell) { return a.value(cell).toObject().value("value"); };
        EXPECT_EQ(value("B3").toString(), QStringLiteral("2016-06-30T00:00:00"));
        for (int i = 0; i < int(ageing->buckets.size()); ++i) {
            EXPECT_EQ(value(QStringLiteral("A%1").arg(6 + i)).toString(), ageing->buckets[i].label);
            EXPECT_EQ(value(QStringLiteral("B%1").arg(6 + i)).toDouble(),
                      ageing->buckets[i].amount.toDouble());
        }
        EXPECT_EQ(value("A11").toString(), QStringLiteral("Total"));
        EXPECT_EQ(value("B11").toDouble(), ageing->total.toDouble());
    }
}
