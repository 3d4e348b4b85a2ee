#pragma once

#include "report/TfrxFormat.h"
#include "report/TfrxHighlight.h"
#include "report/TfrxStretcheable.h"

#include <QStringList>
#include <QVariant>

#include <optional>

namespace qev {

// A text object: all memo behaviour.
//
// Memo holds the text, one entry per line; Text is the same text as one string
// with CR LF after every line. Per output, BeforePrint saves the text (unless
// the memo is bound to a data field), GetData computes it (bound field, or the
// bracketed expressions of the text), AfterPrint puts the saved text back.
//
// Layout and drawing (CalcHeight, CalcWidth, Draw) are the text layout's; the
// defaults here keep the template size and paint fill and frame only.
class TfrxCustomMemoView : public TfrxStretcheable {
    Q_OBJECT
    Q_PROPERTY(bool AllowExpressions MEMBER AllowExpressions)
    Q_PROPERTY(bool AllowHTMLTags MEMBER AllowHTMLTags)
    Q_PROPERTY(bool AutoWidth MEMBER AutoWidth)
    Q_PROPERTY(double CharSpacing MEMBER CharSpacing)
    Q_PROPERTY(bool Clipped MEMBER Clipped)
    Q_PROPERTY(qev::TfrxFormat DisplayFormat MEMBER DisplayFormat)
    Q_PROPERTY(QString ExpressionDelimiters MEMBER ExpressionDelimiters)
    Q_PROPERTY(QString FlowTo MEMBER FlowTo)
    Q_PROPERTY(double GapX MEMBER GapX)
    Q_PROPERTY(double GapY MEMBER GapY)
    Q_PROPERTY(qev::frx::TfrxHAlign HAlign MEMBER HAlign)
    Q_PROPERTY(bool HideZeros MEMBER HideZeros)
    Q_PROPERTY(qev::TfrxHighlight Highlight MEMBER Highlight)
    Q_PROPERTY(double LineSpacing MEMBER LineSpacing)
    Q_PROPERTY(QStringList Memo READ Memo WRITE SetMemo)
    Q_PROPERTY(double ParagraphGap MEMBER ParagraphGap)
    Q_PROPERTY(int Rotation MEMBER Rotation)
    Q_PROPERTY(bool RTLReading MEMBER RTLReading)
    Q_PROPERTY(QString Style MEMBER Style)
    Q_PROPERTY(bool SuppressRepeated MEMBER SuppressRepeated)
    Q_PROPERTY(bool Underlines MEMBER Underlines)
    Q_PROPERTY(bool UseDefaultCharset MEMBER UseDefaultCharset)
    Q_PROPERTY(qev::frx::TfrxVAlign VAlign MEMBER VAlign)
    Q_PROPERTY(bool WordBreak MEMBER WordBreak)
    Q_PROPERTY(bool WordWrap MEMBER WordWrap)
    Q_PROPERTY(bool Wysiwyg MEMBER Wysiwyg)
    Q_PROPERTY(bool FirstParaBreak MEMBER FirstParaBreak)
    Q_PROPERTY(bool LastParaBreak MEMBER LastParaBreak)

  public:
    explicit TfrxCustomMemoView(QObject* owner = nullptr);

    TfrxCustomMemoView* asMemo() override { return this; }

    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    bool AutoWidth = false;
    double CharSpacing = 0;
    bool Clipped = true;
    TfrxFormat DisplayFormat;
    // Opening and closing delimiter separated by ",".
    QString ExpressionDelimiters = QStringLiteral("[,]");
    // Name of the continuation memo (not used by this system).
    QString FlowTo;
    double GapX = 2;  // horizontal inner margin
    double GapY = 1;  // vertical inner margin
    frx::TfrxHAlign HAlign = frx::haLeft;
    bool HideZeros = false;
    TfrxHighlight Highlight;
    double LineSpacing = 2;  // extra space between lines
    double ParagraphGap = 0;
    int Rotation = 0;  // degrees
    bool RTLReading = false;
    QString Style;
    bool SuppressRepeated = false;
    bool Underlines = false;
    bool UseDefaultCharset = false;
    frx::TfrxVAlign VAlign = frx::vaTop;
    bool WordBreak = false;
    bool WordWrap = true;
    bool Wysiwyg = true;
    bool FirstParaBreak = false;
    bool LastParaBreak = false;

    // Run-time: the last value computed (Null at creation).
    QVariant Value;

    const QStringList& Memo() const { return FMemo; }
    void SetMemo(const QStringList& lines) { FMemo = lines; }
    // Every line followed by CR LF.
    QString Text() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    void SetText(const QString& text);

    void BeforePrint() override;
    void GetData() override;
    // A new run starts without a previous output to suppress.
    void BeforeStartReport() override { FLastValue.clear(); }
    void AfterPrint() override;
    QString GetComponentText() override { return Text(); }

    // Value of one bracketed expression, formatted (inline " #" format or
    // DisplayFormat). "TotalPages#" and "CopyName#" stay as placeholders.
    QString CalcAndFormat(const QString& expression);
    // Export time: "[TotalPages#]" (any case) becomes FTotalPages and
    // "[CopyName#]" the global variable "CopyName" + FCopyNo (or nothing).
    void ExtractMacros();
    int FTotalPages = 0;
    int FCopyNo = 1;

    // Text layout (the text layout code overrides or fills these).
    virtual double CalcWidth();
    double CalcHeight() override;
    void Draw(QPainter* canvas, double scaleX, double scaleY, double offsetX,
              double offsetY) override;
    // Splitting across pages: the text still to be output waits in FPartMemo.
    void InitPart() override;
    double DrawPart() override;

    template <class F, class... Self>
    static void EachProperty(F&& f, Self&... self) {
        TfrxStretcheable::EachProperty(f, self...);
        f("AllowExpressions", self.AllowExpressions...);
        f("AllowHTMLTags", self.AllowHTMLTags...);
        f("AutoWidth", self.AutoWidth...);
        f("CharSpacing", self.CharSpacing...);
        f("Clipped", self.Clipped...);
        f("DisplayFormat", self.DisplayFormat...);
        f("ExpressionDelimiters", self.ExpressionDelimiters...);
        f("FlowTo", self.FlowTo...);
        f("GapX", self.GapX...);
        f("GapY", self.GapY...);
        f("HAlign", self.HAlign...);
        f("HideZeros", self.HideZeros...);
        f("Highlight", self.Highlight...);
        f("LineSpacing", self.LineSpacing...);
        f("Memo", self.FMemo...);
        f("ParagraphGap", self.ParagraphGap...);
        f("Rotation", self.Rotation...);
        f("RTLReading", self.RTLReading...);
        f("Style", self.Style...);
        f("SuppressRepeated", self.SuppressRepeated...);
        f("Underlines", self.Underlines...);
        f("UseDefaultCharset", self.UseDefaultCharset...);
        f("VAlign", self.VAlign...);
        f("WordBreak", self.WordBreak...);
        f("WordWrap", self.WordWrap...);
        f("Wysiwyg", self.Wysiwyg...);
        f("FirstParaBreak", self.FirstParaBreak...);
        f("LastParaBreak", self.LastParaBreak...);
    }
    QEV_PREPARED_PROPERTIES

  private:
    QStringList FMemo;
    QString FPartMemo;
    std::optional<QStringList> FSavedText;
    QString FLastValue;
};

// The memo used in templates.
class TfrxMemoView : public TfrxCustomMemoView {
    Q_OBJECT
  public:
    explicit TfrxMemoView(QObject* owner = nullptr) : TfrxCustomMemoView(owner) {}
};

// A system-text memo (not used here).
class TfrxSysMemoView : public TfrxCustomMemoView {
    Q_OBJECT
  public:
    explicit TfrxSysMemoView(QObject* owner = nullptr) : TfrxCustomMemoView(owner) {}
};

}  // namespace qev
