#pragma once

#include "format/Currency.h"

#include <QByteArray>
#include <QString>

namespace qev {

struct StatementSheet;

// The movements of a statement as CSV (RFC 4180): a header row with the grid's
// titles, then one record per movement; CRLF after every record; a field with a
// comma, a quote or a line break quoted, its quotes doubled. UTF-8 after a
// byte-order mark, which is what makes Excel read the accents as UTF-8 rather
// than as the Windows code page (Python reads it with "utf-8-sig", LibreOffice
// and pandas skip it). Amounts are plain numbers with a dot ("1234.50"), dates
// ISO 8601 ("2016-06-24"). The ageing summary has no place in one table and is
// left to the XLSX file.
QByteArray statementCsv(const StatementSheet& sheet);

// An amount with a dot and at least two decimals, no sign for positives and
// no grouping: "1234.50", "-0.10", "12.3456" (the four decimals it is held
// with, when it has them, so that nothing is lost).
QString plainAmount(Currency amount);

}  // namespace qev
