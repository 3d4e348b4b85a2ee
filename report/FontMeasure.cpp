#include "report/FontMeasure.h"

#include "report/GraphicUtils.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <QFile>
#include <QMutexLocker>

#include <map>
#include <stdexcept>
#include <system_error>
#include <tuple>

namespace qev {

int fontPixelHeight(int sizePoints, int ppi) {
    return rnd(sizePoints * double(ppi) / 72.0);
}

// --- FontFace ---------------------------------------------------------------

FontFace::FontFace(FT_Face face, const QString& filePath, int faceIndex)
    : face_(face), filePath_(filePath), faceIndex_(faceIndex) {
    unitsPerEm_ = face->units_per_EM ? face->units_per_EM : 2048;
    underlinePos_ = face->underline_position;
    underlineThickness_ = face->underline_thickness;
    ascent_ = face->ascender;
    descent_ = -face->descender;
    strikeoutThickness_ = underlineThickness_;
    strikeoutPos_ = unitsPerEm_ / 4;
    // The Windows cell (usWinAscent/usWinDescent) is what a GDI text cell
    // measures from its top; fall back to hhea when the table is missing.
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent_ = os2->usWinAscent;
            descent_ = os2->usWinDescent;
        }
        if (os2->yStrikeoutSize > 0) {
            strikeoutPos_ = os2->yStrikeoutPosition;
            strikeoutThickness_ = os2->yStrikeoutSize;
        }
    }
}

FontFace::~FontFace() {
    FT_Done_Face(face_);
}

unsigned FontFace::glyphIndex(char32_t codePoint) const {
    return FT_Get_Char_Index(face_, codePoint);
}

int FontFace::designAdvance(char32_t codePoint) {
    AdvanceBlock* block = nullptr;
    if (codePoint < 0x10000) {
        std::unique_ptr<AdvanceBlock>& slot = bmpAdvances_[codePoint >> 8];
        if (!slot) {
            slot = std::make_unique<AdvanceBlock>();
            slot->fill(-1);
        }
        block = slot.get();
        if ((*block)[codePoint & 0xFF] >= 0) return (*block)[codePoint & 0xFF];
    }
    FT_Fixed units = 0;
    FT_Get_Advance(face_, glyphIndex(codePoint), FT_LOAD_NO_SCALE, &units);
    const int result = static_cast<int>(units);
    if (block) (*block)[codePoint & 0xFF] = result;
    return result;
}

int FontFace::advance(char32_t codePoint, int pixelHeight) {
    return rnd(double(designAdvance(codePoint)) * pixelHeight / unitsPerEm_);
}

void FontFace::advances(const QChar* text, int length, int pixelHeight, int32_t* out) {
    ScaledAdvances& scaled = scaledAdvances(pixelHeight);
    for (int i = 0; i < length; ++i) {
        char32_t cp = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < length && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            out[i] = advance(cp, pixelHeight);
            out[++i] = 0;
            continue;
        }
        std::unique_ptr<AdvanceBlock>& block = scaled.blocks[cp >> 8];
        if (!block) {
            block = std::make_unique<AdvanceBlock>();
            block->fill(-1);
        }
        int32_t& known = (*block)[cp & 0xFF];
        if (known < 0) known = advance(cp, pixelHeight);
        out[i] = known;
    }
}

FontFace::ScaledAdvances& FontFace::scaledAdvances(int pixelHeight) {
    for (ScaledAdvances& scaled : scaledAdvances_)
        if (scaled.pixelHeight == pixelHeight) return scaled;
    scaledAdvances_.emplace_front();
    scaledAdvances_.front().pixelHeight = pixelHeight;
    return scaledAdvances_.front();
}

namespace {

struct OutlineSink {
    QPainterPath* path;
    static QPointF pt(const FT_Vector* v) { return QPointF(v->x, -v->y); }
    static int moveTo(const FT_Vector* to, void* user) {
        auto* self = static_cast<OutlineSink*>(user);
        self->path->closeSubpath();
        self->path->moveTo(pt(to));
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user) {
        static_cast<OutlineSink*>(user)->path->lineTo(pt(to));
        return 0;
    }
    static int conicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
        static_cast<OutlineSink*>(user)->path->quadTo(pt(c), pt(to));
        return 0;
    }
    static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        static_cast<OutlineSink*>(user)->path->cubicTo(pt(c1), pt(c2), pt(to));
        return 0;
    }
};

}  // namespace

const QPainterPath& FontFace::glyphPath(unsigned glyph) {
    if (glyph >= paths_.size()) paths_.resize(glyph + 1);
    if (!paths_[glyph]) {
        auto path = std::make_unique<QPainterPath>();
        path->setFillRule(Qt::WindingFill);
        if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0 &&
            face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Outline_Funcs funcs{};
            funcs.move_to = &OutlineSink::moveTo;
            funcs.line_to = &OutlineSink::lineTo;
            funcs.conic_to = &OutlineSink::conicTo;
            funcs.cubic_to = &OutlineSink::cubicTo;
            OutlineSink sink{path.get()};
            FT_Outline_Decompose(&face_->glyph->outline, &funcs, &sink);
            path->closeSubpath();
        }
        paths_[glyph] = std::move(path);
    }
    return *paths_[glyph];
}

// --- FontCache --------------------------------------------------------------

struct FontCache::Private {
    FT_Library library = nullptr;
    // (name, bold, italic) -> face; one FontFace per distinct file as well.
    std::map<std::tuple<QString, bool, bool>, FontFace*> byRequest;
    std::map<std::pair<QString, int>, std::unique_ptr<FontFace>> byFile;
};

FontCache::FontCache() : d(std::make_unique<Private>()) {
    if (FT_Init_FreeType(&d->library) != 0)
        throw std::runtime_error("FreeType could not be initialised");
}

FontCache::~FontCache() {
    d->byRequest.clear();
    d->byFile.clear();
    FT_Done_FreeType(d->library);
}

FontCache& FontCache::instance() {
    static FontCache cache;
    return cache;
}

FontWarmUp::FontWarmUp(std::vector<FontDesc> fonts) {
    try {
        FThread = std::thread([fonts = std::move(fonts)] {
            for (const FontDesc& font : fonts) {
                try {
                    FontCache::instance().face(font);
                } catch (const std::exception&) {
                    // Said when the font is used.
                }
            }
        });
    } catch (const std::system_error&) {
        // No thread to spare: the faces are looked up when first used.
    }
}

FontWarmUp::~FontWarmUp() {
    if (FThread.joinable()) FThread.join();
}

// Asked of fontconfig once per name and style: every statement's PDF fonts
// ask again, and a match costs as much as a short statement's text.
QString FontCache::fontFilePath(const QString& name, unsigned style, int* faceIndex) {
    QMutexLocker lock(&GraphCS());
    static std::map<std::tuple<QString, bool, bool>, std::pair<QString, int>> matched;
    const auto key =
        std::make_tuple(name, bool(style & FontDesc::Bold), bool(style & FontDesc::Italic));
    auto known = matched.find(key);
    if (known == matched.end()) known = matched.emplace(key, matchFile(name, style)).first;
    if (faceIndex) *faceIndex = known->second.second;
    return known->second.first;
}

std::pair<QString, int> FontCache::matchFile(const QString& name, unsigned style) {
    const QByteArray family = name.toUtf8();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        (style & FontDesc::Bold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT,
                        (style & FontDesc::Italic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    QString path;
    int index = 0;
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = QString::fromUtf8(reinterpret_cast<const char*>(file));
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return {path, index};
}

FontFace* FontCache::face(const QString& name, unsigned style) {
    QMutexLocker lock(&GraphCS());
    const auto key =
        std::make_tuple(name, bool(style & FontDesc::Bold), bool(style & FontDesc::Italic));
    if (auto it = d->byRequest.find(key); it != d->byRequest.end()) return it->second;

    int index = 0;
    const QString path = fontFilePath(name, style, &index);
    const auto fileKey = std::make_pair(path, index);
    auto it = d->byFile.find(fileKey);
    if (it == d->byFile.end()) {
        FT_Face ft = nullptr;
        if (path.isEmpty() ||
            FT_New_Face(d->library, QFile::encodeName(path).constData(), index, &ft) != 0)
            throw std::runtime_error("No font file found for " + name.toStdString());
        it = d->byFile.emplace(fileKey, std::make_unique<FontFace>(ft, path, index)).first;
    }
    d->byRequest[key] = it->second.get();
    return it->second.get();
}

}  // namespace qev
