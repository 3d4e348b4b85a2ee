#pragma once

#include "data/RecordSet.h"

#include <QVariant>

namespace qev {

// Drivers deliver dates, numbers and amounts in different types (text from
// SQLite, QDateTime from SQL Server, decimal text from PostgreSQL); a value
// read from the ERP leaves here in one type per field kind, Null kept as Null:
// dates as QDate (a date-time loses its time of day), whole numbers as int,
// amounts as double, anything else as text. A value that does not convert
// stays as the driver gave it.
QVariant driverValue(QVariant value, FieldType type);

}  // namespace qev
