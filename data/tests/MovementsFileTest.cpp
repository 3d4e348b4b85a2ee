#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/Windows1252.h"
#include "data/tests/MovementsTestSupport.h"
#include "testing/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <shapefil.h>

#include <gtest/gtest.h>

namespace qev {
namespace {

using testing::MovementsFixture;

class MovementsFileTest : public MovementsFixture {};

TEST_F(MovementsFileTest, FreshFolderGetsADBaseFileWithTheMovementFields) {
    DBFHandle h = DBFOpen(QFile::encodeName(file->path()).constData(), "rb");
    ASSERT_NE(h, nullptr);
    const auto expected = MovementsFile::standardFields();
    ASSERT_EQ(DBFGetFieldCount(h), int(expected.size()));
    for (int i = 0; i < DBFGetFieldCount(h); ++i) {
        char name[12] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, i, name, &width, &decimals);
        EXPECT_EQ(QString::fromLatin1(name), expected[std::size_t(i)].name);
        EXPECT_EQ(DBFGetNativeFieldType(h, i), expected[std::size_t(i)].type) << name;
        EXPECT_EQ(width, expected[std::size_t(i)].width) << name;
        EXPECT_EQ(decimals, expected[std::size_t(i)].decimals) << name;
    }
    EXPECT_EQ(QString::fromLatin1(DBFGetCodePage(h)), QStringLiteral("LDID/3"));  // Windows-1252
    DBFClose(h);
}

// dbfdump (Debian's shapelib tools) reads the file as any other dBASE reader.
TEST_F(MovementsFileTest, AnIndependentReaderSeesWhatWasWritten) {
    const QString dbfdump = QStandardPaths::findExecutable(QStringLiteral("dbfdump"));
    if (dbfdump.isEmpty()) GTEST_SKIP() << "dbfdump (package shapelib) is not installed";
    movtos->append();
    movtos->setField(QStringLiteral("MOVTO"), 1);
    movtos->setField(QStringLiteral("SERIE"), QStringLiteral("FACSI"));
    movtos->setField(QStringLiteral("FOLIO"), 10023);
    movtos->setField(QStringLiteral("FECHA"), QStringLiteral("2016/06/24"));
    movtos->setField(QStringLiteral("TOTAL"), 1234.5);
    movtos->setField(QStringLiteral("MTOTAL"), QStringLiteral("$1,234.50"));
    movtos->setField(QStringLiteral("MFECHA"), QStringLiteral("24/JUN/2016"));
    movtos->setField(QStringLiteral("REFERENCIA"), QStringLiteral("Pedido Ñandú – año €5"));
    movtos->setField(QStringLiteral("SALDO"), -250.25);
    movtos->setField(QStringLiteral("MSALDO"), QStringLiteral("-$250.25"));
    movtos->post();
    movtos->append();
    movtos->setField(QStringLiteral("MOVTO"), 2);
    movtos->post();
    file->flush();

    QProcess dump;
    dump.start(dbfdump, {QStringLiteral("-m"), file->path()});
    ASSERT_TRUE(dump.waitForFinished(10000));
    const QByteArray out = dump.readAllStandardOutput();
    const QString text = fromWindows1252(out.constData(), out.size());
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines << line.simplified();
    for (const char* expected :
         {"Record: 0", "MOVTO: 1", "SERIE: FACSI", "FOLIO: 10023", "FECHA: 2016/06/24",
          "TOTAL: 1234.5000", "MTOTAL: $1,234.50", "MFECHA: 24/JUN/2016",
          "REFERENCIA: Pedido Ñandú – año €5", "SALDO: -250.2500", "MSALDO: -$250.25",
          "VENCTO: (NULL)", "CARGO: (NULL)", "Record: 1", "MOVTO: 2"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                 << text.toStdString();
}

TEST_F(MovementsFileTest, AnExistingFileLackingAFieldIsRefusedClearly) {
    file.reset();
    movtos.reset();
    QFile::remove(dir.filePath(QStringLiteral("qevmovs.dbf")));
    DBFHandle h =
        DBFCreate(QFile::encodeName(dir.filePath(QStringLiteral("qevmovs.dbf"))).constData());
    for (const auto& f : MovementsFile::standardFields())
        if (f.name != QLatin1String("SALDO"))
            DBFAddNativeFieldType(h, f.name.toLatin1().constData(), f.type, f.width, f.decimals);
    DBFClose(h);
    try {
        MovementsFile::open(dir.path());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Archivo de movimientos \"%1\": Field 'SALDO' not found")
                                   .arg(dir.filePath("qevmovs.dbf")));
    }
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A file left damaged (a crash or a full disk while it was written, or another
// program's file under its name) is kept aside, byte for byte, and replaced by
// a new one that works; the user is told where the old one went.
TEST_F(MovementsFileTest, ADamagedFileIsSetAsideAndReplaced) {
    for (int i = 0; i < 3; ++i)
        add({QStringLiteral("FAC"), i, QStringLiteral("2016/01/05"), 1000.0 + i});
    file->flush();
    movtos.reset();
    const QString path = file->path();
    file.reset();
    const QByteArray sound = readAll(path);
    ASSERT_GT(sound.size(), 1000);
    const int header = 32 + 32 * int(MovementsFile::standardFields().size()) + 1;

    struct Case {
        const char* what;
        QByteArray bytes;
        const char* reason;
    };
    QByteArray badTerminator = sound;
    badTerminator[header - 1] = 'X';
    QByteArray notDBase = sound;
    notDBase[0] = 'P';
    const std::vector<Case> cases{
        {"empty file", {}, "le falta el encabezado"},
        {"another program's file", "not a table", "le falta el encabezado"},
        {"header cut short", sound.left(200), "el encabezado no es de una tabla dBASE"},
        {"not a dBASE version byte", notDBase, "el encabezado no es de una tabla dBASE"},
        {"field descriptors without their end", badTerminator,
         "la descripción de los campos está dañada"},
        {"last record cut", sound.left(sound.size() - 30), "está cortado: le faltan registros"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& name : QDir(dir.path()).entryList({"qevmovs-*"}, QDir::Files))
            QFile::remove(dir.filePath(name));
        writeAll(path, c.bytes);
        std::shared_ptr<MovementsFile> reopened = MovementsFile::open(dir.path());
        const QStringList aside = QDir(dir.path()).entryList({"qevmovs-dañado-*.dbf"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readAll(dir.filePath(aside[0])), c.bytes);
        EXPECT_EQ(reopened->notice(),
                  QStringLiteral("El archivo de movimientos \"%1\" estaba dañado (%2); se guardó "
                                 "como \"%3\" y se creó uno nuevo.")
                      .arg(QDir::toNativeSeparators(path), QString::fromUtf8(c.reason), aside[0]));
        EXPECT_EQ(reopened->liveRecords(), 0);
        {
            TablaMovtos table(reopened);
            table.append();
            table.setField(QStringLiteral("SERIE"), QStringLiteral("PAGO"));
            table.post();
            reopened->flush();
        }
        reopened.reset();
        EXPECT_EQ(MovementsFile::open(dir.path())->liveRecords(), 1);  // sound again
    }
}

// A sound file with rows is opened as it is, with nothing to tell.
TEST_F(MovementsFileTest, ASoundFileIsOpenedQuietly) {
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05"), 10});
    file->flush();
    movtos.reset();
    file.reset();
    file = MovementsFile::open(dir.path());
    EXPECT_EQ(file->liveRecords(), 1);
    EXPECT_TRUE(file->notice().isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList({"qevmovs-*"}, QDir::Files), QStringList());
}

// Two users of one data folder: the second works in a scratch file of its own,
// and each file keeps only its own rows.
TEST_F(MovementsFileTest, ASecondUserOfTheFolderGetsItsOwnFile) {
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05"), 10});
    std::shared_ptr<MovementsFile> second = MovementsFile::open(dir.path());
    EXPECT_EQ(second->path(), dir.filePath(QStringLiteral("qevmovs_2.dbf")));
    EXPECT_EQ(second->notice(),
              QStringLiteral("Otra copia de qev usa el archivo de movimientos de la carpeta de "
                             "datos; esta trabaja con \"%1\".")
                  .arg(QDir::toNativeSeparators(second->path())));
    TablaMovtos theirs(second);
    theirs.append();
    theirs.setField(QStringLiteral("SERIE"), QStringLiteral("PAGO"));
    theirs.post();
    EXPECT_EQ(file->liveRecords(), 1);
    EXPECT_EQ(second->liveRecords(), 1);
    EXPECT_EQ(movtos->field(QStringLiteral("SERIE")), QVariant(QStringLiteral("FAC")));

    // The first file is free again once its user is gone.
    movtos.reset();
    file.reset();
    std::shared_ptr<MovementsFile> third = MovementsFile::open(dir.path());
    EXPECT_EQ(third->path(), dir.filePath(QStringLiteral("qevmovs.dbf")));
    EXPECT_TRUE(third->notice().isEmpty());
}

TEST_F(MovementsFileTest, ALockLeftByAProgramThatEndedDoesNotHoldTheFile) {
    movtos.reset();
    file.reset();
    QProcess ended;
    ended.start(QStringLiteral("sleep"), {QStringLiteral("0.2")});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_GT(gone, 0);
    ASSERT_TRUE(ended.waitForFinished());
    writeAll(dir.filePath(QStringLiteral("qevmovs.dbf.lock")),
             QByteArray::number(gone) + "\nqev\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    file = MovementsFile::open(dir.path());
    EXPECT_EQ(file->path(), dir.filePath(QStringLiteral("qevmovs.dbf")));
}

TEST_F(MovementsFileTest, AFolderWhoseFilesAreAllTakenIsBusy) {
    std::vector<std::shared_ptr<MovementsFile>> users{file};
    for (int i = 2; i <= MovementsFile::MaxFiles; ++i) users.push_back(MovementsFile::open(dir.path()));
    EXPECT_EQ(users.back()->path(),
              dir.filePath(QStringLiteral("qevmovs_%1.dbf").arg(MovementsFile::MaxFiles)));
    try {
        MovementsFile::open(dir.path());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("La carpeta de datos \"%1\" está ocupada: otras %2 copias de qev "
                                 "la usan. Cierre alguna y vuelva a intentarlo")
                      .arg(QDir::toNativeSeparators(dir.path()))
                      .arg(MovementsFile::MaxFiles));
    }
}

TEST_F(MovementsFileTest, RowsSurviveReopeningTheFile) {
    add({QStringLiteral("FAC"), 7, QStringLiteral("2016/01/05"), 1000});
    add({QStringLiteral("PAGO"), 8, QStringLiteral("2016/01/20"), 400.1234});
    movtos->locate(QStringLiteral("FAC"), 7, QStringLiteral("2016/01/05"));
    movtos->deleteCurrent();
    movtos.reset();
    file.reset();
    file = MovementsFile::open(dir.path());
    TablaMovtos again(file);
    EXPECT_EQ(again.rowCount(), 1);
    EXPECT_EQ(again.field(QStringLiteral("TOTAL")), QVariant(400.1234));
    EXPECT_TRUE(again.locate(QStringLiteral("PAGO"), 8, QStringLiteral("2016/01/20")));
}

// A reopened file works out its rows' keys only when a look-up needs them:
// rows edited or deleted before that are found by what they hold now.
TEST_F(MovementsFileTest, RowsOfAReopenedFileChangedBeforeAnyLookUpAreFoundByTheirNewKeys) {
    add({QStringLiteral("FAC"), 7, QStringLiteral("2016/01/05"), 1000});
    add({QStringLiteral("FAC"), 8, QStringLiteral("2016/01/06"), 2000});
    add({QStringLiteral("PAGO"), 9, QStringLiteral("2016/01/20"), 400});
    movtos.reset();
    file.reset();
    file = MovementsFile::open(dir.path());
    TablaMovtos again(file);
    again.first();  // FAC 7 becomes NCRE 7
    again.edit();
    again.setField(QStringLiteral("SERIE"), QStringLiteral("NCRE"));
    again.post();
    again.next();  // FAC 8 is deleted
    again.deleteCurrent();
    EXPECT_FALSE(again.locate(QStringLiteral("FAC"), 7, QStringLiteral("2016/01/05")));
    EXPECT_FALSE(again.locate(QStringLiteral("FAC"), 8, QStringLiteral("2016/01/06")));
    ASSERT_TRUE(again.locate(QStringLiteral("NCRE"), 7, QStringLiteral("2016/01/05")));
    EXPECT_EQ(again.field(QStringLiteral("TOTAL")), QVariant(1000.0));
    ASSERT_TRUE(again.locate(QStringLiteral("PAGO"), 9, QStringLiteral("2016/01/20")));
    // Once looked up, an edit moves the row in the index too.
    again.edit();
    again.setField(QStringLiteral("FOLIO"), 10);
    again.post();
    EXPECT_FALSE(again.locate(QStringLiteral("PAGO"), 9, QStringLiteral("2016/01/20")));
    ASSERT_TRUE(again.locate(QStringLiteral("PAGO"), 10, QStringLiteral("2016/01/20")));
    EXPECT_EQ(again.field(QStringLiteral("TOTAL")), QVariant(400.0));
}

// Rows stored in bulk, then balances written over a scattered set of them,
// over more bytes than the file is buffered by: a reader with shapelib's own
// file access sees every record as written, while the file is still open.
TEST_F(MovementsFileTest, BulkWritesReachTheFileWhole) {
    const int rows = 3000;  // about a megabyte of records
    const int movto = file->fieldIndex(QStringLiteral("MOVTO"));
    const int serie = file->fieldIndex(QStringLiteral("SERIE"));
    const int saldo = file->fieldIndex(QStringLiteral("SALDO"));
    const int msaldo = file->fieldIndex(QStringLiteral("MSALDO"));
    auto batch = [&](int from, int to) {
        QByteArray records;
        for (int i = from; i <= to; ++i) {
            QByteArray raw = file->blankRecord();
            file->setRecordField(raw, movto, i);
            file->setRecordField(raw, serie, QStringLiteral("S%1").arg(i));
            records += raw;
        }
        movtos->appendRows(records);
    };
    batch(1, 1000);
    add({QStringLiteral("FAC"), 7, QStringLiteral("2016/01/05"), 1000});  // one by one between
    batch(1002, rows);
    EXPECT_EQ(movtos->rowCount(), rows);
    EXPECT_EQ(movtos->field(QStringLiteral("MOVTO")), QVariant(qlonglong(rows)));

    // Every seventh record, back to front, then record 10 once more.
    std::vector<int> records;
    for (int r = rows - 1; r >= 0; r -= 7) records.push_back(r);
    file->rewriteRecords(records, [&](std::size_t i, char* raw) {
        const int r = records[i];
        file->setRecordField(raw, saldo, r == 10 ? -1.25 : r * 1.5);
        file->setRecordField(raw, msaldo,
                             r == 10 ? QStringLiteral("primero") : QStringLiteral("$%1").arg(r));
    });
    file->rewriteRecords({10}, [&](std::size_t, char* raw) {
        file->setRecordField(raw, saldo, -2.5);
        file->setRecordField(raw, msaldo, QStringLiteral("segundo"));
    });

    DBFHandle h = DBFOpen(QFile::encodeName(file->path()).constData(), "rb");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(DBFGetRecordCount(h), rows);
    int mismatches = 0;
    for (int r = 0; r < rows; ++r) {
        const bool updated = (rows - 1 - r) % 7 == 0;
        const QString expectedSaldo = r == 10   ? QStringLiteral("-2.5000")
                                      : updated ? QString::number(r * 1.5, 'f', 4)
                                                : QString();
        const QString expectedMsaldo = r == 10   ? QStringLiteral("segundo")
                                       : updated ? QStringLiteral("$%1").arg(r)
                                                 : QString();
        const bool same =
            DBFReadIntegerAttribute(h, r, movto) == r + 1 &&
            QString::fromLatin1(DBFReadStringAttribute(h, r, serie)) ==
                (r == 1000 ? QStringLiteral("FAC") : QStringLiteral("S%1").arg(r + 1)) &&
            QString::fromLatin1(DBFReadStringAttribute(h, r, saldo)).trimmed() == expectedSaldo &&
            QString::fromLatin1(DBFReadStringAttribute(h, r, msaldo)).trimmed() == expectedMsaldo;
        if (!same && ++mismatches <= 5) ADD_FAILURE() << "record " << r;
    }
    DBFClose(h);
    EXPECT_EQ(mismatches, 0);

    // And the file opened afresh holds the same rows and finds them.
    movtos.reset();
    file.reset();
    file = MovementsFile::open(dir.path());
    EXPECT_EQ(file->liveRecords(), rows);
    EXPECT_EQ(file->locate(QStringLiteral("S2993"), QVariant(), QString()), 2992);
    EXPECT_EQ(file->readValues(2992)[std::size_t(msaldo)], QVariant(QStringLiteral("$2992")));
}

// Rows stored together leave the same bytes as the same rows stored one by
// one, and locate finds them alike: the records, the end-of-file mark, the
// count in the header.
TEST(MovementsFileBulk, RowsStoredTogetherGiveTheBytesOfRowsStoredOneByOne) {
    QTemporaryDir bulkDir, singleDir;
    auto bulk = MovementsFile::open(bulkDir.path());
    auto single = MovementsFile::open(singleDir.path());
    TablaMovtos bulkTable(bulk), singleTable(single);
    auto values = [&](int i) {
        std::vector<QVariant> v(bulk->fields().size());
        v[std::size_t(bulk->fieldIndex(QStringLiteral("MOVTO")))] = i;
        v[std::size_t(bulk->fieldIndex(QStringLiteral("SERIE")))] = i % 3 ? QStringLiteral("FAC")
                                                                             : QStringLiteral("Año");
        v[std::size_t(bulk->fieldIndex(QStringLiteral("FOLIO")))] = 10000 + i % 50;
        v[std::size_t(bulk->fieldIndex(QStringLiteral("FECHA")))] = QStringLiteral("2016/01/05");
        v[std::size_t(bulk->fieldIndex(QStringLiteral("TOTAL")))] = i * 10.25;
        return v;
    };
    auto batch = [&](int from, int to) {
        QByteArray records;
        for (int i = from; i <= to; ++i) {
            QByteArray raw = bulk->blankRecord();
            const auto v = values(i);
            for (std::size_t f = 0; f < v.size(); ++f) bulk->setRecordField(raw, int(f), v[f]);
            records += raw;
            singleTable.append();
            for (std::size_t f = 0; f < v.size(); ++f)
                singleTable.setField(single->fields()[f].name, v[f]);
            singleTable.post();
        }
        bulkTable.appendRows(records);
    };
    batch(1, 200);
    EXPECT_EQ(bulk->locate(QStringLiteral("FAC"), 10001, QStringLiteral("2016/01/05")), 0);
    for (auto* table : {&bulkTable, &singleTable}) {  // one by one between bulk rows too
        table->append();
        table->setField(QStringLiteral("MOVTO"), 201);
        table->post();
    }
    batch(202, 202);
    batch(203, 501);
    for (int folio : {10001, 10003, 10049})
        EXPECT_EQ(bulk->locate(QStringLiteral("FAC"), folio, QStringLiteral("2016/01/05")),
                  single->locate(QStringLiteral("FAC"), folio, QStringLiteral("2016/01/05")));
    bulk->flush();
    single->flush();
    auto bytes = [](const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray all = f.readAll();
        all.replace(1, 3, QByteArray(3, '\0'));  // the date of last update
        return all;
    };
    const QByteArray written = bytes(bulk->path());
    EXPECT_EQ(written.size(), 577 + 501 * 366 + 1);
    EXPECT_EQ(written, bytes(single->path()));
}

// Every file of the movements fuzz corpus (damaged headers, cut records, odd
// field widths, inputs that once crashed the reader): each one opens and reads
// or is refused with an Error; none may crash, and what opens takes a new row.
TEST(MovementsFileCorpus, DamagedFilesOpenOrAreRefused) {
    const QDir corpus(QStringLiteral(QEV_SOURCE_DIR "/fuzz/corpus/movements_file"));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << corpus.path().toStdString();
    int opened = 0;
    for (const QString& name : names) {
        QTemporaryDir dir;
        ASSERT_TRUE(QFile::copy(corpus.filePath(name), dir.filePath("qevmovs.dbf"))) << qPrintable(name);
        QFile::setPermissions(dir.filePath("qevmovs.dbf"), QFile::ReadOwner | QFile::WriteOwner);
        try {
            const auto file = MovementsFile::open(dir.path());
            for (int r = file->nextLive(-1); r >= 0; r = file->nextLive(r)) file->readValues(r);
            for (int f = 0; f < int(file->fields().size()); ++f) {
                try {
                    file->checkValue(f, QString(300, u'x'));
                } catch (const Error&) {
                }
            }
            std::vector<QVariant> row(file->fields().size());
            row[std::size_t(file->fieldIndex("SERIE"))] = QStringLiteral("A");
            const int record = file->appendValues(row);
            EXPECT_EQ(file->readValues(record)[std::size_t(file->fieldIndex("SERIE"))],
                      QStringLiteral("A"))
                << qPrintable(name);
            ++opened;
        } catch (const Error& e) {
            EXPECT_FALSE(e.message().isEmpty()) << qPrintable(name);
        }
    }
    EXPECT_GT(opened, 0) << "the corpus holds sound files too";
}

// A header whose record length disagrees with its fields (shorter, or padded
// beyond them: writing such a file once read past the row given) is set aside
// and a new file takes its place, whose records are exactly as long as the
// header says once rows are written.
TEST(MovementsFileCorpus, RecordLengthsThatDisagreeWithTheFieldsGetANewFile) {
    const QDir corpus(QStringLiteral(QEV_SOURCE_DIR "/fuzz/corpus/movements_file"));
    for (const char* name : {"short_record_length.dbf", "wide_text_field.dbf"}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("qevmovs.dbf");
        ASSERT_TRUE(QFile::copy(corpus.filePath(name), path)) << name;
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        {
            const auto file = MovementsFile::open(dir.path());
            EXPECT_FALSE(file->damageNotice().isEmpty()) << name;
            std::vector<QVariant> row(file->fields().size());
            row[std::size_t(file->fieldIndex("REFERENCIA"))] = QString(44, u'r');
            file->appendValues(row);
            file->appendValues(row);
            file->flush();
        }
        DBFHandle h = DBFOpen(QFile::encodeName(path).constData(), "rb");
        ASSERT_NE(h, nullptr) << name;
        int widths = 1;
        for (int f = 0; f < DBFGetFieldCount(h); ++f) {
            int width = 0;
            DBFGetFieldInfo(h, f, nullptr, &width, nullptr);
            widths += width;
        }
        const qint64 expected = h->nHeaderLength + 2 * qint64(h->nRecordLength);
        EXPECT_EQ(h->nRecordLength, widths) << name;
        DBFClose(h);
        EXPECT_GE(QFileInfo(path).size(), expected) << name;
        EXPECT_LE(QFileInfo(path).size(), expected + 1) << name;  // end mark
        const auto again = MovementsFile::open(dir.path());
        EXPECT_TRUE(again->damageNotice().isEmpty()) << name;
        ASSERT_EQ(again->storedRecords(), 2) << name;
        EXPECT_EQ(again->readValues(1)[std::size_t(again->fieldIndex("REFERENCIA"))],
                  QString(44, u'r'))
            << name;
    }
}

TEST(Windows1252, RoundTripsTheCodePageAndReplacesTheRest) {
    const QString text = QStringLiteral("Ñandú €‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ ÿ");
    const QByteArray bytes = toWindows1252(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(fromWindows1252(bytes.constData(), bytes.size()), text);
    EXPECT_EQ(toWindows1252(QStringLiteral("a→b😀c")), QByteArray("a?b?c"));
    EXPECT_EQ(quint8(toWindows1252(QStringLiteral("€")).at(0)), 0x80);
}

}  // namespace
}  // namespace qev
