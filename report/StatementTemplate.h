#pragma once

#include <QByteArray>
#include <QObject>

namespace qev {

class TfrxDBDataset;
class TfrxReport;

// The supplier statement report as the main window holds it: the two report
// data sets and the report, read from the template compiled into the program
// (":/report/frxReport1.json", a JSON object holding "frxDBDataset1",
// "frxDBDataset2" and "frxReport1" in the stored form of ReportStorage.h).
// The data sets still need their record sets: frxDBDataset1 the supplier table,
// frxDBDataset2 the ordered movements query.
struct StatementReport {
    TfrxDBDataset* frxDBDataset1 = nullptr;
    TfrxDBDataset* frxDBDataset2 = nullptr;
    TfrxReport* frxReport1 = nullptr;
};

// Creates the data sets first (the report finds them by name) and then the
// report, all owned by `owner`.
StatementReport createStatementReport(QObject* owner);
// The same from a stored template; throws Error when it is not a JSON object
// or names an unknown class, leaving nothing under `owner`.
StatementReport readStatementReport(const QByteArray& stored, QObject* owner);

// The stored template as compiled in.
QByteArray statementTemplate();

}  // namespace qev
