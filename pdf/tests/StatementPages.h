#pragma once

#include "report/TfrxReport.h"

#include <QList>

namespace qev {
class TfrxReportPage;
}

namespace qev::test {

// Prepared pages shaped like the supplier statement, built by hand: a Letter
// page with 10 mm margins, a page header with the logo, a bold title and
// regular supplier lines, movement rows with amounts and an aqua box, and a
// footer "PAGINA n DE [TotalPages#]".
struct StatementPages {
    explicit StatementPages(int pageCount, int rowsPerPage = 3);
    TfrxReport report;
    QList<TfrxReportPage*> pages;
};

}  // namespace qev::test
