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
    bool putTogether(const QString& line);
    bool plainCharacter(char16_t c);
    const Pair& pair(char16_t a, char16_t b);
    void shapeBuffer(const char16_t* text, int length);

    hb_blob_t* FBlob = nullptr;
    hb_face_t* FFace = nullptr;
    hb_font_t* FFont = nullptr;
    hb_buffer_t* FBuffer = nullptr;
    int FUnitsPerEm = 1000;
    // Whether text of no script gets neither substitutions nor positioning
    // beyond pairs of glyphs in this font.
    bool FPairwise = false;
    // Per Latin-1 character: 0 not yet looked at, 1 of no script and in the
    // font, -1 otherwise; then its glyph and advance.
    std::array<signed char, 256> FPlain{};
    std::array<quint16, 256> FGlyph{};
    std::array<int, 256> FAdvance{};
    // The pairs met so far, a row per first character.
    std::array<std::unique_ptr<PairRow>, 256> FPairs;
    std::vector<std::pair<int, int>> FPairAdjustments;  // of the line being put together
    std::vector<PdfShapedGlyph> FGlyphs;
};

}  // namespace qev
