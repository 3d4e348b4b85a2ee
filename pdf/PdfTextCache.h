#pragma once

#include <QByteArray>
#include <QHash>
#include <QRect>
#include <QStringList>

#include <vector>

namespace qev {

class PdfFontList;
class PdfTextLayout;
struct PdfMemo;

// The texts of memos as one export run writes them. A statement repeats its
// labels on every page and its dates and words on every row: each distinct
// text, in the same font, options and rectangle size, is wrapped, measured
// and mapped to glyph ids once. Fonts take up glyphs in the order they are
// first shaped, which a repeated text does not change.
class PdfTextCache {
  public:
    struct Line {
        bool drawn = false;  // an empty line writes nothing, but takes its place
        double width = 0;    // report pixels
        QByteArray glyphs;   // glyph ids in hexadecimal, the Tj operand
    };
    struct Text {
        double lineHeight = 0;
        int fontIndex = -1;  // page font of the lines; -1 when there are none
        std::vector<Line> lines;
    };

    // The memo's text laid out in rect (report pixels), valid until the next
    // call. A text met for the first time is laid out with `layout` and its
    // font taken from `fonts`.
    const Text& text(const PdfMemo& memo, const QRect& rect, PdfTextLayout& layout,
                     PdfFontList& fonts);
    void clear() {
        FTexts.clear();
        FOlder.clear();
        FSeen.assign(FSeen.size(), false);
    }

  private:
    // Everything the results depend on: the layout engine's settings and the
    // rectangle's size (not its place), and the text. Its hash is taken once,
    // as a draw looks it up in two tables and may insert it, and comes first
    // so that unequal keys differ at once.
    struct Key {
        size_t hash = 0;
        QString fontName;
        int fontSize = 0;
        unsigned fontStyle = 0;
        quint32 fontColor = 0;
        int charset = 0;
        unsigned options = 0;
        int rotation = 0;
        int width = 0, height = 0;
        double charSpacing = 0, lineSpacing = 0, paragraphGap = 0;
        QStringList lines;

        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed);

    static Key keyOf(const PdfMemo& memo, const QRect& rect);
    static Text compute(const PdfMemo& memo, const QRect& rect, PdfTextLayout& layout,
                        PdfFontList& fonts);

    // Texts kept at most in a table. Past that the table becomes the older
    // one and a new one starts: memory stays bounded on long reports whose
    // amounts are all different, and texts in use (labels, dates) move on
    // to the new table as they are met.
    static constexpr int MaxTexts = 2048;
    QHash<Key, Text> FTexts;
    QHash<Key, Text> FOlder;
    // A text is kept from the second time it is met: most amounts and
    // numbers of a statement are met once, and keeping them only cost
    // storing and freeing them. Texts are told apart here by their hash
    // alone; two that share a bit are kept from their first meeting.
    std::vector<bool> FSeen = std::vector<bool>(1 << 20, false);
    Text FOnce;  // a text met for the first time
};

}  // namespace qev
