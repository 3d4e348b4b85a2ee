#include "data/DemoCompany.h"
#include "data/tests/DemoBackends.h"
#include "testing/QtPrinters.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qev {
namespace {

using testing::OnEachDatabase;

class DemoCompanyTest : public OnEachDatabase {
  protected:
    qlonglong scalar(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q(conexion->database());
        EXPECT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString();
        for (const QVariant& b : binds) q.addBindValue(b);
        EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        EXPECT_TRUE(q.next());
        return q.value(0).toLongLong();
    }
    qlonglong acceptedMovements(const QString& code) {
        return scalar(
            QStringLiteral("SELECT (SELECT COUNT(*) FROM OPCH WHERE CardCode = ? AND CANCELED = "
                           "'N' AND Series <> 63)"
                           " + (SELECT COUNT(*) FROM ORPC WHERE CardCode = ? AND CANCELED = 'N' "
                           "AND DocType IN ('S','I'))"
                           " + (SELECT COUNT(*) FROM OVPM WHERE CardCode = ? AND CANCELED = 'N')"),
            {code, code, code});
    }
    qlonglong documents(const QString& code) {
        return scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM OPCH WHERE CardCode = ?)"
                                     " + (SELECT COUNT(*) FROM ORPC WHERE CardCode = ?)"
                                     " + (SELECT COUNT(*) FROM OVPM WHERE CardCode = ?)"),
                      {code, code, code});
    }
};

TEST_P(DemoCompanyTest, HasTheVolumeOfARealCompany) {
    EXPECT_GE(scalar(QStringLiteral("SELECT COUNT(*) FROM OCRD WHERE CardType = 'S'")), 300);
    EXPECT_GE(scalar(QStringLiteral("SELECT COUNT(*) FROM OCRD WHERE CardType = 'C'")), 100);
    EXPECT_GE(
        scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM OPCH) + (SELECT COUNT(*) FROM ORPC)"
                              " + (SELECT COUNT(*) FROM OVPM)")),
        20000);
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT COUNT(DISTINCT EXTRACT_YEAR) FROM (SELECT SUBSTR(CAST(DocDate AS"
                  " VARCHAR(30)), 1, 4) AS EXTRACT_YEAR FROM OPCH) AS y")),
              2);
}

TEST_P(DemoCompanyTest, EdgeSuppliersHaveTheirExactMovementCounts) {
    EXPECT_EQ(documents(QString::fromUtf8(demo::SupplierWithoutDocuments)), 0);
    EXPECT_EQ(acceptedMovements(QString::fromUtf8(demo::SupplierWith29Movements)), 29);
    EXPECT_EQ(acceptedMovements(QString::fromUtf8(demo::SupplierWith30Movements)), 30);
    EXPECT_EQ(acceptedMovements(QString::fromUtf8(demo::SupplierWith58Movements)), 58);
    // Each also has documents a statement must leave out.
    EXPECT_GT(documents(QString::fromUtf8(demo::SupplierWith29Movements)), 29);
    // The large statement spans more than 10,000 rows.
    EXPECT_EQ(acceptedMovements(QString::fromUtf8(demo::SupplierWithManyDocuments)),
              demo::ManyDocumentsMovements);
    EXPECT_GE(demo::ManyDocumentsMovements, 10000);
    EXPECT_GT(documents(QString::fromUtf8(demo::SupplierWithManyDocuments)),
              demo::ManyDocumentsMovements);
    EXPECT_GT(documents(QString::fromUtf8(demo::SupplierWithApostrophe)), 0);
}

// Statements are mailed to OCRD.E_Mail: most suppliers have one address, some
// none, one a list and one a text that is no address at all.
TEST_P(DemoCompanyTest, MostSuppliersHaveAnEmailAddressSomeNoneOneMalformed) {
    const qlonglong suppliers = scalar(QStringLiteral("SELECT COUNT(*) FROM OCRD WHERE CardType = 'S'"));
    const qlonglong withAt = scalar(QStringLiteral(
        "SELECT COUNT(*) FROM OCRD WHERE CardType = 'S' AND E_Mail LIKE '_%@_%._%'"));
    const qlonglong without = scalar(QStringLiteral(
        "SELECT COUNT(*) FROM OCRD WHERE CardType = 'S' AND (E_Mail IS NULL OR E_Mail = '')"));
    EXPECT_GT(withAt, suppliers * 8 / 10);
    EXPECT_GT(without, 0);
    EXPECT_EQ(withAt + without + 1, suppliers);  // the one malformed address is all the rest
    const QString malformed = QString::fromUtf8(demo::SupplierWithMalformedEmail);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OCRD WHERE CardCode = ? AND E_Mail = ?"),
                     {malformed, QString::fromUtf8(demo::SupplierMalformedEmail)}),
              1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OCRD WHERE CardCode = ? AND E_Mail = ?"),
                     {QString::fromUtf8(demo::SupplierWithTwoEmails),
                      QString::fromUtf8(demo::SupplierTwoEmails)}),
              1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OCRD WHERE CardCode = ? AND E_Mail IS NULL"),
                     {QString::fromUtf8(demo::SupplierWithNulls)}),
              1);
}

TEST_P(DemoCompanyTest, CoversEverySeriesDocTypeCancellationAndNull) {
    struct Case {
        const char* what;
        const char* sql;
    };
    const Case cases[] = {
        {"invoice series 10", "SELECT COUNT(*) FROM OPCH WHERE Series = 10"},
        {"invoice series 64", "SELECT COUNT(*) FROM OPCH WHERE Series = 64"},
        {"invoice series 63", "SELECT COUNT(*) FROM OPCH WHERE Series = 63"},
        {"invoice other series", "SELECT COUNT(*) FROM OPCH WHERE Series NOT IN (10, 63, 64)"},
        {"cancelled invoice", "SELECT COUNT(*) FROM OPCH WHERE CANCELED = 'Y'"},
        {"credit note S", "SELECT COUNT(*) FROM ORPC WHERE DocType = 'S'"},
        {"credit note I", "SELECT COUNT(*) FROM ORPC WHERE DocType = 'I'"},
        {"credit note other", "SELECT COUNT(*) FROM ORPC WHERE DocType NOT IN ('S', 'I')"},
        {"credit note series 12", "SELECT COUNT(*) FROM ORPC WHERE Series = 12"},
        {"credit note series 100", "SELECT COUNT(*) FROM ORPC WHERE Series = 100"},
        {"cancelled credit note", "SELECT COUNT(*) FROM ORPC WHERE CANCELED = 'Y'"},
        {"payment series 20", "SELECT COUNT(*) FROM OVPM WHERE Series = 20"},
        {"payment other series", "SELECT COUNT(*) FROM OVPM WHERE Series <> 20"},
        {"cancelled payment", "SELECT COUNT(*) FROM OVPM WHERE CANCELED = 'Y'"},
        {"Null numatcard", "SELECT COUNT(*) FROM OPCH WHERE NumAtCard IS NULL"},
        {"Null paidtodate", "SELECT COUNT(*) FROM ORPC WHERE PaidToDate IS NULL"},
        {"Null counterref", "SELECT COUNT(*) FROM OVPM WHERE CounterRef IS NULL"},
        {"total 0", "SELECT COUNT(*) FROM OPCH WHERE DocTotal = 0"},
        {"Null supplier address",
         "SELECT COUNT(*) FROM OCRD WHERE CardType = 'S' AND Address IS NULL"},
        {"accented names",
         "SELECT COUNT(*) FROM OCRD WHERE CardName LIKE '%ñ%' OR CardName LIKE '%á%'"},
        {"apostrophe in a code", "SELECT COUNT(*) FROM OCRD WHERE CardCode LIKE '%''%'"},
    };
    for (const Case& c : cases) EXPECT_GT(scalar(QString::fromUtf8(c.sql)), 0) << c.what;
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM OPCH WHERE DocDate IS NULL OR DocDueDate IS NULL")),
              0);
}

// The payment lines agree with the documents, as data/README.md describes
// them: no statement below may find a single row.
TEST_P(DemoCompanyTest, PaymentLinesAgreeWithPaidToDateAndTheirDocuments) {
    // The date part of a date or date-time, comparable as text on every database.
    const QString day = QStringLiteral("SUBSTR(CAST(%1 AS VARCHAR(30)), 1, 10)");
    const QString paid = QStringLiteral(
        "COALESCE((SELECT SUM(l.SumApplied) FROM VPM2 l JOIN OVPM p ON p.DocEntry = l.DocNum"
        " WHERE l.InvType = '%1' AND l.DocEntry = d.DocEntry AND p.CANCELED = 'N'), 0)");
    struct Case {
        const char* what;
        QString sql;
    };
    const Case violations[] = {
        {"invoice PaidToDate is not the sum of its lines",
         "SELECT COUNT(*) FROM OPCH d WHERE d.PaidToDate IS NOT NULL AND ABS(d.PaidToDate - " +
             paid.arg(QLatin1String("18")) + ") > 0.001"},
        {"credit note PaidToDate is not the sum of its lines turned",
         "SELECT COUNT(*) FROM ORPC d WHERE d.PaidToDate IS NOT NULL AND ABS(d.PaidToDate + " +
             paid.arg(QLatin1String("19")) + ") > 0.001"},
        {"more paid than the total",
         "SELECT (SELECT COUNT(*) FROM OPCH WHERE PaidToDate > DocTotal + 0.001)"
         " + (SELECT COUNT(*) FROM ORPC WHERE PaidToDate > DocTotal + 0.001)"},
        {"a payment applies more than its total",
         "SELECT COUNT(*) FROM OVPM p WHERE p.DocTotal + 0.001 <"
         " (SELECT SUM(l.SumApplied) FROM VPM2 l WHERE l.DocNum = p.DocEntry)"},
        {"a line on a document of another supplier, a later one or one not accepted",
         "SELECT COUNT(*) FROM VPM2 l JOIN OVPM p ON p.DocEntry = l.DocNum WHERE NOT EXISTS"
         " (SELECT 1 FROM OPCH d WHERE l.InvType = '18' AND d.DocEntry = l.DocEntry"
         "  AND d.CardCode = p.CardCode AND d.CANCELED = 'N' AND d.Series <> 63 AND " +
             day.arg(QLatin1String("d.DocDate")) + " <= " + day.arg(QLatin1String("p.DocDate")) +
             " AND l.SumApplied > 0)"
             " AND NOT EXISTS (SELECT 1 FROM ORPC d WHERE l.InvType = '19'"
             "  AND d.DocEntry = l.DocEntry AND d.CardCode = p.CardCode AND d.CANCELED = 'N'"
             "  AND d.DocType IN ('S', 'I') AND " +
             day.arg(QLatin1String("d.DocDate")) + " <= " + day.arg(QLatin1String("p.DocDate")) + " AND l.SumApplied < 0)"},
        {"the supplier with Nulls has a line",
         "SELECT COUNT(*) FROM VPM2 l JOIN OVPM p ON p.DocEntry = l.DocNum"
         " WHERE p.CardCode = 'P90N01'"},
    };
    for (const Case& c : violations) EXPECT_EQ(scalar(c.sql), 0) << c.what;

    const Case examples[] = {
        {"invoices paid in full",
         "SELECT COUNT(*) FROM OPCH WHERE DocTotal > 0 AND PaidToDate = DocTotal"},
        {"invoices paid in part",
         "SELECT COUNT(*) FROM OPCH WHERE PaidToDate > 0 AND PaidToDate < DocTotal"},
        {"invoices not paid",
         "SELECT COUNT(*) FROM OPCH WHERE CANCELED = 'N' AND DocTotal > 0 AND PaidToDate = 0"},
        {"credit notes taken into payments",
         "SELECT COUNT(*) FROM ORPC WHERE PaidToDate > 0"},
        {"payments left partly unapplied",
         "SELECT COUNT(*) FROM OVPM p WHERE p.CANCELED = 'N' AND p.DocTotal - 0.001 > COALESCE("
         " (SELECT SUM(l.SumApplied) FROM VPM2 l WHERE l.DocNum = p.DocEntry), 0)"
         " AND EXISTS (SELECT 1 FROM VPM2 l WHERE l.DocNum = p.DocEntry)"},
        {"payments of several lines",
         "SELECT COUNT(*) FROM VPM2 WHERE InvoiceId > 0"},
        {"cancelled payments that kept their lines",
         "SELECT COUNT(*) FROM OVPM p WHERE p.CANCELED = 'Y'"
         " AND EXISTS (SELECT 1 FROM VPM2 l WHERE l.DocNum = p.DocEntry)"},
    };
    for (const Case& c : examples) EXPECT_GT(scalar(c.sql), 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Databases, DemoCompanyTest, testing::everyDatabase(),
                         testing::backendName);

// Everything the tests and the demo rely on comes from the seed alone.
QByteArray fingerprint(unsigned seed) {
    const QString name = QStringLiteral("fingerprint-%1").arg(seed);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        EXPECT_TRUE(db.open());
        DemoCompany::populate(db, seed);
        for (const char* sql :
             {"SELECT * FROM OCRD ORDER BY CardCode", "SELECT * FROM OPCH ORDER BY DocEntry",
              "SELECT * FROM ORPC ORDER BY DocEntry", "SELECT * FROM OVPM ORDER BY DocEntry",
              "SELECT * FROM VPM2 ORDER BY DocNum, InvoiceId"}) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(QString::fromLatin1(sql)));
            while (q.next())
                for (int i = 0; i < q.record().count(); ++i)
                    hash.addData(q.value(i).toString().toUtf8() + '\x1f');
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return hash.result();
}

TEST(DemoCompanyGenerator, SameSeedSameCompanyOtherSeedOther) {
    const QByteArray first = fingerprint(demo::DefaultSeed);
    EXPECT_EQ(first, fingerprint(demo::DefaultSeed));
    EXPECT_NE(first, fingerprint(demo::DefaultSeed + 1));
}

// A demo file left by an older qev is built anew; one of this version is kept.
TEST(DemoCompanyFile, AFileOfAnotherVersionIsBuiltAnew) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("qevdemo.sqlite"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old-demo");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE OCRD (CardCode VARCHAR(15))"));
        QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = %1").arg(demo::Version - 1));
        db.close();
    }
    QSqlDatabase::removeDatabase("old-demo");

    DemoCompany::ensureSqliteFile(path);
    const QDateTime built = QFileInfo(path).lastModified();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "new-demo");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery count(db);
        ASSERT_TRUE(count.exec(QStringLiteral("SELECT COUNT(*) FROM OPCH")) && count.next());
        EXPECT_GT(count.value(0).toInt(), 10000);
        QSqlQuery version(db);
        ASSERT_TRUE(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
        EXPECT_EQ(version.value(0).toInt(), demo::Version);
        db.close();
    }
    QSqlDatabase::removeDatabase("new-demo");
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.building-*"}).isEmpty());

    DemoCompany::ensureSqliteFile(path);  // already this version: left alone
    EXPECT_EQ(QFileInfo(path).lastModified(), built);
}

}  // namespace
}  // namespace qev
