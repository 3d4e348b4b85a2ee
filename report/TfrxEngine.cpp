#include "report/TfrxEngine.h"

#include "report/ReportStorage.h"
#include "report/TfrxBand.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxEngineHooks.h"
#include "report/TfrxPage.h"
#include "report/TfrxPreviewPages.h"
#include "report/TfrxReport.h"
#include "report/TfrxStretcheable.h"

#include <QDateTime>

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

namespace qev {

namespace {

// Pages of endless height have this much room.
constexpr double endlessHeight = 1e6;
// A band that fills the free space exactly still fits.
constexpr double fitTolerance = 1e-6;
constexpr int maxChildChain = 100;

template <class T>
bool is(const QObject* object) {
    return object && object->inherits(T::staticMetaObject.className());
}

bool isTreeBand(const TfrxBand* band) {
    return is<TfrxDataBand>(band) || is<TfrxHeader>(band) || is<TfrxFooter>(band) ||
           is<TfrxGroupHeader>(band) || is<TfrxGroupFooter>(band);
}

int levelOf(const TfrxDataBand* band) {
    if (is<TfrxSubdetailData>(band)) return 3;
    if (is<TfrxDetailData>(band)) return 2;
    return 1;
}

QList<TfrxView*> viewsOf(const TfrxBand* band) {
    QList<TfrxView*> views;
    views.reserve(band->Objects().size());  // three times a band per row
    for (TfrxComponent* c : band->Objects())
        if (TfrxView* view = c->asView()) views.append(view);
    return views;
}

}  // namespace

TfrxEngine::TfrxEngine(TfrxReport* report, TfrxPreviewPages* previewPages)
    : TfrxCustomEngine(report, previewPages, report) {}

TfrxEngine::~TfrxEngine() = default;

// --- Run -------------------------------------------------------------------

bool TfrxEngine::Run() {
    FPrevFooterHeight = 0;
    PreviewPages->Initialize();
    PreviewPages->AddPageAction = apAdd;
    processMessages();
    const QDateTime now = QDateTime::currentDateTime();
    StartDate = now.date();
    StartTime = now.time();
    Report->RunState = TfrxRunState{};
    Report->RunState.StartDate = StartDate;
    Report->RunState.StartTime = StartTime;
    Running = true;
    FKeeping = false;

    QList<TfrxDataSet*> initialized;
    bool ok = false;
    std::exception_ptr failure;
    try {
        for (TfrxReportPage* page : Report->ReportPages()) prepareBandTree(page);
        checkSameDataSets();
        if (Report->Errors().isEmpty()) {
            for (const TfrxDataSetItem& item : Report->DataSets) {
                if (!item.DataSet) continue;
                item.DataSet->ReportRef = Report;
                initialized.append(item.DataSet);
                item.DataSet->Initialize();
            }
            ok = runPasses();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // Whatever happened, the data sets let go of their record sets and the
    // store ends the run.
    try {
        finalizeDataSets(initialized);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    PreviewPages->Finish();
    Running = false;
    // The template may be restored from its snapshot next; nothing of it is kept.
    FTopBands.clear();
    FHeaderList.clear();
    FPage = nullptr;
    FCurBand = FStartNewPageBand = FLastBandOnPage = nullptr;
    processMessages();
    if (failure) std::rethrow_exception(failure);
    return ok;
}

bool TfrxEngine::runPasses() {
    for (TfrxReportPage* page : Report->ReportPages()) PreviewPages->AddSourcePage(page);
    DoublePass = Report->EngineOptions.DoublePass;
    FinalPass = !DoublePass;
    TotalPages = 0;
    Report->RunState.TotalPages = 0;
    PreviewPages->BeginPass();
    runReportPages();
    if (DoublePass && !terminated()) {
        TotalPages = PreviewPages->GetCount();
        Report->RunState.TotalPages = TotalPages;
        PreviewPages->AddPageAction = apWriteOver;
        PreviewPages->CurPage = -1;
        FinalPass = true;
        PreviewPages->BeginPass();
        runReportPages();
    }
    return true;
}

void TfrxEngine::finalizeDataSets(QList<TfrxDataSet*>& initialized) {
    std::exception_ptr failure;
    for (TfrxDataSet* dataSet : initialized) {
        try {
            dataSet->Finalize();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    initialized.clear();
    if (failure) std::rethrow_exception(failure);
}

void TfrxEngine::checkSameDataSets() {
    TfrxDataSet* reportDataSet = Report->DataSet();
    for (TfrxReportPage* page : Report->ReportPages()) {
        if (reportDataSet && page->DataSet() == reportDataSet)
            Report->AddError(
                QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet"));
        for (TfrxComponent* c : page->Objects()) {
            auto* band = qobject_cast<TfrxDataBand*>(c);
            if (!band || !band->DataSet()) continue;
            if (band->DataSet() == reportDataSet)
                Report->AddError(QStringLiteral(
                    "Cannot use the same dataset for Report.DataSet and Band.DataSet"));
            if (band->DataSet() == page->DataSet())
                Report->AddError(QStringLiteral(
                    "Cannot use the same dataset for Page.DataSet and Band.DataSet"));
        }
    }
}

// --- Band tree -------------------------------------------------------------

// Data bands by Top, each attached to the band of the level above it; headers
// to the data band that follows them, footers to the one before them.
void TfrxEngine::prepareBandTree(TfrxReportPage* page) {
    computePageSize(page);
    QList<TfrxBand*> tree;
    for (TfrxComponent* c : page->Objects()) {
        auto* band = qobject_cast<TfrxBand*>(c);
        if (!band || band->Vertical) continue;
        band->SetWidth(PageWidth - band->Left());
        band->SubBands.clear();
        band->Header = band->Footer = band->Group = nullptr;
        if (isTreeBand(band)) tree.append(band);
    }
    // Tops compare as texts formatted "%9.2f", so bands within a hundredth of
    // a pixel keep their stored order.
    std::stable_sort(tree.begin(), tree.end(), [](const TfrxBand* a, const TfrxBand* b) {
        return QString::asprintf("%9.2f", a->Top()) < QString::asprintf("%9.2f", b->Top());
    });

    QList<TfrxDataBand*>& topLevel = FTopBands[page];
    topLevel.clear();
    TfrxDataBand* lastAtLevel[4] = {};
    TfrxDataBand* lastData = nullptr;
    QList<TfrxBand*> waitingHeaders;
    QList<TfrxBand*> openGroups;
    auto misplaced = [this](const TfrxBand* band) {
        Report->AddError(QStringLiteral("Incorrect band position:") + u' ' + band->Name());
    };

    for (TfrxBand* band : tree) {
        if (auto* data = qobject_cast<TfrxDataBand*>(band)) {
            for (TfrxBand* header : waitingHeaders) {
                if (is<TfrxGroupHeader>(header)) {
                    if (!data->Group) data->Group = header;
                } else {
                    data->Header = header;
                }
            }
            waitingHeaders.clear();
            const int level = levelOf(data);
            bool attached = false;
            if (level == 1) {
                attached = dataSetOf(data) != nullptr;
                if (attached) topLevel.append(data);
            } else if (TfrxDataBand* master = lastAtLevel[level - 1]) {
                master->SubBands.append(data);
                attached = true;
            }
            if (!attached) misplaced(data);
            lastAtLevel[level] = data;
            std::fill(lastAtLevel + level + 1, std::end(lastAtLevel), nullptr);
            lastData = data;
        } else if (is<TfrxHeader>(band) || is<TfrxGroupHeader>(band)) {
            waitingHeaders.append(band);
            if (is<TfrxGroupHeader>(band)) openGroups.append(band);
        } else if (is<TfrxFooter>(band)) {
            if (lastData && !lastData->Footer)
                lastData->Footer = band;
            else
                misplaced(band);
        } else if (is<TfrxGroupFooter>(band)) {
            if (!openGroups.isEmpty())
                openGroups.takeLast()->Footer = band;
            else
                misplaced(band);
        }
    }
    for (TfrxBand* header : waitingHeaders) misplaced(header);
}

TfrxDataSet* TfrxEngine::dataSetOf(TfrxDataBand* band) {
    if (band->DataSet()) return band->DataSet();
    return band->RowCount() > 0 ? band->VirtualDataSet() : nullptr;
}

// --- Pages -----------------------------------------------------------------

void TfrxEngine::runReportPages() {
    auto runAll = [this] {
        for (TfrxReportPage* page : Report->ReportPages()) {
            if (terminated()) break;
            if (page->Visible()) runPage(page);
        }
    };
    TfrxDataSet* reportDataSet = Report->DataSet();
    if (!reportDataSet) {
        runAll();
        return;
    }
    for (reportDataSet->First(); !reportDataSet->Eof() && !terminated(); reportDataSet->Next())
        runAll();
}

void TfrxEngine::runPage(TfrxReportPage* page) {
    FPage = page;
    if (TfrxDataSet* pageDataSet = page->DataSet()) {
        for (pageDataSet->First(); !pageDataSet->Eof() && !terminated(); pageDataSet->Next())
            showPage(page);
    } else {
        for (int i = 0; i < page->PageCount && !terminated(); ++i) showPage(page);
    }
}

bool TfrxEngine::canShowPage(TfrxReportPage* page) {
    if (Report->EngineOptions.PrintIfEmpty) return true;
    for (TfrxDataBand* band : FTopBands.value(page)) {
        TfrxDataSet* dataSet = dataSetOf(band);
        for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
            if (canShow(band)) return true;
    }
    return false;
}

void TfrxEngine::showPage(TfrxReportPage* page) {
    FPage = page;
    if (!canShowPage(page)) return;
    initPage();
    showNullBand();
    const QList<TfrxDataBand*> topLevel = FTopBands.value(page);
    showBandTree(QList<TfrxBand*>(topLevel.begin(), topLevel.end()));
    FLastPage = true;
    EndPage();
    FLastPage = false;
}

void TfrxEngine::computePageSize(TfrxReportPage* page) {
    PageWidth =
        page->PaperWidth() * fr01cm - page->LeftMargin * fr01cm - page->RightMargin * fr01cm;
    PageHeight =
        page->PaperHeight() * fr01cm - page->TopMargin * fr01cm - page->BottomMargin * fr01cm;
}

double TfrxEngine::GetPageHeight() {
    return PageHeight;
}

void TfrxEngine::initPage() {
    FHeaderList.clear();
    TfrxBand* title = FPage->FindBand<TfrxReportTitle>();
    TfrxBand* header = FPage->FindBand<TfrxPageHeader>();
    if (FPage->TitleBeforeHeader) {
        FHeaderList.append({title, 0, false});
        FHeaderList.append({header, 0, false});
    } else {
        FHeaderList.append({header, 0, false});
        FHeaderList.append({title, 0, false});
    }
    computePageSize(FPage);
    CurX = CurY = 0;
    CurColumn = 1;
    FFirstPage = true;
    FLastPage = false;

    if (FPage->PrintOnPreviousPage && PreviewPages->GetCount() > 0)
        CurY = PreviewPages->GetLastY();
    else
        addPage();

    if (TfrxBand* columnHeader = FPage->FindBand<TfrxColumnHeader>()) {
        ShowBand(columnHeader);
        FHeaderList.append({columnHeader, CurX, false});
    }
    // The title is shown on the first page of the run only.
    FHeaderList.removeIf([title](const HeaderEntry& e) { return e.band && e.band == title; });
}

void TfrxEngine::addPage() {
    FPrevFooterHeight = 0;
    PreviewPages->AddPage(FPage);
    pageAdded();
    processMessages();
    CurY = 0;
    FFirstColumnY = 0;
    if (TfrxBand* overlay = FPage->FindBand<TfrxOverlay>()) {
        ShowBand(overlay);
        CurY = 0;
    }
    const bool wasCalledFromAddPage = FCallFromAddPage;
    FCallFromAddPage = true;
    for (const HeaderEntry& entry : QList<HeaderEntry>(FHeaderList)) {
        TfrxBand* band = entry.band;
        if (!band || band == FStartNewPageBand) continue;
        auto* pageHeader = qobject_cast<TfrxPageHeader*>(band);
        if (pageHeader && FFirstPage && !pageHeader->PrintOnFirstPage) {
            if (!pageHeader->PrintChildIfInvisible || !pageHeader->ChildBand()) continue;
            band = pageHeader->ChildBand();
        }
        FIsPageHeader = pageHeader != nullptr;
        ShowBand(band);
        FIsPageHeader = false;
        if (pageHeader) FFirstColumnY = CurY;
    }
    FCallFromAddPage = wasCalledFromAddPage;
}

void TfrxEngine::pageAdded() {
    TfrxRunState& state = Report->RunState;
    state.PageNo = PreviewPages->CurPage + 1;
    state.Page = PreviewPages->GetLogicalPageNo();
    state.LogicalTotalPages = PreviewPages->GetLogicalTotalPages();
}

void TfrxEngine::showNullBand() {
    // A temporary band under the page (so that its views find the report),
    // holding copies of the objects placed on the page outside bands; the
    // copies record against those objects' source copies.
    std::unique_ptr<TfrxNullBand> band(new TfrxNullBand(FPage));
    band->SetName(QStringLiteral("_NullBand"));
    band->SetBounds(0, 0, PageWidth, PageHeight);
    for (TfrxComponent* c : FPage->Objects()) {
        if (qobject_cast<TfrxBand*>(c) || !qobject_cast<TfrxView*>(c)) continue;
        TfrxComponent* copy = frxCreateComponent(c->ClassName(), band.get());
        frxAssignProperties(copy, c);
        PreviewPages->LinkSource(copy, c);
    }
    const double y = CurY;
    ShowBand(band.get());
    CurY = y;
}

void TfrxEngine::NewColumn() {
    // One column: a new column is a new page.
    if (CurColumn >= FPage->Columns) {
        NewPage();
        return;
    }
    ++CurColumn;
    CurY = FFirstColumnY;
}

void TfrxEngine::NewPage() {
    BreakAllKeep();
    FLastBandOnPage = FCurBand;
    // Another page follows, so the page ended here is not the last one, even
    // when the report summary of the last page is what did not fit on it.
    const bool lastPage = std::exchange(FLastPage, false);
    EndPage();
    FLastPage = lastPage;
    addPage();
    FLastBandOnPage = nullptr;
    FKeeping = false;
    FKeepBand = nullptr;
}

void TfrxEngine::BreakAllKeep() {
    FKeeping = false;
    FKeepBand = nullptr;
    FKeepCurY = 0;
}

void TfrxEngine::EndPage() {
    const bool wasCalledFromEndPage = FCallFromEndPage;
    FCallFromEndPage = true;
    if (TfrxBand* columnFooter = FPage->FindBand<TfrxColumnFooter>()) ShowBand(columnFooter);
    if (!FLastPage) {
        CurX = 0;
        CurColumn = 1;
    } else if (!wasCalledFromEndPage) {
        if (TfrxBand* summary = FPage->FindBand<TfrxReportSummary>()) ShowBand(summary);
    }
    if (auto* footer = FPage->FindBand<TfrxPageFooter>()) {
        CurY = PageHeight - footer->Height();
        FPrevFooterHeight = FLastPage && footer->PrintOnLastPage ? footer->Height() : 0;
        const bool skipped =
            (FFirstPage && !footer->PrintOnFirstPage) || (FLastPage && !footer->PrintOnLastPage);
        if (!skipped) {
            const StretchState state = stretch(footer);
            footer->SetLeft(0);
            footer->SetTop(CurY);
            if (footer->Visible() && !PreviewPages->BandExists(footer))
                PreviewPages->AddObject(footer);
            CurY += footer->Height();
            unstretch(footer, state);
        }
    }
    FFirstPage = false;
    FCallFromEndPage = wasCalledFromEndPage;
}

// --- Data bands ------------------------------------------------------------

void TfrxEngine::showBandTree(const QList<TfrxBand*>& bands) {
    processMessages();
    if (terminated()) return;
    for (TfrxBand* band : bands) {
        if (terminated()) return;
        if (auto* dataBand = qobject_cast<TfrxDataBand*>(band)) walkDataBand(dataBand);
    }
}

void TfrxEngine::walkDataBand(TfrxDataBand* band) {
    TfrxDataSet* dataSet = dataSetOf(band);
    if (!dataSet) return;
    dataSet->First();
    band->LineN = 1;
    band->LineThrough = 1;
    band->CurColumn = 1;
    bool shownAny = false;
    while (!dataSet->Eof()) {
        if (canShow(band)) {
            if (!shownAny) {
                shownAny = true;
                if (band->Header) {
                    FHeaderList.append({band->Header, CurX, false});
                    ShowBand(band->Header);
                }
            }
            setLine(band->LineN, band->LineThrough);
            ShowBand(band);
            ++band->LineN;
            ++band->LineThrough;
            showBandTree(band->SubBands);
            if (band->FooterAfterEach && band->Footer) ShowBand(band->Footer);
        }
        dataSet->Next();
        if ((band->RowCount() > 0 && band->LineN > band->RowCount()) || terminated()) break;
    }
    if (shownAny) {
        if (band->Footer && !band->FooterAfterEach) ShowBand(band->Footer);
        if (band->Header)
            FHeaderList.removeIf(
                [header = band->Header.data()](const HeaderEntry& e) { return e.band == header; });
    }
}

bool TfrxEngine::canShow(TfrxDataBand* band) {
    if (band->SubBands.isEmpty() || band->PrintIfDetailEmpty) return true;
    for (TfrxBand* sub : band->SubBands) {
        auto* detail = qobject_cast<TfrxDataBand*>(sub);
        TfrxDataSet* dataSet = detail ? dataSetOf(detail) : nullptr;
        if (!dataSet) continue;
        dataSet->First();
        if (!dataSet->Eof()) return true;
    }
    return false;
}

void TfrxEngine::setLine(int line, int lineThrough) {
    CurLine = line;
    CurLineThrough = lineThrough;
    Report->RunState.CurLine = line;
    Report->RunState.CurLineThrough = lineThrough;
}

// --- Showing a band --------------------------------------------------------

void TfrxEngine::ShowBand(const QMetaObject& bandClass) {
    if (FPage) ShowBand(FPage->FindBand(bandClass));
}

void TfrxEngine::ShowBand(TfrxBand* band) {
    if (!band) return;
    outputBand(band);
    TfrxBand* child = band->ChildBand();
    // A chain of child bands that loops back is cut off.
    if (!child || FChildDepth > maxChildChain || !(band->Visible() || band->PrintChildIfInvisible))
        return;
    ++FChildDepth;
    ShowBand(child);
    --FChildDepth;
}

void TfrxEngine::outputBand(TfrxBand* band) {
    auto* dataBand = qobject_cast<TfrxDataBand*>(band);
    const bool firstRecord = (dataBand && dataBand->LineN <= 1) || is<TfrxGroupHeader>(band);
    if (band->Visible() && band->StartNewPage && !FCallFromAddPage && !firstRecord) {
        FStartNewPageBand = band;
        NewPage();
        FStartNewPageBand = nullptr;
    }

    const StretchState state = stretch(band);
    const bool nullBand = is<TfrxNullBand>(band);
    if (band->Visible()) {
        if (!nullBand && !is<TfrxOverlay>(band) && FreeSpace() + fitTolerance < band->Height()) {
            const bool tooTall = band->Height() > PageHeight - FooterHeight();
            // Splitting a band across pages is not built: a band taller than
            // the page goes on a page of its own and runs over its bottom.
            const bool pageIsFresh = CurY <= FFirstColumnY + fitTolerance;
            const bool childOfPageHeader = is<TfrxChild>(band) && FIsPageHeader;
            if (!(tooTall && pageIsFresh) && !childOfPageHeader) NewColumn();
        }
        if (!nullBand) {
            band->SetLeft(CurX);
            band->SetTop(CurY);
        }
        if (!FCallFromAddPage || !PreviewPages->BandExists(band)) PreviewPages->AddObject(band);
        CurY += band->Height();
    }
    unstretch(band, state);
}

// Computes the views' data and lets stretchable views and the band grow.
TfrxEngine::StretchState TfrxEngine::stretch(TfrxBand* band) {
    FCurBand = band;
    StretchState state;
    state.objectCount = int(band->Objects().size());
    band->OriginalObjectsCount = state.objectCount;
    Report->CurObject = band->Name();
    band->BeforePrint();
    for (TfrxView* view : viewsOf(band)) {
        Report->CurObject = view->Name();
        view->BeforePrint();
        if (band->Visible() && view->Visible()) view->GetData();
    }
    if (band->Visible()) stretchViews(band, state);
    return state;
}

void TfrxEngine::stretchViews(TfrxBand* band, StretchState& state) {
    const QList<TfrxView*> views = viewsOf(band);
    const auto stretches = [](TfrxView* view) {
        auto* s = qobject_cast<TfrxStretcheable*>(view);
        return s && view->Visible() && s->StretchMode() != frx::smDontStretch ? s : nullptr;
    };
    if (!band->Stretched && std::none_of(views.begin(), views.end(), stretches)) return;

    state.saved.push_back({band, band->Top(), band->Height()});
    for (TfrxView* view : views) state.saved.push_back({view, view->Top(), view->Height()});

    // Views grow to their content; a view then moves down by the growth of
    // the views above it that overlap it horizontally (smAlways), or only as
    // far as needed not to be overlapped (smWhenOverlapped).
    QList<TfrxView*> byTop = views;
    std::stable_sort(byTop.begin(), byTop.end(),
                     [](TfrxView* a, TfrxView* b) { return a->Top() < b->Top(); });
    QHash<TfrxView*, double> originalTop, originalBottom;
    for (TfrxView* view : views) {
        originalTop.insert(view, view->Top());
        originalBottom.insert(view, view->Top() + view->Height());
        if (TfrxStretcheable* s = stretches(view)) {
            const double needed = s->CalcHeight();
            if (needed > view->Height()) view->SetHeight(needed);
        }
    }
    for (TfrxView* view : byTop) {
        if (view->ShiftMode() == frx::smDontShift) continue;
        double shift = 0;
        for (TfrxView* above : byTop) {
            if (above == view || originalBottom[above] > originalTop[view] + fitTolerance) continue;
            const bool overlaps = above->Left() < view->Left() + view->Width() &&
                                  view->Left() < above->Left() + above->Width();
            if (!overlaps) continue;
            const double newBottom = above->Top() + above->Height();
            if (view->ShiftMode() == frx::smAlways)
                shift = std::max(shift, newBottom - originalBottom[above]);
            else
                shift = std::max(shift, newBottom - originalTop[view]);
        }
        if (shift > 0) view->SetTop(originalTop[view] + shift);
    }
    if (band->Stretched) {
        double bottom = 0;
        for (TfrxView* view : views)
            if (view->Visible()) bottom = std::max(bottom, view->Top() + view->Height());
        if (!views.isEmpty()) band->SetHeight(bottom);
    }
    for (TfrxView* view : views)
        if (TfrxStretcheable* s = stretches(view); s && s->StretchMode() == frx::smMaxHeight)
            view->SetHeight(band->Height() - view->Top());
}

// Puts back the texts and sizes the output changed and frees views added to
// the band meanwhile.
void TfrxEngine::unstretch(TfrxBand* band, const StretchState& state) {
    for (TfrxView* view : viewsOf(band)) view->AfterPrint();
    band->AfterPrint();
    while (band->Objects().size() > state.objectCount) delete band->Objects().constLast();
    band->OriginalObjectsCount = -1;
    for (const Geometry& g : state.saved) {
        g.component->SetTop(g.top);
        g.component->SetHeight(g.height);
    }
}

// --- Space -----------------------------------------------------------------

double TfrxEngine::chainHeight(TfrxBand* band) const {
    double height = 0;
    for (int guard = 0; band && guard < maxChildChain; band = band->ChildBand(), ++guard)
        height += band->Height();
    return height;
}

double TfrxEngine::HeaderHeight() {
    if (!FPage) return 0;
    return chainHeight(FPage->FindBand<TfrxColumnHeader>()) +
           chainHeight(FPage->FindBand<TfrxPageHeader>());
}

double TfrxEngine::FooterHeight() {
    if (!FPage) return 0;
    double height = 0;
    if (TfrxBand* columnFooter = FPage->FindBand<TfrxColumnFooter>())
        height += columnFooter->Height();
    if (TfrxBand* pageFooter = FPage->FindBand<TfrxPageFooter>()) height += pageFooter->Height();
    return height;
}

double TfrxEngine::FreeSpace() {
    if (FPage && FPage->EndlessHeight) return endlessHeight;
    if (FPrevFooterHeight != 0) return PageHeight - FPrevFooterHeight - CurY;
    return PageHeight - FooterHeight() - CurY;
}

QVariant TfrxEngine::GetAggregateValue(const QString&) {
    return {};
}

// --- Helpers ---------------------------------------------------------------

void TfrxEngine::processMessages() {
    if (!Report->EngineOptions.EnableThreadSafe) frxProcessMessages();
}

bool TfrxEngine::terminated() const {
    return Report->Terminated;
}

}  // namespace qev
