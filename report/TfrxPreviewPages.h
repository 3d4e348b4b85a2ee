#pragma once

#include "report/PreparedPageCodec.h"
#include "report/PreparedPagePacker.h"
#include "report/frxTypes.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSizeF>
#include <QVariant>

#include <list>
#include <map>
#include <memory>
#include <vector>

namespace qev {

class TfrxBand;
class TfrxComponent;
class TfrxReport;
class TfrxReportPage;

enum TfrxAddPageAction { apWriteOver, apAdd };

// The store of prepared pages.
//
// At the start of a run every report page of the template is copied, with the
// components on it that are shown in previews ("source copies"; memos lose
// their data binding). Each output band is then recorded as an entry that
// names its source copy by a short alias and holds only the property values
// that differ from it (PreparedPageCodec.h). GetPage rebuilds a whole page
// from those records on demand; at most PagesInCache rebuilt pages are kept.
// Each distinct picture is kept once and referred to by ImageIndex.
class TfrxPreviewPages : public QObject {
    Q_OBJECT

  public:
    explicit TfrxPreviewPages(TfrxReport* report);
    ~TfrxPreviewPages() override;

    TfrxReport* Report() const { return FReport; }
    // Index of the page being written; -1 when the store is empty.
    int CurPage = -1;
    TfrxAddPageAction AddPageAction = apAdd;

    // --- Read by the export ------------------------------------------------
    int GetCount() const { return int(FPages.size()); }
    // The page rebuilt from its records. The store owns it; it stays valid
    // until PagesInCache other pages have been asked for, or Clear.
    TfrxReportPage* GetPage(int index);
    // Drops the rebuilt copy of a page that was read once and is not needed
    // again (an export without preview), so that memory holds one page at a
    // time instead of PagesInCache of them. Its components are reused for the
    // next page rebuilt: a statement's pages hold the same bands and views
    // with other texts and places.
    void ReleasePage(int index);
    // Width and height of the page in report pixels.
    QSizeF GetPageSize(int index) const;

    // --- Written by the engine, in this order ----------------------------
    // Empties pages, source pages, pictures and the cache.
    void Clear();
    void Initialize();
    void AddSourcePage(TfrxReportPage* page);
    // Restarts the logical page numbering for a pass.
    void BeginPass();
    // A new page made from `page` (or the next page of the first pass when
    // writing over); CurPage moves to it.
    void AddPage(TfrxReportPage* page);
    // Records the component and its children, as they are now, on CurPage.
    // `children` replaces the component's own children when given (the null
    // band holds copies of the page's loose objects).
    void AddObject(TfrxComponent* component);
    void AddObject(TfrxComponent* component, const QList<TfrxComponent*>& children);
    // Whether the current page already holds this band (any page footer
    // counts for a page footer).
    bool BandExists(const TfrxBand* band) const;
    // Ends the run: the cache of rebuilt pages is emptied.
    void Finish();

    // A component standing in for a template component during a run (the
    // null band's copies) records against that component's source copy.
    void LinkSource(const TfrxComponent* standIn, const TfrxComponent* original);
    // The picture's index in the picture cache; an equal picture is kept once.
    int AddPicture(const QByteArray& picture);
    const QByteArray& Picture(int index) const { return FPictures[index]; }

    void IncLogicalPageNumber();
    void ResetLogicalPageNumber();
    int GetLogicalPageNo() const;
    int GetLogicalTotalPages() const;
    // Bottom of the lowest band on the current page other than page footers.
    double GetLastY() const;
    void DeletePage(int index);

    // Bytes of recorded entries (what a file cache would weigh).
    qint64 StoredSize() const { return FStoredSize; }
    int PictureCount() const { return int(FPictures.size()); }
    int CachedPageCount() const { return int(FCache.size()); }
    int SourceObjectCount() const { return int(FSources.size()); }
    // The alias of the source copy of a template component in this run ("" none).
    QString AliasOf(const TfrxComponent* component) const;

  private:
    struct SourceObject {
        TfrxComponent* copy;
        QString alias;
    };
    // A page's entries are compressed once the page is complete: a long
    // report keeps a fraction of their bytes until it is exported.
    struct PreparedPage {
        int sourcePage;
        int logicalNo;
        QByteArray data;
        qsizetype size = 0;   // of the entries, uncompressed
        bool packed = false;  // data holds them compressed
    };
    // What BandExists and GetLastY need of the page being written.
    struct TopEntry {
        int source;
        const QMetaObject* metaObject;
        double bottom;
    };

    void copySource(TfrxComponent* original, TfrxComponent* parentCopy);
    QString newAlias(const TfrxComponent* component);
    int sourceOf(const TfrxComponent* component) const;
    int classIndex(const QString& className);
    const TfrxComponent& prototype(const QString& className);
    void writeEntry(QByteArray& out, TfrxComponent* component,
                    const QList<TfrxComponent*>& children);
    static bool isStored(const TfrxComponent* component);
    void rebuildEntry(PreparedPageReader& reader, TfrxComponent* parent, qsizetype position);
    static void dropChildrenFrom(TfrxComponent* parent, qsizetype position);
    std::unique_ptr<TfrxReportPage> rebuild(int index);
    void pack(int index);
    void takePacked(std::vector<PreparedPagePacker::Packed> done);
    void unpack(PreparedPage& page);
    static QByteArray entriesOf(const PreparedPage& page);
    void dropCachedPage(int index);
    int pagesInCache() const;

    TfrxReport* FReport;
    bool FRunning = false;

    std::vector<std::unique_ptr<TfrxReportPage>> FSourcePages;
    QHash<const TfrxComponent*, int> FSourcePageOf;
    std::vector<SourceObject> FSources;
    QHash<const TfrxComponent*, int> FSourceOf;
    QHash<QChar, int> FAliasCounters;

    QStringList FClassNames;
    QHash<QString, int> FClassIndex;
    // A freshly made component per class.
    std::map<QString, std::unique_ptr<TfrxComponent>> FPrototypes;
    PreparedValueTables FValues;

    std::vector<PreparedPage> FPages;
    PreparedPagePacker FPacker;
    QList<TopEntry> FCurrentTop;
    int FLogicalPageNo = 0;
    qint64 FStoredSize = 0;

    QList<QByteArray> FPictures;
    QHash<QByteArray, int> FPictureByDigest;
    QHash<const char*, int> FPictureByData;

    // Rebuilt pages, most recently used first.
    std::list<std::pair<int, std::unique_ptr<TfrxReportPage>>> FCache;
    // The last page released, whose components the next rebuild reuses.
    std::unique_ptr<TfrxReportPage> FSpare;
};

}  // namespace qev
