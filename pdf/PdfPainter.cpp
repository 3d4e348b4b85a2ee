#include "pdf/PdfPainter.h"

#include "pdf/PdfImages.h"
#include "pdf/PdfNumbers.h"
#include "pdf/PdfWriter.h"

#include <QPainter>

#include <cmath>

namespace qev {

namespace {

int rnd(double value) {
    return int(std::nearbyint(value));
}
QByteArray num(double value) {
    return frFloat2Str(value);
}

}  // namespace

QByteArray PdfPainter::point(double x, double y) const {
    return num(x) + " " + num(y);
}

PdfPainter::Edges PdfPainter::edges(const PdfViewBox& box) const {
    return {num(w.GetLeft(box.AbsLeft)),
            num(w.GetTop(box.AbsTop)),
            num(w.GetLeft(box.AbsLeft + box.Width)),
            num(w.GetTop(box.AbsTop + box.Height)),
            num(box.Width * 0.75),
            num(box.Height * 0.75)};
}

void PdfPainter::arrow(double tipX, double tipY, double fromX, double fromY, const PdfFrame& frame,
                       double length, double width, bool solid) {
    const double dx = tipX - fromX, dy = tipY - fromY;
    const double len = std::hypot(dx, dy);
    if (len <= 0) return;
    const double ux = dx / len, uy = dy / len;
    const double backX = tipX - ux * length * 0.75, backY = tipY - uy * length * 0.75;
    const double side = width * 0.75;
    w.line(GetPDFDash(frame.Style, frame.Width));
    w.line(point(backX - uy * side, backY + ux * side) + " m " + point(tipX, tipY) + " l " +
           point(backX + uy * side, backY - ux * side) + " l");
    if (solid) {
        w.line("1 j");
        w.line(w.colors().GetPDFColor(frame.Color) + " rg");
        w.line("b");
    } else {
        w.line("S");
    }
}

void PdfPainter::drawLine(const PdfViewBox& box, const PdfFrame& frame, bool arrowStart,
                          bool arrowEnd, double arrowLength, double arrowWidth, bool arrowSolid) {
    const Edges e = edges(box);
    w.line(GetPDFDash(frame.Style, frame.Width));
    w.line(w.colors().GetPDFColor(frame.Color) + " RG");
    w.line(num(frame.Width * 0.75) + " w");
    w.line(e.Left + " " + e.Top + " m");
    w.line(e.Right + " " + e.Bottom + " l");
    w.line("S");
    const double x1 = w.GetLeft(box.AbsLeft), y1 = w.GetTop(box.AbsTop);
    const double x2 = w.GetLeft(box.AbsLeft + box.Width), y2 = w.GetTop(box.AbsTop + box.Height);
    if (arrowStart) arrow(x1, y1, x2, y2, frame, arrowLength, arrowWidth, arrowSolid);
    if (arrowEnd) arrow(x2, y2, x1, y1, frame, arrowLength, arrowWidth, arrowSolid);
}

void PdfPainter::drawShape(const PdfViewBox& box, const PdfFrame& frame, quint32 color,
                           PdfShapeKind kind, double curve) {
    const Edges e = edges(box);
    w.line(GetPDFDash(frame.Style, frame.Width));
    w.line(w.colors().GetPDFColor(frame.Color) + " RG");
    w.line(num(frame.Width * 0.75) + " w");
    const bool diagonal = kind == PdfShapeKind::Diagonal1 || kind == PdfShapeKind::Diagonal2;
    if (!diagonal) w.line(w.colors().GetPDFColor(color) + " rg");
    const QByteArray close = color == pdfColorNone ? "S" : "B";

    const double l = box.AbsLeft, t = box.AbsTop, r = box.AbsLeft + box.Width,
                 b = box.AbsTop + box.Height;
    const double cx = l + box.Width / 2, cy = t + box.Height / 2;
    auto p = [this](double x, double y) { return point(w.GetLeft(x), w.GetTop(y)); };
    switch (kind) {
        case PdfShapeKind::Rectangle:
            w.line(e.Left + " " + e.Bottom + " ");
            w.line(e.Width + " " + e.Height + " re");
            break;
        case PdfShapeKind::RoundRectangle: {
            const double rad = curve == 0 ? 7.48 : curve * 3.74;
            const double h = rad / 2;
            w.line(p(l + rad, b) + " m");
            w.line(p(r - rad, b) + " l");
            w.line(p(r - h, b) + " " + p(r, b - h) + " " + p(r, b - rad) + " c");
            w.line(p(r, t + rad) + " l");
            w.line(p(r, t + h) + " " + p(r - h, t) + " " + p(r - rad, t) + " c");
            w.line(p(l + rad, t) + " l");
            w.line(p(l + h, t) + " " + p(l, t + h) + " " + p(l, t + rad) + " c");
            w.line(p(l, b - rad) + " l");
            w.line(p(l, b - h) + " " + p(l + h, b) + " " + p(l + rad, b) + " c");
            break;
        }
        case PdfShapeKind::Ellipse: {
            const double hw = box.Width / 2, hh = box.Height / 2;
            const double kx = 0.5522847498 * hw, ky = 0.5522847498 * hh;
            w.line(p(r, cy) + " m");
            w.line(p(r, cy + ky) + " " + p(cx + kx, b) + " " + p(cx, b) + " c");
            w.line(p(cx - kx, b) + " " + p(l, cy + ky) + " " + p(l, cy) + " c");
            w.line(p(l, cy - ky) + " " + p(cx - kx, t) + " " + p(cx, t) + " c");
            w.line(p(cx + kx, t) + " " + p(r, cy - ky) + " " + p(r, cy) + " c");
            break;
        }
        case PdfShapeKind::Triangle:
            w.line(p(cx, t) + " m " + p(r, b) + " l " + p(l, b) + " l " + p(cx, t) + " l");
            break;
        case PdfShapeKind::Diamond:
            w.line(p(cx, t) + " m " + p(r, cy) + " l " + p(cx, b) + " l " + p(l, cy) + " l " +
                   p(cx, t) + " l");
            break;
        case PdfShapeKind::Diagonal1:
            w.line(e.Left + " " + e.Bottom + " m");
            w.line(e.Right + " " + e.Top + " l");
            break;
        case PdfShapeKind::Diagonal2:
            w.line(e.Left + " " + e.Top + " m");
            w.line(e.Right + " " + e.Bottom + " l");
            break;
    }
    w.line(diagonal ? QByteArray("S") : close);
}

void PdfPainter::MakeUpFrames(const PdfViewBox& box, const Edges& e, const PdfFrame& frame) {
    Q_UNUSED(box);
    if (!frame.any() || frame.Color == pdfColorNone) return;
    w.line(w.colors().GetPDFColor(frame.Color) + " RG");
    auto side = [this](const PdfFrameLine& line, const QByteArray& from, const QByteArray& to) {
        w.line(w.colors().GetPDFColor(line.Color) + " RG");
        w.line(GetPDFDash(line.Style, line.Width));
        w.line(num(line.Width * 0.75) + " w");
        w.line(from + " m");
        w.line(to + " l");
        w.line("S");
    };
    if (frame.Top) side(frame.TopLine, e.Left + " " + e.Top, e.Right + " " + e.Top);
    if (frame.Right) side(frame.RightLine, e.Right + " " + e.Top, e.Right + " " + e.Bottom);
    if (frame.Bottom) side(frame.BottomLine, e.Left + " " + e.Bottom, e.Right + " " + e.Bottom);
    if (frame.Left) side(frame.LeftLine, e.Left + " " + e.Top, e.Left + " " + e.Bottom);
}

void PdfPainter::drawMemo(const PdfMemo& memo, PdfTextLayout& layout) {
    const PdfViewBox& box = memo.box;
    const PdfFrame& frame = memo.frame;
    // Most memos have neither fill nor frame: their edge texts are not needed.
    const bool framed = frame.any() && frame.Color != pdfColorNone;
    const bool needsEdges =
        frame.DropShadow || memo.Color != pdfColorNone || framed || memo.Underlines;
    Edges e = needsEdges ? edges(box) : Edges{};
    w.line("q");
    const double f = frame.Width;
    w.lineOf(w.GetLeft(box.AbsLeft - f), " ", w.GetTop(box.AbsTop + box.Height + f), " ",
             (2 * f + box.Width) * 0.75, " ", (2 * f + box.Height) * 0.75, " re");
    w.line("W");
    w.line("n");

    const double sw = frame.ShadowWidth;
    const double ow = box.Width - sw, oh = box.Height - sw;
    if (frame.DropShadow) {
        e.Right = num(w.GetLeft(box.AbsLeft + ow));
        e.Bottom = num(w.GetTop(box.AbsTop + oh));
        e.Width = num(ow * 0.75);
        e.Height = num(oh * 0.75);
        const QByteArray shadow = w.colors().GetPDFColor(frame.ShadowColor);
        w.line(shadow + " rg");
        w.line(shadow + " RG");
        w.line(num(w.GetLeft(box.AbsLeft + ow)) + " " + num(w.GetTop(box.AbsTop + box.Height)) +
               " " + num(sw * 0.75) + " " + num((box.Height - sw) * 0.75) + " re");
        w.line("B");
        w.line(num(w.GetLeft(box.AbsLeft + sw)) + " " + num(w.GetTop(box.AbsTop + box.Height)) +
               " " + num((box.Width - sw) * 0.75) + " " + num(sw * 0.75) + " re");
        w.line("B");
    }

    layout.lock();
    struct Unlock {
        PdfTextLayout& l;
        ~Unlock() { l.unlock(); }
    } unlockLater{layout};

    const int fl = rnd((frame.Width - 1) / 2), fr = rnd(frame.Width / 2);
    // Window-style rectangle: right and bottom lie one past the text area.
    const int left = rnd(box.AbsLeft) + (frame.Left ? fl : 0) + rnd(memo.GapX);
    const int top = rnd(box.AbsTop) + (frame.Top ? fl : 0) + rnd(memo.GapY);
    const int right = rnd(box.AbsLeft + box.Width) - (frame.Right ? fr : 0) - rnd(memo.GapX) + 1;
    const int bottom = rnd(box.AbsTop + box.Height) - (frame.Bottom ? fr : 0) - rnd(memo.GapY) + 1;
    const QRect rect(left, top, right - left, bottom - top);
    const PdfTextCache::Text& text = w.texts().text(memo, rect, layout, w.fonts());
    const double lineHeight = text.lineHeight;

    if (memo.Color != pdfColorNone) {
        w.line(w.colors().GetPDFColor(memo.Color) + " rg");
        w.line(e.Left + " " + e.Bottom + " " + e.Width + " " + e.Height + " re");
        w.line("f");
    }
    MakeUpFrames(box, e, frame);

    if (memo.Rotation > 0) {
        const int rot = memo.Rotation;
        const double a = rot * M_PI / 180;
        double cx, cy;
        if (rot == 90 || rot == 180 || rot == 270) {
            cx = w.GetLeft(box.AbsLeft + box.Width / 2);
            cy = w.GetTop(box.AbsTop + box.Height / 2);
        } else {
            const bool upright = (rot >= 45 && rot <= 135) || (rot >= 225 && rot <= 315);
            const double A = upright ? box.Height : box.Width;
            const double B = upright ? box.Width : box.Height;
            cx = w.GetLeft(box.AbsLeft + (A * std::cos(a) + B * std::sin(a)) / 2);
            cy = w.GetTop(box.AbsTop + (A * std::sin(a) + B * std::cos(a)) / 2);
        }
        w.line(num(std::cos(a)) + " " + num(std::sin(a)) + " " + num(-std::sin(a)) + " " +
               num(std::cos(a)) + " " + num(cx) + " " + num(cy) + " cm");
    }

    if (memo.Underlines && lineHeight > 0) {
        const int n = int(box.Height / lineHeight);
        for (int i = 0; i < n; ++i) {
            const QByteArray y = num(w.GetTop(box.AbsTop + memo.GapY + 1 + (i + 1) * lineHeight));
            w.line(w.colors().GetPDFColor(frame.Color) + " RG");
            w.line(num(frame.Width * 0.75) + " w");
            w.line(e.Left + " " + y + " m");
            w.line(e.Right + " " + y + " l");
            w.line("S");
        }
    }

    if (!text.lines.empty()) textLines(memo, text, ow, oh);
    w.line("Q");
}

void PdfPainter::textLines(const PdfMemo& memo, const PdfTextCache::Text& text, double ow,
                           double oh) {
    const TfrxPDFFont& font = w.fonts().pageFont(text.fontIndex);
    const double h = text.lineHeight;
    const bool simulate = font.SimulatesStyles();  // the memo's font by name
    const bool simulateBold = memo.font.bold && simulate;
    const bool simulateItalic = memo.font.italic && simulate;
    const double s = memo.fontSize;
    const quint32 textColor = memo.fontColor == pdfColorNone ? 0 : memo.fontColor;
    w.lineOf(font.Name, " ", memo.fontSize, " Tf");
    w.lineOf(w.colors().GetPDFColor(textColor), " rg");
    if (memo.CharSpacing * 0.75 != 0) w.line(num(memo.CharSpacing * 0.75) + " Tc");

    const int rot = memo.Rotation;
    const bool upright = (rot >= 45 && rot <= 135) || (rot >= 225 && rot <= 315);
    const double c = memo.HAlign == PdfHAlign::Right ? memo.CharSpacing * 0.75 : 0;
    const int n = int(text.lines.size());
    for (int j = 0; j < n; ++j) {
        const PdfTextCache::Line& line = text.lines[std::size_t(j)];
        if (!line.drawn) continue;
        const double g = j == 0 ? memo.ParagraphGap : 0;
        const double width = line.width;
        double x, y;
        if (rot > 0) {
            const double rw = upright ? oh : ow, rh = upright ? ow : oh;
            const double u = rw / 2, v = rh / 2;
            double start = -u;
            if (memo.HAlign == PdfHAlign::Right)
                start = u - width;
            else if (memo.HAlign == PdfHAlign::Center)
                start = -width / 2;
            x = start * 0.75 + c;
            double value = (j + 1) * h - v;
            if (memo.VAlign == PdfVAlign::Bottom)
                value = v - (n - j - 1) * h;
            else if (memo.VAlign == PdfVAlign::Center)
                value = -n * h / 2 + (j + 1) * h;
            y = -value * 0.75 + s * 0.4;
        } else {
            const double l0 = memo.box.AbsLeft + memo.GapX + s * 0.01 + memo.GapX / 2 + g;
            const double w0 = ow - 2 * memo.GapX - g;
            double start = l0;
            if (memo.HAlign == PdfHAlign::Right)
                start = l0 + w0 - width;
            else if (memo.HAlign == PdfHAlign::Center)
                start = l0 + (w0 - width) / 2;
            x = w.GetLeft(start) + c;
            const double t0 = memo.box.AbsTop + memo.GapY - s * 0.1;
            const double h0 = oh - 2 * memo.GapY;
            double baseline = t0 + (j + 1) * h;
            if (memo.VAlign == PdfVAlign::Bottom)
                baseline = t0 + h0 - (n - j - 1) * h;
            else if (memo.VAlign == PdfVAlign::Center)
                baseline = t0 + (h0 - n * h) / 2 + (j + 1) * h;
            y = w.GetTop(baseline);
        }
        w.line("BT");
        w.lineOf(x, " ", y, " Td");
        if (simulateItalic) w.lineOf("1 0 0.3333 1 ", x, " ", y, " Tm");
        if (simulateBold)
            w.lineOf("2 Tr ", s / 35, " w ", w.colors().GetPDFColor(textColor), " RG");
        w.lineOf("<", line.glyphs, "> Tj");
        w.line("ET");
        if (simulateBold) w.line("0 Tr");
        auto rule = [&](double dy) {
            w.line(w.colors().GetPDFColor(memo.fontColor) + " RG");
            w.line(num(s * 0.08) + " w");
            w.line(point(x, y + dy) + " m");
            w.line(point(x + width * 0.75, y + dy) + " l");
            w.line("S");
        };
        if (memo.font.underline) rule(-s * 0.12);
        if (memo.font.strikeOut) rule(s * 0.28);
    }
}

void PdfPainter::drawImage(const PdfViewBox& box, const PdfFrame& frame, double k,
                           const PdfImageRenderer& render, int quality) {
    if (box.Width <= 0 || box.Height <= 0) return;
    const double dx = box.Width, dy = box.Height;
    QImage image(rnd(k * dx) + int(k), rnd(k * dy) + int(k), QImage::Format_RGB888);
    image.fill(Qt::white);
    try {
        render(image, k);
    } catch (...) {
        // The view's own drawing may fail; what it painted is used.
    }
    const QByteArray jpeg = w.images().jpegOf(image, quality);
    const int index = w.images().addImage(w.output(), jpeg, image.width(), image.height());
    w.line("q");
    w.line(num(dx * 0.75) + " 0 0 " + num(dy * 0.75) + " " + num(w.GetLeft(box.AbsLeft)) + " " +
           num(w.GetTop(box.AbsTop + dy)) + " cm");
    w.line("/Im" + QByteArray::number(index) + " Do");
    w.line("Q");
    MakeUpFrames(box, edges(box), frame);
}

}  // namespace qev
