#pragma once

#include "report/FontMeasure.h"
#include "report/TfrxDrawTextTags.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

class QPainter;

namespace qev {

// Horizontal and vertical text alignment, in the order of the memo's haLeft..haBlock
// and vaTop..vaCenter values.
enum class DrawHAlign { Left = 0, Right = 1, Center = 2, Block = 3 };
enum class DrawVAlign { Top = 0, Bottom = 1, Center = 2 };

// Rectangle of whole pixels, right and bottom exclusive like a device rectangle.
struct LayoutRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    bool operator==(const LayoutRect&) const = default;
};

// One wrapped line: its text and paragraph flags (1 = first line of a source
// line, 2 = last, 3 = both). position is the 1-based index in the plain text
// of its first character.
struct TfrxWrappedLine {
    QString text;
    int flags = 0;
    int position = 1;
};

// The text-layout engine of memos: wraps source lines into a rectangle and
// measures them at 600 pixels per inch, whatever the device, so that wrapping
// and widths are the same on screen, printer and PDF. All sizes given and
// returned are report pixels (96 per inch). Callers bracket a whole sequence
// SetFont .. SetText .. measuring/drawing with Lock()/Unlock().
class TfrxDrawText {
  public:
    static constexpr int FDefPPI = 600;
    static constexpr int FScrPPI = 96;
    static constexpr double kRatio = double(FDefPPI) / FScrPPI;  // 6.25

    void Lock();
    void Unlock();

    void SetFont(const FontDesc& font);
    void SetOptions(bool WordWrap, bool HTMLTags, bool RTLReading, bool WordBreak, bool Clipped,
                    bool Wysiwyg, int Rotation);
    void SetGaps(double ParagraphGap, double CharSpacing, double LineSpacing);
    void SetDimensions(double ScaleX, double ScaleY, double PrintScale,
                       const LayoutRect& OriginalRect, const LayoutRect& ScaledRect);
    void SetText(const QStringList& lines);
    // The width of a text of one line, in report pixels, when SetText would
    // lay it out as that one line and CalcWidth give this width: no tags, no
    // line ends, no character spacing or paragraph gap, and short enough
    // when words wrap. -1 otherwise. Leaves the wrapped lines as they were:
    // a statement's thousands of distinct amounts and numbers are measured
    // without being laid out.
    double PlainLineWidth(const QString& line);
    void SetParaBreaks(bool FirstParaBreak, bool LastParaBreak);
    // Measure the text as UTF-16 even for a font with another character set.
    void SetUseDefaultCharset(bool value) {
        FUseDefaultCharset = value;
        FFitWidths.clear();
    }

    QString GetWrappedText() const;
    double LineHeight() const;
    double TextHeight() const;
    double CalcHeight() const;
    double CalcWidth();

    // Splitting a memo across pages.
    double UnusedSpace() const;
    QString GetInBoundsText() const { return FPlainText; }
    QString GetOutBoundsText(bool& ParaBreak);

    // Draws the wrapped lines on a screen, image or printer canvas.
    void DrawText(QPainter* canvas, DrawHAlign hAlign, DrawVAlign vAlign);
    static bool IsPrinter(const QPainter* canvas);

    QString DeleteTags(const QString& text) const { return FHTMLTags.DeleteTags(text); }

    // Read access for consumers that place the lines themselves.
    const std::vector<TfrxWrappedLine>& WrappedLines() const { return FText; }
    const TfrxHTMLTagsList& HTMLTags() const { return FHTMLTags; }
    const QString& PlainText() const { return FPlainText; }
    const FontDesc& Font() const { return FFont; }
    int FontSize() const { return FFontSize; }
    int FontPixelHeight() const { return FPixelHeight; }  // at 600 per inch
    int Rotation() const { return FRotation; }

    // Advances at 600 per inch of characters of wrapped line lineIndex, each
    // with add added; with convert, running sums instead. Returns the sum.
    int FillCharSpacingArray(int lineIndex, int add, bool convert);

  private:
    struct Target;  // the drawing device: resolution, font heights
    int measureRuns(const QString& text, const TfrxHTMLTags& records, int add, bool applySmall,
                    std::vector<int32_t>& out);
    // The face of the font's name in a style (bold and italic bits); the
    // faces live as long as the program.
    FontFace* faceFor(unsigned style);
    QString measurableText(const QString& text) const;
    // The rectangle's side that lines wrap at (report pixels).
    int wrapWidth() const;
    void WrapTextLine(QString s, int Width, int FirstLineWidth, int CharSpacing);
    void addLine(const QString& s, const TfrxHTMLTags& records, int from, int to, bool hyphen);
    void DrawTextLine(QPainter* canvas, const Target& target, int X, int Y, int DX, int lineIndex,
                      DrawHAlign align);
    int targetHeight(const Target& target, int sizePoints, bool horizontal) const;

    FontDesc FFont;
    int FFontSize = 10;
    int FPixelHeight = 83;
    std::vector<int32_t> FTempArray;
    std::vector<int32_t> FWidthArray;  // CalcWidth's scratch
    std::array<FontFace*, 4> FFaces{};
    TfrxHTMLTagsList FHTMLTags;
    double FCharSpacing = 0, FLineSpacing = 0, FParagraphGap = 0;
    unsigned FOptions = 0;
    LayoutRect FOriginalRect, FScaledRect;
    double FPrintScale = 1, FScaleX = 1, FScaleY = 1;
    int FRotation = 0;
    bool FRTLReading = false, FWordBreak = false, FWordWrap = true, FWysiwyg = true;
    bool FUseDefaultCharset = false;
    std::vector<TfrxWrappedLine> FText;
    // By wrapped line: its width at 600 per inch when wrapping measured it
    // whole without character spacing or small type, else -1 (CalcWidth
    // measures it then). A new font or character set forgets them.
    std::vector<int> FFitWidths;
    QString FPlainText;
};

// The shared engine every memo without a report and the PDF export use.
TfrxDrawText& frxDrawText();

}  // namespace qev
