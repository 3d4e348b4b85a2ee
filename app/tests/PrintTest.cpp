// The print button and batch printing: the statement of a known supplier is
// written as a PDF in the data directory, read back by real PDF readers, and
// handed to the viewer.
#include "TestCompany.h"
#include "TestWindow.h"
#include "app/ErrorBox.h"
#include "app/StatementPrinter.h"
#include "app/TFmensaje.h"
#include "app/TForm1.h"
#include "data/DemoCompany.h"
#include "data/TablaProveedores.h"

#include "testing/ProcessRun.h"
#include "testing/QtPrinters.h"
#include "testing/TestServers.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace qev;

namespace {

using ToolRun = qev::testing::ProcessRun;

ToolRun run(const QString& program, const QStringList& arguments) {
    return qev::testing::runProcess(program, arguments);
}

QString pdfText(const QString& path) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
        .out;
}

using PrintTest = WindowOverTestCompany;

}  // namespace

TEST(StatementPrinterFileName, KeepsTheFileInsideItsDirectory) {
    const std::pair<const char*, const char*> cases[] = {
        {"P0012", "QEV_P0012.pdf"},
        {"P1 ", "QEV_P1 .pdf"},  // the code as displayed, trailing space kept
        {"A/B", "QEV_A_B.pdf"},
        {"..\\..\\x", "QEV_.._.._x.pdf"},
        {"C:x*?\"<>|", "QEV_C_x______.pdf"},
        {"O'Brien", "QEV_O'Brien.pdf"},
        {"Ñu\t1", "QEV_Ñu_1.pdf"},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(StatementPrinter::fileNameFor(QString::fromUtf8(code)),
                  QString::fromUtf8(expected))
            << code;
}

TEST_F(PrintTest, PrintButtonWritesTheStatementAndOpensIt) {
    consultar(QStringLiteral("P0004"));
    ASSERT_TRUE(form->SBImprimir->isVisible());
    QTest::mouseClick(form->SBImprimir, Qt::LeftButton);

    const QString path = QDir(dataDir).filePath(QStringLiteral("QEV_P0004.pdf"));
    ASSERT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(opened, QStringList{path});

    const ToolRun check = run(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    const QString text = pdfText(path);
    for (const char* expected : {"Abarrotes La Estrella", "P0004", "05/ENE/2016", "$1,000.00",
                                 "$900.00", "$500.00", "$550.00", "PAGINA"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    // The document's author is the company, written as UTF-16 hex like every
    // text of the information dictionary, and read back as such by poppler.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString author = QStringLiteral("Distribuidora Korvu SA de CV");
    QByteArray hex = "/Author <FEFF";
    for (const QChar unit : author)
        hex += QByteArray::number(unit.unicode(), 16).rightJustified(4, '0').toUpper();
    EXPECT_TRUE(file.readAll().contains(hex + '>')) << hex.constData();
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {path})
                    .out.contains(QStringLiteral("Author:          ") + author));
    // The statement on screen is still there, on the same supplier.
    EXPECT_EQ(form->tablaProveedores().value(QStringLiteral("CardCode")).toString(),
              QStringLiteral("P0004"));
}

// The words of page 1 with their boxes, as poppler reads them.
struct PageWord {
    QString text;
    double xMin, yMin, xMax;
};

QList<PageWord> firstPageWords(const QString& path) {
    const QString xml =
        run(QStringLiteral("pdftotext"), {"-bbox", "-f", "1", "-l", "1", path, QStringLiteral("-")})
            .out;
    static const QRegularExpression word(QString::fromUtf8(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<PageWord> words;
    for (const auto& m : word.globalMatch(xml))
        words.append({m.captured(4), m.captured(1).toDouble(), m.captured(2).toDouble(),
                      m.captured(3).toDouble()});
    return words;
}

// The labels of the supplier block read whole, each on its own line, with
// their right edges in one column beside the values.
TEST_F(PrintTest, SupplierLabelsReadWholeOnTheFirstPage) {
    consultar(QStringLiteral("P0004"));
    form->SBImprimirClick();
    const QList<PageWord> words = firstPageWords(QDir(dataDir).filePath("QEV_P0004.pdf"));
    auto find = [&words](const QString& text) {
        for (const PageWord& w : words)
            if (w.text == text) return w;
        return PageWord{};
    };
    const PageWord proveedor = find(QStringLiteral("PROVEEDOR:"));
    const PageWord code = find(QStringLiteral("P0004"));
    const PageWord nombre = find(QStringLiteral("NOMBRE:"));
    ASSERT_FALSE(proveedor.text.isEmpty());
    ASSERT_FALSE(code.text.isEmpty());
    ASSERT_FALSE(nombre.text.isEmpty());
    EXPECT_TRUE(find(QStringLiteral("PROVEEDO")).text.isEmpty());
    EXPECT_NEAR(proveedor.yMin, code.yMin, 1.0);    // on the line of the code
    EXPECT_LT(proveedor.xMax, code.xMin);           // and before it
    EXPECT_NEAR(proveedor.xMax, nombre.xMax, 1.0);  // right-aligned with the label below
    EXPECT_GT(proveedor.xMin, 0.0);                 // inside the page
}

TEST_F(PrintTest, PrintingAgainReplacesTheFileAndASecondSupplierGetsItsOwn) {
    consultar(QStringLiteral("P0004"));
    form->SBImprimirClick();
    const QString first = QDir(dataDir).filePath(QStringLiteral("QEV_P0004.pdf"));
    QFile::resize(first, 10);  // spoil it: the next print must write it anew
    form->SBImprimirClick();
    EXPECT_GT(QFileInfo(first).size(), 1000);
    EXPECT_EQ(run(QStringLiteral("qpdf"), {QStringLiteral("--check"), first}).exitCode, 0);

    QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
    consultar(QStringLiteral("P0006"));
    form->SBImprimirClick();
    const QString second = QDir(dataDir).filePath(QStringLiteral("QEV_P0006.pdf"));
    EXPECT_TRUE(pdfText(second).contains(QStringLiteral("Aaron Distribuciones")));
    EXPECT_EQ(opened, (QStringList{first, first, second}));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
}

TEST_F(PrintTest, AFileThatCannotBeCreatedShowsTheErrorBoxAndOpensNothing) {
    const QString path = QDir(dataDir).filePath(QStringLiteral("QEV_P0004.pdf"));
    ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should go
    consultar(QStringLiteral("P0004"));
    form->SBImprimirClick();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Error|The following error(s) have occured:")))
        << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("Cannot create file \"%1\".").arg(path)))
        << boxes[0].toStdString();
    EXPECT_TRUE(opened.isEmpty());
    // The window is still usable: the next print after the obstacle is gone works.
    ASSERT_TRUE(QDir(path).removeRecursively());
    form->SBImprimirClick();
    EXPECT_EQ(opened, QStringList{path});
}

TEST(BatchPrint, PrintsOneOrEverySupplierWithoutAWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString database = dir.filePath(QStringLiteral("company.sqlite"));
    testcompany::create(database);
    const QString ini = dir.filePath(QStringLiteral("qev.ini"));
    testcompany::writeSettingsFile(ini, database, dir.filePath(QStringLiteral("data")));
    const QString program = QStringLiteral(QEV_BUILD_DIR "/app/qev");
    const QString out = dir.filePath(QStringLiteral("out"));

    const ToolRun one = run(program, {"--config", ini, "--print", "p0004", "--out", out});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.contains(QStringLiteral("[1/1] P0004: ")) &&
                one.out.contains("QEV_P0004.pdf"))
        << one.out.toStdString();
    EXPECT_TRUE(pdfText(QDir(out).filePath("QEV_P0004.pdf")).contains(QStringLiteral("$550.00")));

    const ToolRun unknown = run(program, {"--config", ini, "--print", "NOPE", "--out", out});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("No existe el proveedor \"NOPE\".")))
        << unknown.err.toStdString();

    const ToolRun all = run(program, {"--config", ini, "--print-all", "--out", out});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_EQ(all.out.count(u'\n'), 7) << all.out.toStdString();  // the seven suppliers
    EXPECT_EQ(QDir(out).entryList({QStringLiteral("QEV_*.pdf")}, QDir::Files).size(), 7);
}

namespace {

QString writeDatabaseIni(const QString& path, const ConnectionSettings& s) {
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QStringLiteral("database/driver"), s.driver);
    settings.setValue(QStringLiteral("database/server"), s.server);
    settings.setValue(QStringLiteral("database/port"), s.port);
    settings.setValue(QStringLiteral("database/database"), s.database);
    settings.setValue(QStringLiteral("database/user"), s.user);
    settings.setValue(QStringLiteral("database/odbc_driver"), s.odbcDriver);
    settings.setValue(QStringLiteral("paths/data_directory"), QFileInfo(path).absolutePath());
    return path;
}

}  // namespace

// The demo suppliers' statements printed through ODBC, from the copy whose
// document dates have a time of day, read like the ones printed through the
// native PostgreSQL driver: the same text on every page. (Every supplier's
// movements are compared field by field in the statement tests; these are the
// edge cases and a few ordinary ones, the large statement among them.)
TEST(BatchPrint, StatementsThroughOdbcReadLikeTheNativeOnes) {
    const std::optional<ConnectionSettings> server = qev::test::testPostgresLogin();
    const std::optional<QString> driver = qev::test::testOdbcDriver();
    if (!server || !driver) GTEST_SKIP() << qev::test::NoOdbcDriver;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("native") && QDir(dir.path()).mkpath("odbc"));
    const QString native =
        writeDatabaseIni(dir.filePath("native/qev.ini"), DemoCompany::ensurePostgres(*server));
    const QString odbc = writeDatabaseIni(
        dir.filePath("odbc/qev.ini"),
        qev::test::throughOdbc(DemoCompany::ensurePostgres(*server, DocumentDates::DateTime),
                               *driver));
    QStringList codes;
    for (const char* code :
         {demo::SupplierWithoutDocuments, demo::SupplierWith29Movements,
          demo::SupplierWith30Movements, demo::SupplierWith58Movements,
          demo::SupplierWithManyDocuments, demo::SupplierWithApostrophe, demo::SupplierWithNulls,
          demo::SharedPrefixCode1, demo::SharedPrefixCode3, "P00001", "P00002", "P00003"})
        codes << QString::fromUtf8(code);
    const QString program = QStringLiteral(QEV_BUILD_DIR "/app/qev");
    for (const QString& ini : {native, odbc}) {
        QStringList arguments{"--config", ini, "--out", QFileInfo(ini).absolutePath() + "/pdf"};
        for (const QString& code : codes) arguments << "--print" << code;
        const ToolRun printed = run(program, arguments);
        ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    }
    for (const QString& code : codes) {
        const QString file = StatementPrinter::fileNameFor(code);
        const QString expected = pdfText(dir.filePath("native/pdf/" + file));
        ASSERT_TRUE(expected.contains(QStringLiteral("PAGINA"))) << file.toStdString();
        EXPECT_EQ(pdfText(dir.filePath("odbc/pdf/" + file)), expected) << file.toStdString();
    }
    // The supplier with an accented name, as a reader sees it.
    EXPECT_TRUE(pdfText(dir.filePath("odbc/pdf/" + StatementPrinter::fileNameFor(
                                                       QString::fromUtf8(demo::SharedPrefixCode3))))
                    .contains(QString::fromUtf8(demo::SharedPrefixName3)));
}
