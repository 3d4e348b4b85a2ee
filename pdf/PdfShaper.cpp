#include "pdf/PdfShaper.h"

#include <hb-aat.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>

namespace qev {

namespace {

bool hasAppleLayout(hb_face_t* face) {
    return hb_aat_layout_has_substitution(face) || hb_aat_layout_has_positioning(face) ||
           hb_aat_layout_has_tracking(face);
}

// The plan HarfBuzz shapes with for text that gets the segment properties
// of `sample` (a figure: text of no script; a letter: Latin text).
hb_shape_plan_t* planForTextLike(hb_face_t* face, hb_buffer_t* buffer, char16_t sample) {
    const uint16_t text = sample;
    hb_buffer_reset(buffer);
    hb_buffer_add_utf16(buffer, &text, 1, 0, 1);
    hb_buffer_guess_segment_properties(buffer);
    hb_segment_properties_t properties;
    hb_buffer_get_segment_properties(buffer, &properties);
    return hb_shape_plan_create_cached(face, &properties, nullptr, 0, nullptr);
}

// Whether HarfBuzz, shaping text of no particular script in this font,
// applies no lookup of its layout tables and no Apple layout table: then
// all it does beyond taking each character's glyph and advance is adjust
// neighbouring glyphs (kerning of the 'kern' table).
bool onlyPairsForTextOfNoScript(hb_face_t* face, hb_buffer_t* buffer) {
    if (hasAppleLayout(face)) return false;
    hb_shape_plan_t* plan = planForTextLike(face, buffer, u'0');
    bool none = true;
    for (const hb_tag_t table : {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS}) {
        hb_set_t* lookups = hb_set_create();
        hb_ot_shape_plan_collect_lookups(plan, table, lookups);
        none = none && hb_set_is_empty(lookups);
        hb_set_destroy(lookups);
    }
    hb_shape_plan_destroy(plan);
    return none;
}

// A font's layout table read big-endian; every read is checked against its
// length, as the font comes from outside.
class TableReader {
  public:
    explicit TableReader(hb_blob_t* blob) { FData = hb_blob_get_data(blob, &FLength); }
    bool u16(unsigned at, unsigned& value) const {
        if (!FData || at > FLength || FLength - at < 2) return false;
        const auto* p = reinterpret_cast<const unsigned char*>(FData) + at;
        value = unsigned(p[0]) << 8 | p[1];
        return true;
    }
    bool u32(unsigned at, unsigned& value) const {
        unsigned high = 0, low = 0;
        if (!u16(at, high) || !u16(at + 2, low)) return false;
        value = high << 16 | low;
        return true;
    }

  private:
    const char* FData = nullptr;
    unsigned FLength = 0;
};

// Marks the glyphs of the coverage table at `at`; false when it cannot be
// read, or when its ranges overlap more than a sound table's could (a
// damaged font must not keep us marking the same glyphs for long).
bool markCoverage(const TableReader& table, unsigned at, std::vector<bool>& glyphs) {
    unsigned format = 0, count = 0;
    if (!table.u16(at, format) || !table.u16(at + 2, count)) return false;
    std::size_t marked = 0;
    for (unsigned i = 0; i < count; ++i) {
        unsigned first = 0, last = 0;
        if (format == 1) {
            if (!table.u16(at + 4 + 2 * i, first)) return false;
            last = first;
        } else if (format != 2 || !table.u16(at + 4 + 6 * i, first) ||
                   !table.u16(at + 6 + 6 * i, last) || last < first) {
            return false;
        }
        marked += last - first + 1;
        if (marked > glyphs.size()) return false;
        for (unsigned glyph = first; glyph <= last && glyph < glyphs.size(); ++glyph)
            glyphs[glyph] = true;
    }
    return true;
}

// Whether a positioning lookup only adjusts pairs of neighbours (and leaves
// the second glyph to start the next pair) or attaches marks; the glyphs
// taken as marks are blocked.
bool pairsOrMarks(const TableReader& gpos, unsigned lookupIndex, std::vector<bool>& blocked) {
    unsigned list = 0, count = 0, offset = 0;
    if (!gpos.u16(8, list) || !gpos.u16(list, count) || lookupIndex >= count ||
        !gpos.u16(list + 2 + 2 * lookupIndex, offset))
        return false;
    const unsigned lookup = list + offset;
    unsigned type = 0, subtables = 0;
    if (!gpos.u16(lookup, type) || !gpos.u16(lookup + 4, subtables)) return false;
    for (unsigned k = 0; k < subtables; ++k) {
        unsigned at = 0, kind = type;
        if (!gpos.u16(lookup + 6 + 2 * k, at)) return false;
        at += lookup;
        if (type == 9) {  // extension: the real type and subtable further on
            unsigned extension = 0;
            if (!gpos.u16(at + 2, kind) || !gpos.u32(at + 4, extension)) return false;
            at += extension;
        }
        unsigned format = 0, value = 0;
        switch (kind) {
            case 2:  // pair adjustment; with a second value record the pair would be skipped
                if (!gpos.u16(at, format) || (format != 1 && format != 2) ||
                    !gpos.u16(at + 6, value) || value != 0)
                    return false;
                break;
            case 4:  // mark to base, ligature or mark: the marks are covered first
            case 5:
            case 6:
                if (!gpos.u16(at + 2, value) || !markCoverage(gpos, at + value, blocked))
                    return false;
                break;
            default:
                return false;
        }
    }
    return true;
}

// Whether HarfBuzz, shaping Latin text in this font, does nothing but adjust
// neighbouring glyphs as long as the text has none of the glyphs it marks in
// `blocked`: those any substitution looks at, those taken as marks, and
// those that lookups may skip (marks, ligatures and their components).
bool onlyPairsForLatinText(hb_face_t* face, hb_buffer_t* buffer, std::vector<bool>& blocked) {
    if (hasAppleLayout(face)) return false;
    std::fill(blocked.begin(), blocked.end(), false);
    hb_shape_plan_t* plan = planForTextLike(face, buffer, u'a');
    hb_set_t* lookups = hb_set_create();
    hb_set_t* glyphs = hb_set_create();
    hb_ot_shape_plan_collect_lookups(plan, HB_OT_TAG_GSUB, lookups);
    for (hb_codepoint_t i = HB_SET_VALUE_INVALID; hb_set_next(lookups, &i);)
        hb_ot_layout_lookup_collect_glyphs(face, HB_OT_TAG_GSUB, i, glyphs, glyphs, glyphs,
                                           nullptr);
    for (hb_codepoint_t g = HB_SET_VALUE_INVALID; hb_set_next(glyphs, &g);)
        if (g < blocked.size()) blocked[g] = true;
    hb_set_clear(lookups);
    hb_ot_shape_plan_collect_lookups(plan, HB_OT_TAG_GPOS, lookups);
    hb_blob_t* table = hb_face_reference_table(face, HB_OT_TAG_GPOS);
    const TableReader gpos(table);
    bool pairwise = true;
    for (hb_codepoint_t i = HB_SET_VALUE_INVALID; pairwise && hb_set_next(lookups, &i);)
        pairwise = pairsOrMarks(gpos, i, blocked);
    hb_blob_destroy(table);
    hb_set_destroy(glyphs);
    hb_set_destroy(lookups);
    hb_shape_plan_destroy(plan);
    const unsigned count = std::min(hb_face_get_glyph_count(face), unsigned(blocked.size()));
    for (unsigned g = 0; g < count; ++g)
        if (hb_ot_layout_get_glyph_class(face, g) != HB_OT_LAYOUT_GLYPH_CLASS_UNCLASSIFIED &&
            hb_ot_layout_get_glyph_class(face, g) != HB_OT_LAYOUT_GLYPH_CLASS_BASE_GLYPH)
            blocked[g] = true;
    return pairwise;
}

}  // namespace

PdfShaper::PdfShaper(const QByteArray& fontData, int faceIndex) {
    FBlob = hb_blob_create(fontData.constData(), unsigned(fontData.size()),
                           HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    FFace = hb_face_create(FBlob, unsigned(faceIndex));
    FFont = hb_font_create(FFace);
    FUnitsPerEm = int(hb_face_get_upem(FFace));
    hb_font_set_scale(FFont, FUnitsPerEm, FUnitsPerEm);
    FBuffer = hb_buffer_create();
    FPairwise = onlyPairsForTextOfNoScript(FFace, FBuffer);
    FLatinPairwise = onlyPairsForLatinText(FFace, FBuffer, FLatinBlocked);
}

PdfShaper::~PdfShaper() {
    hb_buffer_destroy(FBuffer);
    hb_font_destroy(FFont);
    hb_face_destroy(FFace);
    hb_blob_destroy(FBlob);
}

const std::vector<PdfShapedGlyph>& PdfShaper::shape(const QString& line) {
    if (putTogether(line)) return FGlyphs;
    return shapeWithHarfBuzz(line);
}

const std::vector<PdfShapedGlyph>& PdfShaper::shapeWithHarfBuzz(const QString& line) {
    shapeBuffer(reinterpret_cast<const char16_t*>(line.utf16()), int(line.size()));
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(FBuffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(FBuffer, &count);
    FGlyphs.resize(count);
    for (unsigned k = 0; k < count; ++k)
        FGlyphs[k] = {quint16(infos[k].codepoint), infos[k].cluster, int(positions[k].x_advance)};
    return FGlyphs;
}

// As Latin: a pair taken out of a Latin text, whose script it may lack.
void PdfShaper::shapeBuffer(const char16_t* text, int length, bool latin) {
    hb_buffer_reset(FBuffer);
    hb_buffer_add_utf16(FBuffer, reinterpret_cast<const uint16_t*>(text), length, 0, length);
    if (latin) hb_buffer_set_script(FBuffer, HB_SCRIPT_LATIN);
    hb_buffer_guess_segment_properties(FBuffer);
    hb_shape(FFont, FBuffer, nullptr, 0);
}

// A Latin-1 character of no particular script or Latin, printable, no mark,
// with a glyph of its own in the font.
PdfShaper::Kind PdfShaper::kindOf(char16_t c) {
    if (c >= 0x100) return Kind::Other;
    Kind& kind = FKind[c];
    if (kind != Kind::Unknown) return kind;
    kind = Kind::Other;
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD;
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    const hb_unicode_general_category_t category = hb_unicode_general_category(unicode, c);
    const bool mark = category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
                      category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
                      category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK ||
                      category == HB_UNICODE_GENERAL_CATEGORY_FORMAT;
    const hb_script_t script = hb_unicode_script(unicode, c);
    hb_codepoint_t glyph = 0;
    if (control || mark || (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_LATIN) ||
        !hb_font_get_nominal_glyph(FFont, c, &glyph) || glyph > 0xFFFF)
        return kind;
    FGlyph[c] = quint16(glyph);
    FAdvance[c] = int(hb_font_get_glyph_h_advance(FFont, glyph));
    kind = script == HB_SCRIPT_COMMON ? Kind::Common : Kind::Latin;
    return kind;
}

// Both characters are in the font (below 256).
const PdfShaper::Pair& PdfShaper::pair(PairTable& pairs, bool latin, char16_t a, char16_t b) {
    std::unique_ptr<PairRow>& row = pairs[a];
    if (!row) row = std::make_unique<PairRow>();
    Pair& p = (*row)[b];
    if (p.state != Pair::Unknown) return p;
    const char16_t text[2] = {a, b};
    shapeBuffer(text, 2, latin);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(FBuffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(FBuffer, &count);
    const bool plain = count == 2 && infos[0].codepoint == FGlyph[a] &&
                       infos[1].codepoint == FGlyph[b] && infos[0].cluster == 0 &&
                       infos[1].cluster == 1;
    const int first = plain ? int(positions[0].x_advance) - FAdvance[a] : 0;
    const int second = plain ? int(positions[1].x_advance) - FAdvance[b] : 0;
    // Adjustments beyond what 16 bits hold are not met in fonts; they are left to HarfBuzz.
    const bool fits = first == qint16(first) && second == qint16(second);
    p.state = plain && fits ? Pair::Plain : Pair::Other;
    p.first = qint16(first);
    p.second = qint16(second);
    return p;
}

// Each glyph's advance is its own plus what the pairs it belongs to add on
// its side. Text with a Latin letter is shaped as Latin as a whole.
bool PdfShaper::putTogether(const QString& line) {
    const auto* text = reinterpret_cast<const char16_t*>(line.utf16());
    const int n = int(line.size());
    bool latin = false;
    for (int i = 0; i < n; ++i) {
        const Kind kind = kindOf(text[i]);
        if (kind == Kind::Other) return false;
        latin = latin || kind == Kind::Latin;
    }
    if (!(latin ? FLatinPairwise : FPairwise)) return false;
    if (latin)
        for (int i = 0; i < n; ++i)
            if (!latinGlyph(text[i])) return false;
    PairTable& pairs = latin ? FLatinPairs : FPairs;
    FPairAdjustments.resize(std::size_t(n));
    for (int i = 0; i + 1 < n; ++i) {
        const Pair& p = pair(pairs, latin, text[i], text[i + 1]);
        if (p.state != Pair::Plain) return false;
        FPairAdjustments[std::size_t(i)] = {p.first, p.second};
    }
    FGlyphs.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        int advance = FAdvance[text[i]];
        if (i > 0) advance += FPairAdjustments[std::size_t(i) - 1].second;
        if (i + 1 < n) advance += FPairAdjustments[std::size_t(i)].first;
        FGlyphs[std::size_t(i)] = {FGlyph[text[i]], quint32(i), advance};
    }
    return true;
}

}  // namespace qev
