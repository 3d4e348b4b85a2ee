#include "report/TfrxView.h"

#include "report/TfrxDataSet.h"
#include "report/TfrxReport.h"
#include "report/frxBrackets.h"

#include <QPainter>

namespace qev {

QColor frxColor(int bgr) {
    if (bgr == clNone) return QColor(Qt::transparent);
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

TfrxView::TfrxView(QObject* owner) : TfrxReportComponent(owner) {
    FComponentStyle |= frx::csDefaultDiff;
}

void TfrxView::SetDataSet(TfrxDataSet* dataSet) {
    FDataSet = dataSet;
    FDataSetName = dataSet ? dataSet->UserName() : QString();
}

TfrxDataSet* TfrxView::DataSet() const {
    return FDataSet;
}

bool TfrxView::IsDataField() const {
    return FDataSet && !FDataField.isEmpty();
}

QString TfrxView::DataSetName() const {
    return FDataSet ? FDataSet->UserName() : FDataSetName;
}

void TfrxView::SetDataSetName(const QString& name) {
    FDataSetName = name;
    FDataSet = frxFindDataSet(FDataSet, name, Report());
}

void TfrxView::BeforePrint() {
    FSavedTagStr = TagStr;
    FSavedURL = URL;
}

void TfrxView::GetData() {
    // Most views have neither: the report is not looked for then.
    if (!TagStr.contains(u'[') && !URL.contains(u'[')) return;
    TfrxReport* report = Report();
    if (!report) return;
    auto calc = [report](const QString& expression) { return report->Calc(expression).toString(); };
    if (TagStr.contains(u'['))
        TagStr = frxExpandBrackets(TagStr, QStringLiteral("["), QStringLiteral("]"), calc);
    if (URL.contains(u'['))
        URL = frxExpandBrackets(URL, QStringLiteral("["), QStringLiteral("]"), calc);
}

void TfrxView::AfterPrint() {
    TagStr = FSavedTagStr;
    URL = FSavedURL;
}

void TfrxView::BeginDraw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                         double offsetY) {
    FCanvas = canvas;
    FScaleX = scaleX;
    FScaleY = scaleY;
    FOffsetX = offsetX;
    FOffsetY = offsetY;
    FX = AbsLeft() * scaleX + offsetX;
    FY = AbsTop() * scaleY + offsetY;
    FX1 = (AbsLeft() + Width()) * scaleX + offsetX;
    FY1 = (AbsTop() + Height()) * scaleY + offsetY;
    FDX = FX1 - FX;
    FDY = FY1 - FY;
}

void TfrxView::DrawBackground() {
    if (!FCanvas || Color() == clNone) return;
    FCanvas->fillRect(QRectF(FX, FY, FDX, FDY), frxColor(Color()));
}

void TfrxView::DrawFrame() {
    if (!FCanvas) return;
    auto side = [this](frx::TfrxFrameType type, const TfrxFrameLine& line, QLineF segment) {
        if (!FFrame.Has(type) || line.Color == clNone) return;
        QPen pen(frxColor(line.Color));
        pen.setWidthF(line.Width * FScaleX);
        FCanvas->setPen(pen);
        FCanvas->drawLine(segment);
    };
    side(frx::ftLeft, FFrame.LeftLine, QLineF(FX, FY, FX, FY1));
    side(frx::ftTop, FFrame.TopLine, QLineF(FX, FY, FX1, FY));
    side(frx::ftRight, FFrame.RightLine, QLineF(FX1, FY, FX1, FY1));
    side(frx::ftBottom, FFrame.BottomLine, QLineF(FX, FY1, FX1, FY1));
}

void TfrxView::Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                    double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    DrawBackground();
    DrawFrame();
}

}  // namespace qev
