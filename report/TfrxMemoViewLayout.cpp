// Layout and drawing of memos. These defaults keep the template size and paint
// only fill and frame; the text layout engine replaces them with measured text.

#include "report/TfrxMemoView.h"

namespace qev {

double TfrxCustomMemoView::CalcWidth() {
    return Width();
}

double TfrxCustomMemoView::CalcHeight() {
    return Height();
}

void TfrxCustomMemoView::Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                              double offsetY) {
    TfrxStretcheable::Draw(canvas, scaleX, scaleY, offsetX, offsetY);
}

}  // namespace qev
