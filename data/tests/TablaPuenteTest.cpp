#include "data/TablaPuente.h"
#include "data/tests/DemoBackends.h"
#include "testing/QtPrinters.h"

#include <QDate>

#include <gtest/gtest.h>

namespace qev {
namespace {

class TablaPuenteTest : public testing::OnEachDatabase {
  protected:
    void SetUp() override {
        OnEachDatabase::SetUp();
        if (IsSkipped()) return;
        puente = std::make_unique<TablaPuente>(*conexion);
    }
    void TearDown() override {
        puente.reset();
        OnEachDatabase::TearDown();
    }
    int rowsOf(const char* table, const QString& code) {
        puente->setTableName(QString::fromLatin1(table));
        puente->setCardCodeFilter(code);
        puente->open();
        int rows = 0;
        for (puente->first(); !puente->eof(); puente->next()) {
            EXPECT_EQ(puente->value(QStringLiteral("cardcode")).toString(), code);
            ++rows;
        }
        EXPECT_EQ(rows, puente->recordCount());
        puente->close();
        puente->clearFilter();
        return rows;
    }

    std::unique_ptr<TablaPuente> puente;
};

TEST_P(TablaPuenteTest, OpensOneTableOfOneSupplierPerPass) {
    const QString code = QString::fromUtf8(demo::SupplierWith58Movements);
    const int total = rowsOf("opch", code) + rowsOf("orpc", code) + rowsOf("ovpm", code);
    EXPECT_GT(total, 58);  // accepted ones plus those a statement leaves out
    EXPECT_EQ(rowsOf("opch", QString::fromUtf8(demo::SupplierWithoutDocuments)), 0);
    EXPECT_GT(rowsOf("ORPC", QString::fromUtf8(demo::SupplierWithApostrophe)) +
                  rowsOf("ovpm", QString::fromUtf8(demo::SupplierWithApostrophe)) +
                  rowsOf("opch", QString::fromUtf8(demo::SupplierWithApostrophe)),
              0);
}

TEST_P(TablaPuenteTest, TheFilterIsAValueNotSql) {
    EXPECT_EQ(rowsOf("opch", QStringLiteral("x' OR 'a'='a")), 0);
    EXPECT_EQ(rowsOf("opch", QStringLiteral("p90058")), 0);  // codes are exact
}

TEST_P(TablaPuenteTest, DeliversTypedValuesInDocumentOrderWithNullKept) {
    puente->setTableName(QStringLiteral("opch"));
    puente->setCardCodeFilter(QString::fromUtf8(demo::SupplierWithNulls));
    puente->open();
    ASSERT_GT(puente->recordCount(), 0);
    int previousNumber = 0;
    for (puente->first(); !puente->eof(); puente->next()) {
        EXPECT_EQ(puente->value(QStringLiteral("DOCDATE")).typeId(), QMetaType::QDate);
        EXPECT_EQ(puente->value(QStringLiteral("docduedate")).typeId(), QMetaType::QDate);
        EXPECT_EQ(puente->value(QStringLiteral("doctotal")).typeId(), QMetaType::Double);
        EXPECT_EQ(puente->value(QStringLiteral("series")).typeId(), QMetaType::Int);
        EXPECT_EQ(puente->value(QStringLiteral("canceled")).typeId(), QMetaType::QString);
        EXPECT_TRUE(puente->value(QStringLiteral("numatcard")).isNull());
        EXPECT_TRUE(puente->value(QStringLiteral("paidtodate")).isNull());
        const int number = puente->value(QStringLiteral("docnum")).toInt();
        EXPECT_GT(number, previousNumber);
        previousNumber = number;
    }
    EXPECT_EQ(puente->fieldType(QStringLiteral("docdate")), FieldType::Date);
    try {
        puente->value(QStringLiteral("counterref"));  // a payment column, not an invoice one
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TablaPuente: Field 'counterref' not found"));
    }
}

// The documents of the table with the given CANCELED and DOCTYPE (none: any),
// by DocEntry in the order they come.
std::vector<int> entries(TablaPuente& puente, const char* canceled, const char* doctype) {
    std::vector<int> result;
    puente.open();
    for (puente.first(); !puente.eof(); puente.next()) {
        auto is = [&](const char* field, const char* text) {
            return !text || puente.value(QString::fromLatin1(field)) == QString::fromLatin1(text);
        };
        if (is("canceled", canceled) && is("doctype", doctype))
            result.push_back(puente.value(QStringLiteral("docentry")).toInt());
    }
    puente.close();
    return result;
}

TEST_P(TablaPuenteTest, TextConditionsFetchOnlyTheRowsWithThoseTextsInTheSameOrder) {
    puente->setTableName(QStringLiteral("orpc"));
    for (const char* code : {demo::SupplierWith58Movements, demo::SupplierWithManyDocuments,
                             demo::SupplierWithNulls}) {
        SCOPED_TRACE(code);
        puente->setCardCodeFilter(QString::fromUtf8(code));
        const std::vector<int> all = entries(*puente, nullptr, nullptr);
        for (const char* doctype : {"S", "I"}) {
            const std::vector<int> expected = entries(*puente, "N", doctype);
            puente->addTextCondition(QStringLiteral("canceled"), QStringLiteral("N"));
            puente->addTextCondition(QStringLiteral("DOCTYPE"), QString::fromLatin1(doctype));
            EXPECT_EQ(entries(*puente, nullptr, nullptr), expected) << doctype;
            puente->clearFilter();
            puente->setCardCodeFilter(QString::fromUtf8(code));
        }
        EXPECT_EQ(entries(*puente, nullptr, nullptr), all);  // the conditions went with the filter
    }
    puente->setTableName(QStringLiteral("ovpm"));
    puente->addTextCondition(QStringLiteral("doctype"), QStringLiteral("S"));
    try {
        puente->open();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TablaPuente: Field 'doctype' not found"));
    }
    EXPECT_FALSE(puente->isOpen());
}

TEST_P(TablaPuenteTest, RefusesATableChangeWhileOpenAndUnknownTables) {
    puente->setTableName(QStringLiteral("ovpm"));
    puente->setCardCodeFilter(QString::fromUtf8(demo::SupplierWith29Movements));
    puente->open();
    EXPECT_TRUE(puente->isOpen());
    try {
        puente->setTableName(QStringLiteral("opch"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("TablaPuente: Cannot perform this operation on an open dataset"));
    }
    EXPECT_EQ(puente->tableName(), QStringLiteral("ovpm"));
    puente->close();
    puente->setTableName(QStringLiteral("opch"));
    EXPECT_THROW(puente->setTableName(QStringLiteral("ocrd; drop table opch")), Error);
}

INSTANTIATE_TEST_SUITE_P(Databases, TablaPuenteTest, testing::everyDatabase(),
                         testing::backendName);

// The same rows, value for value, whichever database holds the company.
TEST(BothDatabases, DeliverTheSameDocuments) {
    const auto sqlite = testing::demoSettings(testing::Sqlite);
    const auto postgres = testing::demoSettings(testing::Postgres);
    if (!postgres) GTEST_SKIP() << "QEV_TEST_PG is not set: no PostgreSQL server to compare with";
    ConexionSAP a(*sqlite, QStringLiteral("compare-sqlite"));
    ConexionSAP b(*postgres, QStringLiteral("compare-pg"));
    TablaPuente pa(a), pb(b);
    for (const char* table : {"opch", "orpc", "ovpm"}) {
        for (const char* code :
             {demo::SupplierWith58Movements, demo::SupplierWithNulls, "P00007"}) {
            for (TablaPuente* p : {&pa, &pb}) {
                p->setTableName(QString::fromLatin1(table));
                p->setCardCodeFilter(QString::fromUtf8(code));
                p->open();
            }
            ASSERT_EQ(pa.recordCount(), pb.recordCount()) << table << code;
            for (pa.first(), pb.first(); !pa.eof(); pa.next(), pb.next())
                for (const QString& field : pa.fieldNames())
                    EXPECT_EQ(pa.value(field), pb.value(field))
                        << table << code << field.toStdString();
            pa.close();
            pb.close();
        }
    }
}

}  // namespace
}  // namespace qev
