#pragma once

#include <QByteArray>

namespace qev {

struct StatementSheet;

// The statement as an Excel workbook (libxlsxwriter). Sheet "Movimientos": the
// supplier's code and name and the period above the grid's titles, the titles
// frozen, one row
// per movement with real numbers (amounts in a currency format) and real dates,
// columns as wide as their content. Sheet "Antigüedad", when the statement has
// an ageing summary: its buckets and total. Throws qev::Error when the
// workbook cannot be made (more movements than a sheet has rows, say).
QByteArray statementXlsx(const StatementSheet& sheet);

}  // namespace qev
