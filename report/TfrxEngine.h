#pragma once

#include "report/TfrxCustomEngine.h"

#include <QHash>
#include <QList>

#include <vector>

namespace qev {

class TfrxComponent;
class TfrxDataBand;
class TfrxDataSet;
class TfrxReportPage;

// Prepares a report: runs the report pages of the template against the data
// sets and writes each output band into the store of prepared pages.
//
// A page run starts a page (page header at the top), shows the null band on
// its first page, walks the band tree (one band per record, a new page when a
// band no longer fits above the page footer) and ends the page with the page
// footer at the bottom of the printable area. The last page first shows the
// report summary, on a new page when it does not fit. Memo texts are computed by the
// views' GetData as each band is output; views that may stretch are measured
// and the band grows with them. Pending window messages are handled at every
// page start and every record (frxProcessMessages).
//
// Not built beyond their stored settings: columns, keeping bands together,
// splitting a band across pages, groups, sub-reports, vertical bands,
// aggregates, outline and manual page building.
class TfrxEngine : public TfrxCustomEngine {
    Q_OBJECT

  public:
    TfrxEngine(TfrxReport* report, TfrxPreviewPages* previewPages);
    ~TfrxEngine() override;

    double GetPageHeight() override;
    void EndPage() override;
    void BreakAllKeep() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TfrxBand* band) override;
    void ShowBand(const QMetaObject& bandClass) override;
    double HeaderHeight() override;
    double FooterHeight() override;
    double FreeSpace() override;
    QVariant GetAggregateValue(const QString& name) override;
    bool Run() override;

  private:
    struct HeaderEntry {
        TfrxBand* band;
        double left;
        bool inKeep;
    };
    struct Geometry {
        TfrxComponent* component;
        double top;
        double height;
    };
    // What a band's output changed, to be put back afterwards.
    struct StretchState {
        std::vector<Geometry> saved;
        int objectCount = 0;
    };

    bool runPasses();
    void finalizeDataSets(QList<TfrxDataSet*>& initialized);
    void prepareBandTree(TfrxReportPage* page);
    void checkSameDataSets();
    void runReportPages();
    void runPage(TfrxReportPage* page);
    void showPage(TfrxReportPage* page);
    bool canShowPage(TfrxReportPage* page);
    void computePageSize(TfrxReportPage* page);
    void initPage();
    void addPage();
    void showNullBand();
    void showBandTree(const QList<TfrxBand*>& bands);
    void walkDataBand(TfrxDataBand* band);
    bool canShow(TfrxDataBand* band);
    void outputBand(TfrxBand* band);
    StretchState stretch(TfrxBand* band);
    void stretchViews(TfrxBand* band, StretchState& state);
    void unstretch(TfrxBand* band, const StretchState& state);
    double chainHeight(TfrxBand* band) const;
    void processMessages();
    void pageAdded();
    void setLine(int line, int lineThrough);
    bool terminated() const;
    static TfrxDataSet* dataSetOf(TfrxDataBand* band);

    TfrxReportPage* FPage = nullptr;
    QList<HeaderEntry> FHeaderList;
    bool FFirstPage = false;
    bool FLastPage = false;
    bool FCallFromAddPage = false;
    bool FCallFromEndPage = false;
    bool FIsPageHeader = false;
    double FPrevFooterHeight = 0;
    double FFirstColumnY = 0;
    TfrxBand* FStartNewPageBand = nullptr;
    TfrxBand* FLastBandOnPage = nullptr;
    TfrxBand* FCurBand = nullptr;
    int FChildDepth = 0;
    // Keeping state (keeping bands together is not built; the state is kept clear).
    bool FKeeping = false;
    double FKeepCurY = 0;
    TfrxBand* FKeepBand = nullptr;
    QHash<const TfrxReportPage*, QList<TfrxDataBand*>> FTopBands;
};

}  // namespace qev
