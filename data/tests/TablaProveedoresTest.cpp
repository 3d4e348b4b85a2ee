#include "data/TablaProveedores.h"
#include "data/tests/DemoBackends.h"
#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

class TablaProveedoresTest : public testing::OnEachDatabase {
  protected:
    void SetUp() override {
        OnEachDatabase::SetUp();
        if (IsSkipped()) return;
        tabla = std::make_unique<TablaProveedores>(*conexion);
        tabla->open();
    }
    void TearDown() override {
        tabla.reset();
        OnEachDatabase::TearDown();
    }
    QString code() const { return tabla->value(QStringLiteral("CardCode")).toString(); }
    QString name() const { return tabla->value(QStringLiteral("CardName")).toString(); }

    std::unique_ptr<TablaProveedores> tabla;
};

TEST_P(TablaProveedoresTest, HoldsOnlySuppliersInCardCodeOrder) {
    const int expected = demo::RegularSupplierCount + 10;
    ASSERT_EQ(tabla->recordCount(), expected);
    QString previous;
    int rows = 0;
    for (tabla->first(); !tabla->eof(); tabla->next()) {
        EXPECT_EQ(tabla->value(QStringLiteral("CARDTYPE")), QVariant(QStringLiteral("S")));
        EXPECT_LT(previous.compare(code(), Qt::CaseInsensitive), 0) << code().toStdString();
        previous = code();
        ++rows;
    }
    EXPECT_EQ(rows, expected);
    EXPECT_FALSE(tabla->findCode(QString::fromUtf8(demo::CustomerSharingPrefixCode)));
}

TEST_P(TablaProveedoresTest, MovesLikeADataSetAndStaysAtTheEnds) {
    tabla->first();
    EXPECT_TRUE(tabla->bof());
    const QString firstCode = code();
    tabla->prior();
    EXPECT_EQ(code(), firstCode);
    EXPECT_TRUE(tabla->bof());
    tabla->next();
    EXPECT_EQ(tabla->position(), 1);
    tabla->last();
    const QString lastCode = code();
    EXPECT_EQ(tabla->position(), tabla->recordCount() - 1);
    tabla->next();
    EXPECT_TRUE(tabla->eof());
    EXPECT_EQ(code(), lastCode);

    int scrolls = 0;
    tabla->afterScroll = [&] { ++scrolls; };
    tabla->goTo(5);
    tabla->prior();
    EXPECT_EQ(scrolls, 2);
    EXPECT_EQ(tabla->position(), 4);
}

TEST_P(TablaProveedoresTest, ReadsFieldsByNameIgnoringCaseAndKeepsNull) {
    ASSERT_TRUE(tabla->findCode(QString::fromUtf8(demo::SupplierWithNulls)));
    EXPECT_EQ(tabla->value(QStringLiteral("cardname")),
              QVariant(QStringLiteral("Comercial Sin Datos")));
    for (const char* field :
         {"Address", "streetno", "Building", "Block", "City", "County", "State1", "ZipCode",
          "Phone1", "Phone2", "Fax", "E_Mail", "LicTradNum"}) {
        EXPECT_TRUE(tabla->value(QString::fromLatin1(field)).isNull()) << field;
        EXPECT_EQ(tabla->displayText(QString::fromLatin1(field)), QString()) << field;
    }
    EXPECT_EQ(tabla->fieldNames().size(), 16);
    EXPECT_EQ(tabla->fieldType(QStringLiteral("cardcode")), FieldType::String);
    try {
        tabla->value(QStringLiteral("CardNombre"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TablaProveedores: Field 'CardNombre' not found"));
    }
}

TEST_P(TablaProveedoresTest, CodeSearchIsExactIgnoringCase) {
    tabla->goTo(3);
    const QString before = code();
    EXPECT_FALSE(tabla->findCode(QStringLiteral("P9")));  // a code's beginning moves nothing
    EXPECT_EQ(code(), before);
    EXPECT_FALSE(tabla->findCode(QString()));
    EXPECT_EQ(code(), before);
    EXPECT_FALSE(tabla->findCode(QStringLiteral("ZZZ999")));
    EXPECT_EQ(code(), before);

    EXPECT_TRUE(tabla->findCode(QStringLiteral("p90058")));
    EXPECT_EQ(code(), QString::fromUtf8(demo::SupplierWith58Movements));
    EXPECT_TRUE(tabla->findCode(QString::fromUtf8(demo::SupplierWithApostrophe)));
    EXPECT_EQ(code(), QString::fromUtf8(demo::SupplierWithApostrophe));
    EXPECT_FALSE(tabla->findCode(QStringLiteral("P90'01' OR '1'='1")));
    EXPECT_EQ(code(), QString::fromUtf8(demo::SupplierWithApostrophe));
}

TEST_P(TablaProveedoresTest, NameSearchFindsTheFirstNameWithThePrefixAsTheUserTypes) {
    // Reference: scan every row, comparing without case and accents.
    auto plain = [](const QString& text) {
        QString out;
        for (QChar c : text.normalized(QString::NormalizationForm_D))
            if (c.category() != QChar::Mark_NonSpacing) out += c.toLower();
        return out;
    };
    auto firstWithPrefix = [&](const QString& prefix) {
        QString best;
        for (tabla->first(); !tabla->eof(); tabla->next()) {
            const QString n = plain(name());
            if (n.startsWith(plain(prefix)) && (best.isNull() || n < best)) best = n;
        }
        return best;
    };
    QString previous;
    for (const char* typed : {"Á", "Ác", "Áci", "Al", "Ab"}) {
        const QString expected = firstWithPrefix(QString::fromUtf8(typed));
        ASSERT_FALSE(expected.isEmpty()) << typed;
        tabla->goTo(0);
        ASSERT_TRUE(tabla->findName(QString::fromUtf8(typed))) << typed;
        EXPECT_EQ(plain(name()), expected) << typed;
        EXPECT_NE(name(), previous) << typed;  // each keystroke here moves the list
        previous = name();
    }
    EXPECT_EQ(name(), QString::fromUtf8(demo::SharedPrefixName1));

    struct Case {
        const char* typed;
        const char* code;
    };
    const Case cases[] = {
        {"Abarrotes La Estrella", demo::SharedPrefixCode1},
        {"Abarrotes La Estrella d", demo::SharedPrefixCode2},
        {"abarrotes la estrella DEL", demo::SharedPrefixCode2},
        {"Abarrotes Lá", demo::SharedPrefixCode1},  // accents do not count
        {"Abarrotes Laz", demo::SharedPrefixCode3},
        {"Importadora O'H", demo::SupplierWithApostrophe},
        {"Papelería Cincuenta", demo::SupplierWith58Movements},
        {"PAPELERIA TREINTA", demo::SupplierWith30Movements},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(tabla->findName(QString::fromUtf8(c.typed))) << c.typed;
        EXPECT_EQ(code(), QString::fromUtf8(c.code)) << c.typed;
    }
}

TEST_P(TablaProveedoresTest, NameSearchWithoutMatchOrTextKeepsTheRow) {
    ASSERT_TRUE(tabla->findCode(QString::fromUtf8(demo::SupplierWith29Movements)));
    for (const char* typed :
         {"", "Zzzz", "Abarrotes La Estrellita", "' OR 1=1 --", "Abarrotes La Estrella del Sur"}) {
        EXPECT_FALSE(tabla->findName(QString::fromUtf8(typed))) << typed;
        EXPECT_EQ(code(), QString::fromUtf8(demo::SupplierWith29Movements)) << typed;
    }
}

TEST_P(TablaProveedoresTest, ClosedTableHasNoRowsAndReopens) {
    bool closing = false;
    tabla->beforeClose = [&] { closing = true; };
    tabla->close();
    EXPECT_TRUE(closing);
    EXPECT_FALSE(tabla->isOpen());
    EXPECT_EQ(tabla->recordCount(), 0);
    EXPECT_FALSE(tabla->findCode(QStringLiteral("P00001")));
    tabla->open();
    EXPECT_TRUE(tabla->findCode(QStringLiteral("P00001")));
}

INSTANTIATE_TEST_SUITE_P(Databases, TablaProveedoresTest, testing::everyDatabase(),
                         testing::backendName);

}  // namespace
}  // namespace qev
