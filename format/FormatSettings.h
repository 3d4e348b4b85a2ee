#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace qev {

// The process-wide format settings: what the regional settings give, with the
// five fields the program fixes for itself (see applyOverrides).
struct FormatSettings {
    QChar thousandSeparator = u',';
    QChar decimalSeparator = u'.';
    int currencyDecimals = 2;
    QString currencySymbol = QStringLiteral("$");
    QChar dateSeparator = u'/';
    QChar timeSeparator = u':';
    QString shortDateFormat = QStringLiteral("dd/mm/yyyy");
    QString longDateFormat;
    QString shortTimeFormat = QStringLiteral("hh:mm");
    QString longTimeFormat = QStringLiteral("hh:mm:ss");
    QString timeAmString = QStringLiteral("AM");
    QString timePmString = QStringLiteral("PM");
    QStringList shortMonthNames;  // 12 entries, January first
    QStringList longMonthNames;
    QStringList shortDayNames;  // 7 entries, Sunday first
    QStringList longDayNames;

    // Everything as the given locale has it, before the program's overrides.
    static FormatSettings fromLocale(const QLocale& locale);
    // The program's own choices: "," grouping, "." decimals, two currency
    // decimals, "hh:mm:ss" and "dd/mm/yyyy". Everything else stays regional.
    void applyOverrides();

    // A date in the short date form: day, month and year always in characters
    // 1-2, 4-5 and 7-10, with the regional date separator between them.
    QString shortDateText(const QDate& date) const;
};

// Fills the process-wide settings from the system's regional settings and applies
// the overrides. Called once at start-up, before any window exists.
void initFormatSettings(const QLocale& locale = QLocale::system());
// The process-wide settings (the overridden defaults until initFormatSettings runs).
const FormatSettings& formatSettings();

}  // namespace qev
