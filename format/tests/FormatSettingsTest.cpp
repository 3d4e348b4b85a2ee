#include "format/AmountText.h"
#include "format/FormatSettings.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;

namespace {

// Regional settings that fight the program's own: "," as decimal point, "." for
// grouping, and a short date with the month first and "-" between the parts.
QLocale hostileLocale() {
    QLocale locale(QLocale::German, QLocale::Germany);  // "," decimals, "." grouping
    return locale;
}

}  // namespace

TEST(FormatSettings, OverridesWinOverTheRegionalSettings) {
    FormatSettings s = FormatSettings::fromLocale(hostileLocale());
    ASSERT_EQ(s.decimalSeparator, u',');
    ASSERT_EQ(s.thousandSeparator, u'.');
    s.applyOverrides();
    EXPECT_EQ(s.decimalSeparator, u'.');
    EXPECT_EQ(s.thousandSeparator, u',');
    EXPECT_EQ(s.currencyDecimals, 2);
    EXPECT_EQ(s.longTimeFormat, QStringLiteral("hh:mm:ss"));
    EXPECT_EQ(s.shortDateFormat, QStringLiteral("dd/mm/yyyy"));
    // What is not overridden stays regional.
    EXPECT_EQ(s.dateSeparator, u'.');
    EXPECT_EQ(s.longMonthNames.value(0), QStringLiteral("Januar"));
}

TEST(FormatSettings, ShortDateKeepsDayMonthYearPositionsWithTheRegionalSeparator) {
    FormatSettings s = FormatSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_TRUE(s.shortDateFormat.startsWith(u'M'));  // month first in this locale
    s.dateSeparator = u'-';
    s.applyOverrides();
    EXPECT_EQ(s.shortDateText(QDate(2016, 1, 5)), QStringLiteral("05-01-2016"));
    EXPECT_EQ(s.shortDateText(QDate(899, 12, 31)), QStringLiteral("31-12-0899"));
}

TEST(FormatSettings, AmountTextsDoNotFollowTheSystemLocale) {
    // The test command also runs this under LC_ALL=de_DE.UTF-8.
    const QLocale previous;
    QLocale::setDefault(hostileLocale());
    initFormatSettings(hostileLocale());
    EXPECT_EQ(valor(QStringLiteral("1234.50")).toString(), QStringLiteral("1234.5"));
    EXPECT_EQ(mascara(valor(QStringLiteral("1234.5"))), QStringLiteral("1,234.50"));
    EXPECT_EQ(formatSettings().shortDateText(QDate(2016, 1, 5)), QStringLiteral("05.01.2016"));
    QLocale::setDefault(previous);
    initFormatSettings(QLocale::c());
}

TEST(FormatSettings, SystemRegionalSettingsDoNotChangeTheTexts) {
    // Also run with LC_ALL=de_DE.UTF-8 and en_US.UTF-8 (see format/CMakeLists.txt).
    initFormatSettings();
    EXPECT_EQ(formatSettings().decimalSeparator, u'.');
    EXPECT_EQ(valor(QStringLiteral("1234.50")).toString(), QStringLiteral("1234.5"));
    EXPECT_EQ(pesos(valor(QStringLiteral("-1234567.891"))), QStringLiteral("-$1'234,567.89"));
    const QString date = formatSettings().shortDateText(QDate(2016, 1, 5));
    EXPECT_EQ(date.mid(0, 2) + date.mid(3, 2) + date.mid(6, 4), QStringLiteral("05012016"));
    initFormatSettings(QLocale::c());
}
