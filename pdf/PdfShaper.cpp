#include "pdf/PdfShaper.h"

#include <hb-aat.h>
#include <hb-ot.h>
#include <hb.h>

namespace qev {

namespace {

// Whether HarfBuzz, shaping text of no particular script in this font,
// applies no lookup of its layout tables and no Apple layout table: then
// all it does beyond taking each character's glyph and advance is adjust
// neighbouring glyphs (kerning of the 'kern' table).
bool onlyPairsForTextOfNoScript(hb_face_t* face, hb_buffer_t* buffer) {
    if (hb_aat_layout_has_substitution(face) || hb_aat_layout_has_positioning(face) ||
        hb_aat_layout_has_tracking(face))
        return false;
    // The segment properties such text gets: those of a figure.
    const uint16_t figure = u'0';
    hb_buffer_reset(buffer);
    hb_buffer_add_utf16(buffer, &figure, 1, 0, 1);
    hb_buffer_guess_segment_properties(buffer);
    hb_segment_properties_t properties;
    hb_buffer_get_segment_properties(buffer, &properties);
    hb_shape_plan_t* plan = hb_shape_plan_create_cached(face, &properties, nullptr, 0, nullptr);
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

void PdfShaper::shapeBuffer(const char16_t* text, int length) {
    hb_buffer_reset(FBuffer);
    hb_buffer_add_utf16(FBuffer, reinterpret_cast<const uint16_t*>(text), length, 0, length);
    hb_buffer_guess_segment_properties(FBuffer);
    hb_shape(FFont, FBuffer, nullptr, 0);
}

// A Latin-1 character of no particular script, printable, no mark, with a
// glyph of its own in the font.
bool PdfShaper::plainCharacter(char16_t c) {
    if (c >= 0x100) return false;
    signed char& state = FPlain[c];
    if (state != 0) return state > 0;
    state = -1;
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD;
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    const hb_unicode_general_category_t category = hb_unicode_general_category(unicode, c);
    const bool mark = category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
                      category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
                      category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK ||
                      category == HB_UNICODE_GENERAL_CATEGORY_FORMAT;
    hb_codepoint_t glyph = 0;
    if (control || mark || hb_unicode_script(unicode, c) != HB_SCRIPT_COMMON ||
        !hb_font_get_nominal_glyph(FFont, c, &glyph) || glyph > 0xFFFF)
        return false;
    FGlyph[c] = quint16(glyph);
    FAdvance[c] = int(hb_font_get_glyph_h_advance(FFont, glyph));
    state = 1;
    return true;
}

// Both characters are plain ones (below 256).
const PdfShaper::Pair& PdfShaper::pair(char16_t a, char16_t b) {
    std::unique_ptr<PairRow>& row = FPairs[a];
    if (!row) row = std::make_unique<PairRow>();
    Pair& p = (*row)[b];
    if (p.state != Pair::Unknown) return p;
    const char16_t text[2] = {a, b};
    shapeBuffer(text, 2);
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
// its side.
bool PdfShaper::putTogether(const QString& line) {
    if (!FPairwise) return false;
    const auto* text = reinterpret_cast<const char16_t*>(line.utf16());
    const int n = int(line.size());
    for (int i = 0; i < n; ++i)
        if (!plainCharacter(text[i])) return false;
    FPairAdjustments.resize(std::size_t(n));
    for (int i = 0; i + 1 < n; ++i) {
        const Pair& p = pair(text[i], text[i + 1]);
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
