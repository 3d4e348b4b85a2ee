#include "report/TfrxDrawText.h"

#include "report/GraphicUtils.h"
#include "report/TfrxDrawTextWordBreak.h"

#include <QStringEncoder>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace qev {

TfrxDrawText& frxDrawText() {
    static TfrxDrawText instance;
    return instance;
}

void TfrxDrawText::Lock() {
    GraphCS().lock();
}
void TfrxDrawText::Unlock() {
    GraphCS().unlock();
}

void TfrxDrawText::SetFont(const FontDesc& font) {
    if (font.name != FFont.name) FFaces.fill(nullptr);
    FFont = font;
    FFontSize = font.size;
    FPixelHeight = fontPixelHeight(FFontSize, FDefPPI);
    FFitWidths.clear();
}

void TfrxDrawText::SetOptions(bool WordWrap, bool HTMLTags, bool RTLReading, bool WordBreak,
                              bool Clipped, bool Wysiwyg, int Rotation) {
    FWordWrap = WordWrap;
    FRTLReading = RTLReading;
    FWordBreak = WordBreak;
    FWysiwyg = Wysiwyg;
    FRotation = ((Rotation % 360) + 360) % 360;
    FHTMLTags.SetAllowTags(HTMLTags);
    FOptions = (Clipped ? 4u : 0u) | (RTLReading ? 128u : 0u);
}

void TfrxDrawText::SetGaps(double ParagraphGap, double CharSpacing, double LineSpacing) {
    FParagraphGap = ParagraphGap;
    FCharSpacing = CharSpacing;
    FLineSpacing = LineSpacing;
}

void TfrxDrawText::SetDimensions(double ScaleX, double ScaleY, double PrintScale,
                                 const LayoutRect& OriginalRect, const LayoutRect& ScaledRect) {
    FScaleX = ScaleX;
    FScaleY = ScaleY;
    FPrintScale = PrintScale;
    FOriginalRect = OriginalRect;
    FScaledRect = ScaledRect;
}

namespace {

// Code page of a font character set; 0 for the default set and for sets that
// are measured as UTF-16 anyway.
const char* codePageOf(int charset) {
    switch (charset) {
        case 0:
            return "windows-1252";
        case 128:
            return "Shift_JIS";
        case 129:
            return "windows-949";
        case 134:
            return "GBK";
        case 136:
            return "Big5";
        case 161:
            return "windows-1253";
        case 162:
            return "windows-1254";
        case 163:
            return "windows-1258";
        case 177:
            return "windows-1255";
        case 178:
            return "windows-1256";
        case 186:
            return "windows-1257";
        case 204:
            return "windows-1251";
        case 222:
            return "windows-874";
        case 238:
            return "windows-1250";
        default:
            return nullptr;
    }
}

}  // namespace

// A font with its own character set shows what its code page makes of the
// text: a character the code page lacks comes out as "?" (or as the code
// page's nearest character where the converter has one).
QString TfrxDrawText::measurableText(const QString& text) const {
    if (FFont.charset == FontDesc::DefaultCharset || FUseDefaultCharset) return text;
    const char* codePage = codePageOf(FFont.charset);
    if (!codePage) return text;
    QStringEncoder encoder(codePage, QStringConverter::Flag::Stateless);
    QStringDecoder decoder(codePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid() || !decoder.isValid()) return text;
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (result[i].isSurrogate()) continue;
        const QChar original = result[i];
        const QString back = decoder.decode(encoder.encode(QStringView(&original, 1)));
        const bool lost = back.size() != 1 || (back[0] == QChar(0x1A) && original != QChar(0x1A));
        result[i] = lost ? QChar(u'?') : back[0];
    }
    return result;
}

int TfrxDrawText::measureRuns(const QString& text, const TfrxHTMLTags& records, int add,
                              bool applySmall, std::vector<int32_t>& out) {
    const QString measured = measurableText(text);
    const int length = int(measured.size());
    out.assign(length, 0);
    auto styleAt = [&](int i) {
        return i < int(records.size()) ? records[i].Style
                                       : (records.empty() ? FFont.style : records.back().Style);
    };
    // One measurement per run of equal style: each style is its own face.
    for (int start = 0; start < length;) {
        const unsigned style = styleAt(start);
        int end = start + 1;
        while (end < length && styleAt(end) == style) ++end;
        faceFor(style)->advances(measured.constData() + start, end - start, FPixelHeight,
                                 out.data() + start);
        start = end;
    }
    int sum = 0;
    for (int i = 0; i < length; ++i) {
        out[i] += add;
        if (applySmall && i < int(records.size()) && records[i].Small) out[i] = rnd(out[i] / 1.5);
        sum += out[i];
    }
    return sum;
}

FontFace* TfrxDrawText::faceFor(unsigned style) {
    FontFace*& face = FFaces[(style & FontDesc::Bold ? 1 : 0) | (style & FontDesc::Italic ? 2 : 0)];
    if (!face) face = FontCache::instance().face(FFont.name, style);
    return face;
}

int TfrxDrawText::FillCharSpacingArray(int lineIndex, int add, bool convert) {
    QMutexLocker lock(&GraphCS());
    const int sum =
        measureRuns(FText[lineIndex].text, FHTMLTags.lines()[lineIndex], add, true, FTempArray);
    if (convert) std::partial_sum(FTempArray.begin(), FTempArray.end(), FTempArray.begin());
    return sum;
}

void TfrxDrawText::SetText(const QStringList& lines) {
    QMutexLocker lock(&GraphCS());
    FPlainText.clear();
    FText.clear();
    FFitWidths.clear();
    FHTMLTags.Init(FFont.color, FFontSize, FFont.style);
    if (lines.isEmpty()) return;
    const int W = wrapWidth();
    for (QString s : lines) {
        if (s.isEmpty()) s = QStringLiteral(" ");
        FPlainText += s + QStringLiteral("\r\n");
        const size_t first = FText.size();
        WrapTextLine(s, rnd(W * kRatio), rnd((W - FParagraphGap) * kRatio),
                     rnd(FCharSpacing * kRatio));
        if (FText.size() == first) continue;
        FText[first].flags = 1;
        if (FText.size() - first == 1)
            FText[first].flags = 3;
        else
            FText.back().flags = 2;
    }
}

double TfrxDrawText::PlainLineWidth(const QString& line) {
    QMutexLocker lock(&GraphCS());
    if (line.isEmpty() || FCharSpacing != 0 || FParagraphGap != 0) return -1;
    if (line.contains(u'\r') || line.contains(u'\n')) return -1;
    if (FHTMLTags.AllowTags() && line.contains(u'<')) return -1;
    // No tags: every character in the font's own style, none small.
    const int width = measureRuns(line, {}, 0, false, FTempArray);
    if (line.size() >= 2 && FWordWrap && width >= rnd(wrapWidth() * kRatio))
        return -1;  // wrapping would look at it
    return width / kRatio;
}

// Lines run across the rectangle, or down it when turned by a quarter.
int TfrxDrawText::wrapWidth() const {
    const bool across =
        (FRotation >= 90 && FRotation <= 179) || (FRotation >= 270 && FRotation <= 359);
    return across ? FOriginalRect.height() : FOriginalRect.width();
}

void TfrxDrawText::addLine(const QString& s, const TfrxHTMLTags& records, int from, int to,
                           bool hyphen) {
    TfrxWrappedLine line;
    line.text = s.mid(from, to - from + 1);
    TfrxHTMLTags lineRecords(records.begin() + from, records.begin() + to + 1);
    line.position = from < int(records.size()) ? records[from].Position : FHTMLTags.position() - 2;
    if (hyphen) {
        line.text += u'-';
        lineRecords.push_back(lineRecords.back());
        lineRecords.back().Default = true;
    }
    FText.push_back(line);
    FFitWidths.push_back(-1);
    FHTMLTags.lines().push_back(std::move(lineRecords));
}

void TfrxDrawText::WrapTextLine(QString s, int Width, int FirstLineWidth, int CharSpacing) {
    const int lineStart = FHTMLTags.position();
    const TfrxHTMLTags records = FHTMLTags.ExpandHTMLTags(s);
    const int n = int(s.size());
    if (n < 2 || !FWordWrap) {
        if (n == 0) {  // a line of tags only
            FText.push_back({QString(), 0, lineStart});
            FFitWidths.push_back(-1);
            FHTMLTags.lines().emplace_back();
            return;
        }
        addLine(s, records, 0, n - 1, false);
        return;
    }
    std::vector<int32_t>& cumulative = FTempArray;
    measureRuns(s, records, CharSpacing, true, cumulative);
    std::partial_sum(cumulative.begin(), cumulative.end(), cumulative.begin());
    if (cumulative.back() < FirstLineWidth) {
        addLine(s, records, 0, n - 1, false);
        const bool plain =
            FCharSpacing == 0 && std::none_of(records.begin(), records.end(),
                                              [](const TfrxHTMLTag& r) { return r.Small; });
        if (plain) FFitWidths.back() = cumulative.back();
        return;
    }

    // 1-based positions, as the wrapping rules count them.
    auto cum = [&](int i) { return cumulative[i - 1]; };
    auto isBreakSpace = [&](int i) { return s[i - 1] == u' ' && !records[i - 1].DontWRAP; };
    int lineBegin = 1, breakPos = 1, offset = 0, limit = FirstLineWidth;
    for (int i = 1; i <= n;) {
        if (isBreakSpace(i)) breakPos = i;
        if (cum(i) - offset <= limit) {
            ++i;
            continue;
        }
        if (breakPos <= lineBegin) {  // no space since the line began: cut the word
            if (i == lineBegin) {
                addLine(s, records, i - 1, i - 1, false);
                breakPos = i;
            } else if (const QString prefix =
                           FWordBreak ? BreakWord(s, lineBegin - 1, i - 1) : QString();
                       !prefix.isEmpty()) {
                breakPos = lineBegin + int(prefix.size()) - 1;
                addLine(s, records, lineBegin - 1, breakPos - 1, true);
            } else {
                addLine(s, records, lineBegin - 1, i - 2, false);
                breakPos = i - 1;
            }
        } else if (const QString prefix = FWordBreak ? BreakWord(s, breakPos, i - 1) : QString();
                   !prefix.isEmpty()) {
            breakPos += int(prefix.size());
            addLine(s, records, lineBegin - 1, breakPos - 1, true);
        } else {
            addLine(s, records, lineBegin - 1, breakPos - 2, false);  // the break space is dropped
        }
        offset = cum(breakPos);
        lineBegin = breakPos + 1;
        i = breakPos + 1;
        limit = Width;
    }
    if (lineBegin <= n) addLine(s, records, lineBegin - 1, n - 1, false);
}

void TfrxDrawText::SetParaBreaks(bool FirstParaBreak, bool LastParaBreak) {
    if (FText.empty()) return;
    if (FirstParaBreak) FText.front().flags &= ~1;
    if (LastParaBreak) FText.back().flags &= ~2;
}

QString TfrxDrawText::GetWrappedText() const {
    QString result;
    for (const auto& line : FText) result += line.text + QStringLiteral("\r\n");
    return result;
}

double TfrxDrawText::TextHeight() const {
    return FPixelHeight / kRatio;
}

double TfrxDrawText::LineHeight() const {
    return FPixelHeight / kRatio + FLineSpacing;
}

double TfrxDrawText::CalcHeight() const {
    if (FText.empty()) return 0;
    double height = LineHeight() * double(FText.size());
    if (FLineSpacing < 0) height -= FLineSpacing;
    return height;
}

double TfrxDrawText::CalcWidth() {
    QMutexLocker lock(&GraphCS());
    int widest = 0;
    std::vector<int32_t>& advances = FWidthArray;
    for (size_t i = 0; i < FText.size(); ++i) {
        const QString& text = FText[i].text;
        const bool known = i < FFitWidths.size() && FFitWidths[i] >= 0 && FCharSpacing == 0;
        int width =
            known ? FFitWidths[i] : measureRuns(text, FHTMLTags.lines()[i], 0, false, advances);
        width += rnd(text.size() * FCharSpacing * kRatio);
        if (FText[i].flags & 1) width += rnd(FParagraphGap * kRatio);
        widest = std::max(widest, width);
    }
    return widest / kRatio;
}

double TfrxDrawText::UnusedSpace() const {
    const double height = FOriginalRect.height() + 1;
    const int fit = int(std::trunc(height / LineHeight()));
    if (fit <= 0) return 0;
    const double rest = height - LineHeight() * fit;
    return rest == 0 ? 0.0001 : rest;
}

QString TfrxDrawText::GetOutBoundsText(bool& ParaBreak) {
    ParaBreak = false;
    const int count = int(FText.size());
    const double lineHeight = LineHeight();
    int fit = lineHeight > 0 ? int(std::trunc((FOriginalRect.height() + 1) / lineHeight)) : count;
    fit = std::clamp(fit, 0, count);
    if (fit == count) return QString();

    const TfrxWrappedLine firstOut = FText[fit];
    const TfrxHTMLTags firstOutRecords = FHTMLTags.lines()[fit];
    ParaBreak = fit > 0 && !(FText[fit - 1].flags & 2);
    QString result = FPlainText.mid(firstOut.position - 1);
    if (ParaBreak && result.startsWith(u' ')) result.remove(0, 1);
    if (FHTMLTags.AllowTags() && !firstOutRecords.empty()) {
        // The continuation starts with the look the cut character had.
        const TfrxHTMLTag& tag = firstOutRecords.front();
        if (tag.Style & FontDesc::Bold) result.prepend(QStringLiteral("<b>"));
        if (tag.Style & FontDesc::Italic) result.prepend(QStringLiteral("<i>"));
        if (tag.Style & FontDesc::Underline) result.prepend(QStringLiteral("<u>"));
        const quint32 c = tag.Color;
        const uint rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        const QString hex = QString::number(rgb, 16).rightJustified(6, u'0').toUpper();
        result.prepend(QStringLiteral("<font color=\"#") + hex + QStringLiteral("\">"));
    }

    FPlainText.truncate(firstOut.position - 1);
    FText.resize(fit);
    FHTMLTags.lines().resize(fit);
    // A word hyphenated at the cut keeps its hyphen on this part.
    if (FWordBreak && fit > 0 && FText.back().text.endsWith(u'-') && !FPlainText.endsWith(u'-'))
        FPlainText += u'-';
    return result;
}

}  // namespace qev
