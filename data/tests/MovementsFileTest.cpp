#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/Windows1252.h"
#include "data/tests/MovementsTestSupport.h"
#include "testing/QtPrinters.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

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
        EXPECT_EQ(e.message(), QStringLiteral("Movements file \"%1\": Field 'SALDO' not found")
                                   .arg(dir.filePath("qevmovs.dbf")));
    }
}

TEST_F(MovementsFileTest, AFileThatIsNotDBaseIsRefused) {
    file.reset();
    movtos.reset();
    QFile junk(dir.filePath(QStringLiteral("qevmovs.dbf")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a table");
    junk.close();
    EXPECT_THROW(MovementsFile::open(dir.path()), Error);
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
        std::vector<QByteArray> records;
        for (int i = from; i <= to; ++i) {
            QByteArray raw = file->blankRecord();
            file->setRecordField(raw, movto, i);
            file->setRecordField(raw, serie, QStringLiteral("S%1").arg(i));
            records.push_back(raw);
        }
        movtos->appendRows(records);
    };
    batch(1, 1000);
    add({QStringLiteral("FAC"), 7, QStringLiteral("2016/01/05"), 1000});  // one by one between
    batch(1002, rows);
    EXPECT_EQ(movtos->rowCount(), rows);
    EXPECT_EQ(movtos->field(QStringLiteral("MOVTO")), QVariant(qlonglong(rows)));

    // Back to front, every seventh record, and record 10 twice: the later wins.
    std::vector<MovementsFile::RecordUpdate> updates;
    for (int r = rows - 1; r >= 0; r -= 7)
        updates.push_back({r, {r * 1.5, QStringLiteral("$%1").arg(r)}});
    updates.push_back({10, {-1.25, QStringLiteral("primero")}});
    updates.push_back({10, {-2.5, QStringLiteral("segundo")}});
    file->updateRecords({saldo, msaldo}, updates);

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
