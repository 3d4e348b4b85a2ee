#include "format/DateText.h"
#include "format/Error.h"
#include "format/FormatSettings.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;

TEST(Lafecha, ReadsFixedPositionsWhateverTheSeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"24/06/2016", "24/JUN/2016"}, {"05/01/2016", "05/ENE/2016"}, {"31/12/1899", "31/DIC/1899"},
        {"24-06-2016", "24/JUN/2016"}, {"24.06.2016", "24/JUN/2016"},
        {"", "00/NUL/0000"},  // every part comes from the appended zeros
        {"01/13/2016", "01/NUL/2016"}, {"09/09/2026", "09/SEP/2026"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(lafecha(QString::fromLatin1(input)), QString::fromLatin1(expected)) << input;
}

TEST(Lafecha, AFractionalPartIsAnIntegerConversionError) {
    try {
        lafecha(QStringLiteral(".5/01/2016"));
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'0.5' is not a valid integer value"));
    }
}

TEST(Mes, GivesTheFullSpanishName) {
    EXPECT_EQ(mes(9), QStringLiteral("Septiembre"));
    EXPECT_EQ(mes(1), QStringLiteral("Enero"));
    EXPECT_EQ(mes(12), QStringLiteral("Diciembre"));
    EXPECT_EQ(mes(0), QStringLiteral("Nulo"));
    EXPECT_EQ(mes(13), QStringLiteral("Nulo"));
}
