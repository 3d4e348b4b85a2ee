#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <utility>
#include <vector>

struct hb_blob_t;
struct hb_buffer_t;
struct hb_face_t;
struct hb_font_t;

namespace qev {

// One glyph of a shaped line: its id, the index of the character it comes
// from and its advance in font units.
struct PdfShapedGlyph {
    quint16 glyph = 0;
    quint32 cluster = 0;
    int advance = 0;

    bool operator==(const PdfShapedGlyph&) const = default;
};

// The glyph ids and advances HarfBuzz gives a line of text in one font.
//
// Text made only of characters of no particular script (figures,
// punctuation, symbols: the amounts, numbers and numeric dates of a
// statement) is shaped by HarfBuzz without substitutions and with nothing
// but adjustments between neighbouring glyphs in most fonts. For such a font
// the result is put together here from each character's glyph and advance
// and the adjustments HarfBuzz makes to each pair, asked of HarfBuzz once per
// pair: a statement's thousands of distinct amounts cost a lookup per
// character instead of a full shaping each.
//
// Latin text (references such as "F-44162") is put together the same way,
// from pairs shaped as Latin, when the font's Latin lookups are pair kerning
// and lookups that act only on certain glyphs (ligatures, marks): a text
// without those glyphs gets nothing but the pairs' adjustments.
class PdfShaper {
  public:
    // The font program must outlive the shaper.
    PdfShaper(const QByteArray& fontData, int faceIndex);
    ~PdfShaper();
    PdfShaper(const PdfShaper&) = delete;
    PdfShaper& operator=(const PdfShaper&) = delete;

    int unitsPerEm() const { return FUnitsPerEm; }
    // Whether texts of no script are put together here in this font.
    bool pairwise() const { return FPairwise; }
    // Whether Latin texts are put together here in this font (those that
    // have none of the glyphs its other Latin lookups act on).
    bool latinPairwise() const { return FLatinPairwise; }
    hb_face_t* face() const { return FFace; }

    // The glyphs of a line, in visual order; valid until the next call.
    const std::vector<PdfShapedGlyph>& shape(const QString& line);
    // The same, always through HarfBuzz.
    const std::vector<PdfShapedGlyph>& shapeWithHarfBuzz(const QString& line);

  private:
    struct Pair {
        enum State : quint8 { Unknown, Plain, Other } state = Unknown;  // Plain: the two nominal glyphs
        qint16 first = 0, second = 0;
    };
    using PairRow = std::array<Pair, 256>;
    using PairTable = std::array<std::unique_ptr<PairRow>, 256>;  // a row per first character
    // What a Latin-1 character is to the tables.
    enum class Kind : signed char { Unknown, Common, Latin, Other };
    bool putTogether(const QString& line);
    Kind kindOf(char16_t c);
    bool latinGlyph(char16_t c) const { return !FLatinBlocked[FGlyph[c]]; }
    const Pair& pair(PairTable& pairs, bool latin, char16_t a, char16_t b);
    void shapeBuffer(const char16_t* text, int length, bool latin = false);

    hb_blob_t* FBlob = nullptr;
    hb_face_t* FFace = nullptr;
    hb_font_t* FFont = nullptr;
    hb_buffer_t* FBuffer = nullptr;
    int FUnitsPerEm = 1000;
    // Whether text of no script gets neither substitutions nor positioning
    // beyond pairs of glyphs in this font.
    bool FPairwise = false;
    // Whether Latin text without the blocked glyphs gets nothing but pair
    // adjustments; the glyphs some other Latin lookup may act on.
    bool FLatinPairwise = false;
    std::vector<bool> FLatinBlocked = std::vector<bool>(0x10000, true);
    // Per Latin-1 character: its kind, and for one in the font its glyph and advance.
    std::array<Kind, 256> FKind{};
    std::array<quint16, 256> FGlyph{};
    std::array<int, 256> FAdvance{};
    // The pairs met so far, shaped as text of no script and as Latin.
    PairTable FPairs, FLatinPairs;
    std::vector<std::pair<int, int>> FPairAdjustments;  // of the line being put together
    std::vector<PdfShapedGlyph> FGlyphs;
};

}  // namespace qev
