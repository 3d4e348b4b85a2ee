#include "app/ExportDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace qev {

namespace {

const QString XlsxFilter = QStringLiteral("Libro de Excel (*.xlsx)");
const QString CsvFilter = QStringLiteral("CSV, valores separados por comas (*.csv)");

SheetFormat formatOfFilter(const QString& filter) {
    return filter == CsvFilter ? SheetFormat::Csv : SheetFormat::Xlsx;
}

}  // namespace

std::optional<ExportChoice> askExportPath(QWidget* parent, const QString& suggestedPath) {
    QFileDialog dialog(parent, QStringLiteral("Exportar estado de cuenta"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({XlsxFilter, CsvFilter});
    const SheetFormat suggested = sheetFormatOf(suggestedPath).value_or(SheetFormat::Xlsx);
    dialog.selectNameFilter(suggested == SheetFormat::Csv ? CsvFilter : XlsxFilter);
    dialog.setDefaultSuffix(sheetSuffix(suggested).mid(1));
    dialog.setDirectory(QFileInfo(suggestedPath).absolutePath());
    dialog.selectFile(QFileInfo(suggestedPath).fileName());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(sheetSuffix(formatOfFilter(f)).mid(1));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    return ExportChoice{path,
                        sheetFormatOf(path).value_or(formatOfFilter(dialog.selectedNameFilter()))};
}

}  // namespace qev
