#include "report/TfrxPage.h"

#include "report/PaperSizes.h"
#include "report/TfrxBand.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxReport.h"

#include <cmath>
#include <cstring>

namespace qev {

namespace {

double roundTo8Decimals(double mm) {
    return std::nearbyint(mm * 1e8) / 1e8;
}

}  // namespace

TfrxReportPage::TfrxReportPage(QObject* owner) : TfrxPage(owner) {
    updateSize();
}

void TfrxReportPage::updateSize() {
    SetWidth(std::nearbyint(FPaperWidth * fr01cm));
    SetHeight(std::nearbyint(FPaperHeight * fr01cm));
}

void TfrxReportPage::SetOrientation(frx::TPrinterOrientation value) {
    if (value == FOrientation) return;
    FOrientation = value;
    std::swap(FPaperWidth, FPaperHeight);
    updateSize();
}

void TfrxReportPage::SetPaperWidth(double mm) {
    FPaperWidth = roundTo8Decimals(mm);
    FPaperSize = 256;
    updateSize();
}

void TfrxReportPage::SetPaperHeight(double mm) {
    FPaperHeight = roundTo8Decimals(mm);
    FPaperSize = 256;
    updateSize();
}

void TfrxReportPage::SetPaperSize(int code) {
    FPaperSize = code;
    if (code < 256) {
        if (const auto paper = paperDimensions(code)) {
            FPaperWidth = paper->width;
            FPaperHeight = paper->height;
            if (FOrientation == frx::poLandscape) std::swap(FPaperWidth, FPaperHeight);
        }
    }
    updateSize();
}

void TfrxReportPage::SetDefaults() {
    LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
    SetPaperSize(9);
}

void TfrxReportPage::SetDataSet(TfrxDataSet* dataSet) {
    FDataSet = dataSet;
    FDataSetName = dataSet ? dataSet->UserName() : QString();
}

TfrxDataSet* TfrxReportPage::DataSet() const {
    return FDataSet;
}

QString TfrxReportPage::DataSetName() const {
    return FDataSet ? FDataSet->UserName() : FDataSetName;
}

void TfrxReportPage::SetDataSetName(const QString& name) {
    FDataSetName = name;
    FDataSet = frxFindDataSet(FDataSet, name, Report());
}

TfrxBand* TfrxReportPage::FindBand(const QMetaObject& bandClass) const {
    for (TfrxComponent* c : Objects())
        if (c->metaObject()->inherits(&bandClass)) return qobject_cast<TfrxBand*>(c);
    return nullptr;
}

bool TfrxReportPage::IsStoredProperty(const char* name) const {
    // Width and Height follow from the paper.
    return std::strcmp(name, "Width") != 0 && std::strcmp(name, "Height") != 0;
}

TfrxDataPage::TfrxDataPage(QObject* owner) : TfrxPage(owner) {
    SetWidth(1000);
    SetHeight(1000);
}

}  // namespace qev
