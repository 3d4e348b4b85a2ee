#include "app/BatchOutputs.h"

#include "app/StatementExporter.h"
#include "format/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace qev {

namespace {

void makeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("No se puede crear la carpeta \"%1\".")
                        .arg(QDir::toNativeSeparators(folder)));
}

bool namesAFolder(const QString& target) {
    return target.endsWith(u'/') || target.endsWith(QDir::separator()) ||
           QFileInfo(target).isDir();
}

}  // namespace

BatchOutputs BatchOutputs::prepare(const QString& pdfDirectory, const QString& csvTarget,
                                   const QString& xlsxTarget, bool oneSupplier) {
    BatchOutputs outputs;
    if (!pdfDirectory.isEmpty()) {
        outputs.pdfDirectory = QDir(pdfDirectory).absolutePath();
        makeFolder(outputs.pdfDirectory);
    }
    const std::pair<SheetFormat, const QString&> targets[] = {{SheetFormat::Csv, csvTarget},
                                                              {SheetFormat::Xlsx, xlsxTarget}};
    for (const auto& [format, target] : targets) {
        if (target.isEmpty()) continue;
        Sheet sheet{format, QFileInfo(target).absoluteFilePath(), oneSupplier && !namesAFolder(target)};
        makeFolder(sheet.file ? QFileInfo(sheet.path).absolutePath() : sheet.path);
        outputs.sheets.push_back(sheet);
    }
    return outputs;
}

QString BatchOutputs::pathFor(const Sheet& sheet, const QString& code) const {
    return sheet.file ? sheet.path
                      : QDir(sheet.path).filePath(StatementExporter::fileNameFor(code, sheet.format));
}

QJsonObject BatchOutputs::toJson() const {
    QJsonArray sheetList;
    for (const Sheet& sheet : sheets)
        sheetList.append(QJsonObject{{"format", sheet.format == SheetFormat::Csv ? "csv" : "xlsx"},
                                     {"path", sheet.path},
                                     {"file", sheet.file}});
    return {{"pdf", pdfDirectory}, {"sheets", sheetList}};
}

BatchOutputs BatchOutputs::fromJson(const QJsonObject& json) {
    BatchOutputs outputs;
    outputs.pdfDirectory = json.value(QLatin1String("pdf")).toString();
    for (const QJsonValue& value : json.value(QLatin1String("sheets")).toArray()) {
        const QJsonObject sheet = value.toObject();
        outputs.sheets.push_back(
            {sheet.value(QLatin1String("format")).toString() == QLatin1String("csv")
                 ? SheetFormat::Csv
                 : SheetFormat::Xlsx,
             sheet.value(QLatin1String("path")).toString(),
             sheet.value(QLatin1String("file")).toBool()});
    }
    return outputs;
}

}  // namespace qev
