// Drawing of wrapped memo text on a QPainter canvas (screen, image or printer).
// Glyph outlines come from the same font files that measure the text, placed
// one by one at corrected advances, so that a line on the device is exactly as
// wide as it was measured at 600 pixels per inch.

#include "report/GraphicUtils.h"
#include "report/TfrxDrawText.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace qev {

struct TfrxDrawText::Target {
    bool printer = false;
    int dpiX = 96, dpiY = 96;
    int fontHeight = 0;  // hT: the device font's pixel height
    double cosR = 1, sinR = 0;
    QTransform base;  // the canvas transform on entry
};

bool TfrxDrawText::IsPrinter(const QPainter* canvas) {
    return canvas && canvas->device() && canvas->device()->devType() == QInternal::Printer;
}

int TfrxDrawText::targetHeight(const Target& target, int sizePoints, bool horizontal) const {
    if (target.printer)
        return rnd(sizePoints * double(horizontal ? target.dpiX : target.dpiY) * FPrintScale / 72);
    return rnd(sizePoints * FScaleY * 96 / 72);
}

namespace {

// Exact values on the axes, so that unrotated text gets no stray pixel.
void cosSin(int degrees, double& c, double& s) {
    switch (degrees) {
        case 0:
            c = 1;
            s = 0;
            return;
        case 90:
            c = 0;
            s = 1;
            return;
        case 180:
            c = -1;
            s = 0;
            return;
        case 270:
            c = 0;
            s = -1;
            return;
        default: {
            const double radians = degrees * std::numbers::pi / 180;
            c = std::cos(radians);
            s = std::sin(radians);
        }
    }
}

QColor colorOf(quint32 value) {
    if (value & 0xFF000000u)  // clNone, clDefault and system colours: plain black
        return Qt::black;
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void spread(std::vector<int32_t>& values, int first, int last, int amount) {
    if (amount != 0) IncArray(values, first, last, amount < 0 ? -1 : 1, std::abs(amount));
}

struct Run {
    FontFace* face;
    int pixelHeight;
    QColor color;
    unsigned style;
};

// Draws text[from, to) as one run starting at origin (top of the cell), along
// the rotated baseline; returns the run's width.
int drawRun(QPainter* canvas, const QTransform& base, const Run& run, QPointF origin, int rotation,
            const QString& text, int from, int to, const std::vector<int32_t>& advances) {
    FontFace* face = run.face;
    const double k = double(run.pixelHeight) / face->unitsPerEm();
    const double ascent = rnd(face->ascent() * k);
    QTransform frame;
    frame.translate(origin.x(), origin.y());
    frame.rotate(-rotation);
    canvas->setPen(Qt::NoPen);
    canvas->setBrush(run.color);
    int pen = 0;
    for (int i = from; i < to; ++i) {
        char32_t cp = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < to && text[i + 1].isLowSurrogate())
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (const unsigned glyph = text[i].isLowSurrogate() ? 0 : face->glyphIndex(cp)) {
            const QPainterPath& path = face->glyphPath(glyph);
            if (!path.isEmpty()) {
                QTransform place;
                place.translate(pen, ascent);
                place.scale(k, k);
                canvas->setWorldTransform(place * frame * base);
                canvas->drawPath(path);
            }
        }
        pen += advances[i];
    }
    canvas->setWorldTransform(frame * base);
    auto rule = [&](double top, int thickness) {
        canvas->drawRect(QRectF(0, top, pen, std::max(1, rnd(thickness * k))));
    };
    if (run.style & FontDesc::Underline)
        rule(ascent - face->underlinePosition() * k, face->underlineThickness());
    if (run.style & FontDesc::StrikeOut)
        rule(ascent - face->strikeoutPosition() * k, face->strikeoutThickness());
    canvas->setWorldTransform(base);
    return pen;
}

}  // namespace

void TfrxDrawText::DrawText(QPainter* canvas, DrawHAlign hAlign, DrawVAlign vAlign) {
    QMutexLocker lock(&GraphCS());
    if (!canvas || FText.empty() || FHTMLTags.lines().empty()) return;
    Target target;
    target.printer = IsPrinter(canvas);
    if (target.printer) {
        const QPaintDevice* device = canvas->device();
        target.dpiX = device->logicalDpiX() > 0 ? device->logicalDpiX() : 96;
        target.dpiY = device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    }
    target.fontHeight = targetHeight(target, FFontSize, false);
    target.base = canvas->worldTransform();
    if (auto& first = FHTMLTags.lines().front(); !first.empty())
        first.front().Default = true;  // its look is applied with the run below

    const int n = int(FText.size());
    const double LS = FLineSpacing;
    int neededSize;
    if (target.printer) {
        const double r = double(FDefPPI) / target.dpiY / FPrintScale;
        neededSize = rnd((LS * FScaleY * r * n + FPixelHeight * n) / r);
    } else {
        neededSize = rnd((LS * kRatio * n + FPixelHeight * n) / kRatio * FScaleY);
    }
    const int step = rnd(LS * FScaleY) + target.fontHeight;
    std::vector<int32_t> lineAdvances(std::max(n - 1, 0), step);
    if (FWysiwyg && n > 1) spread(lineAdvances, 0, n - 2, neededSize - n * step);

    // Start point, available width and the vertical extent along the rotation.
    FRotation = ((FRotation % 360) + 360) % 360;
    const int L = FScaledRect.Left, T = FScaledRect.Top, R = FScaledRect.Right,
              B = FScaledRect.Bottom;
    double c, s;
    cosSin(FRotation, c, s);
    const double e = std::fabs(s), m = std::fabs(c);
    const int nn = neededSize;
    auto slantedWidth = [&] { return rnd((R - L - nn * e) / m); };
    int x = L, y = T, dx = R - L, v = B - T;
    double p = 1, q = 0;
    if (FRotation == 0) {
    } else if (FRotation < 90) {
        dx = slantedWidth();
        y = rnd(dx * e) + T;
        v = B - y - rnd(nn * m) + nn;
    } else if (FRotation == 90) {
        x = L, y = B, dx = B - T, v = R - L, p = 0, q = 1;
    } else if (FRotation < 180) {
        dx = slantedWidth();
        x = rnd(dx * m) + L;
        y = B;
        v = (B - T) - rnd(nn * m + dx * e) + nn;
        p = -1;
    } else if (FRotation == 180) {
        x = R, y = B, p = -1;
    } else if (FRotation < 270) {
        dx = slantedWidth();
        x = R;
        y = B - rnd(dx * e);
        v = y - T - rnd(nn * m) + nn;
        p = -1;
    } else if (FRotation == 270) {
        x = R, y = T, dx = B - T, v = R - L, p = 0, q = -1;
    } else {
        dx = slantedWidth();
        x = rnd(nn * e) + L;
        y = T;
        v = (B - T) - rnd(dx * e + nn * m) + nn;
    }
    if (vAlign == DrawVAlign::Bottom) {
        y += rnd(p * (v - nn));
        x += rnd(q * (v - nn));
    } else if (vAlign == DrawVAlign::Center) {
        y += rnd(p * (v - nn) / 2);
        x += rnd(q * (v - nn) / 2);
    }
    target.cosR = c;
    target.sinR = s;

    canvas->save();
    canvas->setRenderHint(QPainter::Antialiasing);
    if (FOptions & 4) canvas->setClipRect(QRect(L, T, R - L, B - T), Qt::IntersectClip);
    for (int i = 0; i < n; ++i) {
        const int flags = FText[i].flags;
        const bool indented =
            (flags & 1) && (hAlign == DrawHAlign::Left || hAlign == DrawHAlign::Block);
        const int indent = indented ? rnd(FParagraphGap * FScaleX) : 0;
        DrawHAlign align = hAlign;
        if (hAlign == DrawHAlign::Block &&
            (flags & 2))  // a justified paragraph's last line is not stretched
            align = FRTLReading ? DrawHAlign::Right : DrawHAlign::Left;
        DrawTextLine(canvas, target, x + indent, y, dx - indent, i, align);
        if (i < n - 1) {
            y += rnd(lineAdvances[i] * c);
            x += rnd(lineAdvances[i] * s);
        }
    }
    canvas->restore();
}

void TfrxDrawText::DrawTextLine(QPainter* canvas, const Target& target, int X, int Y, int DX,
                                int lineIndex, DrawHAlign align) {
    const QString text = measurableText(FText[lineIndex].text);
    if (text.isEmpty()) return;
    const TfrxHTMLTags& records = FHTMLTags.lines()[lineIndex];
    const int length = int(text.size());
    auto recordAt = [&](int i) -> TfrxHTMLTag {
        if (i < int(records.size())) return records[i];
        TfrxHTMLTag plain;
        plain.Size = FFontSize;
        plain.Style = FFont.style;
        plain.Color = FFont.color;
        return plain;
    };
    auto runOf = [&](int i) {
        const TfrxHTMLTag tag = recordAt(i);
        const int height =
            tag.Size == FFontSize ? target.fontHeight : targetHeight(target, tag.Size, true);
        return Run{FontCache::instance().face(FFont.name, tag.Style), height, colorOf(tag.Color),
                   tag.Style};
    };

    // Width at 600 per inch, without the spacing after the last character.
    const int add600 = rnd(FCharSpacing * kRatio);
    std::vector<int32_t> ideal;
    const int idealWidth =
        measureRuns(FText[lineIndex].text, records, add600, true, ideal) - add600;

    // The same characters with the device font.
    const int addT = rnd(FCharSpacing * FScaleX);
    std::vector<int32_t>& advances = FTempArray;
    advances.assign(length, 0);
    for (int start = 0; start < length;) {
        int end = start + 1;
        while (end < length && recordAt(end).sameLook(recordAt(start))) ++end;
        const Run run = runOf(start);
        run.face->advances(text.constData() + start, end - start, run.pixelHeight,
                           advances.data() + start);
        start = end;
    }
    int actual = -addT;
    for (auto& advance : advances) {
        advance += addT;
        actual += advance;
    }

    int v = target.printer ? rnd(idealWidth * FPrintScale / (double(FDefPPI) / target.dpiX))
                           : rnd(idealWidth / kRatio * FScaleX);
    if (!FWysiwyg) v = actual;

    const double c = target.cosR, s = target.sinR;
    const unsigned firstStyle = recordAt(0).Style;
    if (align == DrawHAlign::Right) {
        X += rnd((DX - v + 1) * c) - 1;
        Y -= rnd((DX - v + 1) * s);
        if (FRotation == 0 && (firstStyle & (FontDesc::Bold | FontDesc::Italic))) X -= 1;
    } else if (align == DrawHAlign::Center) {
        X += rnd((DX - v) / 2.0 * c);
        Y -= rnd((DX - v) / 2.0 * s);
    }

    int spaces = 0;
    for (QChar ch : text) spaces += (ch == u' ' || ch == QChar(0x00A0)) ? 1 : 0;
    if (align == DrawHAlign::Block && spaces > 0) {
        const int amount = std::abs(DX) - actual;
        const int unit = amount < 0 ? -1 : 1;
        const int each = std::abs(amount) / spaces, extra = std::abs(amount) % spaces;
        int k = 0;
        for (int i = 0; i < length; ++i) {
            if (text[i] != u' ' && text[i] != QChar(0x00A0)) continue;
            advances[i] += unit * (each + (k < extra ? 1 : 0));
            ++k;
        }
    } else {
        spread(advances, 0, length - 1, v - actual);
    }

    // One run of equal look at a time, each from where the last one ended.
    for (int start = 0; start < length;) {
        int end = start + 1;
        while (end < length && recordAt(end).sameLook(recordAt(start))) ++end;
        const TfrxHTMLTag tag = recordAt(start);
        const int d = rnd(tag.AddY * tag.Size * FScaleY);
        const QPointF origin(X + rnd(d * s), Y + rnd(d * c));
        const int width = drawRun(canvas, target.base, runOf(start), origin, FRotation, text, start,
                                  end, advances);
        if (FRotation == 0) {
            X += width;
        } else {
            X += rnd(width * c);
            Y -= rnd(width * s);
        }
        start = end;
    }
}

}  // namespace qev
