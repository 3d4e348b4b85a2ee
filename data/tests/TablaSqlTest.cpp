#include "data/TablaSql.h"
#include "data/tests/MovementsTestSupport.h"
#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

class TablaSqlTest : public testing::MovementsFixture {
  protected:
    void SetUp() override {
        MovementsFixture::SetUp();
        sql = std::make_unique<TablaSql>(file);
    }
    // MOVTO of each row in the order the query delivers them.
    std::vector<int> order() {
        sql->close();
        sql->open();
        std::vector<int> movtos;
        for (sql->first(); !sql->eof(); sql->next())
            movtos.push_back(sql->value(QStringLiteral("movto")).toInt());
        return movtos;
    }
    std::unique_ptr<TablaSql> sql;
};

TEST_F(TablaSqlTest, DeliversRowsByDateThenTotalAsANumberThenSerie) {
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/02/01"), 50});    // 1
    add({QStringLiteral("PAGO"), 2, QStringLiteral("2016/01/20"), 400});  // 2
    add({QStringLiteral("NCRE"), 3, QStringLiteral("2016/01/20"), 100});  // 3
    add({QStringLiteral("FAC"), 4, QStringLiteral("2016/01/05"), 1000});  // 4
    add({QStringLiteral("FAC"), 5, QStringLiteral("2016/01/20"), 400});   // 5: ties 2 but for SERIE
    add({QStringLiteral("10"), 6, QStringLiteral("2016/01/20"), 400});    // 6
    add({QStringLiteral("FAC"), 7, QStringLiteral("2016/01/20"), 400});   // 7: ties 5 in all three
    add({QStringLiteral("FAC"), 8, QStringLiteral("2016/01/20"),
         99.9999});  // 8: 99.9999 < 100 < 400
    EXPECT_EQ(order(), (std::vector<int>{4, 8, 3, 6, 5, 7, 2, 1}));
}

TEST_F(TablaSqlTest, NegativeAndNullTotalsComeFirst) {
    add({QStringLiteral("A"), 1, QStringLiteral("2016/01/05"), 5});
    add({QStringLiteral("A"), 2, QStringLiteral("2016/01/05"), -20});
    movtos->append();
    movtos->setField(QStringLiteral("MOVTO"), 3);
    movtos->setField(QStringLiteral("FECHA"), QStringLiteral("2016/01/05"));
    movtos->post();
    EXPECT_EQ(order(), (std::vector<int>{3, 2, 1}));
}

TEST_F(TablaSqlTest, ReopeningShowsTheRowsAsTheyNowAre) {
    EXPECT_TRUE(order().empty());
    EXPECT_TRUE(sql->eof());
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05"), 100});
    EXPECT_EQ(sql->recordCount(), 0);  // still the rows of the last open
    EXPECT_EQ(order(), std::vector<int>{1});
    ASSERT_TRUE(movtos->locate(QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05")));
    movtos->edit();
    movtos->setField(QStringLiteral("MSALDO"), QStringLiteral("$100.00"));
    movtos->post();
    sql->close();
    sql->open();
    EXPECT_EQ(sql->value(QStringLiteral("msaldo")), QVariant(QStringLiteral("$100.00")));
    EXPECT_EQ(sql->displayText(QStringLiteral("SALDO")), QString());
    movtos->empty();
    EXPECT_TRUE(order().empty());
}

// Each of the three fields of the order, changed in a stored row between two
// openings, moves the row; the other fields leave it where it was.
TEST_F(TablaSqlTest, ReopeningOrdersTheRowsByTheirFieldsAsTheyNowAre) {
    add({QStringLiteral("FAC"), 1, QStringLiteral("2016/01/05"), 100});
    add({QStringLiteral("FAC"), 2, QStringLiteral("2016/01/06"), 100});
    add({QStringLiteral("FAC"), 3, QStringLiteral("2016/01/07"), 100});
    ASSERT_EQ(order(), (std::vector<int>{1, 2, 3}));
    auto change = [&](int folio, const char* field, const QVariant& value) {
        movtos->first();
        while (movtos->field(QStringLiteral("FOLIO")).toInt() != folio) movtos->next();
        movtos->edit();
        movtos->setField(QString::fromLatin1(field), value);
        movtos->post();
        return order();
    };
    EXPECT_EQ(change(1, "SALDO", 5), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(change(1, "FECHA", QStringLiteral("2016/01/08")), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(change(3, "TOTAL", 99.5), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(change(2, "FECHA", QStringLiteral("2016/01/07")), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(change(2, "TOTAL", 99), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(change(3, "TOTAL", 99), (std::vector<int>{2, 3, 1}));  // ties: stored order
    EXPECT_EQ(change(2, "SERIE", QStringLiteral("NCRE")), (std::vector<int>{3, 2, 1}));
}

TEST_F(TablaSqlTest, DescribesItsFieldsAndRefusesUnknownOnes) {
    sql->open();
    EXPECT_EQ(sql->fieldNames().first(), QStringLiteral("MOVTO"));
    EXPECT_EQ(sql->fieldNames().size(), 17);
    EXPECT_EQ(sql->fieldType(QStringLiteral("folio")), FieldType::Integer);
    EXPECT_EQ(sql->fieldType(QStringLiteral("saldo")), FieldType::Float);
    EXPECT_EQ(sql->fieldType(QStringLiteral("mfecha")), FieldType::String);
    try {
        sql->value(QStringLiteral("x"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TablaSql: Field 'x' not found"));
    }
}

}  // namespace
}  // namespace qev
