#include "report/ReportStorage.h"
#include "report/StatementTemplate.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"
#include "report/TfrxReportSnapshot.h"
#include "report/TfrxShapeView.h"
#include "testing/QtPrinters.h"

#include <QJsonDocument>
#include <QMetaProperty>

#include <gtest/gtest.h>

namespace qev {
namespace {

// Every stored property of every component, by component name: two reports
// hold the same values when these agree (differences from an empty reference
// would hide nothing: each component is compared against a fresh instance).
QMap<QString, QJsonObject> allValues(const TfrxReport& report) {
    QMap<QString, QJsonObject> values;
    values.insert(report.Name(), frxStoreProperties(&report));
    for (const TfrxComponent* c : report.AllObjects()) {
        QJsonObject v = frxStoreProperties(c);
        v.insert(QStringLiteral("Class"), c->ClassName());
        v.insert(QStringLiteral("Parent"), c->Parent()->Name());
        v.insert(QStringLiteral("Index"),
                 int(c->Parent()->Objects().indexOf(const_cast<TfrxComponent*>(c))));
        values.insert(c->Name(), v);
    }
    return values;
}

TEST(ReportStorage, FreshComponentStoresOnlyItsClass) {
    for (const char* className :
         {"TfrxMemoView", "TfrxPictureView", "TfrxLineView", "TfrxShapeView", "TfrxReportPage",
          "TfrxDataPage", "TfrxMasterData", "TfrxPageFooter"}) {
        std::unique_ptr<TfrxComponent> c(
            frxCreateComponent(QString::fromLatin1(className), nullptr));
        ASSERT_NE(c, nullptr) << className;
        EXPECT_EQ(frxStoreComponent(c.get()), QJsonObject({{"Class", className}})) << className;
    }
    EXPECT_EQ(frxCreateComponent(QStringLiteral("TfrxNoSuchView"), nullptr), nullptr);
}

TEST(ReportStorage, OnlyDifferencesAreStoredByName) {
    TfrxMemoView memo;
    memo.SetName(QStringLiteral("Memo1"));
    memo.HAlign = frx::haCenter;
    TfrxFont font;
    font.Height = -21;
    font.Style = frx::fsBold | frx::fsItalic;
    memo.SetFont(font);
    const QJsonObject stored = frxStoreProperties(&memo);
    EXPECT_EQ(stored,
              QJsonObject({{"Name", "Memo1"},
                           {"HAlign", "haCenter"},
                           {"Font", QJsonObject({{"Height", -21}, {"Style", "fsBold|fsItalic"}})}}))
        << QJsonDocument(stored).toJson().toStdString();
}

TEST(ReportStorage, ParentFontWithACopiedFontSurvivesReading) {
    TfrxReport report;
    auto* page = new TfrxReportPage(&report);
    auto* band = new TfrxPageHeader(page);
    TfrxFont font;
    font.Height = -16;
    band->SetFont(font);
    auto* memo = new TfrxMemoView(band);  // takes the band's font, ParentFont stays on
    memo->SetName(QStringLiteral("M"));
    ASSERT_TRUE(memo->ParentFont());

    TfrxReport copy;
    copy.LoadFromJson(report.SaveToJson());
    auto* read = qobject_cast<TfrxMemoView*>(copy.FindObject(QStringLiteral("M")));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->ParentFont());
    EXPECT_EQ(read->Font().Height, -16);
}

TEST(ReportStorage, StoreReadStoreGivesTheSameBytes) {
    QObject window;
    StatementReport statement = createStatementReport(&window);
    const QByteArray first = statement.frxReport1->SaveToJson();
    TfrxReport copy;
    copy.LoadFromJson(first);
    const QByteArray second = copy.SaveToJson();
    EXPECT_EQ(first, second);
    EXPECT_EQ(allValues(*statement.frxReport1), allValues(copy));
    EXPECT_GT(first.size(), 70000);  // the logo travels with it
}

TEST(ReportStorage, UnknownClassAndBadValuesAreRefused) {
    TfrxReport report;
    EXPECT_THROW(report.LoadFromJson(
                     "{\"Class\":\"TfrxReport\",\"Objects\":[{\"Class\":\"TfrxWhatever\"}]}"),
                 Error);
    EXPECT_THROW(report.LoadFromJson("not json"), Error);
    EXPECT_THROW(report.LoadFromJson("{\"Class\":\"TfrxMemoView\"}"), Error);
    TfrxMemoView memo;
    EXPECT_THROW(frxReadProperties(&memo, QJsonObject{{"HAlign", "haSideways"}}), Error);
}

// A damaged template is an error, never an empty report, and a template that
// fails half-way leaves nothing under the window.
TEST(ReportStorage, DamagedTemplateIsRefusedAndLeavesNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Invalid report: illegal value"},
        {"{\"frxReport1\": {", "Invalid report: unterminated object"},
        {"[1, 2]", "Invalid report: not an object"},
        {"{\"frxReport1\": {\"Objects\": [{\"Class\": \"TfrxChartView\"}]}}",
         "Class TfrxChartView not found"},
        {"{\"frxReport1\": {\"Objects\": [{\"Class\": \"TfrxMemoView\", \"HAlign\": \"haUp\"}]}}",
         "Invalid property value: HAlign = haUp"},
    };
    for (const auto& [stored, message] : cases) {
        QObject window;
        try {
            readStatementReport(stored, &window);
            ADD_FAILURE() << "read: " << stored;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(message)) << stored;
        }
        EXPECT_TRUE(window.children().isEmpty()) << stored;
    }
}

TEST(ReportStorage, RestoreAfterChangesGivesBackEveryProperty) {
    QObject window;
    StatementReport statement = createStatementReport(&window);
    TfrxReport* report = statement.frxReport1;
    const auto before = allValues(*report);
    const QByteArray snapshot = report->Snapshot();

    // Change something of every kind: report settings, page, band, memo
    // text, font, frame, format, binding; add and remove components.
    report->EngineOptions.DoublePass = true;
    report->Variables.Set(QStringLiteral("X"), 1);
    auto* page = report->ReportPages().value(0);
    page->SetPaperSize(9);
    page->LeftMargin = 25;
    auto* memo = qobject_cast<TfrxMemoView*>(report->FindObject(QStringLiteral("Memo1")));
    memo->SetText(QStringLiteral("changed"));
    memo->HAlign = frx::haBlock;
    memo->Frame().SetWidth(3);
    memo->DisplayFormat.Kind = frx::fkNumeric;
    auto* bound =
        qobject_cast<TfrxMemoView*>(report->FindObject(QStringLiteral("frxDBDataset1CardCode")));
    bound->SetDataSet(nullptr);
    bound->SetFont(TfrxFont());
    delete report->FindObject(QStringLiteral("Line2"));
    new TfrxMemoView(report->FindObject(QStringLiteral("PageFooter1")));
    report->AddError(QStringLiteral("kept"));
    ASSERT_NE(allValues(*report), before);

    report->Restore(snapshot);
    EXPECT_EQ(allValues(*report), before);
    EXPECT_EQ(report->SaveToJson(), snapshot);
    EXPECT_EQ(report->Errors(), QStringList{"kept"});
    bound =
        qobject_cast<TfrxMemoView*>(report->FindObject(QStringLiteral("frxDBDataset1CardCode")));
    EXPECT_EQ(bound->DataSet(), statement.frxDBDataset1);
    EXPECT_FALSE(bound->ParentFont());
}

// Every stored property of the report and of its components changed, as far
// as its type allows, and the data binding and the logo besides.
void changeEveryProperty(TfrxReport& report, const StatementReport& statement) {
    QList<TfrxComponent*> all = report.AllObjects();
    all.prepend(&report);
    for (TfrxComponent* c : all) {
        const QMetaObject* mo = c->metaObject();
        for (int i = QObject::staticMetaObject.propertyCount(); i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            if (!p.isWritable() || !c->IsStoredProperty(p.name()) || p.name() == QByteArray("Name"))
                continue;
            const QVariant v = p.read(c);
            switch (p.metaType().id()) {
                case QMetaType::Bool:
                    p.write(c, !v.toBool());
                    break;
                case QMetaType::Int:
                    p.write(c, v.toInt() + 1);
                    break;
                case QMetaType::Double:
                    p.write(c, v.toDouble() + 0.25);
                    break;
                case QMetaType::QString:
                    p.write(c, v.toString() + u'x');
                    break;
                default:
                    break;
            }
        }
    }
    for (TfrxComponent* c : all) {
        if (auto* view = qobject_cast<TfrxView*>(c); view && view->DataSet()) view->SetDataSet(nullptr);
        if (auto* picture = qobject_cast<TfrxPictureView*>(c))
            picture->SetImage(QImage(2, 2, QImage::Format_RGB888));
    }
    qobject_cast<TfrxDataBand*>(report.FindObject(QStringLiteral("MasterData1")))
        ->SetDataSet(statement.frxDBDataset1);
}

// The snapshot a preparation takes gives back every property, whether the
// components were only changed or some were added and freed meanwhile.
TEST(ReportStorage, PreparationSnapshotGivesBackEveryProperty) {
    for (const bool changeTree : {false, true}) {
        QObject window;
        StatementReport statement = createStatementReport(&window);
        TfrxReport* report = statement.frxReport1;
        const auto before = allValues(*report);
        const QByteArray stored = report->SaveToJson();
        TfrxReportSnapshot snapshot(*report);

        changeEveryProperty(*report, statement);
        if (changeTree) {
            delete report->FindObject(QStringLiteral("Line2"));
            new TfrxMemoView(report->FindObject(QStringLiteral("PageFooter1")));
        }
        report->AddError(QStringLiteral("kept"));
        ASSERT_NE(allValues(*report), before);

        snapshot.restore();
        EXPECT_EQ(allValues(*report), before) << changeTree;
        EXPECT_EQ(report->SaveToJson(), stored) << changeTree;
        EXPECT_EQ(report->Errors(), QStringList{"kept"});
        const auto* bound = qobject_cast<TfrxMemoView*>(
            report->FindObject(QStringLiteral("frxDBDataset1CardCode")));
        EXPECT_EQ(bound->DataSet(), statement.frxDBDataset1);
        const auto* band =
            qobject_cast<TfrxDataBand*>(report->FindObject(QStringLiteral("MasterData1")));
        EXPECT_EQ(band->DataSet(), statement.frxDBDataset2);
    }
}

}  // namespace
}  // namespace qev
