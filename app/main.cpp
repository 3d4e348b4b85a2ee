// Until the statement window exists: prints a few amounts and dates the way the
// statement shows them, so that a fresh set-up can be seen working.
#include "format/AmountText.h"
#include "format/DateText.h"
#include "format/FormatSettings.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qev::initFormatSettings();
    QTextStream out(stdout);
    for (const char* text : {"1234.5", "-1234.5", "1234567.89", "0.0001"})
        out << text << " -> " << qev::pesos(qev::valor(QString::fromLatin1(text))) << '\n';
    for (const QDate& date : {QDate(2016, 6, 24), QDate(2016, 1, 5), QDate::currentDate()}) {
        const QString shortDate = qev::formatSettings().shortDateText(date);
        out << shortDate << " -> " << qev::lafecha(shortDate) << '\n';
    }
    return 0;
}
