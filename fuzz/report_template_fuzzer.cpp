// The stored statement template: the input is the JSON text. It must either
// give the report and its data sets or raise qev::Error; a report that was read
// is stored again, and reading that stored form gives back the same stored form.

#include "FuzzSupport.h"
#include "format/Error.h"
#include "report/ReportStorage.h"
#include "report/StatementTemplate.h"
#include "report/TfrxReport.h"

#include <QGuiApplication>
#include <QJsonDocument>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qev;
    QObject window;
    StatementReport statement;
    try {
        statement = readStatementReport(
            QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
            &window);
    } catch (const Error&) {
        if (!window.children().isEmpty()) fuzz::broken("a failed read left components", {});
        return 0;
    }
    // A report made without stored dates is dated when it is constructed, and a
    // date equal to a fresh instance's is not stored: fixed dates keep the
    // comparison free of the clock.
    statement.frxReport1->ReportOptions.CreateDate = 1;
    statement.frxReport1->ReportOptions.LastChange = 2;
    const QJsonObject stored = frxStoreComponent(statement.frxReport1);
    TfrxReport again(&window);
    try {
        frxReadInto(&again, stored);
    } catch (const Error& e) {
        fuzz::broken("the stored form does not read", e.message());
    }
    const QJsonObject storedAgain = frxStoreComponent(&again);
    if (storedAgain != stored)
        fuzz::broken("stored form changed on reading",
                     QString::fromUtf8(QJsonDocument(stored).toJson() + "--- read back as\n" +
                                       QJsonDocument(storedAgain).toJson()));
    return 0;
}
