#include "pdf/PdfTextCache.h"

#include "pdf/PdfFontList.h"
#include "pdf/PdfPainter.h"

namespace qev {

QStringList PdfTextLayout::WrappedLines() {
    QStringList lines = GetWrappedText().split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

size_t qHash(const PdfTextCache::Key& key, size_t seed) {
    return ::qHash(key.hash, seed);
}

PdfTextCache::Key PdfTextCache::keyOf(const PdfMemo& memo, const QRect& rect) {
    Key key;
    key.fontName = memo.font.name;
    key.fontSize = memo.fontSize;
    key.fontStyle = unsigned(memo.font.bold) | unsigned(memo.font.italic) << 1 |
                    unsigned(memo.font.underline) << 2 | unsigned(memo.font.strikeOut) << 3;
    key.fontColor = memo.fontColor;
    key.charset = memo.charset;
    key.options = unsigned(memo.UseDefaultCharset) | unsigned(memo.WordWrap) << 1 |
                  unsigned(memo.AllowHTMLTags) << 2 | unsigned(memo.RTLReading) << 3 |
                  unsigned(memo.WordBreak) << 4 | unsigned(memo.Clipped) << 5 |
                  unsigned(memo.Wysiwyg) << 6;
    key.rotation = memo.Rotation;
    key.width = rect.width();
    key.height = rect.height();
    key.charSpacing = memo.CharSpacing;
    key.lineSpacing = memo.LineSpacing;
    key.paragraphGap = memo.ParagraphGap;
    key.lines = memo.lines;
    // What tells a report's texts apart; the rest is compared on a match.
    key.hash = qHashMulti(0, key.lines, key.width, key.height, key.fontSize, key.fontStyle);
    return key;
}

const PdfTextCache::Text& PdfTextCache::text(const PdfMemo& memo, const QRect& rect,
                                             PdfTextLayout& layout, PdfFontList& fonts) {
    Key key = keyOf(memo, rect);
    if (const auto it = FTexts.constFind(key); it != FTexts.constEnd()) return *it;
    if (FTexts.size() >= MaxTexts) {
        FOlder = std::move(FTexts);
        FTexts = {};
        FTexts.reserve(MaxTexts);
    }
    if (const auto it = FOlder.find(key); it != FOlder.end()) {
        Text text = std::move(*it);
        FOlder.erase(it);
        return *FTexts.insert(std::move(key), std::move(text));
    }
    const std::size_t bit = key.hash & (FSeen.size() - 1);
    if (!FSeen[bit]) {
        FSeen[bit] = true;
        FOnce = compute(memo, rect, layout, fonts);
        return FOnce;
    }
    return *FTexts.insert(std::move(key), compute(memo, rect, layout, fonts));
}

PdfTextCache::Text PdfTextCache::compute(const PdfMemo& memo, const QRect& rect,
                                         PdfTextLayout& layout, PdfFontList& fonts) {
    Text text;
    layout.layout(memo, rect);
    text.lineHeight = layout.LineHeight();
    const QStringList lines = layout.WrappedLines();
    if (lines.isEmpty()) return text;
    // The font is taken up when its first text is written, before its glyphs.
    text.fontIndex = fonts.GetObjFontNumber(memo.font);
    TfrxPDFFont& font = fonts.pageFont(text.fontIndex);
    text.lines.resize(std::size_t(lines.size()));
    for (qsizetype j = 0; j < lines.size(); ++j) {
        const QString& line = lines[j];
        if (line.isEmpty()) continue;
        Line& out = text.lines[std::size_t(j)];
        out.drawn = true;
        out.width = layout.lineWidth(memo, line);
        out.glyphs = font.RemapHex(line, memo.RTLReading);
    }
    return text;
}

}  // namespace qev
