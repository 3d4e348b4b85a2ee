#pragma once

#include <QPainterPath>
#include <QString>
#include <QtGlobal>

#include <array>
#include <forward_list>
#include <memory>
#include <thread>
#include <vector>

typedef struct FT_FaceRec_* FT_Face;

namespace qev {

// A font as the report objects carry it: name, whole points, style bits,
// colour 0x00BBGGRR and character set (1 = the default character set).
struct FontDesc {
    enum Style : unsigned { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    static constexpr int DefaultCharset = 1;

    QString name = QStringLiteral("Arial");
    int size = 10;
    unsigned style = 0;
    quint32 color = 0;
    int charset = DefaultCharset;

    bool bold() const { return style & Bold; }
    bool italic() const { return style & Italic; }
    bool operator==(const FontDesc&) const = default;
};

// One font file opened with FreeType, shared by every user of the same name
// and weight/slant. Metrics are in font design units; advances are scaled to a
// whole-pixel em and rounded per glyph, as a device font at that height gives
// them. Callers hold GraphCS() while they use a face (FreeType faces are not
// safe to share between threads).
class FontFace {
  public:
    FontFace(FT_Face face, const QString& filePath, int faceIndex);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    FT_Face ftFace() const { return face_; }
    const QString& filePath() const { return filePath_; }
    int faceIndex() const { return faceIndex_; }
    int unitsPerEm() const { return unitsPerEm_; }
    int ascent() const { return ascent_; }                   // Windows cell ascent, design units
    int descent() const { return descent_; }                 // positive, design units
    int underlinePosition() const { return underlinePos_; }  // below the baseline: negative
    int underlineThickness() const { return underlineThickness_; }
    int strikeoutPosition() const { return strikeoutPos_; }
    int strikeoutThickness() const { return strikeoutThickness_; }

    // Glyph of a code point (0 = the missing glyph).
    unsigned glyphIndex(char32_t codePoint) const;
    // Advance of a code point in design units.
    int designAdvance(char32_t codePoint);
    // Advance in whole pixels for a font whose em is pixelHeight pixels.
    int advance(char32_t codePoint, int pixelHeight);
    // Advances of the UTF-16 units text[0..length) at an em of pixelHeight:
    // the second unit of a surrogate pair gets 0.
    void advances(const QChar* text, int length, int pixelHeight, int32_t* out);
    // Outline of a glyph in design units, y pointing down, origin on the baseline.
    const QPainterPath& glyphPath(unsigned glyph);

  private:
    FT_Face face_;
    QString filePath_;
    int faceIndex_;
    int unitsPerEm_ = 2048;
    int ascent_ = 0, descent_ = 0;
    int underlinePos_ = 0, underlineThickness_ = 0;
    int strikeoutPos_ = 0, strikeoutThickness_ = 0;
    // Advances of the BMP, in blocks of 256 code points made when first
    // needed (-1 = not looked up yet): a report uses a few of them.
    using AdvanceBlock = std::array<int32_t, 256>;
    std::array<std::unique_ptr<AdvanceBlock>, 256> bmpAdvances_;
    // The same in whole pixels, per em height measured at (a few each).
    struct ScaledAdvances {
        int pixelHeight = 0;
        std::array<std::unique_ptr<AdvanceBlock>, 256> blocks;
    };
    ScaledAdvances& scaledAdvances(int pixelHeight);
    std::forward_list<ScaledAdvances> scaledAdvances_;
    std::vector<std::unique_ptr<QPainterPath>> paths_;
};

// Finds font files through fontconfig and keeps every face it opened for the
// life of the process ("Arial" resolves to a metric-compatible face such as
// Liberation Sans). Thread-safe: lookups take GraphCS().
class FontCache {
  public:
    static FontCache& instance();

    // The face for a name and the bold/italic bits of a style; never null
    // (fontconfig always offers a fallback).
    FontFace* face(const QString& name, unsigned style);
    FontFace* face(const FontDesc& font) { return face(font.name, font.style); }
    // The file (and index inside it) fontconfig picks for a name and style.
    static QString fontFilePath(const QString& name, unsigned style, int* faceIndex = nullptr);

  private:
    static std::pair<QString, int> matchFile(const QString& name, unsigned style);
    FontCache();
    ~FontCache();
    struct Private;
    std::unique_ptr<Private> d;
};

// Looks faces up on a thread of its own, so that the first text measured
// does not wait while fontconfig reads its configuration and matches the
// names (some ten milliseconds, a good part of printing a short statement).
// The faces are then in the cache. Waits for the thread when destroyed.
class FontWarmUp {
  public:
    explicit FontWarmUp(std::vector<FontDesc> fonts);
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

  private:
    std::thread FThread;
};

// Rounded pixel height of a font of size points at ppi pixels per inch.
int fontPixelHeight(int sizePoints, int ppi);

}  // namespace qev
