#include "report/TfrxPreviewPages.h"

#include "format/Error.h"
#include "report/PreparedPageCodec.h"
#include "report/ReportStorage.h"
#include "report/TfrxBand.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxReport.h"
#include "report/TfrxView.h"

#include <QCryptographicHash>

#include <algorithm>

namespace qev {

TfrxPreviewPages::TfrxPreviewPages(TfrxReport* report) : QObject(report), FReport(report) {}

TfrxPreviewPages::~TfrxPreviewPages() = default;

// --- Source copies -------------------------------------------------------

void TfrxPreviewPages::Clear() {
    FPacker.drop();
    FCache.clear();
    FSpare.reset();
    FPages.clear();
    FCurrentTop.clear();
    FSources.clear();
    FSourceOf.clear();
    FSourcePages.clear();
    FSourcePageOf.clear();
    FAliasCounters.clear();
    FValues.clear();
    FPictures.clear();
    FPictureByDigest.clear();
    FPictureByData.clear();
    FStoredSize = 0;
    FLogicalPageNo = 0;
    CurPage = -1;
}

void TfrxPreviewPages::Initialize() {
    FRunning = true;
    FCache.clear();
    // Template components are replaced when the template is restored after a
    // run, so their links to source copies hold for one run only.
    FSourceOf.clear();
    FSourcePageOf.clear();
}

void TfrxPreviewPages::AddSourcePage(TfrxReportPage* page) {
    auto copy = std::make_unique<TfrxReportPage>();
    frxAssignProperties(copy.get(), page);
    FSourcePageOf.insert(page, int(FSourcePages.size()));
    for (TfrxComponent* child : page->Objects()) copySource(child, copy.get());
    FSourcePages.push_back(std::move(copy));
}

void TfrxPreviewPages::copySource(TfrxComponent* original, TfrxComponent* parentCopy) {
    if (!original->frComponentStyle().testFlag(frx::csPreviewVisible)) return;
    TfrxComponent* copy = frxCreateComponent(original->ClassName(), parentCopy);
    if (!copy) return;
    frxAssignProperties(copy, original);
    if (auto* view = qobject_cast<TfrxView*>(copy)) {
        view->SetDataSet(nullptr);
        view->SetDataField(QString());
    } else if (auto* band = qobject_cast<TfrxDataBand*>(copy)) {
        band->SetDataSet(nullptr);
    }
    FSourceOf.insert(original, int(FSources.size()));
    if (auto* picture = qobject_cast<TfrxPictureView*>(copy))
        picture->ImageIndex = AddPicture(picture->Picture());
    FSources.push_back({copy, newAlias(original)});
    for (TfrxComponent* child : original->Objects()) copySource(child, copy);
}

QString TfrxPreviewPages::newAlias(const TfrxComponent* component) {
    const QString base = component->BaseName();
    const QChar letter =
        qobject_cast<const TfrxBand*>(component) || base.isEmpty() ? u'b' : base[0].toLower();
    return letter + QString::number(++FAliasCounters[letter]);
}

QString TfrxPreviewPages::AliasOf(const TfrxComponent* component) const {
    const int source = sourceOf(component);
    return source < 0 ? QString() : FSources[size_t(source)].alias;
}

int TfrxPreviewPages::sourceOf(const TfrxComponent* component) const {
    return FSourceOf.value(component, -1);
}

void TfrxPreviewPages::LinkSource(const TfrxComponent* standIn, const TfrxComponent* original) {
    const int source = sourceOf(original);
    if (source >= 0) FSourceOf.insert(standIn, source);
}

int TfrxPreviewPages::AddPicture(const QByteArray& picture) {
    // The template's own bytes, shared with the cache, give the index without
    // hashing; the cache holds them, so their address cannot be reused.
    if (const auto it = FPictureByData.constFind(picture.constData());
        it != FPictureByData.constEnd())
        return *it;
    const QByteArray digest = QCryptographicHash::hash(picture, QCryptographicHash::Md5);
    int index = FPictureByDigest.value(digest, -1);
    if (index < 0) {
        index = int(FPictures.size());
        FPictures.append(picture);
        FPictureByDigest.insert(digest, index);
        FPictureByData.insert(FPictures.constLast().constData(), index);
    }
    return index;
}

// --- Pages ---------------------------------------------------------------

void TfrxPreviewPages::BeginPass() {
    ResetLogicalPageNumber();
}

void TfrxPreviewPages::AddPage(TfrxReportPage* page) {
    const int source = FSourcePageOf.value(page, -1);
    if (source < 0) throw Error(QStringLiteral("Page %1 has no source copy").arg(page->Name()));
    dropCachedPage(CurPage + 1);
    pack(CurPage);  // complete: nothing is added to it any more
    if (AddPageAction == apWriteOver && CurPage + 1 < GetCount()) {
        ++CurPage;
        PreparedPage& written = FPages[size_t(CurPage)];
        FStoredSize -= written.size;
        written = {source, 0, {}};
    } else {
        FPages.push_back({source, 0, {}});
        CurPage = GetCount() - 1;
    }
    FCurrentTop.clear();
    IncLogicalPageNumber();
}

void TfrxPreviewPages::IncLogicalPageNumber() {
    ++FLogicalPageNo;
    if (CurPage >= 0) FPages[size_t(CurPage)].logicalNo = FLogicalPageNo;
}

void TfrxPreviewPages::ResetLogicalPageNumber() {
    FLogicalPageNo = 0;
}

int TfrxPreviewPages::GetLogicalPageNo() const {
    return CurPage >= 0 ? FPages[size_t(CurPage)].logicalNo : 0;
}

int TfrxPreviewPages::GetLogicalTotalPages() const {
    // Pages numbered together run from a page numbered 1 to the next one.
    if (CurPage < 0) return 0;
    int end = CurPage + 1;
    while (end < GetCount() && FPages[size_t(end)].logicalNo > 1) ++end;
    int start = CurPage;
    while (start > 0 && FPages[size_t(start)].logicalNo > 1) --start;
    return end - start;
}

void TfrxPreviewPages::DeletePage(int index) {
    if (index < 0 || index >= GetCount()) return;
    FStoredSize -= FPages[size_t(index)].size;
    FPages.erase(FPages.begin() + index);
    FCache.clear();
    if (CurPage >= GetCount()) CurPage = GetCount() - 1;
}

void TfrxPreviewPages::Finish() {
    pack(CurPage);
    takePacked(FPacker.finish());
    FRunning = false;
    FCache.clear();
}

// --- Entries -------------------------------------------------------------
//
// An entry: number (source + 1, or 0 followed by a class index), the
// differences, for picture views the picture's index, the number of children
// and the children's entries.

bool TfrxPreviewPages::isStored(const TfrxComponent* component) {
    return component->Visible() && component->frComponentStyle().testFlag(frx::csPreviewVisible);
}

void TfrxPreviewPages::AddObject(TfrxComponent* component) {
    AddObject(component, component->Objects());
}

void TfrxPreviewPages::AddObject(TfrxComponent* component, const QList<TfrxComponent*>& children) {
    if (CurPage < 0 || !isStored(component)) return;
    PreparedPage& page = FPages[size_t(CurPage)];
    unpack(page);
    const qsizetype before = page.data.size();
    writeEntry(page.data, component, children);
    page.size = page.data.size();
    FStoredSize += page.size - before;
    FCurrentTop.append(
        {sourceOf(component), component->metaObject(), component->Top() + component->Height()});
}

void TfrxPreviewPages::writeEntry(QByteArray& out, TfrxComponent* component,
                                  const QList<TfrxComponent*>& children) {
    PreparedPageWriter writer(out, FValues);
    const int source = sourceOf(component);
    const TfrxComponent* reference = nullptr;
    if (source >= 0) {
        writer.writeNumber(quint64(source) + 1);
        reference = FSources[size_t(source)].copy;
    } else {
        // No source copy: every value is recorded, as differences from a
        // freshly made component of the class.
        writer.writeNumber(0);
        writer.writeNumber(quint64(classIndex(component->ClassName())));
        reference = &prototype(component->ClassName());
    }
    component->WritePreparedDifferences(writer, *reference);
    if (TfrxPictureView* picture = component->asPicture())
        writer.writeNumber(quint64(AddPicture(picture->Picture())));

    writer.writeNumber(quint64(std::count_if(children.cbegin(), children.cend(), isStored)));
    for (TfrxComponent* child : children)
        if (isStored(child)) writeEntry(out, child, child->Objects());
}

int TfrxPreviewPages::classIndex(const QString& className) {
    const auto it = FClassIndex.constFind(className);
    if (it != FClassIndex.constEnd()) return *it;
    FClassNames.append(className);
    return *FClassIndex.insert(className, int(FClassNames.size()) - 1);
}

const TfrxComponent& TfrxPreviewPages::prototype(const QString& className) {
    std::unique_ptr<TfrxComponent>& fresh = FPrototypes[className];
    if (!fresh) fresh.reset(frxCreateComponent(className, nullptr));
    if (!fresh) throw Error(QStringLiteral("Class %1 not found").arg(className));
    return *fresh;
}

bool TfrxPreviewPages::BandExists(const TfrxBand* band) const {
    const bool footer = qobject_cast<const TfrxPageFooter*>(band);
    const int source = sourceOf(band);
    return std::any_of(FCurrentTop.cbegin(), FCurrentTop.cend(), [&](const TopEntry& entry) {
        if (footer) return entry.metaObject->inherits(&TfrxPageFooter::staticMetaObject);
        return source >= 0 ? entry.source == source : entry.metaObject == band->metaObject();
    });
}

double TfrxPreviewPages::GetLastY() const {
    double last = 0;
    for (const TopEntry& entry : FCurrentTop)
        if (!entry.metaObject->inherits(&TfrxPageFooter::staticMetaObject))
            last = std::max(last, entry.bottom);
    return last;
}

// --- Rebuilding ----------------------------------------------------------

int TfrxPreviewPages::pagesInCache() const {
    return std::max(1, FReport->PreviewOptions.PagesInCache);
}

void TfrxPreviewPages::dropCachedPage(int index) {
    FCache.remove_if([index](const auto& cached) { return cached.first == index; });
}

void TfrxPreviewPages::ReleasePage(int index) {
    const auto cached = std::find_if(FCache.begin(), FCache.end(),
                                     [index](const auto& c) { return c.first == index; });
    if (cached == FCache.end()) return;
    FSpare = std::move(cached->second);
    FCache.erase(cached);
}

TfrxReportPage* TfrxPreviewPages::GetPage(int index) {
    if (index < 0 || index >= GetCount()) return nullptr;
    const auto cached = std::find_if(FCache.begin(), FCache.end(),
                                     [index](const auto& c) { return c.first == index; });
    if (cached != FCache.end()) {
        if (!FRunning) {
            FCache.splice(FCache.begin(), FCache, cached);
            return FCache.front().second.get();
        }
        // While a run writes pages, a cached page may be out of date.
        FCache.erase(cached);
    }
    FCache.emplace_front(index, rebuild(index));
    while (int(FCache.size()) > pagesInCache()) FCache.pop_back();
    return FCache.front().second.get();
}

// A complete page is compressed meanwhile on the packer's thread; its
// entries are read as they are until the compressed ones come back.
void TfrxPreviewPages::pack(int index) {
    takePacked(FPacker.takeDone());
    if (index < 0 || index >= GetCount()) return;
    const PreparedPage& page = FPages[size_t(index)];
    if (page.packed || page.data.isEmpty()) return;
    FPacker.submit(index, page.data);
}

void TfrxPreviewPages::takePacked(std::vector<PreparedPagePacker::Packed> done) {
    for (PreparedPagePacker::Packed& result : done) {
        if (result.page >= GetCount()) continue;
        PreparedPage& page = FPages[size_t(result.page)];
        // Written over or deleted meanwhile: that result is of no use.
        if (page.packed || !page.data.isSharedWith(result.entries)) continue;
        page.data = std::move(result.packed);
        page.packed = true;
    }
}

QByteArray TfrxPreviewPages::entriesOf(const PreparedPage& page) {
    if (!page.packed) return page.data;
    return frxUnpackEntries(page.data, page.size);
}

void TfrxPreviewPages::unpack(PreparedPage& page) {
    if (!page.packed) return;
    page.data = entriesOf(page);
    page.packed = false;
}

std::unique_ptr<TfrxReportPage> TfrxPreviewPages::rebuild(int index) {
    const PreparedPage& prepared = FPages[size_t(index)];
    const QByteArray entries = entriesOf(prepared);
    std::unique_ptr<TfrxReportPage> page = FSpare ? std::move(FSpare) : std::make_unique<TfrxReportPage>();
    frxAssignProperties(page.get(), FSourcePages[size_t(prepared.sourcePage)].get());
    page->SetLeft(0);
    page->SetTop(0);
    PreparedPageReader reader(entries, FValues);
    qsizetype position = 0;
    while (!reader.atEnd()) rebuildEntry(reader, page.get(), position++);
    dropChildrenFrom(page.get(), position);
    return page;
}

void TfrxPreviewPages::dropChildrenFrom(TfrxComponent* parent, qsizetype position) {
    while (parent->Objects().size() > position) delete parent->Objects().constLast();
}

// The entry becomes child `position` of parent: the component already there
// when it is of the same class (from a released page), else a new one.
void TfrxPreviewPages::rebuildEntry(PreparedPageReader& reader, TfrxComponent* parent,
                                    qsizetype position) {
    const auto damaged = [] { return Error(QStringLiteral("Prepared page data is damaged")); };
    const quint64 tag = reader.readNumber();
    const TfrxComponent* reference = nullptr;
    if (tag > 0) {
        if (tag > FSources.size()) throw damaged();
        reference = FSources[size_t(tag - 1)].copy;
    } else {
        const quint64 cls = reader.readNumber();
        if (cls >= quint64(FClassNames.size())) throw damaged();
        reference = &prototype(FClassNames[qsizetype(cls)]);
    }
    TfrxComponent* component = parent->Objects().value(position);
    if (!component || component->metaObject() != reference->metaObject()) {
        dropChildrenFrom(parent, position);
        component = frxCreateComponent(reference->ClassName(), parent);
        if (!component) throw damaged();
    }
    component->AssignPrepared(*reference);
    component->ReadPreparedDifferences(reader);
    if (TfrxPictureView* picture = component->asPicture()) {
        // The picture is not among the copied values: it comes from the cache.
        const quint64 image = reader.readNumber();
        if (image >= quint64(FPictures.size())) throw damaged();
        picture->SetPicture(FPictures[qsizetype(image)]);
        picture->ImageIndex = int(image);
    }
    const quint64 children = reader.readNumber();
    for (quint64 i = 0; i < children; ++i) rebuildEntry(reader, component, qsizetype(i));
    dropChildrenFrom(component, qsizetype(children));
}

QSizeF TfrxPreviewPages::GetPageSize(int index) const {
    if (index < 0 || index >= GetCount()) return {};
    const TfrxReportPage* source = FSourcePages[size_t(FPages[size_t(index)].sourcePage)].get();
    return {source->Width(), source->Height()};
}

}  // namespace qev
