#include "format/FormatSettings.h"

namespace qev {

namespace {

// The first character of a date format that is not part of a field.
QChar separatorIn(const QString& format, QChar fallback) {
    for (QChar c : format)
        if (!c.isLetter() && c != u'\'' && !c.isSpace()) return c;
    return fallback;
}

FormatSettings& settings() {
    static FormatSettings instance = [] {
        FormatSettings s = FormatSettings::fromLocale(QLocale::c());
        s.applyOverrides();
        return s;
    }();
    return instance;
}

}  // namespace

FormatSettings FormatSettings::fromLocale(const QLocale& locale) {
    FormatSettings s;
    s.thousandSeparator = locale.groupSeparator().isEmpty() ? QChar(u',') : locale.groupSeparator()[0];
    s.decimalSeparator = locale.decimalPoint().isEmpty() ? QChar(u'.') : locale.decimalPoint()[0];
    s.currencySymbol = locale.currencySymbol();
    s.dateSeparator = separatorIn(locale.dateFormat(QLocale::ShortFormat), u'/');
    s.timeSeparator = separatorIn(locale.timeFormat(QLocale::ShortFormat), u':');
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.longDateFormat = locale.dateFormat(QLocale::LongFormat);
    s.shortTimeFormat = locale.timeFormat(QLocale::ShortFormat);
    s.longTimeFormat = locale.timeFormat(QLocale::LongFormat);
    s.timeAmString = locale.amText();
    s.timePmString = locale.pmText();
    s.shortMonthNames.clear();
    s.longMonthNames.clear();
    for (int m = 1; m <= 12; ++m) {
        s.shortMonthNames << locale.monthName(m, QLocale::ShortFormat);
        s.longMonthNames << locale.monthName(m, QLocale::LongFormat);
    }
    s.shortDayNames.clear();
    s.longDayNames.clear();
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts Monday as 1, Sunday as 7
        s.shortDayNames << locale.dayName(qtDay, QLocale::ShortFormat);
        s.longDayNames << locale.dayName(qtDay, QLocale::LongFormat);
    }
    return s;
}

void FormatSettings::applyOverrides() {
    thousandSeparator = u',';
    decimalSeparator = u'.';
    currencyDecimals = 2;
    longTimeFormat = QStringLiteral("hh:mm:ss");
    shortDateFormat = QStringLiteral("dd/mm/yyyy");
}

QString FormatSettings::shortDateText(const QDate& date) const {
    auto digits = [](int value, int width) { return QString::number(value).rightJustified(width, u'0'); };
    return digits(date.day(), 2) + dateSeparator + digits(date.month(), 2) + dateSeparator +
           digits(date.year(), 4);
}

void initFormatSettings(const QLocale& locale) {
    FormatSettings s = FormatSettings::fromLocale(locale);
    s.applyOverrides();
    settings() = s;
}

const FormatSettings& formatSettings() { return settings(); }

}  // namespace qev
