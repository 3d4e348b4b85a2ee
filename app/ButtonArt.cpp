#include "app/ButtonArt.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qev {

namespace {

// Every picture is drawn on a 100 by 100 grid, scaled to the requested rectangle.
constexpr qreal Grid = 100.0;

const QColor Outline(40, 40, 48);

QLinearGradient verticalGradient(const QColor& top, const QColor& bottom, qreal from, qreal to) {
    QLinearGradient gradient(0, from, 0, to);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QPainterPath triangle(qreal tipX, qreal baseX) {
    QPainterPath path;
    path.moveTo(baseX, 22);
    path.lineTo(tipX, 50);
    path.lineTo(baseX, 78);
    path.closeSubpath();
    return path;
}

void fillArrowShape(QPainter& p, const QPainterPath& path) {
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(verticalGradient(QColor(96, 170, 255), QColor(18, 84, 178), 20, 80));
    p.drawPath(path);
}

QPainterPath bar(qreal left) {
    QPainterPath path;
    path.addRoundedRect(QRectF(left, 22, 11, 56), 2, 2);
    return path;
}

void drawFirst(QPainter& p) {
    fillArrowShape(p, bar(16).united(triangle(30, 82)));
}
void drawPrevious(QPainter& p) {
    fillArrowShape(p, triangle(22, 74));
}
void drawNext(QPainter& p) {
    fillArrowShape(p, triangle(78, 26));
}
void drawLast(QPainter& p) {
    fillArrowShape(p, bar(73).united(triangle(70, 18)));
}

// A sheet with lines of text and a magnifier: the supplier list.
void drawSupplierList(QPainter& p) {
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(252, 252, 246));
    p.drawRoundedRect(QRectF(18, 10, 56, 76), 4, 4);
    p.setPen(QPen(QColor(70, 90, 130), 4, Qt::SolidLine, Qt::RoundCap));
    for (qreal y = 26; y <= 66; y += 10) p.drawLine(QPointF(28, y), QPointF(64, y));
    p.setPen(QPen(Outline, 3));
    p.setBrush(QColor(190, 225, 255, 200));
    p.drawEllipse(QPointF(62, 62), 15, 15);
    p.setPen(QPen(QColor(120, 70, 20), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(73, 73), QPointF(88, 88));
}

void drawPrint(QPainter& p) {
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // Paper going in at the back.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(28, 10, 44, 34));
    // The printer body.
    p.setBrush(verticalGradient(QColor(200, 204, 214), QColor(110, 116, 130), 38, 74));
    p.drawRoundedRect(QRectF(10, 38, 80, 36), 6, 6);
    p.setBrush(QColor(60, 200, 90));
    p.drawEllipse(QPointF(78, 48), 3.5, 3.5);
    // The printed page coming out, with lines of text.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(26, 60, 48, 30));
    p.setPen(QPen(QColor(90, 90, 110), 3, Qt::SolidLine, Qt::RoundCap));
    for (qreal y = 69; y <= 83; y += 7) p.drawLine(QPointF(33, y), QPointF(67, y));
}

// An arrow pointing right: a shaft from `left` to `neck`, a head to `tip`.
QPainterPath rightArrow(qreal left, qreal neck, qreal tip, qreal centreY, qreal shaftHalf,
                        qreal headHalf) {
    QPainterPath arrow;
    arrow.moveTo(left, centreY - shaftHalf);
    arrow.lineTo(neck, centreY - shaftHalf);
    arrow.lineTo(neck, centreY - headHalf);
    arrow.lineTo(tip, centreY);
    arrow.lineTo(neck, centreY + headHalf);
    arrow.lineTo(neck, centreY + shaftHalf);
    arrow.lineTo(left, centreY + shaftHalf);
    arrow.closeSubpath();
    return arrow;
}

// An envelope with its flap closed and a green arrow: sent.
void drawMail(QPainter& p) {
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(verticalGradient(QColor(255, 252, 236), QColor(232, 222, 190), 24, 80));
    p.drawRoundedRect(QRectF(8, 24, 72, 54), 3, 3);
    QPainterPath flap;
    flap.moveTo(9, 26);
    flap.lineTo(44, 56);
    flap.lineTo(79, 26);
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    p.drawLine(QPointF(10, 76), QPointF(34, 50));
    p.drawLine(QPointF(78, 76), QPointF(54, 50));
    p.setBrush(verticalGradient(QColor(120, 220, 120), QColor(20, 140, 40), 56, 88));
    p.drawPath(rightArrow(62, 78, 94, 72, 6, 16));
}

// A sheet of cells with a green heading and a green arrow: the statement taken
// out to a spreadsheet.
void drawExport(QPainter& p) {
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(252, 252, 246));
    p.drawRoundedRect(QRectF(8, 12, 62, 74), 3, 3);
    p.setBrush(QColor(33, 115, 70));
    p.drawRect(QRectF(8, 12, 62, 14));
    p.setPen(QPen(QColor(120, 150, 130), 2));
    for (qreal y = 40; y <= 72; y += 14) p.drawLine(QPointF(10, y), QPointF(68, y));
    for (qreal x = 28; x <= 50; x += 22) p.drawLine(QPointF(x, 27), QPointF(x, 84));
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(verticalGradient(QColor(120, 220, 120), QColor(20, 140, 40), 54, 86));
    p.drawPath(rightArrow(54, 74, 94, 70, 6, 16));
}

// An open door with an arrow leaving through it.
void drawExit(QPainter& p) {
    p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(120, 76, 40));
    p.drawRect(QRectF(14, 10, 46, 80));
    QPainterPath door;
    door.moveTo(14, 10);
    door.lineTo(40, 18);
    door.lineTo(40, 94);
    door.lineTo(14, 90);
    door.closeSubpath();
    p.setBrush(verticalGradient(QColor(210, 150, 90), QColor(160, 100, 50), 10, 94));
    p.drawPath(door);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(34, 54), 3, 3);
    p.setBrush(verticalGradient(QColor(255, 110, 90), QColor(190, 20, 20), 32, 68));
    p.drawPath(rightArrow(50, 72, 92, 50, 6, 18));
}

void drawPicture(QPainter& p, ButtonPicture picture) {
    switch (picture) {
        case ButtonPicture::First:
            return drawFirst(p);
        case ButtonPicture::Previous:
            return drawPrevious(p);
        case ButtonPicture::Next:
            return drawNext(p);
        case ButtonPicture::Last:
            return drawLast(p);
        case ButtonPicture::SupplierList:
            return drawSupplierList(p);
        case ButtonPicture::Print:
            return drawPrint(p);
        case ButtonPicture::Mail:
            return drawMail(p);
        case ButtonPicture::Export:
            return drawExport(p);
        case ButtonPicture::Exit:
            return drawExit(p);
    }
}

class ButtonIconEngine : public QIconEngine {
  public:
    explicit ButtonIconEngine(ButtonPicture picture) : picture_(picture) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal side = qMin(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2.0,
                           rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / Grid, side / Grid);
        if (mode == QIcon::Disabled) painter->setOpacity(0.4);
        drawPicture(*painter, picture_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // The size asked for is already in device pixels.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QIconEngine* clone() const override { return new ButtonIconEngine(picture_); }
    QString key() const override { return QStringLiteral("qev-button-art"); }

  private:
    ButtonPicture picture_;
};

}  // namespace

QIcon buttonIcon(ButtonPicture picture) {
    return QIcon(new ButtonIconEngine(picture));
}

}  // namespace qev
