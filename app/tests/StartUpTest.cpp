// Start-up: the command line, the "Application Error" box, and the program run
// as a process on a database it cannot reach.
#include "TestCompany.h"
#include "app/ErrorBox.h"
#include "app/StartUp.h"
#include "app/TFmensaje.h"
#include "app/TForm1.h"
#include "data/DemoCompany.h"
#include "format/Error.h"

#include "testing/LoopbackPort.h"
#include "testing/ProcessRun.h"
#include "testing/QtPrinters.h"
#include "testing/TestServers.h"

#include <QDir>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qev;

namespace {

const QString Program = QStringLiteral(QEV_BUILD_DIR "/app/qev");

struct ProgramRun {
    int exitCode = -1;
    QString errors;
    QString output;
};

// Runs the program offscreen, with error boxes printed to stderr instead of waiting.
ProgramRun runProgram(const QStringList& arguments) {
    const qev::testing::ProcessRun run = qev::testing::runProcess(Program, arguments, 60000);
    return {run.exitCode, run.err, run.out};
}

QString writeIni(const QTemporaryDir& dir, const QMap<QString, QString>& values) {
    const QString path = dir.filePath(QStringLiteral("qev.ini"));
    QSettings ini(path, QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it) ini.setValue(it.key(), it.value());
    ini.sync();
    return path;
}

}  // namespace

TEST(StartUpOptions, ReadsConfigScreenshotAndSupplier) {
    const StartUpOptions none = parseStartUpOptions({"qev"});
    EXPECT_TRUE(none.configPath.isEmpty());
    EXPECT_TRUE(none.screenshotDir.isEmpty());
    const StartUpOptions all = parseStartUpOptions(
        {"qev", "--config", "/etc/qev.ini", "--screenshot", "shots", "--supplier", "P0004"});
    EXPECT_EQ(all.configPath, QStringLiteral("/etc/qev.ini"));
    EXPECT_EQ(all.screenshotDir, QStringLiteral("shots"));
    EXPECT_EQ(all.supplierCode, QStringLiteral("P0004"));
    for (const QStringList& bad : {QStringList{"qev", "--configure", "x"},
                                   QStringList{"qev", "--config"}, QStringList{"qev", "stray"}})
        EXPECT_THROW(parseStartUpOptions(bad), Error) << bad.join(u' ').toStdString();
}

TEST(StartUpOptions, ReadsThePeriodAndOpenItems) {
    EXPECT_TRUE(parseStartUpOptions({"qev", "--print-all"}).statement.isWholeHistory());
    const StartUpOptions period =
        parseStartUpOptions({"qev", "--print-all", "--from", "2016-01-01", "--to", "2016-03-31"});
    EXPECT_EQ(period.statement.from, QDate(2016, 1, 1));
    EXPECT_EQ(period.statement.to, QDate(2016, 3, 31));
    EXPECT_FALSE(period.statement.openItems);
    const StartUpOptions open =
        parseStartUpOptions({"qev", "--print", "P0004", "--open-items", "--to", "2016-02-29"});
    EXPECT_TRUE(open.statement.openItems);
    EXPECT_EQ(open.statement.to, QDate(2016, 2, 29));
    for (const char* date : {"2016-02-30", "2016-1-01", "20160101", "2016-01-01x", ""})
        EXPECT_THROW(parseStartUpOptions({"qev", "--print-all", "--from", date}), Error) << date;
}

// A command line that cannot run ends with 2 before any settings file, database
// or window is opened (the settings file named here does not exist); the
// message and the usage are Spanish.
TEST(StartUp, BadCommandLinePrintsTheErrorAndTheUsageAndExitsWithTwo) {
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"--config", "/nonexistent/qev.ini", "--print", "P00001", "--bogus", "x"},
         "qev: Opción desconocida: --bogus."},
        {{"--config", "/nonexistent/qev.ini", "--print"},
         "qev: Falta el valor de la opción --print."},
        {{"--config", "/nonexistent/qev.ini", "--print-all", "stray"},
         "qev: Argumento inesperado: stray."},
        {{"--config", "/nonexistent/qev.ini", "--out", "/tmp"},
         "qev: La opción --out va con --print o --print-all."},
        {{"--config", "/nonexistent/qev.ini", "--email"},
         "qev: La opción --email va con --print o --print-all."},
        {{"--config", "/nonexistent/qev.ini", "--print-all", "--dry-run"},
         "qev: La opción --dry-run va con --email."},
        {{"--config", "/nonexistent/qev.ini", "--print-all", "--resume"},
         "qev: La opción --resume va con --email."},
        {{"--config", "/nonexistent/qev.ini", "--print-all", "--email", "--dry-run", "--resume"},
         "qev: Las opciones --dry-run y --resume no van juntas."},
        {{"--config", "/nonexistent/qev.ini", "--check-connection", "--print-all"},
         "qev: La opción --check-connection no va con --print, --print-all ni --screenshot."},
        {{"--config", "/nonexistent/qev.ini", "--print-all", "--from", "2016-02-30"},
         "qev: La fecha de --from no es válida: \"2016-02-30\"; escríbala como AAAA-MM-DD, por "
         "ejemplo 2016-03-31."},
        {{"--config", "/nonexistent/qev.ini", "--to", "2016-03-31"},
         "qev: Las opciones --from, --to y --open-items van con --print, --print-all o "
         "--screenshot."},
    };
    for (const auto& [arguments, message] : cases) {
        const ProgramRun run = runProgram(arguments);
        const QString args = arguments.join(u' ');
        EXPECT_EQ(run.exitCode, CommandLineErrorExit) << args.toStdString();
        EXPECT_TRUE(run.errors.startsWith(QString::fromUtf8(message))) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(QStringLiteral("Uso: qev [opciones]")) &&
                    run.errors.contains(QStringLiteral("--print-all")))
            << run.errors.toStdString();
        EXPECT_TRUE(run.output.isEmpty()) << run.output.toStdString();
    }
}

TEST(StartUp, HelpAndVersionPrintAndExitWithZero) {
    for (const char* option : {"--help", "-h"}) {
        const ProgramRun help = runProgram({"--config", "/nonexistent/qev.ini", option});
        EXPECT_EQ(help.exitCode, 0) << option;
        EXPECT_TRUE(help.output.startsWith(QStringLiteral("Uso: qev [opciones]"))) << option;
        EXPECT_TRUE(help.output.contains(QStringLiteral("--config <archivo>")));
        EXPECT_TRUE(help.errors.isEmpty()) << help.errors.toStdString();
    }
    const ProgramRun version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^qev \\d+\\.\\d+\\n$")).match(version.output).hasMatch())
        << version.output.toStdString();
}

TEST(ErrorTexts, HandlerAndApplicationErrorTexts) {
    EXPECT_EQ(handlerErrorText(
                  QStringLiteral("Could not convert variant of type (Null) into type (Double)")),
              QStringLiteral("Could not convert variant of type (Null) into type (Double)."));
    EXPECT_EQ(handlerErrorText(QStringLiteral("Ya termina.")), QStringLiteral("Ya termina."));
    EXPECT_EQ(applicationErrorText(QStringLiteral("qev::Error"), QStringLiteral("qev"),
                                   reinterpret_cast<const void*>(0x4a3b1),
                                   QStringLiteral("Login failed")),
              QStringLiteral("Exception qev::Error in module qev at 0004A3B1.\nLogin failed."));
    EXPECT_EQ(exceptionClassName(Error(QStringLiteral("x"))), QStringLiteral("qev::Error"));
}

TEST(StartUp, UnreachableDatabaseEndsWithExitCodeOneAndTheApplicationErrorBox) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const quint16 port = qev::testing::closedLoopbackPort();
    const QString ini = writeIni(dir, {{"database/driver", "postgresql"},
                                       {"database/server", "127.0.0.1"},
                                       {"database/port", QString::number(port)},
                                       {"database/database", "qev"},
                                       {"database/user", "qev"},
                                       {"paths/data_directory", dir.filePath("data")}});
    const ProgramRun run = runProgram({"--config", ini});
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    const QRegularExpression box(
        QStringLiteral("(^|\\n)\\[Application Error\\] Exception qev::\\w+ in "
                       "module qev at [0-9A-F]{8}\\.\\n\\S.*\\.\\n$"),
        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(box.match(run.errors).hasMatch()) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QString::number(port))) << run.errors.toStdString();
}

TEST(StartUp, MissingSettingsFileEndsWithExitCodeOne) {
    const ProgramRun run = runProgram({"--config", "/nonexistent/qev.ini"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("[Application Error] Exception qev::Error in module qev at ")))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("/nonexistent/qev.ini")))
        << run.errors.toStdString();
}

// Pictures of every mode for a reviewer, in <build>/screenshots; the program's
// own --screenshot option writes the same set.
TEST(StartUp, ScreenshotOptionSavesAPictureOfEachMode) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString database = dir.filePath(QStringLiteral("company.sqlite"));
    testcompany::create(database);
    const QString ini = writeIni(dir, {{"database/driver", "sqlite"},
                                       {"database/database", database},
                                       {"paths/data_directory", dir.filePath("data")}});
    const QString shots = QStringLiteral(QEV_BUILD_DIR "/screenshots");
    QDir(shots).removeRecursively();
    const ProgramRun run =
        runProgram({"--config", ini, "--screenshot", shots, "--supplier", "P0004"});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    for (const char* name :
         {"list.png", "wait.png", "statement-movements.png", "statement-general.png"}) {
        const QImage picture(QDir(shots).filePath(QLatin1String(name)));
        EXPECT_FALSE(picture.isNull()) << name;
        EXPECT_GE(picture.width(), 341) << name;
    }
    EXPECT_EQ(QImage(QDir(shots).filePath("list.png")).size(), QSize(683, 387));
}

namespace {

// The suppliers and documents of a PostgreSQL database, counted natively.
QStringList countedNatively(const ConnectionSettings& s) {
    QStringList counts;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "native-count");
        db.setHostName(s.server);
        db.setPort(s.port);
        db.setDatabaseName(s.database);
        db.setUserName(s.user);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        for (const char* sql :
             {"SELECT COUNT(*) FROM OCRD WHERE CardType = 'S'", "SELECT COUNT(*) FROM OPCH",
              "SELECT COUNT(*) FROM ORPC", "SELECT COUNT(*) FROM OVPM"}) {
            EXPECT_TRUE(query.exec(QString::fromLatin1(sql)) && query.next()) << sql;
            counts
                << QLocale(QLocale::Spanish, QLocale::Mexico).toString(query.value(0).toLongLong());
        }
    }
    QSqlDatabase::removeDatabase("native-count");
    return counts;
}

}  // namespace

// --check-connection through ODBC and natively: the test server, a login that
// gives its password, a wrong password, a closed port, and a database that
// holds no company.
TEST(StartUp, CheckConnectionCountsTheCompanyOrPrintsTheDriversError) {
    const std::optional<ConnectionSettings> server = qev::test::testPostgresLogin();
    const std::optional<QString> odbcDriver = qev::test::testOdbcDriver();
    const QByteArray login = qgetenv("QEV_TEST_PG_LOGIN");
    if (!server || !odbcDriver || login.isEmpty()) GTEST_SKIP() << qev::test::NoOdbcDriver;
    const ConnectionSettings demo = DemoCompany::ensurePostgres(*server, DocumentDates::DateTime);
    const ConnectionSettings withPassword =
        ConnectionSettings::fromPostgresConnInfo(QString::fromUtf8(login));
    const QStringList counts = countedNatively(demo);
    ASSERT_EQ(counts.value(0), QString::number(demo::RegularSupplierCount + 10));
    const QString port = QString::number(demo.port);
    const QString closed = QString::number(qev::testing::closedLoopbackPort());
    const QString odbc = QStringLiteral("ODBC (%1)").arg(*odbcDriver);
    const QString db = demo.database;

    const struct {
        const char* what;
        QString driver, user, password, port, database;
        int exitCode;
        QString where;       // as the first line names the database
        QString driverText;  // part of the driver's error
    } cases[] = {
        {"ODBC, the test server", "odbc", demo.user, "", port, db, 0, odbc, ""},
        {"ODBC, a login with its password", "odbc", withPassword.user, withPassword.password, port,
         db, 0, odbc, ""},
        {"ODBC, a wrong password", "odbc", withPassword.user, "equivocada", port, db, 1, odbc,
         "password authentication failed for user \"" + withPassword.user + '"'},
        {"ODBC, a closed port", "odbc", demo.user, "", closed, db, 1, odbc, "Connection refused"},
        {"ODBC, a database without the company", "odbc", demo.user, "", port, "postgres", 1, odbc,
         "relation \"ocrd\" does not exist"},
        {"PostgreSQL, the test server", "postgresql", demo.user, "", port, db, 0, "PostgreSQL", ""},
        {"PostgreSQL, a wrong password", "postgresql", withPassword.user, "equivocada", port, db, 1,
         "PostgreSQL", "password authentication failed for user \"" + withPassword.user + '"'},
        {"PostgreSQL, a closed port", "postgresql", demo.user, "", closed, db, 1, "PostgreSQL",
         "Connection refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString ini = writeIni(dir, {{"database/driver", c.driver},
                                           {"database/server", demo.server},
                                           {"database/port", c.port},
                                           {"database/database", c.database},
                                           {"database/user", c.user},
                                           {"database/password", c.password},
                                           {"database/odbc_driver", *odbcDriver}});
        const ProgramRun run = runProgram({"--config", ini, "--check-connection"});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors.toStdString();
        const QString where = QStringLiteral("%1, servidor %2:%3, base de datos %4")
                                  .arg(c.where, demo.server, c.port, c.database);
        if (c.exitCode == 0) {
            EXPECT_EQ(run.output, QStringLiteral("Conexión correcta: %1.\n"
                                                 "Proveedores: %2\n"
                                                 "Facturas de proveedores: %3\n"
                                                 "Notas de crédito de proveedores: %4\n"
                                                 "Pagos efectuados: %5\n")
                                      .arg(where, counts[0], counts[1], counts[2], counts[3]));
            EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
        } else {
            EXPECT_TRUE(run.output.isEmpty()) << run.output.toStdString();
            EXPECT_TRUE(run.errors.startsWith(
                QStringLiteral("No se pudo usar la base de datos (%1):\n").arg(where)))
                << run.errors.toStdString();
            EXPECT_TRUE(run.errors.contains(c.driverText)) << run.errors.toStdString();
        }
    }
}
