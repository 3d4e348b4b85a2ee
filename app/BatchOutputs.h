#pragma once

#include "spreadsheet/SpreadsheetFile.h"

#include <QJsonObject>
#include <QString>

#include <vector>

namespace qev {

// What a batch run writes for each supplier, and where: the statement PDF in a
// folder, and the spreadsheet exports (`--csv`, `--xlsx`), each into a file
// of the user's naming when the run has one supplier, or else as
// "QEV_<code>.csv"/".xlsx" into a folder.
struct BatchOutputs {
    struct Sheet {
        SheetFormat format;
        QString path;        // the file, or the folder of the files
        bool file = false;
    };

    QString pdfDirectory;  // empty: no PDF
    std::vector<Sheet> sheets;

    // Makes the folders the run writes into; throws qev::Error naming the one
    // that cannot be made. A sheet target is a file when the run has one
    // supplier, unless it names an existing folder or ends in a separator.
    static BatchOutputs prepare(const QString& pdfDirectory, const QString& csvTarget,
                                const QString& xlsxTarget, bool oneSupplier);

    // Where the sheet of one supplier goes.
    QString pathFor(const Sheet& sheet, const QString& code) const;

    // For the worker processes of a run.
    QJsonObject toJson() const;
    static BatchOutputs fromJson(const QJsonObject& json);
};

}  // namespace qev
