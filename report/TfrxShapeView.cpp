#include "report/TfrxShapeView.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace qev {

TfrxShapeView::TfrxShapeView(QObject* owner) : TfrxView(owner) {
    FComponentStyle &= ~frx::TfrxComponentStyles(frx::csDefaultDiff);
}

void TfrxShapeView::Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
                         double offsetY) {
    BeginDraw(canvas, scaleX, scaleY, offsetX, offsetY);
    if (!canvas) return;
    canvas->save();
    if (Frame().Color() == clNone) {
        canvas->setPen(Qt::NoPen);
    } else {
        QPen pen(frxColor(Frame().Color()));
        pen.setWidthF(Frame().Width() * scaleX);
        canvas->setPen(pen);
    }
    canvas->setBrush(Color() == clNone ? QBrush(Qt::NoBrush) : QBrush(frxColor(Color())));
    const QRectF r(FX, FY, FDX, FDY);
    switch (Shape) {
        case frx::skRectangle:
            canvas->drawRect(r);
            break;
        case frx::skRoundRectangle: {
            const double radius = Curve > 0 ? Curve * scaleX : std::min(FDX, FDY) / 4;
            canvas->drawRoundedRect(r, radius, radius);
            break;
        }
        case frx::skEllipse:
            canvas->drawEllipse(r);
            break;
        case frx::skTriangle:
            canvas->drawPolygon(
                QPolygonF{{r.center().x(), r.top()}, r.bottomRight(), r.bottomLeft()});
            break;
        case frx::skDiamond:
            canvas->drawPolygon(QPolygonF{{r.center().x(), r.top()},
                                          {r.right(), r.center().y()},
                                          {r.center().x(), r.bottom()},
                                          {r.left(), r.center().y()}});
            break;
        case frx::skDiagonal1:
            canvas->drawLine(r.bottomLeft(), r.topRight());
            break;
        case frx::skDiagonal2:
            canvas->drawLine(r.topLeft(), r.bottomRight());
            break;
    }
    canvas->restore();
}

}  // namespace qev
