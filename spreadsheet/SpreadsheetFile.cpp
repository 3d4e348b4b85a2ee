#include "spreadsheet/SpreadsheetFile.h"

#include "format/Error.h"
#include "spreadsheet/CsvWriter.h"
#include "spreadsheet/XlsxWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace qev {

namespace {

void saveWhole(const QString& path, const QByteArray& bytes) {
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo(path).isDir())
        throw Error(QStringLiteral("No se puede escribir \"%1\": es una carpeta.").arg(shown));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("No se puede crear el archivo \"%1\": %2.")
                        .arg(shown, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("No se pudo escribir el archivo \"%1\": %2.")
                        .arg(shown, file.errorString()));
}

}  // namespace

std::optional<SheetFormat> sheetFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) return SheetFormat::Csv;
    if (suffix == QLatin1String("xlsx")) return SheetFormat::Xlsx;
    return std::nullopt;
}

QString sheetSuffix(SheetFormat format) {
    return format == SheetFormat::Csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
}

void saveStatementSheet(const StatementSheet& sheet, const QString& path, SheetFormat format) {
    saveWhole(path, format == SheetFormat::Csv ? statementCsv(sheet) : statementXlsx(sheet));
}

}  // namespace qev
