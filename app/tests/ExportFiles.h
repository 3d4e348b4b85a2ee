#pragma once

// The spreadsheets of the test company's statements as the tests compare
// them: read back by testing/read_spreadsheet.py (openpyxl, Python's csv).

#include "testing/SpreadsheetReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace exportfiles {

inline QJsonObject cellsOf(const QJsonObject& book, int sheet = 0) {
    return book.value(QLatin1String("sheets"))
        .toArray()[sheet]
        .toObject()
        .value(QLatin1String("cells"))
        .toObject();
}

// A row of the movements sheet as "value|value|...", dates as ISO dates and
// numbers with two decimals, empty cells empty: comparable with the CSV.
inline QString sheetRow(const QJsonObject& cells, int row) {
    QStringList values;
    for (char column = 'A'; column <= 'I'; ++column) {
        const QJsonObject cell =
            cells.value(QStringLiteral("%1%2").arg(QLatin1Char(column)).arg(row)).toObject();
        const QString type = cell.value(QLatin1String("type")).toString();
        const QJsonValue value = cell.value(QLatin1String("value"));
        if (type == QLatin1String("date"))
            values << value.toString().left(10);
        else if (type == QLatin1String("number"))
            values << (column == 'A' || column == 'D' ? QString::number(value.toDouble(), 'f', 0)
                                                      : QString::number(value.toDouble(), 'f', 2));
        else
            values << value.toString();
    }
    return values.join(u'|');
}

inline QStringList csvRecords(const QString& path) {
    QStringList records;
    for (const QJsonValue& record :
         qev::testing::readSpreadsheet(path).value(QLatin1String("records")).toArray()) {
        QStringList fields;
        for (const QJsonValue& field : record.toArray()) fields << field.toString();
        records << fields.join(u'|');
    }
    return records;
}

inline const QString Titles = QStringLiteral("#|Fecha|Docto.|Folio|Cargo|Abono|Saldo|Vencimiento|Referencia");

// P0004 of the test company (see TestCompany.h) in statement order.
inline const QStringList MovementsOfP0004 = {
    QStringLiteral("1|2016-01-05|FAC|501|1000.00||1000.00|2016-02-04|F-501"),
    QStringLiteral("3|2016-01-20|NCRE|601||100.00|900.00|2016-01-20|NC-601"),
    QStringLiteral("4|2016-01-20|PAGO|701||400.00|500.00|2016-01-20|TR-701"),
    QStringLiteral("2|2016-02-01|FAC|502|50.00||550.00|2016-03-02|F-502"),
};

}  // namespace exportfiles
