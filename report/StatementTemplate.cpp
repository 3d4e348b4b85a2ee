#include "report/StatementTemplate.h"

#include "format/Error.h"
#include "report/ReportStorage.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxReport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

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
    return readStatementReport(statementTemplate(), owner);
}

StatementReport readStatementReport(const QByteArray& stored, QObject* owner) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(stored, &error);
    if (!document.isObject())
        throw Error(QStringLiteral("Invalid report: ") +
                    (document.isNull() ? error.errorString() : QStringLiteral("not an object")));
    const QJsonObject root = document.object();
    // Built without an owner, so that a template that fails half-way leaves
    // nothing behind under `owner`.
    auto readDataSet = [&](const char* name) {
        auto dataSet = std::make_unique<TfrxDBDataset>();
        frxReadProperties(dataSet.get(), root.value(QLatin1String(name)).toObject());
        return dataSet;
    };
    std::unique_ptr<TfrxDBDataset> dataSet1 = readDataSet("frxDBDataset1");
    std::unique_ptr<TfrxDBDataset> dataSet2 = readDataSet("frxDBDataset2");
    auto report = std::make_unique<TfrxReport>();
    frxReadInto(report.get(), root.value(QStringLiteral("frxReport1")).toObject());

    StatementReport statement;
    statement.frxDBDataset1 = dataSet1.release();
    statement.frxDBDataset2 = dataSet2.release();
    statement.frxReport1 = report.release();
    for (QObject* created : {static_cast<QObject*>(statement.frxDBDataset1),
                             static_cast<QObject*>(statement.frxDBDataset2),
                             static_cast<QObject*>(statement.frxReport1)})
        created->setParent(owner);
    return statement;
}

}  // namespace qev
