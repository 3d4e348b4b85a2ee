// The engine on small reports built in code: stretching, the band tree and
// its errors, the page's own bands (title, header, footer, summary), child
// bands, new pages on request and the null band.

#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxEngineReport.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/tests/EngineFixture.h"
#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

namespace qev {
namespace {

using test::HookRecorder;
using test::MemoryRecordSet;

QList<QVariantList> numbered(const QString& prefix, int count) {
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i) rows.append({prefix + QString::number(i)});
    return rows;
}

// A report with one page of 100 x `paperHeight` mm and no margins.
struct ReportBuilder {
    explicit ReportBuilder(double paperHeight = 100) {
        report = new TfrxReport(&owner);
        page = new TfrxReportPage(report);
        page->SetName("Page1");
        page->SetPaperWidth(100);
        page->SetPaperHeight(paperHeight);
    }

    template <class Band>
    Band* band(const QString& name, double top, double height) {
        auto* b = new Band(page);
        b->SetName(name);
        b->SetBounds(0, top, 0, height);
        return b;
    }

    TfrxMemoView* memo(TfrxComponent* parent, const QString& name, QRectF bounds,
                       const QString& text = {}) {
        auto* m = new TfrxMemoView(parent);
        m->SetName(name);
        m->SetBounds(bounds.left(), bounds.top(), bounds.width(), bounds.height());
        m->SetText(text);
        return m;
    }

    TfrxDBDataset* dataSet(const QString& name, MemoryRecordSet& records) {
        records.open();
        auto* ds = new TfrxDBDataset(&owner);
        ds->SetUserName(name);
        ds->SetDataSet(&records);
        report->AddDataSet(ds);
        return ds;
    }

    bool prepare() { return frxPrepareReport(*report, true); }
    TfrxPreviewPages& pages() { return *frxPreviewPagesOf(*report); }

    // Band names of a prepared page, with a memo's text where the band has one.
    QStringList bandsOf(int index, const QString& memoName = {}) {
        QStringList names;
        for (const TfrxComponent* c : pages().GetPage(index)->Objects()) {
            QString name = c->Name();
            if (auto* m = qobject_cast<TfrxCustomMemoView*>(c->FindObject(memoName)))
                name += ":" + m->Memo().join('|');
            names.append(name);
        }
        return names;
    }

    HookRecorder hooks;
    QObject owner;
    TfrxReport* report;
    TfrxReportPage* page;
};

TEST(Engine, StretchingMemoGrowsItsBandAndPushesTheViewsBelow) {
    ReportBuilder b;
    MemoryRecordSet records("Items", {"TEXT"}, {{"one\ntwo\nthree\nfour\nfive"}, {"one"}});
    TfrxDBDataset* ds = b.dataSet("dsStretch", records);
    auto* data = b.band<TfrxMasterData>("MasterData1", 10, 40);
    data->SetDataSet(ds);
    data->Stretched = true;
    TfrxMemoView* grows = b.memo(data, "Grows", {0, 0, 100, 18});
    grows->SetDataSet(ds);
    grows->SetDataField("TEXT");
    grows->SetStretchMode(frx::smActualHeight);
    b.memo(data, "Below", {0, 20, 100, 18}, "below");
    b.memo(data, "Beside", {200, 20, 50, 18}, "beside");
    b.memo(data, "Full", {120, 0, 50, 10}, "full")->SetStretchMode(frx::smMaxHeight);
    b.report->EngineOptions.DestroyForms = false;  // shows that the engine itself puts sizes back

    ASSERT_TRUE(b.prepare()) << b.report->Errors().join('\n').toStdString();
    TfrxReportPage* page = b.pages().GetPage(0);
    ASSERT_EQ(page->Objects().size(), 3);  // null band and two rows
    const TfrxComponent* first = page->Objects()[1];
    const TfrxComponent* second = page->Objects()[2];

    const double grown = first->FindObject("Grows")->Height();
    EXPECT_GT(grown, 5 * 12.0);
    EXPECT_DOUBLE_EQ(first->FindObject("Below")->Top(), 20 + (grown - 18));
    EXPECT_DOUBLE_EQ(first->FindObject("Beside")->Top(), 20);
    EXPECT_DOUBLE_EQ(first->Height(), first->FindObject("Below")->Top() + 18);
    EXPECT_DOUBLE_EQ(first->FindObject("Full")->Height(), first->Height());
    // One line fits: nothing moves, and the band ends at its lowest view.
    EXPECT_DOUBLE_EQ(second->FindObject("Grows")->Height(), 18);
    EXPECT_DOUBLE_EQ(second->Height(), 38);
    EXPECT_DOUBLE_EQ(second->Top(), first->Top() + first->Height());

    EXPECT_DOUBLE_EQ(grows->Height(), 18);
    EXPECT_DOUBLE_EQ(b.report->FindObject("Below")->Top(), 20);
    EXPECT_DOUBLE_EQ(b.report->FindObject("Full")->Height(), 10);
    EXPECT_DOUBLE_EQ(data->Height(), 40);
}

TEST(Engine, MasterDetailWithHeaderAndFooterInTopOrder) {
    ReportBuilder b;
    MemoryRecordSet masters("M", {"N"}, numbered("m", 2));
    MemoryRecordSet details("D", {"N"}, numbered("d", 2));
    TfrxDBDataset* m = b.dataSet("dsMaster", masters);
    TfrxDBDataset* d = b.dataSet("dsDetail", details);
    // Stored out of order on purpose: the tree follows Top.
    b.band<TfrxFooter>("Footer1", 80, 10);
    b.band<TfrxDetailData>("DetailData1", 60, 10)->SetDataSet(d);
    b.band<TfrxMasterData>("MasterData1", 40, 10)->SetDataSet(m);
    b.band<TfrxHeader>("Header1", 20, 10);
    for (const char* name : {"MasterData1", "DetailData1"}) {
        TfrxMemoView* memo =
            b.memo(b.report->FindObject(name), QString(name) + "N", {0, 0, 50, 10});
        memo->SetDataSet(name == QString("MasterData1") ? m : d);
        memo->SetDataField("N");
    }

    ASSERT_TRUE(b.prepare()) << b.report->Errors().join('\n').toStdString();
    QStringList bands = b.bandsOf(0);
    // The footer stands below the detail band, so it closes each detail walk.
    EXPECT_EQ(bands,
              QStringList({"_NullBand", "Header1", "MasterData1", "DetailData1", "DetailData1",
                           "Footer1", "MasterData1", "DetailData1", "DetailData1", "Footer1"}));
    TfrxReportPage* page = b.pages().GetPage(0);
    EXPECT_EQ(
        qobject_cast<TfrxCustomMemoView*>(page->Objects()[6]->FindObject("MasterData1N"))->Memo(),
        QStringList{"m2"});
    EXPECT_EQ(
        qobject_cast<TfrxCustomMemoView*>(page->Objects()[8]->FindObject("DetailData1N"))->Memo(),
        QStringList{"d2"});
}

TEST(Engine, MisplacedBandsAreReported) {
    ReportBuilder b;
    MemoryRecordSet details("D", {"N"}, numbered("d", 2));
    TfrxDBDataset* d = b.dataSet("dsOrphan", details);
    b.band<TfrxFooter>("Footer1", 10, 10);
    b.band<TfrxDetailData>("DetailData1", 30, 10)->SetDataSet(d);
    b.band<TfrxHeader>("Header1", 60, 10);

    EXPECT_FALSE(b.prepare());
    EXPECT_EQ(b.report->Errors(), QStringList({"Incorrect band position: DetailData1",
                                               "Incorrect band position: Footer1",
                                               "Incorrect band position: Header1"}));
    EXPECT_EQ(b.pages().GetCount(), 0);
    EXPECT_EQ(b.hooks.Boxes.size(), 1);
}

TEST(Engine, SameDataSetForPageAndBandIsRefused) {
    ReportBuilder b;
    MemoryRecordSet rows("R", {"N"}, numbered("r", 2));
    TfrxDBDataset* ds = b.dataSet("dsShared", rows);
    b.page->SetDataSet(ds);
    b.band<TfrxMasterData>("MasterData1", 10, 10)->SetDataSet(ds);
    EXPECT_FALSE(b.prepare());
    EXPECT_EQ(b.report->Errors(),
              QStringList{"Cannot use the same dataset for Page.DataSet and Band.DataSet"});
}

// 100 mm of paper is 377.953 pixels: a 10-pixel header, a 10-pixel footer
// and rows of 100 give three rows a page.
TEST(Engine, TitleSummaryHeaderAndFooterFollowTheirPageOptions) {
    ReportBuilder b;
    MemoryRecordSet rows("R", {"N"}, numbered("r", 7));
    TfrxDBDataset* ds = b.dataSet("dsPages", rows);
    b.band<TfrxReportTitle>("ReportTitle1", 0, 10);
    auto* header = b.band<TfrxPageHeader>("PageHeader1", 20, 10);
    header->PrintOnFirstPage = false;
    b.band<TfrxMasterData>("MasterData1", 40, 100)->SetDataSet(ds);
    b.band<TfrxReportSummary>("ReportSummary1", 160, 10);
    auto* footer = b.band<TfrxPageFooter>("PageFooter1", 180, 10);
    footer->PrintOnLastPage = false;
    b.memo(footer, "PageNo", {0, 0, 50, 10}, "[Page#]");

    ASSERT_TRUE(b.prepare()) << b.report->Errors().join('\n').toStdString();
    ASSERT_EQ(b.pages().GetCount(), 3);
    EXPECT_EQ(b.bandsOf(0, "PageNo"), QStringList({"ReportTitle1", "_NullBand", "MasterData1",
                                                   "MasterData1", "MasterData1", "PageFooter1:1"}));
    EXPECT_EQ(b.bandsOf(1, "PageNo"), QStringList({"PageHeader1", "MasterData1", "MasterData1",
                                                   "MasterData1", "PageFooter1:2"}));
    EXPECT_EQ(b.bandsOf(2), QStringList({"PageHeader1", "MasterData1", "ReportSummary1"}));
    EXPECT_DOUBLE_EQ(b.pages().GetPage(0)->Objects()[2]->Top(), 10);
    EXPECT_DOUBLE_EQ(b.pages().GetPage(1)->Objects()[1]->Top(), 10);
}

// Three rows of 100 leave 58 pixels above the footer: a summary of 60 goes to a
// page of its own, and the page it left is not the last one, so it keeps a
// footer that is off on the last page. Page numbers count the summary's page.
TEST(Engine, SummaryThatDoesNotFitGoesToANewPageBeforeTheLastFooter) {
    for (const bool onLastPage : {false, true}) {
        SCOPED_TRACE(onLastPage ? "footer on the last page" : "no footer on the last page");
        ReportBuilder b;
        MemoryRecordSet rows("R", {"N"}, numbered("r", 3));
        b.band<TfrxPageHeader>("PageHeader1", 0, 10);
        b.band<TfrxMasterData>("MasterData1", 40, 100)->SetDataSet(b.dataSet("dsFull", rows));
        b.band<TfrxReportSummary>("ReportSummary1", 160, 60);
        auto* footer = b.band<TfrxPageFooter>("PageFooter1", 180, 10);
        footer->PrintOnLastPage = onLastPage;
        b.memo(footer, "PageNo", {0, 0, 50, 10}, "[Page#]/[TotalPages#]");

        ASSERT_TRUE(b.prepare()) << b.report->Errors().join('\n').toStdString();
        ASSERT_EQ(b.pages().GetCount(), 2);
        EXPECT_EQ(b.bandsOf(0, "PageNo"),
                  QStringList({"PageHeader1", "_NullBand", "MasterData1", "MasterData1",
                               "MasterData1", "PageFooter1:1/[TotalPages#]"}));
        QStringList last{"PageHeader1", "ReportSummary1"};
        if (onLastPage) last << "PageFooter1:2/[TotalPages#]";
        EXPECT_EQ(b.bandsOf(1, "PageNo"), last);
        EXPECT_DOUBLE_EQ(b.pages().GetPage(1)->Objects()[1]->Top(), 10);
        if (onLastPage) {
            EXPECT_NEAR(b.pages().GetPage(1)->Objects()[2]->Top(), 100 * fr01cm - 10, 1e-9);
        }
    }
}

TEST(Engine, ChildFollowsItsBandAndStartNewPageBreaksBetweenRecords) {
    ReportBuilder b;
    MemoryRecordSet rows("R", {"N"}, numbered("r", 3));
    TfrxDBDataset* ds = b.dataSet("dsBreaks", rows);
    auto* data = b.band<TfrxMasterData>("MasterData1", 10, 20);
    data->SetDataSet(ds);
    data->StartNewPage = true;
    data->Child = "Child1";
    b.band<TfrxChild>("Child1", 40, 5);

    ASSERT_TRUE(b.prepare()) << b.report->Errors().join('\n').toStdString();
    ASSERT_EQ(b.pages().GetCount(), 3);
    EXPECT_EQ(b.bandsOf(0), QStringList({"_NullBand", "MasterData1", "Child1"}));
    EXPECT_EQ(b.bandsOf(2), QStringList({"MasterData1", "Child1"}));
    EXPECT_DOUBLE_EQ(b.pages().GetPage(2)->Objects()[1]->Top(), 20);
}

TEST(Engine, ObjectsOutsideBandsGoToTheNullBandOfTheFirstPage) {
    ReportBuilder b(30);
    MemoryRecordSet rows("R", {"N"}, numbered("r", 12));
    b.band<TfrxMasterData>("MasterData1", 10, 20)->SetDataSet(b.dataSet("dsLoose", rows));
    b.memo(b.page, "Loose", {5, 7, 60, 10}, "page [Page#]");

    ASSERT_TRUE(b.prepare());
    ASSERT_GE(b.pages().GetCount(), 2);
    const TfrxComponent* nullBand = b.pages().GetPage(0)->Objects().first();
    EXPECT_EQ(nullBand->ClassName(), "TfrxNullBand");
    ASSERT_EQ(nullBand->Objects().size(), 1);
    const auto* loose = qobject_cast<TfrxCustomMemoView*>(nullBand->Objects().first());
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->Memo(), QStringList{"page 1"});
    EXPECT_DOUBLE_EQ(loose->AbsTop(), 7);
    EXPECT_EQ(b.bandsOf(1).count("_NullBand"), 0);
    // The template comes back as stored, without the null band. The preparation
    // restores it from its snapshot, so the page is looked up afresh.
    ASSERT_EQ(b.report->ReportPages().size(), 1);
    EXPECT_EQ(b.report->ReportPages().first()->Objects().size(), 2);
}

}  // namespace
}  // namespace qev
