#pragma once

#include "pdf/PdfFontProgram.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

namespace qev {

// What the PDF needs of a memo font: its name and style set.
struct PdfFontStyle {
    QString name = QStringLiteral("Arial");
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool sameStyle(const PdfFontStyle& other) const {
        return bold == other.bold && italic == other.italic && underline == other.underline &&
               strikeOut == other.strikeOut;
    }
};

// Outline metrics of a font in thousandths of its em.
struct PdfOutlineMetrics {
    int cellHeight = 0;
    int internalLeading = 0;
    int avgCharWidth = 0;
    int maxCharWidth = 0;
    int weight = 400;
    int defaultChar = 0;
    int italicAngle = 0;  // tenths of a degree
    int ascent = 0;
    int descent = 0;
    int bboxLeft = 0, bboxBottom = 0, bboxRight = 0, bboxTop = 0;
};

// One font of an export run: metrics, shaping into glyph ids, and the glyphs
// used so far with their widths and the text they stand for.
class TfrxPDFFont {
  public:
    explicit TfrxPDFFont(const PdfFontStyle& font);
    ~TfrxPDFFont();
    TfrxPDFFont(const TfrxPDFFont&) = delete;
    TfrxPDFFont& operator=(const TfrxPDFFont&) = delete;

    const PdfFontStyle& SourceFont() const { return FSourceFont; }
    // FontNeedsBoldItalicSimulation of its name, asked once.
    bool SimulatesStyles() const { return FSimulatesStyles; }
    const PdfOutlineMetrics& TextMetric() const { return FTextMetric; }
    QString filePath() const { return FFilePath; }

    // Glyph ids of a line, in visual order; new glyphs join the used alphabet.
    QVector<quint16> RemapString(const QString& line, bool rtl);
    // The same glyph ids as hexadecimal text for a Tj operand. (The export
    // asks once per distinct text: PdfTextCache.)
    QByteArray RemapHex(const QString& line, bool rtl);

    // Resource font name with escapes and the style suffix ("Arial,Bold").
    QByteArray GetFontName() const;
    // The font program, subset to the used glyphs (original glyph ids kept)
    // when PackFont is set; the whole file when subsetting fails. `isSubset`
    // tells which of the two it is.
    QByteArray GetFontFile(bool* isSubset = nullptr) const;
    // Six capital letters that name this subset (the same used glyphs give
    // the same tag), put with "+" before the name of an embedded subset.
    QByteArray SubsetTag() const;

    QVector<int> Widths;
    QVector<quint16> UsedAlphabet;
    QVector<QString> UsedAlphabetUnicode;
    QByteArray Name;
    int Reference = 0;
    bool Saved = false;
    bool PackFont = true;

  private:
    // The line shaped (valid until the next is); glyphs met for the first
    // time join the used alphabet with their widths and text.
    const std::vector<PdfShapedGlyph>& takeUpGlyphs(const QString& line, bool rtl);
    void FillOutlineTextMetrix();
    int toThousandths(double fontUnits) const;

    std::vector<bool> FUsed = std::vector<bool>(0x10000, false);  // glyph in UsedAlphabet
    PdfFontStyle FSourceFont;
    bool FSimulatesStyles = false;
    PdfOutlineMetrics FTextMetric;
    QString FFilePath;
    std::shared_ptr<PdfFontProgram> FProgram;
    int FUnitsPerEm = 1000;
};

// Fonts whose bold and italic faces are drawn by simulation.
bool FontNeedsBoldItalicSimulation(const QString& fontName);

}  // namespace qev
