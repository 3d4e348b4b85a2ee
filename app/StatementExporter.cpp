#include "app/StatementExporter.h"

#include "app/StatementFileName.h"
#include "data/RecordSet.h"

namespace qev {

StatementExporter::StatementExporter(RecordSet& proveedores, RecordSet& movimientos)
    : proveedores_(proveedores), movimientos_(movimientos) {}

StatementSheet StatementExporter::sheet() const {
    StatementSheet sheet;
    sheet.code = proveedores_.displayText(QStringLiteral("CardCode"));
    sheet.name = proveedores_.displayText(QStringLiteral("CardName"));
    sheet.heading = heading_;
    sheet.rows = readSheetRows(movimientos_);
    sheet.ageing = ageing_;
    return sheet;
}

void StatementExporter::setStatement(const StatementOptions& options,
                                     const std::optional<AgeingSummary>& ageing) {
    heading_ = options.heading();
    ageing_ = ageing;
}

void StatementExporter::save(const QString& path, SheetFormat format) const {
    saveStatementSheet(sheet(), path, format);
}

QString StatementExporter::fileNameFor(const QString& code, SheetFormat format) {
    return statementFileName(code, sheetSuffix(format));
}

}  // namespace qev
