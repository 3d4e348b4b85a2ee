#include "report/StatementTemplate.h"

#include "format/Error.h"
#include "report/ReportStorage.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxReport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

// The resource lives in a static library: register it explicitly, or the
// linker drops it.
static void initStatementTemplateResource() {
    Q_INIT_RESOURCE(StatementTemplate);
}

namespace qev {

QByteArray statementTemplate() {
    initStatementTemplateResource();
    QFile file(QStringLiteral(":/report/frxReport1.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\"").arg(file.fileName()));
    return file.readAll();
}

StatementReport createStatementReport(QObject* owner) {
    const QJsonObject stored = QJsonDocument::fromJson(statementTemplate()).object();
    auto readDataSet = [&](const char* name) {
        auto* dataSet = new TfrxDBDataset(owner);
        frxReadProperties(dataSet, stored.value(QLatin1String(name)).toObject());
        return dataSet;
    };
    StatementReport statement;
    statement.frxDBDataset1 = readDataSet("frxDBDataset1");
    statement.frxDBDataset2 = readDataSet("frxDBDataset2");
    statement.frxReport1 = new TfrxReport(owner);
    frxReadInto(statement.frxReport1, stored.value(QStringLiteral("frxReport1")).toObject());
    return statement;
}

}  // namespace qev
