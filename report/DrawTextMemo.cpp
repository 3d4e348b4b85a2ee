#include "report/DrawTextMemo.h"

#include "report/GraphicUtils.h"
#include "report/TfrxDataSet.h"  // TfrxView.h needs the complete class
#include "report/TfrxMemoView.h"

#include <QMutexLocker>
#include <QPainter>

#include <cmath>

namespace qev {

namespace {

// Text measured for the memo's width only: a rectangle that wraps nothing.
const LayoutRect kUnbounded{0, 0, 10000, 10000};

// Locks the engine for a whole layout sequence.
class EngineLock {
  public:
    explicit EngineLock(TfrxDrawText& engine) : engine_(engine) { engine_.Lock(); }
    ~EngineLock() { engine_.Unlock(); }
    EngineLock(const EngineLock&) = delete;
    EngineLock& operator=(const EngineLock&) = delete;

  private:
    TfrxDrawText& engine_;
};

const TfrxFont& memoFont(const TfrxCustomMemoView& memo) {
    return memo.Highlight.Active ? memo.Highlight.Font : memo.Font();
}

// Font, options and gaps: everything but the rectangle and the text.
void setFontOptionsGaps(const TfrxCustomMemoView& memo, TfrxDrawText& engine) {
    engine.SetUseDefaultCharset(memo.UseDefaultCharset);
    engine.SetFont(fontDesc(memoFont(memo)));
    engine.SetOptions(memo.WordWrap, memo.AllowHTMLTags, memo.RTLReading, memo.WordBreak,
                      memo.Clipped, memo.Wysiwyg, memo.Rotation);
    engine.SetGaps(memo.ParagraphGap, memo.CharSpacing, memo.LineSpacing);
}

void layOutUnbounded(const TfrxCustomMemoView& memo, TfrxDrawText& engine) {
    engine.SetDimensions(1, 1, 1, kUnbounded, kUnbounded);
    engine.SetText(memo.Memo());
}

}  // namespace

FontDesc fontDesc(const TfrxFont& font) {
    FontDesc desc;
    desc.name = font.Name;
    desc.size = font.Size();
    desc.style = unsigned(font.Style.toInt());
    desc.color = quint32(font.Color);
    desc.charset = font.Charset;
    return desc;
}

// Reports keep no engine of their own here: every memo uses the shared one.
TfrxDrawText& memoDrawText(const TfrxCustomMemoView&) {
    return frxDrawText();
}

LayoutRect memoTextRect(const TfrxCustomMemoView& memo, double scaleX, double scaleY,
                        double offsetX, double offsetY) {
    const TfrxFrame& frame = memo.Frame();
    const double fw = frame.Width();
    const int x = rnd(memo.AbsLeft() * scaleX + offsetX);
    const int y = rnd(memo.AbsTop() * scaleY + offsetY);
    const int x1 = rnd((memo.AbsLeft() + memo.Width()) * scaleX + offsetX);
    const int y1 = rnd((memo.AbsTop() + memo.Height()) * scaleY + offsetY);
    LayoutRect r;
    r.Left =
        x + (frame.Has(frx::ftLeft) ? rnd((fw * scaleX - 1) / 2) : 0) + rnd(scaleX * memo.GapX);
    r.Top = y + (frame.Has(frx::ftTop) ? rnd((fw * scaleY - 1) / 2) : 0) + rnd(scaleY * memo.GapY);
    r.Right =
        x1 - (frame.Has(frx::ftRight) ? rnd(fw * scaleX / 2) : 0) - rnd(scaleX * memo.GapX) + 1;
    r.Bottom =
        y1 - (frame.Has(frx::ftBottom) ? rnd(fw * scaleY / 2) : 0) - rnd(scaleY * memo.GapY) + 1;
    return r;
}

double AdjustCalcWidth(const TfrxCustomMemoView& memo) {
    const TfrxFrame& frame = memo.Frame();
    double result = 2 * memo.GapX;
    if (frame.Has(frx::ftLeft)) result += (frame.Width() - 1) / 2;
    if (frame.Has(frx::ftRight)) result += frame.Width() / 2;
    if (frame.DropShadow) result += frame.ShadowWidth;
    return result;
}

double AdjustCalcHeight(const TfrxCustomMemoView& memo) {
    const TfrxFrame& frame = memo.Frame();
    double result = 2 * memo.GapY;
    if (frame.Has(frx::ftTop)) result += (frame.Width() - 1) / 2;
    if (frame.Has(frx::ftBottom)) result += frame.Width() / 2;
    if (frame.DropShadow) result += frame.ShadowWidth;
    return result;
}

void SetDrawParams(TfrxCustomMemoView& memo, TfrxDrawText& engine, double scaleX, double scaleY,
                   double offsetX, double offsetY) {
    if (memo.Highlight.Active) memo.SetColor(memo.Highlight.Color);
    setFontOptionsGaps(memo, engine);
    if (memo.AutoWidth) {
        layOutUnbounded(memo, engine);
        const double newWidth = engine.CalcWidth() + AdjustCalcWidth(memo);
        const double change = newWidth - memo.Width();
        memo.SetWidth(newWidth);
        if (memo.HAlign == frx::haRight)
            memo.SetLeft(memo.Left() - change);
        else if (memo.HAlign == frx::haCenter)
            memo.SetLeft(memo.Left() - change / 2);
    }
    const LayoutRect scaled = memoTextRect(memo, scaleX, scaleY, offsetX, offsetY);
    const LayoutRect unscaled = memoTextRect(memo, 1, 1, 0, 0);
    // Nothing in this program prints through a printer canvas: print scale 1.
    engine.SetDimensions(scaleX, scaleY, 1, unscaled, scaled);
    engine.SetText(memo.Memo());
    engine.SetParaBreaks(memo.FirstParaBreak, memo.LastParaBreak);
}

double memoCalcHeight(TfrxCustomMemoView& memo) {
    TfrxDrawText& engine = memoDrawText(memo);
    EngineLock lock(engine);
    setFontOptionsGaps(memo, engine);
    const LayoutRect rect = memo.AutoWidth ? kUnbounded : memoTextRect(memo, 1, 1, 0, 0);
    engine.SetDimensions(1, 1, 1, rect, rect);
    engine.SetText(memo.Memo());
    return rnd(engine.CalcHeight() + AdjustCalcHeight(memo));
}

double memoCalcWidth(TfrxCustomMemoView& memo) {
    TfrxDrawText& engine = memoDrawText(memo);
    EngineLock lock(engine);
    setFontOptionsGaps(memo, engine);
    layOutUnbounded(memo, engine);
    return rnd(engine.CalcWidth() + AdjustCalcWidth(memo));
}

void memoDraw(TfrxCustomMemoView& memo, QPainter* canvas, double scaleX, double scaleY,
              double offsetX, double offsetY) {
    TfrxDrawText& engine = memoDrawText(memo);
    EngineLock lock(engine);
    memo.ExtractMacros();
    const int savedColor = memo.Color();  // a highlight colours this drawing only
    SetDrawParams(memo, engine, scaleX, scaleY, offsetX, offsetY);
    memo.TfrxView::Draw(canvas, scaleX, scaleY, offsetX, offsetY);  // fill and frame
    if (canvas && memo.Underlines && memo.Rotation == 0) {
        const TfrxFrameLine line{memo.Frame().Color(), memo.Frame().Style(), memo.Frame().Width()};
        QPen pen(frxColor(line.Color));
        pen.setWidthF(line.Width * scaleX);
        canvas->save();
        canvas->setPen(pen);
        const double lineHeight = engine.LineHeight();
        const int rules = lineHeight > 0 ? int(std::trunc(memo.Height() / lineHeight)) : 0;
        const double left = memo.AbsLeft() * scaleX + offsetX;
        const double right = (memo.AbsLeft() + memo.Width()) * scaleX + offsetX;
        for (int i = 0; i < rules; ++i) {
            const double y =
                (memo.AbsTop() + memo.GapY + 1 + (i + 1) * lineHeight) * scaleY + offsetY;
            canvas->drawLine(QPointF(left, y), QPointF(right, y));
        }
        canvas->restore();
    }
    engine.DrawText(canvas, DrawHAlign(memo.HAlign), DrawVAlign(memo.VAlign));
    memo.SetColor(savedColor);
}

void memoInitPart(TfrxCustomMemoView& memo, QString& partText) {
    partText = memo.Text();
    memo.FirstParaBreak = false;
    memo.LastParaBreak = false;
}

double memoDrawPart(TfrxCustomMemoView& memo, QString& partText) {
    TfrxDrawText& engine = memoDrawText(memo);
    EngineLock lock(engine);
    memo.SetText(partText);
    SetDrawParams(memo, engine, 1, 1, 0, 0);
    bool paraBreak = false;
    partText = engine.GetOutBoundsText(paraBreak);
    memo.SetText(engine.GetInBoundsText());
    memo.LastParaBreak = paraBreak;
    const double unused = engine.UnusedSpace();
    return unused == 0 ? memo.Height() : unused;
}

}  // namespace qev
