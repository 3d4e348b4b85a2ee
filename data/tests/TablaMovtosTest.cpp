#include "data/TablaMovtos.h"
#include "data/tests/MovementsTestSupport.h"
#include "testing/QtPrinters.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace qev {
namespace {

class TablaMovtosTest : public testing::MovementsFixture {
  protected:
    qint64 fileSize() const { return QFileInfo(file->path()).size(); }
    QVariant movto() const { return movtos->field(QStringLiteral("MOVTO")); }
};

TEST_F(TablaMovtosTest, AppendPostAndReadBackKeepNullAndTypes) {
    EXPECT_EQ(movtos->rowCount(), 0);
    add({QStringLiteral("FACSI"), 10023, QStringLiteral("2016/06/24"), 1234.5});
    EXPECT_EQ(movtos->rowCount(), 1);
    EXPECT_EQ(movto(), QVariant(1));
    EXPECT_EQ(movtos->field(QStringLiteral("Serie")),
              QVariant(QStringLiteral("FACSI")));  // no padding
    EXPECT_EQ(movtos->field(QStringLiteral("folio")), QVariant(10023));
    EXPECT_EQ(movtos->field(QStringLiteral("TOTAL")).typeId(), QMetaType::Double);
    EXPECT_EQ(movtos->field(QStringLiteral("TOTAL")), QVariant(1234.5));
    EXPECT_TRUE(movtos->field(QStringLiteral("SALDO")).isNull());
    EXPECT_TRUE(movtos->field(QStringLiteral("MSALDO")).isNull());
}

TEST_F(TablaMovtosTest, LongTextsAreCutAndNumbersThatDoNotFitAreRefused) {
    movtos->append();
    movtos->setField(QStringLiteral("SERIE"), QStringLiteral("ABCDEFGHIJKLMNOP"));
    EXPECT_THROW(movtos->setField(QStringLiteral("TOTAL"), 1e20), Error);
    EXPECT_THROW(movtos->setField(QStringLiteral("TOTAL"), QStringLiteral("mucho")), Error);
    movtos->setField(QStringLiteral("TOTAL"), -9223372036854.5807);  // beyond any statement
    movtos->post();
    EXPECT_EQ(movtos->field(QStringLiteral("SERIE")), QVariant(QStringLiteral("ABCDEFGHIJK")));
    EXPECT_DOUBLE_EQ(movtos->field(QStringLiteral("TOTAL")).toDouble(), -9223372036854.5807);
}

TEST_F(TablaMovtosTest, LocateFindsTheFirstStoredExactMatchOrKeepsTheRow) {
    add({QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05"), 100});   // 1
    add({QStringLiteral("PAGO"), 5, QStringLiteral("2016/01/05"), 100});  // 2
    add({QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05"),
         300});  // 3: same three values as 1
    add({QStringLiteral("FAC"), 6, QStringLiteral("2016/01/05"), 100});  // 4

    EXPECT_TRUE(movtos->locate(QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05")));
    EXPECT_EQ(movto(), QVariant(1));
    EXPECT_TRUE(movtos->locate(QStringLiteral("FAC"), QVariant(6.0), QStringLiteral("2016/01/05")));
    EXPECT_EQ(movto(), QVariant(4));

    struct Miss {
        const char* serie;
        QVariant folio;
        const char* fecha;
    };
    const Miss misses[] = {
        {"fac", 5, "2016/01/05"},  // letter case counts
        {"FAC", 7, "2016/01/05"}, {"FAC", 5, "2016/01/06"},
        {"FAC ", 5, "2016/1/5"},  {"FAC", QVariant(), "2016/01/05"},
    };
    for (const Miss& m : misses) {
        EXPECT_FALSE(
            movtos->locate(QString::fromLatin1(m.serie), m.folio, QString::fromLatin1(m.fecha)))
            << m.serie;
        EXPECT_EQ(movto(), QVariant(4)) << m.serie;
    }
}

TEST_F(TablaMovtosTest, LocateFollowsEditsAndDeletes) {
    add({QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05"), 100});  // 1
    add({QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05"), 300});  // 2
    ASSERT_TRUE(movtos->locate(QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05")));
    movtos->edit();
    movtos->setField(QStringLiteral("SERIE"), QStringLiteral("NCRE"));
    movtos->post();
    ASSERT_TRUE(movtos->locate(QStringLiteral("FAC"), 5, QStringLiteral("2016/01/05")));
    EXPECT_EQ(movto(), QVariant(2));
    ASSERT_TRUE(movtos->locate(QStringLiteral("NCRE"), 5, QStringLiteral("2016/01/05")));
    EXPECT_EQ(movto(), QVariant(1));
    movtos->deleteCurrent();
    EXPECT_FALSE(movtos->locate(QStringLiteral("NCRE"), 5, QStringLiteral("2016/01/05")));
}

TEST_F(TablaMovtosTest, EditChangesOnlyTheCurrentRowAndCancelDropsIt) {
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05"), 100});
    add({QStringLiteral("FAC"), 2, QStringLiteral("2016/01/06"), 200});
    ASSERT_TRUE(movtos->locate(QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05")));
    movtos->edit();
    movtos->setField(QStringLiteral("SALDO"), 100);
    movtos->setField(QStringLiteral("MSALDO"), QStringLiteral("$100.00"));
    EXPECT_EQ(movtos->field(QStringLiteral("MSALDO")), QVariant(QStringLiteral("$100.00")));
    movtos->post();
    movtos->edit();
    movtos->setField(QStringLiteral("SALDO"), 999);
    movtos->cancel();
    EXPECT_EQ(movtos->field(QStringLiteral("SALDO")), QVariant(100.0));
    EXPECT_EQ(movtos->field(QStringLiteral("TOTAL")), QVariant(100.0));
    ASSERT_TRUE(movtos->locate(QStringLiteral("FAC"), 2, QStringLiteral("2016/01/06")));
    EXPECT_TRUE(movtos->field(QStringLiteral("SALDO")).isNull());
    EXPECT_EQ(movtos->rowCount(), 2);
}

TEST_F(TablaMovtosTest, AnUnpostedRowIsNeverStored) {
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05"), 100});
    movtos->append();
    movtos->setField(QStringLiteral("SERIE"), QStringLiteral("PAGO"));
    // A failing build leaves its row here; the next one empties the table.
    movtos->empty();
    EXPECT_EQ(movtos->rowCount(), 0);
    movtos->post();
    EXPECT_EQ(movtos->rowCount(), 0);
    EXPECT_THROW(movtos->setField(QStringLiteral("SERIE"), QStringLiteral("X")), Error);
}

TEST_F(TablaMovtosTest, DeleteMakesTheNextRowCurrentAndEmptyingTruncates) {
    const qint64 emptySize = fileSize();
    for (int i = 1; i <= 4; ++i)
        add({QStringLiteral("FAC"), i, QStringLiteral("2016/01/05"), 100.0 * i});
    movtos->first();
    movtos->next();  // row 2
    movtos->deleteCurrent();
    EXPECT_EQ(movto(), QVariant(3));
    EXPECT_EQ(movtos->rowCount(), 3);
    ASSERT_TRUE(movtos->locate(QStringLiteral("FAC"), 4, QStringLiteral("2016/01/05")));
    movtos->deleteCurrent();  // the last: the one before becomes current
    EXPECT_EQ(movto(), QVariant(3));
    // The way a build empties the table: delete while rows remain.
    while (movtos->rowCount() > 0) movtos->deleteCurrent();
    file->flush();
    EXPECT_EQ(fileSize(), emptySize);  // no deleted records left behind
    EXPECT_THROW(movtos->deleteCurrent(), Error);

    for (int i = 1; i <= 50; ++i) add({QStringLiteral("PAGO"), i, QStringLiteral("2016/02/01"), 1});
    movtos->empty();
    file->flush();
    EXPECT_EQ(movtos->rowCount(), 0);
    EXPECT_EQ(fileSize(), emptySize);
    EXPECT_TRUE(movto().isNull());
}

TEST_F(TablaMovtosTest, UnknownFieldsAndWrongStatesGiveTheirTexts) {
    struct Case {
        std::function<void()> action;
        const char* text;
    };
    const Case cases[] = {
        {[&] { movtos->field(QStringLiteral("movimiento")); },
         "TablaMovtos: Field 'movimiento' not found"},
        {[&] {
             movtos->append();
             movtos->setField(QStringLiteral("saldos"), 1);
         },
         "TablaMovtos: Field 'saldos' not found"},
        {[&] {
             movtos->cancel();
             movtos->setField(QStringLiteral("SALDO"), 1);
         },
         "TablaMovtos: Dataset not in edit or insert mode"},
        {[&] { movtos->edit(); }, "TablaMovtos: Cannot perform this operation on an empty dataset"},
    };
    for (const Case& c : cases) {
        try {
            c.action();
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.text));
        }
    }
}

}  // namespace
}  // namespace qev
