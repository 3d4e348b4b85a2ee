#pragma once

#include <QDate>
#include <QString>

namespace qev {

// A date typed in the window: day, month and year ("31/03/2016", "1/3/2016";
// "/", "-" or "." between them). Empty text: no date. Throws qev::Error naming
// the field when the text is not a day that exists.
QDate parseDateField(const QString& text, const QString& fieldName);

// The text a date field shows for a date: "31/03/2016"; empty for none.
QString dateFieldText(const QDate& date);

}  // namespace qev
