#pragma once

#include "pdf/PdfColors.h"
#include "pdf/PdfTextCache.h"
#include "pdf/TfrxPDFFont.h"

#include <QImage>
#include <QRect>
#include <QStringList>

#include <functional>

namespace qev {

class PdfWriter;

constexpr quint32 pdfColorNone = 0x1FFFFFFF;  // clNone: nothing drawn

// A view's place on the paper, report pixels from the paper's top-left corner.
struct PdfViewBox {
    double AbsLeft = 0;
    double AbsTop = 0;
    double Width = 0;
    double Height = 0;
};

struct PdfFrameLine {
    quint32 Color = 0;
    PdfDashStyle Style = PdfDashStyle::Solid;
    double Width = 1;
};

struct PdfFrame {
    bool Left = false, Top = false, Right = false, Bottom = false;
    quint32 Color = 0;
    PdfDashStyle Style = PdfDashStyle::Solid;
    double Width = 1;
    bool DropShadow = false;
    quint32 ShadowColor = 0;
    double ShadowWidth = 4;
    PdfFrameLine LeftLine, TopLine, RightLine, BottomLine;

    bool any() const { return Left || Top || Right || Bottom; }
};

enum class PdfShapeKind {
    Rectangle,
    RoundRectangle,
    Ellipse,
    Triangle,
    Diamond,
    Diagonal1,
    Diagonal2
};
enum class PdfHAlign { Left, Right, Center, Block };
enum class PdfVAlign { Top, Bottom, Center };

// Everything the text path needs of a memo.
struct PdfMemo {
    PdfViewBox box;
    PdfFrame frame;
    quint32 Color = pdfColorNone;
    PdfFontStyle font;
    int fontSize = 10;
    quint32 fontColor = 0;
    QStringList lines;
    PdfHAlign HAlign = PdfHAlign::Left;
    PdfVAlign VAlign = PdfVAlign::Top;
    double GapX = 2, GapY = 1;
    double CharSpacing = 0, LineSpacing = 2, ParagraphGap = 0;
    int Rotation = 0;
    bool RTLReading = false;
    bool Underlines = false;
    // The rest of what the layout engine is given.
    int charset = 1;
    bool UseDefaultCharset = false;
    bool WordWrap = true;
    bool AllowHTMLTags = false;
    bool WordBreak = false;
    bool Clipped = true;
    bool Wysiwyg = true;
};

// The shared text layout as the PDF text path uses it. An implementation
// takes its layout lock in lock() and gives it back in unlock(). Each
// distinct text is laid out once per run (PdfTextCache).
class PdfTextLayout {
  public:
    virtual ~PdfTextLayout() = default;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // Lays the memo's lines out in rect (report pixels).
    virtual void layout(const PdfMemo& memo, const QRect& rect) = 0;
    virtual double LineHeight() = 0;
    virtual QString GetWrappedText() = 0;  // every line followed by CR LF
    // The wrapped lines without their line ends: by default GetWrappedText
    // cut at them.
    virtual QStringList WrappedLines();
    // Width of one line in report pixels, measured without paragraph gap.
    virtual double lineWidth(const PdfMemo& memo, const QString& line) = 0;
};

// Paints into an image the view's real bounds scaled by k, starting at the
// image's top-left pixel.
using PdfImageRenderer = std::function<void(QImage& image, double k)>;

// Writes the drawing operators of views into the current page's content.
class PdfPainter {
  public:
    explicit PdfPainter(PdfWriter& writer) : w(writer) {}

    struct Edges {
        QByteArray Left, Top, Right, Bottom, Width, Height;
    };
    Edges edges(const PdfViewBox& box) const;

    void drawLine(const PdfViewBox& box, const PdfFrame& frame, bool arrowStart = false,
                  bool arrowEnd = false, double arrowLength = 20, double arrowWidth = 5,
                  bool arrowSolid = false);
    void drawShape(const PdfViewBox& box, const PdfFrame& frame, quint32 color, PdfShapeKind kind,
                   double curve = 0);
    void MakeUpFrames(const PdfViewBox& box, const Edges& e, const PdfFrame& frame);
    void drawMemo(const PdfMemo& memo, PdfTextLayout& layout);
    // JPEG of the rendered view at quality (90; 95 for bar codes), placed
    // over its bounds; frame sides as vectors afterwards.
    void drawImage(const PdfViewBox& box, const PdfFrame& frame, double k,
                   const PdfImageRenderer& render, int quality = 90);

  private:
    QByteArray point(double x, double y) const;
    void arrow(double tipX, double tipY, double fromX, double fromY, const PdfFrame& frame,
               double length, double width, bool solid);
    void textLines(const PdfMemo& memo, const PdfTextCache::Text& text, double ow, double oh);

    PdfWriter& w;
};

}  // namespace qev
