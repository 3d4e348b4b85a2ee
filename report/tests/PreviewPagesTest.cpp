// The store of prepared pages: entries recorded as differences and rebuilt
// faithfully, pictures kept once, the cache of rebuilt pages, compactness.

#include "report/ReportStorage.h"
#include "report/TfrxBand.h"
#include "report/TfrxDBDataset.h"
#include "report/TfrxEngineReport.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/tests/EngineFixture.h"
#include "testing/QtPrinters.h"

#include <QImage>
#include <QJsonDocument>
#include <QMetaProperty>

#include <memory>

#include <gtest/gtest.h>

namespace qev {
namespace {

using test::HookRecorder;
using test::MemoryRecordSet;

QImage solidImage(QColor color) {
    QImage image(8, 4, QImage::Format_RGB888);
    image.fill(color);
    return image;
}

QByteArray storedWithoutBinding(const TfrxComponent* c) {
    QJsonObject stored = frxStoreProperties(c);
    stored.remove("DataSetName");
    stored.remove("DataField");
    return QJsonDocument(stored).toJson(QJsonDocument::Compact);
}

// One page with a band of a memo, a line and a picture, registered as source.
struct StoreFixture {
    StoreFixture() {
        report = new TfrxReport(&owner);
        page = new TfrxReportPage(report);
        page->SetName("Page1");
        band = new TfrxMasterData(page);
        band->SetName("MasterData1");
        band->SetBounds(0, 0, 300, 40);
        memo = new TfrxMemoView(band);
        memo->SetName("Memo1");
        memo->SetBounds(2, 3, 100, 18);
        memo->SetText("[x]");
        line = new TfrxLineView(band);
        line->SetName("Line1");
        picture = new TfrxPictureView(band);
        picture->SetName("Picture1");
        picture->SetImage(solidImage(Qt::red));
        store = frxPreviewPagesOf(*report);
        store->Initialize();
        store->AddSourcePage(page);
        store->BeginPass();
    }

    HookRecorder hooks;
    QObject owner;
    TfrxReport* report;
    TfrxReportPage* page;
    TfrxMasterData* band;
    TfrxMemoView* memo;
    TfrxLineView* line;
    TfrxPictureView* picture;
    TfrxPreviewPages* store;
};

TEST(PreviewPages, RebuiltComponentsHoldEveryRecordedValue) {
    StoreFixture f;
    EXPECT_TRUE(f.store->AliasOf(f.band).startsWith('b'));
    EXPECT_TRUE(f.store->AliasOf(f.memo).startsWith('m'));
    EXPECT_TRUE(f.store->AliasOf(f.line).startsWith('l'));
    EXPECT_TRUE(f.store->AliasOf(f.picture).startsWith('p'));
    EXPECT_NE(f.store->AliasOf(f.band), f.store->AliasOf(f.memo));

    // Change values of every kind: float, text list, enum, flags, value objects.
    f.band->SetTop(123.456);
    f.memo->SetText("first\nsecond");
    f.memo->HAlign = frx::haBlock;
    TfrxFont font = f.memo->Font();
    font.Height = -21;
    font.Style = frx::fsBold | frx::fsItalic;
    f.memo->SetFont(font);
    TfrxFrame frame;
    frame.Typ = frx::ftLeft | frx::ftBottom;
    frame.SetWidth(2);
    f.memo->SetFrame(frame);
    f.memo->SetColor(clAqua);
    f.line->SetVisible(false);  // invisible components are not stored
    // A component with no source copy is recorded by class with all its values.
    auto* added = new TfrxMemoView(f.band);
    added->SetName("Added");
    added->SetBounds(5, 6, 7, 8);
    added->SetText("new");

    f.store->AddPage(f.page);
    f.store->AddObject(f.band);
    f.store->Finish();

    TfrxReportPage* rebuilt = f.store->GetPage(0);
    ASSERT_EQ(rebuilt->Objects().size(), 1);
    const TfrxComponent* band = rebuilt->Objects().first();
    ASSERT_EQ(band->Objects().size(), 3);
    EXPECT_EQ(band->FindObject("Line1"), nullptr);
    for (const TfrxComponent* original : QList<const TfrxComponent*>{f.band, f.memo, added}) {
        const TfrxComponent* copy = rebuilt->FindObject(original->Name());
        ASSERT_TRUE(copy) << original->Name().toStdString();
        EXPECT_EQ(copy->ClassName(), original->ClassName());
        EXPECT_EQ(storedWithoutBinding(copy), storedWithoutBinding(original))
            << original->Name().toStdString();
    }
    EXPECT_EQ(qobject_cast<const TfrxMemoView*>(band->Objects()[2])->Memo(), QStringList{"new"});
}

// The typed lists behind recording and rebuilding hold every stored property
// of every band and view class, in declaration order: a property left out
// would silently keep its source copy's value on every prepared page.
TEST(PreviewPages, EveryStoredPropertyIsRecorded) {
    const QStringList notPrepared{"DataSetName", "DataField", "Picture"};
    int checked = 0;
    for (const QString& className : frxComponentClassNames()) {
        const std::unique_ptr<TfrxComponent> c(frxCreateComponent(className, nullptr));
        if (!qobject_cast<TfrxBand*>(c.get()) && !qobject_cast<TfrxView*>(c.get())) continue;
        const QMetaObject* mo = c->metaObject();
        QStringList stored;
        for (int i = QObject::staticMetaObject.propertyCount(); i < mo->propertyCount(); ++i) {
            const QMetaProperty p = mo->property(i);
            if (p.isWritable() && p.isStored() && c->IsStoredProperty(p.name()) &&
                !notPrepared.contains(p.name()))
                stored.append(p.name());
        }
        EXPECT_EQ(c->PreparedPropertyNames(), stored) << className.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

// What the engine, the store and the export ask of every component in place
// of a cast answers as the cast would, for every class.
TEST(PreviewPages, EveryClassAnswersAsItsCastWould) {
    int views = 0, memos = 0, pictures = 0;
    for (const QString& className : frxComponentClassNames()) {
        const std::unique_ptr<TfrxComponent> c(frxCreateComponent(className, nullptr));
        ASSERT_TRUE(c) << className.toStdString();
        EXPECT_EQ(c->asView(), qobject_cast<TfrxView*>(c.get())) << className.toStdString();
        EXPECT_EQ(c->asMemo(), qobject_cast<TfrxCustomMemoView*>(c.get())) << className.toStdString();
        EXPECT_EQ(c->asPicture(), qobject_cast<TfrxPictureView*>(c.get())) << className.toStdString();
        views += c->asView() ? 1 : 0;
        memos += c->asMemo() ? 1 : 0;
        pictures += c->asPicture() ? 1 : 0;
    }
    EXPECT_GT(views, memos + pictures);
    EXPECT_GT(memos, 0);
    EXPECT_GT(pictures, 0);
}

TEST(PreviewPages, PreparedMemosAreNotBound) {
    StoreFixture f;
    MemoryRecordSet records("R", {"F"}, {{"value"}});
    auto* ds = new TfrxDBDataset(&f.owner);
    ds->SetUserName("dsUnbound");
    ds->SetDataSet(&records);
    f.memo->SetDataSet(ds);
    f.memo->SetDataField("F");
    f.store->AddPage(f.page);
    f.store->AddObject(f.band);
    const auto* memo = qobject_cast<TfrxMemoView*>(f.store->GetPage(0)->FindObject("Memo1"));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->DataSet(), nullptr);
    EXPECT_TRUE(memo->DataField().isEmpty());
}

TEST(PreviewPages, EachDistinctPictureIsKeptOnce) {
    StoreFixture f;
    const QByteArray red = f.picture->Picture();
    EXPECT_EQ(f.store->PictureCount(), 1);
    // Equal bytes in another buffer are found by their digest.
    QByteArray sameRed(red.constData(), red.size());
    EXPECT_EQ(f.store->AddPicture(sameRed), 0);
    for (int i = 0; i < 3; ++i) {
        f.store->AddPage(f.page);
        f.store->AddObject(f.band);
    }
    EXPECT_EQ(f.store->PictureCount(), 1);

    f.picture->SetImage(solidImage(Qt::blue));
    f.store->AddPage(f.page);
    f.store->AddObject(f.band);
    EXPECT_EQ(f.store->PictureCount(), 2);

    const auto pictureOf = [&](int index) {
        return qobject_cast<TfrxPictureView*>(f.store->GetPage(index)->FindObject("Picture1"));
    };
    EXPECT_EQ(pictureOf(2)->ImageIndex, 0);
    EXPECT_EQ(pictureOf(2)->Image().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(pictureOf(3)->ImageIndex, 1);
    EXPECT_EQ(pictureOf(3)->Image().pixelColor(0, 0), QColor(Qt::blue));
}

TEST(PreviewPages, AtMostPagesInCacheRebuiltPagesAreKept) {
    StoreFixture f;
    for (int i = 0; i < 60; ++i) {
        f.band->SetTop(i);
        f.store->AddPage(f.page);
        f.store->AddObject(f.band);
    }
    f.store->Finish();
    ASSERT_EQ(f.store->GetCount(), 60);

    TfrxReportPage* first = f.store->GetPage(0);
    first->setProperty("seen", true);
    EXPECT_EQ(f.store->GetPage(0), first);  // from the cache
    for (int i = 1; i < 50; ++i) f.store->GetPage(i);
    EXPECT_EQ(f.store->CachedPageCount(), 50);
    EXPECT_TRUE(
        f.store->GetPage(0)->property("seen").toBool());  // still among the 50, now the newest
    for (int i = 50; i < 60; ++i) f.store->GetPage(i);
    EXPECT_EQ(f.store->CachedPageCount(), 50);
    EXPECT_TRUE(f.store->GetPage(0)->property("seen").toBool());
    for (int i = 10; i < 60; ++i) f.store->GetPage(i);
    // Fifty other pages since: page 0 was freed and is rebuilt.
    TfrxReportPage* again = f.store->GetPage(0);
    EXPECT_FALSE(again->property("seen").toBool());
    EXPECT_DOUBLE_EQ(again->Objects().first()->Top(), 0);
    EXPECT_DOUBLE_EQ(f.store->GetPage(59)->Objects().first()->Top(), 59);

    f.report->PreviewOptions.PagesInCache = 3;
    for (int i = 0; i < 10; ++i) f.store->GetPage(i);
    EXPECT_EQ(f.store->CachedPageCount(), 3);
}

// An export that reads each page once releases it: one rebuilt page at a
// time, and a released page is rebuilt whole when asked for again.
TEST(PreviewPages, ReleasedPagesLeaveTheCache) {
    StoreFixture f;
    for (int i = 0; i < 5; ++i) {
        f.band->SetTop(i);
        f.store->AddPage(f.page);
        f.store->AddObject(f.band);
    }
    f.store->Finish();
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(f.store->GetPage(i)->Objects().first()->Top(), i);
        f.store->ReleasePage(i);
        EXPECT_EQ(f.store->CachedPageCount(), 0) << i;
    }
    f.store->GetPage(1);
    f.store->GetPage(2);
    f.store->ReleasePage(4);  // not cached: nothing happens
    f.store->ReleasePage(1);
    EXPECT_EQ(f.store->CachedPageCount(), 1);
    EXPECT_DOUBLE_EQ(f.store->GetPage(1)->Objects().first()->Top(), 1);
}

// A page rebuilt on the components of a released one is the page rebuilt
// afresh, whatever the two held: other texts, places, visibility, extra or
// missing components, other classes.
TEST(PreviewPages, PagesRebuiltOnReleasedOnesEqualFreshOnes) {
    StoreFixture f;
    auto* extraBand = new TfrxPageFooter(f.page);
    extraBand->SetName("PageFooter1");
    f.store->AddSourcePage(f.page);  // the footer needs a source copy too
    const auto record = [&](int i) {
        f.store->AddPage(f.page);
        f.band->SetTop(10 * i);
        f.memo->SetText(QStringLiteral("row %1").arg(i));
        f.line->SetVisible(i % 2 == 0);
        f.picture->SetVisible(i != 3);
        std::unique_ptr<TfrxMemoView> added;
        if (i == 1) {
            added = std::make_unique<TfrxMemoView>(f.band);
            added->SetText("added");
        }
        f.store->AddObject(f.band);
        if (i >= 2) f.store->AddObject(f.band);
        if (i == 2) f.store->AddObject(extraBand);
    };
    for (int i = 0; i < 5; ++i) record(i);
    f.store->Finish();
    const auto stored = [](const TfrxComponent* page) {
        return QJsonDocument(frxStoreComponent(page)).toJson(QJsonDocument::Compact);
    };
    QList<QByteArray> fresh;
    for (int i = 0; i < 5; ++i) fresh.append(stored(f.store->GetPage(i)));
    f.store->Finish();
    for (int i : {2, 0, 1, 3, 4, 2}) {
        EXPECT_EQ(stored(f.store->GetPage(i)), fresh[i]) << i;
        f.store->ReleasePage(i);
    }
}

// Complete pages are kept compressed: rebuilding one gives what was
// recorded, also for the page still being written and after writing over.
TEST(PreviewPages, CompletePagesRebuildFromTheirCompressedEntries) {
    StoreFixture f;
    for (int i = 0; i < 4; ++i) {
        f.store->AddPage(f.page);
        for (int b = 0; b < 3; ++b) {
            f.band->SetTop(100 * i + b);
            f.memo->SetText(QStringLiteral("page %1 band %2").arg(i).arg(b));
            f.store->AddObject(f.band);
        }
    }
    const qint64 recorded = f.store->StoredSize();
    EXPECT_DOUBLE_EQ(f.store->GetPage(3)->Objects()[2]->Top(), 302);  // still open
    f.store->Finish();
    EXPECT_EQ(f.store->StoredSize(), recorded);  // counts the entries, not their packing
    f.store->AddPageAction = apWriteOver;
    f.store->CurPage = 0;
    f.band->SetTop(7);
    f.store->AddPage(f.page);  // writes over the second page
    f.store->AddObject(f.band);
    f.store->Finish();
    for (int i : {0, 2, 3}) {
        const QList<TfrxComponent*> bands = f.store->GetPage(i)->Objects();
        ASSERT_EQ(bands.size(), 3) << i;
        for (int b = 0; b < 3; ++b) EXPECT_DOUBLE_EQ(bands[b]->Top(), 100 * i + b) << i;
    }
    const QList<TfrxComponent*> over = f.store->GetPage(1)->Objects();
    ASSERT_EQ(over.size(), 1);
    EXPECT_DOUBLE_EQ(over[0]->Top(), 7);
}

// Pages handed to the packer come back compressed, every one of them, and
// give back their entries; dropping stops it with nothing left behind.
TEST(PreviewPages, ThePackerGivesBackEveryPageCompressed) {
    PreparedPagePacker packer;
    QList<QByteArray> pages;
    for (int i = 0; i < 200; ++i) {
        pages.append(QByteArray::number(i * 7919).repeated(50 + i));
        packer.submit(i, pages.last());
    }
    std::vector<PreparedPagePacker::Packed> done = packer.takeDone();
    for (PreparedPagePacker::Packed& packed : packer.finish()) done.push_back(std::move(packed));
    ASSERT_EQ(done.size(), size_t(pages.size()));
    for (const PreparedPagePacker::Packed& packed : done) {
        EXPECT_TRUE(packed.entries.isSharedWith(pages[packed.page]));
        EXPECT_LT(packed.packed.size(), packed.entries.size());
        EXPECT_EQ(frxUnpackEntries(packed.packed, packed.entries.size()), pages[packed.page]);
    }
    packer.submit(0, pages[0]);
    packer.drop();
    EXPECT_TRUE(packer.takeDone().empty());
}

TEST(PreviewPages, OutputBandsAreSmallRecords) {
    StoreFixture f;
    f.store->AddPage(f.page);
    f.store->AddObject(f.band);
    const qint64 unchanged = f.store->StoredSize();
    f.band->SetTop(50);
    f.memo->SetText("twenty characters ok");
    f.store->AddObject(f.band);
    const qint64 changed = f.store->StoredSize() - unchanged;
    // Names, fonts and the picture are not repeated: only the band's top and
    // the memo's text (40 bytes in UTF-16) are recorded.
    EXPECT_LT(unchanged, 20);
    EXPECT_LT(changed, unchanged + 8 + 40 + 16);
}

TEST(PreviewPages, ClearEmptiesEverything) {
    StoreFixture f;
    f.store->AddPage(f.page);
    f.store->AddObject(f.band);
    f.store->GetPage(0);
    f.store->Clear();
    EXPECT_EQ(f.store->GetCount(), 0);
    EXPECT_EQ(f.store->CurPage, -1);
    EXPECT_EQ(f.store->PictureCount(), 0);
    EXPECT_EQ(f.store->CachedPageCount(), 0);
    EXPECT_EQ(f.store->StoredSize(), 0);
    EXPECT_EQ(f.store->GetPage(0), nullptr);
}

}  // namespace
}  // namespace qev
