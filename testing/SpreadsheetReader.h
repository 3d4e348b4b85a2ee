#pragma once

// A spreadsheet written by qev as an independent reader sees it:
// testing/read_spreadsheet.py (openpyxl for .xlsx, Python's csv for .csv).

#include "testing/ProcessRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <stdexcept>

namespace qev::testing {

inline QJsonObject readSpreadsheet(const QString& path) {
    const ProcessRun run = runProcess(
        QStringLiteral("/usr/bin/python3"), {QStringLiteral(QEV_SOURCE_DIR "/testing/read_spreadsheet.py"), path});
    if (run.exitCode != 0)
        throw std::runtime_error("read_spreadsheet.py failed: " + run.err.toStdString());
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

// The sheet of that name of a workbook read by readSpreadsheet; empty when none.
inline QJsonObject sheetNamed(const QJsonObject& book, const QString& name) {
    for (const QJsonValue& sheet : book.value(QLatin1String("sheets")).toArray())
        if (sheet.toObject().value(QLatin1String("name")).toString() == name) return sheet.toObject();
    return {};
}

}  // namespace qev::testing
