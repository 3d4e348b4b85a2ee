#include "pdf/TfrxPDFFont.h"

#include "format/Error.h"
#include "pdf/PdfNumbers.h"
#include "report/FontMeasure.h"

#include <QCryptographicHash>
#include <QStringList>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>

namespace qev {

namespace {

const char* const frxPDFFontsNeedStyleSimulation[] = {
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",  // ＭＳ
                                                                                  // ゴシック
    "\xEF\xBC\xAD\xEF\xBC\xB3 "
    "\xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",   // ＭＳ Ｐゴシック
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D",              // ＭＳ 明朝
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE6\x98\x8E\xE6\x9C\x9D",  // ＭＳ Ｐ明朝
    "MS UI Gothic",
};

}  // namespace

bool FontNeedsBoldItalicSimulation(const QString& fontName) {
    static const QStringList names = [] {
        QStringList list;
        for (const char* name : frxPDFFontsNeedStyleSimulation) list << QString::fromUtf8(name);
        return list;
    }();
    return names.contains(fontName, Qt::CaseInsensitive);
}

TfrxPDFFont::TfrxPDFFont(const PdfFontStyle& font)
    : FSourceFont(font), FSimulatesStyles(FontNeedsBoldItalicSimulation(font.name)) {
    // The same file the text layout measures with.
    const unsigned style = (font.bold ? unsigned(FontDesc::Bold) : 0u) |
                           (font.italic ? unsigned(FontDesc::Italic) : 0u);
    int faceIndex = 0;
    FFilePath = FontCache::fontFilePath(font.name, style, &faceIndex);
    FProgram = PdfFontProgram::open(FFilePath, faceIndex);
    if (!FProgram) {
        // No outline font of that name: Arial's metrics under the font's own name.
        FFilePath = FontCache::fontFilePath(QStringLiteral("Arial"), style, &faceIndex);
        FProgram = PdfFontProgram::open(FFilePath, faceIndex);
    }
    if (!FProgram) throw Error(QStringLiteral("Font \"%1\" is not installed").arg(font.name));
    FUnitsPerEm = FProgram->shaper().unitsPerEm();
    FillOutlineTextMetrix();
}

TfrxPDFFont::~TfrxPDFFont() = default;

int TfrxPDFFont::toThousandths(double fontUnits) const {
    return int(std::nearbyint(fontUnits * 1000.0 / FUnitsPerEm));
}

void TfrxPDFFont::FillOutlineTextMetrix() {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw Error(QStringLiteral("FreeType is not available"));
    const QByteArray& data = FProgram->data();
    if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(data.constData()),
                           data.size(), FProgram->faceIndex(), &face) != 0) {
        FT_Done_FreeType(library);
        throw Error(QStringLiteral("Cannot read font file \"%1\"").arg(FFilePath));
    }
    PdfOutlineMetrics& m = FTextMetric;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    const bool hasOs2 = os2 && os2->version != 0xFFFF;
    const double winAscent = hasOs2 ? os2->usWinAscent : face->ascender;
    const double winDescent = hasOs2 ? os2->usWinDescent : -face->descender;
    m.cellHeight = toThousandths(winAscent) + toThousandths(winDescent);
    m.internalLeading = m.cellHeight - 1000;
    m.avgCharWidth =
        hasOs2 ? toThousandths(os2->xAvgCharWidth) : toThousandths(face->max_advance_width / 2.0);
    m.maxCharWidth = toThousandths(hhea ? hhea->advance_Width_Max : face->max_advance_width);
    m.weight = hasOs2 ? os2->usWeightClass : ((face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400);
    m.defaultChar = (hasOs2 && os2->version >= 2) ? os2->usDefaultChar : 0;
    m.italicAngle = post ? int(std::nearbyint(post->italicAngle / 65536.0 * 10)) : 0;
    m.ascent = toThousandths(hasOs2 ? os2->sTypoAscender : face->ascender);
    m.descent = toThousandths(hasOs2 ? os2->sTypoDescender : face->descender);
    m.bboxLeft = toThousandths(face->bbox.xMin);
    m.bboxBottom = toThousandths(face->bbox.yMin);
    m.bboxRight = toThousandths(face->bbox.xMax);
    m.bboxTop = toThousandths(face->bbox.yMax);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

QVector<quint16> TfrxPDFFont::RemapString(const QString& line, bool rtl) {
    QVector<quint16> result;
    if (line.isEmpty()) return result;
    const std::vector<PdfShapedGlyph>& glyphs = takeUpGlyphs(line, rtl);
    result.reserve(qsizetype(glyphs.size()));
    for (const PdfShapedGlyph& glyph : glyphs) result.append(glyph.glyph);
    return result;
}

QByteArray TfrxPDFFont::RemapHex(const QString& line, bool rtl) {
    if (line.isEmpty()) return StrToHex(QVector<quint16>());
    const std::vector<PdfShapedGlyph>& glyphs = takeUpGlyphs(line, rtl);
    QByteArray hex(qsizetype(glyphs.size()) * 4, Qt::Uninitialized);
    char* out = hex.data();
    for (const PdfShapedGlyph& glyph : glyphs) out = writeHex4(out, glyph.glyph);
    return hex;
}

const std::vector<PdfShapedGlyph>& TfrxPDFFont::takeUpGlyphs(const QString& line, bool rtl) {
    const std::vector<PdfShapedGlyph>& glyphs = FProgram->shaper().shape(line);
    const unsigned count = unsigned(glyphs.size());
    const bool oneToOne = int(count) == line.size();
    for (unsigned k = 0; k < count; ++k) {
        const quint16 glyph = glyphs[k].glyph;
        if (FUsed[glyph]) continue;
        FUsed[glyph] = true;
        UsedAlphabet.append(glyph);
        Widths.append(toThousandths(glyphs[k].advance));
        if (oneToOne) {
            const int at = rtl ? int(count) - 1 - int(k) : int(k);
            // The shaper reports which character each glyph came from.
            const int index = int(glyphs[k].cluster) < line.size() ? int(glyphs[k].cluster) : at;
            UsedAlphabetUnicode.append(line.mid(index, 1));
        } else {
            // Ligatures and split characters: the glyph's cluster text, so that
            // copied text stays readable; later glyphs of a cluster get the
            // font's default character.
            const unsigned cluster = glyphs[k].cluster;
            const bool first = k == 0 || glyphs[k - 1].cluster != cluster;
            unsigned end = unsigned(line.size());
            for (unsigned j = 0; j < count; ++j)
                if (glyphs[j].cluster > cluster && glyphs[j].cluster < end) end = glyphs[j].cluster;
            UsedAlphabetUnicode.append(first ? line.mid(int(cluster), int(end - cluster))
                                             : QString(QChar(FTextMetric.defaultChar)));
        }
    }
    return glyphs;
}

QByteArray TfrxPDFFont::GetFontName() const {
    QByteArray name = FSourceFont.name.toUtf8();
    static const char* const escapes[][2] = {{" ", "#20"}, {"(", "#28"}, {")", "#29"}, {"%", "#25"},
                                             {"<", "#3C"}, {">", "#3E"}, {"[", "#5B"}, {"]", "#5D"},
                                             {"{", "#7B"}, {"}", "#7D"}, {"/", "#2F"}};
    for (const auto& escape : escapes) name.replace(escape[0], escape[1]);
    if (!FSimulatesStyles) {
        QByteArray suffix;
        if (FSourceFont.bold) suffix += "Bold";
        if (FSourceFont.italic) suffix += "Italic";
        if (!suffix.isEmpty()) name += "," + suffix;
    }
    QByteArray result;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x7F)
            result += "#" + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        else
            result += c;
    }
    return result;
}

QByteArray TfrxPDFFont::SubsetTag() const {
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(GetFontName());
    for (quint16 glyph : UsedAlphabet) {
        const char bytes[2] = {char(glyph >> 8), char(glyph & 0xFF)};
        hash.addData(QByteArrayView(bytes, 2));
    }
    const QByteArray digest = hash.result();
    QByteArray tag;
    for (int i = 0; i < 6; ++i) tag += char('A' + static_cast<unsigned char>(digest[i]) % 26);
    return tag;
}

QByteArray TfrxPDFFont::GetFontFile(bool* isSubset) const {
    if (isSubset) *isSubset = false;
    if (!PackFont) return FProgram->data();
    const QByteArray subset = FProgram->subset(UsedAlphabet);
    if (subset.isEmpty()) return FProgram->data();
    if (isSubset) *isSubset = true;
    return subset;
}

}  // namespace qev
