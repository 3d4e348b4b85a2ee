// Draws the company logo of the statement letterhead: a 196 x 89 bitmap with a
// navy panel holding a white stacked-boxes mark and the "KORVU" word mark, a
// thin aqua rule and the word "DISTRIBUIDORA" underneath.
// Build once: g++ -std=c++20 -fPIC make_logo.cpp $(pkg-config --cflags --libs Qt6Gui) -o make_logo
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QImage image(196, 89, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor navy(16, 42, 94), aqua(0, 190, 200);
    QPainterPath panel;
    panel.addRoundedRect(QRectF(2, 2, 192, 62), 8, 8);
    p.fillPath(panel, navy);
    // Three stacked boxes.
    p.setPen(QPen(navy, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 34, 20, 20));
    p.drawRect(QRectF(34, 34, 20, 20));
    p.drawRect(QRectF(23, 12, 20, 20));
    p.setPen(QPen(aqua, 2));
    for (QRectF box : {QRectF(12, 34, 20, 20), QRectF(34, 34, 20, 20), QRectF(23, 12, 20, 20)})
        p.drawLine(QPointF(box.left() + 4, box.top() + 6), QPointF(box.right() - 4, box.top() + 6));
    QFont word("Liberation Sans", 30, QFont::Bold);
    word.setPixelSize(36);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(word);
    p.setPen(Qt::white);
    p.drawText(QRectF(60, 6, 132, 52), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("KORVU"));
    p.fillRect(QRectF(2, 68, 192, 3), aqua);
    QFont small("Liberation Sans");
    small.setPixelSize(14);
    small.setBold(true);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(small);
    p.setPen(navy);
    p.drawText(QRectF(0, 72, 196, 17), Qt::AlignCenter, QStringLiteral("DISTRIBUIDORA"));
    p.end();
    return image.save(argv[1], "BMP") ? 0 : 1;
}
