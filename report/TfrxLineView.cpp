#include "report/TfrxLineView.h"

#include <QPainter>

namespace qev {

TfrxCustomLineView::TfrxCustomLineView(QObject* owner) : TfrxStretcheable(owner) {
    FComponentStyle &= ~frx::TfrxComponentStyles(frx::csDefaultDiff);
}

void TfrxCustomLineView::Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                              double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas || Frame().Color() == clNone) return;
    QPen pen(frxColor(Frame().Color()));
    pen.setWidthF(Frame().Width() * scaleX);
    canvas->setPen(pen);
    if (Diagonal)
        canvas->drawLine(QLineF(FX, FY, FX1, FY1));
    else if (Height() == 0)
        canvas->drawLine(QLineF(FX, FY, FX1, FY));
    else
        canvas->drawLine(QLineF(FX, FY, FX, FY1));
}

}  // namespace qev
