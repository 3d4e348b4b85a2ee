// Layout and drawing of memos: measured and drawn by the text layout engine.

#include "report/DrawTextMemo.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxMemoView.h"

namespace qev {

double TfrxCustomMemoView::CalcWidth() {
    return memoCalcWidth(*this);
}

double TfrxCustomMemoView::CalcHeight() {
    return memoCalcHeight(*this);
}

void TfrxCustomMemoView::Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                              double offsetY) {
    memoDraw(*this, canvas, scaleX, scaleY, offsetX, offsetY);
}

void TfrxCustomMemoView::InitPart() {
    memoInitPart(*this, FPartMemo);
}

double TfrxCustomMemoView::DrawPart() {
    return memoDrawPart(*this, FPartMemo);
}

}  // namespace qev
