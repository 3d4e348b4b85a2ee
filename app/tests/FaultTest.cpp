// The program run as the user runs it while the world misbehaves: a full disk,
// a folder it may not write, a damaged movements file, a bad settings file,
// another qev on the same data folder. Each time the user is told in Spanish,
// nothing good on disk is replaced by something broken, and the next run works.
#include "TestCompany.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"

#include "testing/ProcessRun.h"
#include "testing/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace qev;

namespace {

using ProgramRun = qev::testing::ProcessRun;

const QString Qev = QStringLiteral(QEV_BUILD_DIR "/app/qev");

// Qt wants a private runtime folder and says so on stderr when it has none.
QProcessEnvironment environmentWithRuntime(const QString& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    return env;
}

ProgramRun runProcess(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& env = qev::testing::environmentWithOwnRuntime()) {
    return qev::testing::runProcess(program, arguments, 180000, env);
}

// qev with files limited to `bytes` (a full disk as the program sees it: a
// write past the limit fails with EFBIG, the signal it would raise ignored).
ProgramRun runWithFileLimit(qint64 bytes, const QStringList& arguments) {
    const QString script = QStringLiteral("ulimit -f %1; trap '' XFSZ; exec \"$0\" \"$@\"")
                               .arg(std::max<qint64>(1, bytes / 1024));
    return runProcess(QStringLiteral("/bin/bash"), QStringList{"-c", script, Qev} + arguments);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString pdfText(const QString& path) {
    return runProcess(QStringLiteral("pdftotext"), {"-layout", path, "-"}).out;
}

bool pdfChecks(const QString& path) {
    return runProcess(QStringLiteral("qpdf"), {"--check", path}).exitCode == 0;
}

class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Another user (below) must be able to reach the company and the program.
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup |
                                              QFile::ExeGroup);
        database = dir.filePath(QStringLiteral("company.sqlite"));
        dataDir = dir.filePath(QStringLiteral("data"));
        outDir = dir.filePath(QStringLiteral("out"));
        ini = dir.filePath(QStringLiteral("qev.ini"));
        testcompany::create(database);
        testcompany::writeSettingsFile(ini, database, dataDir);
    }

    ProgramRun print(const QStringList& more) {
        return runProcess(Qev, QStringList{"--config", ini} + more);
    }
    QString outFile(const char* code) const {
        return QDir(outDir).filePath(QStringLiteral("QEV_%1.pdf").arg(QLatin1String(code)));
    }
    QStringList filesIn(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    QString database, dataDir, outDir, ini;
};

TEST_F(FaultTest, ADiskThatFillsWhileTheStatementIsWrittenLeavesThePreviousOne) {
    const ProgramRun first = print({"--print", "P0004", "--out", outDir});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QByteArray good = readAll(outFile("P0004"));
    const qint64 movements = QFileInfo(QDir(dataDir).filePath("qevmovs.dbf")).size();
    // Room for the movements file, not for the statement.
    const qint64 limit = good.size() / 2;
    ASSERT_LT(movements + 1024, limit);

    const ProgramRun full =
        runWithFileLimit(limit, {"--config", ini, "--print", "P0004", "--out", outDir});
    EXPECT_EQ(full.exitCode, 3) << full.err.toStdString();
    EXPECT_TRUE(full.err.startsWith(QStringLiteral("[1/1] P0004: No se escribió \"%1\": ")
                                        .arg(outFile("P0004"))))
        << full.err.toStdString();
    EXPECT_TRUE(full.err.contains(QStringLiteral("File too large"))) << full.err.toStdString();
    EXPECT_EQ(readAll(outFile("P0004")), good);
    EXPECT_EQ(filesIn(outDir), QStringList{"QEV_P0004.pdf"});  // no temporary file left

    const ProgramRun next = print({"--print", "P0004", "--out", outDir});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_TRUE(pdfChecks(outFile("P0004")));
    EXPECT_NE(readAll(outFile("P0004")), good);  // a new file: new identifier and date
}

TEST_F(FaultTest, ADiskThatFillsWhileTheMovementsAreWrittenStopsThatStatementOnly) {
    const ProgramRun full =
        runWithFileLimit(1024, {"--config", ini, "--print", "P0004", "--out", outDir});
    EXPECT_EQ(full.exitCode, 3) << full.err.toStdString();
    EXPECT_TRUE(full.err.startsWith(
        QStringLiteral("[1/1] P0004: No se puede escribir en el archivo de movimientos \"%1\": ")
            .arg(QDir(dataDir).filePath("qevmovs.dbf"))))
        << full.err.toStdString();
    EXPECT_TRUE(full.err.contains(QStringLiteral("File too large"))) << full.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(outFile("P0004")));

    const ProgramRun next = print({"--print", "P0004", "--out", outDir});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_TRUE(pdfText(outFile("P0004")).contains(QStringLiteral("$550.00")));
}

// The movements file as a crash or a full disk may leave it.
TEST_F(FaultTest, ADamagedMovementsFileIsReplacedAndTheUserIsTold) {
    ASSERT_EQ(print({"--print", "P0004", "--out", outDir}).exitCode, 0);
    const QString movements = QDir(dataDir).filePath(QStringLiteral("qevmovs.dbf"));
    const QByteArray whole = readAll(movements);
    for (const QByteArray& damaged : {whole.left(whole.size() - 100), whole.left(20)}) {
        SCOPED_TRACE(damaged.size());
        for (const QString& f : QDir(dataDir).entryList({"qevmovs-*"})) QFile::remove(dataDir + '/' + f);
        QFile file(movements);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        const ProgramRun run = print({"--print", "P0006", "--out", outDir});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList aside = QDir(dataDir).entryList({"qevmovs-dañado-*.dbf"});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readAll(QDir(dataDir).filePath(aside[0])), damaged);
        EXPECT_TRUE(run.err.startsWith(
            QStringLiteral("El archivo de movimientos \"%1\" estaba dañado (").arg(movements)))
            << run.err.toStdString();
        EXPECT_TRUE(pdfText(outFile("P0006")).contains(QStringLiteral("Aaron Distribuciones")));
    }
}

TEST_F(FaultTest, ASettingsFileThatCannotBeUsedIsNamedAndTheFixedOneWorks) {
    const QString bad = dir.filePath(QStringLiteral("bad.ini"));
    struct Case {
        const char* what;
        QByteArray text;  // empty: no file at all
        QString error;
    };
    const std::vector<Case> cases{
        {"missing file", {}, QStringLiteral("No se encuentra el archivo de configuración \"%1\".")},
        {"malformed", "[database\ndriver=sqlite\n",
         QStringLiteral("El archivo de configuración \"%1\" no es válido: la línea 1 "
                        "(\"[database\") no es una sección [nombre] ni una clave=valor.")},
        {"database file that is not there", "[database]\ndriver=sqlite\ndatabase=/nonexistent/erp.sqlite\n",
         QStringLiteral("No se encuentra el archivo de la base de datos \"/nonexistent/erp.sqlite\".")},
        {"unknown driver", "[database]\ndriver=sqlserver\n",
         QStringLiteral("Archivo de configuración \"%1\": El controlador de base de datos "
                        "\"sqlserver\" no se conoce; use sqlite, postgresql u odbc.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(bad);
        if (!c.text.isEmpty()) {
            QFile file(bad);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.text);
        }
        const ProgramRun run = runProcess(Qev, {"--config", bad, "--print", "P0004", "--out", outDir});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QString(c.error).replace(QStringLiteral("%1"), bad) + u'\n');
        EXPECT_FALSE(QFileInfo::exists(outDir));
    }
    QFile::remove(bad);
    ASSERT_TRUE(QFile::copy(ini, bad));
    const ProgramRun fixed = runProcess(Qev, {"--config", bad, "--print", "P0004", "--out", outDir});
    EXPECT_EQ(fixed.exitCode, 0) << fixed.err.toStdString();
}

// Root writes anywhere, so the folders are made read-only for another user.
class ReadOnlyFolder : public FaultTest {
  protected:
    void SetUp() override {
        FaultTest::SetUp();
        home = dir.filePath(QStringLiteral("home"));
        for (const QString& path : {home, dataDir, outDir}) ASSERT_TRUE(QDir().mkpath(path));
        if (geteuid() != 0) return;
        runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
        if (runuser.isEmpty()) GTEST_SKIP() << "runuser is needed to test as another user";
        for (const QString& path : {home, dataDir, outDir})
            ASSERT_EQ(runProcess(QStringLiteral("chown"), {"nobody", path}).exitCode, 0);
        ASSERT_TRUE(QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner));
    }
    ProgramRun printAsUser(const QStringList& arguments) { return printAsUser(ini, arguments); }
    ProgramRun printAsUser(const QString& config, const QStringList& arguments) {
        const QStringList withConfig = QStringList{"--config", config} + arguments;
        if (runuser.isEmpty()) return runProcess(Qev, withConfig);
        QProcessEnvironment env = environmentWithRuntime(home);
        env.insert(QStringLiteral("HOME"), home);
        return runProcess(runuser, QStringList{"-u", "nobody", "--", Qev} + withConfig, env);
    }
    static void setWritable(const QString& path, bool writable) {
        const auto rx = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(path, writable ? rx | QFile::WriteOwner : rx));
    }

    QString runuser, home;
};

TEST_F(ReadOnlyFolder, ADataFolderThatCannotBeWrittenStopsTheRunWithAMessage) {
    setWritable(dataDir, false);
    const ProgramRun run = printAsUser({"--print", "P0004", "--out", outDir});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("No se puede escribir en la carpeta de datos \"%1\"; qev "
                                      "guarda ahí el archivo de movimientos.\n")
                           .arg(dataDir));
    EXPECT_TRUE(filesIn(dataDir).isEmpty());

    // A data folder that does not exist yet and cannot be made there.
    const QString unmade = QDir(dataDir).filePath(QStringLiteral("nueva"));
    const QString unmadeIni = dir.filePath(QStringLiteral("unmade.ini"));
    testcompany::writeSettingsFile(unmadeIni, database, unmade);
    const ProgramRun none = printAsUser(unmadeIni, {"--print", "P0004", "--out", outDir});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, QStringLiteral("No se puede crear la carpeta de datos \"%1\".\n").arg(unmade));
    EXPECT_FALSE(QFileInfo::exists(unmade));

    setWritable(dataDir, true);
    const ProgramRun next = printAsUser({"--print", "P0004", "--out", outDir});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_TRUE(pdfChecks(outFile("P0004")));
}

TEST_F(ReadOnlyFolder, AnOutputFolderThatCannotBeWrittenFailsEachStatementAndKeepsWhatIsThere) {
    ASSERT_EQ(printAsUser({"--print", "P0004", "--out", outDir}).exitCode, 0);
    const QByteArray good = readAll(outFile("P0004"));
    setWritable(outDir, false);
    const ProgramRun run = printAsUser({"--print", "P0004", "--print", "P0006", "--out", outDir});
    EXPECT_EQ(run.exitCode, 3);
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("[1/2] P0004: No se escribió \"%1\": Cannot "
                                                   "create file")
                                        .arg(outFile("P0004"))))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("[2/2] P0006: No se escribió"))) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("2 de 2 estados de cuenta no se pudieron escribir."));
    EXPECT_EQ(readAll(outFile("P0004")), good);
    EXPECT_EQ(filesIn(outDir), QStringList{"QEV_P0004.pdf"});

    setWritable(outDir, true);
    EXPECT_EQ(printAsUser({"--print", "P0004", "--print", "P0006", "--out", outDir}).exitCode, 0);
    EXPECT_TRUE(pdfText(outFile("P0006")).contains(QStringLiteral("Aaron Distribuciones")));
}

// A window (here: this test holding the movements file) and a batch run of two
// workers on one data folder: each writes its own file, no rows are mixed.
TEST_F(FaultTest, ABatchRunBesideAnotherQevUsesScratchFilesAndMixesNoRows) {
    std::shared_ptr<MovementsFile> held = MovementsFile::open(dataDir);
    {
        TablaMovtos mine(held);
        mine.append();
        mine.setField(QStringLiteral("SERIE"), QStringLiteral("MINE"));
        mine.post();
        held->flush();
    }
    const QByteArray heldBytes = readAll(held->path());
    const ProgramRun run = print({"--print-all", "--jobs", "2", "--out", outDir});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << run.out.toStdString();
    const QStringList codes{"P0001", "P0002", "P0003", "P0004", "P0005", "P0006", "P0010"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(lines[i], QStringLiteral("[%1/7] %2: %3")
                                .arg(i + 1)
                                .arg(codes[i], QDir::toNativeSeparators(outFile(
                                                   codes[i].toLatin1().constData()))));
    const QString p4 = pdfText(outFile("P0004")), p6 = pdfText(outFile("P0006"));
    EXPECT_TRUE(p4.contains("Abarrotes La Estrella") && p4.contains("$1,000.00") &&
                p4.contains("$550.00"))
        << p4.toStdString();
    EXPECT_TRUE(p6.contains("Aaron Distribuciones") && !p6.contains("$1,000.00") &&
                !p6.contains("MINE"))
        << p6.toStdString();
    EXPECT_FALSE(p4.contains("MINE"));
    // The file held here kept its one row; the workers used scratch files.
    EXPECT_EQ(readAll(held->path()), heldBytes);
    EXPECT_TRUE(QFileInfo::exists(QDir(dataDir).filePath("qevmovs_2.dbf")));
}

}  // namespace
