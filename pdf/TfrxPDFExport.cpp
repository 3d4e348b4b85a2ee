#include "pdf/TfrxPDFExport.h"

#include "format/Error.h"
#include "pdf/PdfPainter.h"
#include "report/PreparedProperties.h"
#include "report/TfrxDrawText.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxShapeView.h"

#include <QHash>
#include <QPainter>
#include <QRecursiveMutex>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>

namespace qev {

namespace {

// Taken after the layout lock for a whole memo: the export's own state (fonts,
// content) is not shared with other layout users.
QRecursiveMutex& pdfCS() {
    static QRecursiveMutex mutex;
    return mutex;
}

int rnd(double value) {
    return int(std::nearbyint(value));
}

PdfFrame toPdfFrame(const TfrxFrame& frame) {
    auto line = [](const TfrxFrameLine& l) {
        return PdfFrameLine{quint32(l.Color), PdfDashStyle(l.Style), l.Width};
    };
    PdfFrame f;
    f.Left = frame.Has(frx::ftLeft);
    f.Top = frame.Has(frx::ftTop);
    f.Right = frame.Has(frx::ftRight);
    f.Bottom = frame.Has(frx::ftBottom);
    f.Color = quint32(frame.Color());
    f.Style = PdfDashStyle(frame.Style());
    f.Width = frame.Width();
    f.DropShadow = frame.DropShadow;
    f.ShadowColor = quint32(frame.ShadowColor);
    f.ShadowWidth = frame.ShadowWidth;
    f.LeftLine = line(frame.LeftLine);
    f.TopLine = line(frame.TopLine);
    f.RightLine = line(frame.RightLine);
    f.BottomLine = line(frame.BottomLine);
    return f;
}

PdfViewBox boxOf(const TfrxComponent* view) {
    return {view->AbsLeft(), view->AbsTop(), view->Width(), view->Height()};
}

PdfFontStyle toPdfFont(const TfrxFont& font) {
    PdfFontStyle style;
    style.name = font.Name;
    style.bold = font.Style.testFlag(frx::fsBold);
    style.italic = font.Style.testFlag(frx::fsItalic);
    style.underline = font.Style.testFlag(frx::fsUnderline);
    style.strikeOut = font.Style.testFlag(frx::fsStrikeOut);
    return style;
}

FontDesc toFontDesc(const PdfMemo& memo) {
    FontDesc desc;
    desc.name = memo.font.name;
    desc.size = memo.fontSize;
    desc.style = (memo.font.bold ? FontDesc::Bold : 0u) | (memo.font.italic ? FontDesc::Italic : 0u) |
                 (memo.font.underline ? FontDesc::Underline : 0u) |
                 (memo.font.strikeOut ? FontDesc::StrikeOut : 0u);
    desc.color = memo.fontColor;
    desc.charset = memo.charset;
    return desc;
}

// The report's shared layout engine as the text path uses it.
class MemoLayout : public PdfTextLayout {
  public:
    void lock() override {
        frxDrawText().Lock();
        pdfCS().lock();
    }
    void unlock() override {
        pdfCS().unlock();
        frxDrawText().Unlock();
    }
    void layout(const PdfMemo& memo, const QRect& rect) override {
        FRect = rect;
        TfrxDrawText& engine = configure(memo);
        engine.SetGaps(memo.ParagraphGap, memo.CharSpacing, memo.LineSpacing);
        if (memo.lines.size() == 1) {
            // Most texts of a statement: one line that fits, measured only.
            const double width = engine.PlainLineWidth(memo.lines.first());
            if (width >= 0) {
                FLineHeight = engine.LineHeight();
                FWrapped = memo.lines;
                FOnlyLine = memo.lines.first();
                FOnlyLineWidth = width;
                return;
            }
        }
        engine.SetText(memo.lines);
        FLineHeight = engine.LineHeight();
        FWrapped.clear();
        for (const TfrxWrappedLine& line : engine.WrappedLines()) FWrapped.append(line.text);
        // A one-line text without paragraph gap is laid out just as its line
        // alone is measured: its width is known already.
        FOnlyLine = memo.lines.size() == 1 && memo.ParagraphGap == 0
                        ? std::optional<QString>(memo.lines.first())
                        : std::nullopt;
        if (FOnlyLine) FOnlyLineWidth = engine.CalcWidth();
    }
    double LineHeight() override { return FLineHeight; }
    QString GetWrappedText() override {
        QString text;
        for (const QString& line : FWrapped) text += line + QStringLiteral("\r\n");
        return text;
    }
    QStringList WrappedLines() override {
        // A line holding a line end of its own comes back as two, as from the text.
        const bool cut = std::any_of(FWrapped.cbegin(), FWrapped.cend(), [](const QString& line) {
            return line.contains(QStringLiteral("\r\n"));
        });
        return cut ? PdfTextLayout::WrappedLines() : FWrapped;
    }
    double lineWidth(const PdfMemo& memo, const QString& line) override {
        if (FOnlyLine && *FOnlyLine == line) return FOnlyLineWidth;
        TfrxDrawText& engine = configure(memo);
        engine.SetGaps(0, memo.CharSpacing, memo.LineSpacing);
        engine.SetText(QStringList{line});
        return engine.CalcWidth();
    }

  private:
    // The shared engine set up for this memo (it may hold another memo's state).
    TfrxDrawText& configure(const PdfMemo& memo) {
        TfrxDrawText& engine = frxDrawText();
        engine.SetUseDefaultCharset(memo.UseDefaultCharset);
        engine.SetFont(toFontDesc(memo));
        engine.SetOptions(memo.WordWrap, memo.AllowHTMLTags, memo.RTLReading, memo.WordBreak,
                          memo.Clipped, memo.Wysiwyg, memo.Rotation);
        engine.SetGaps(memo.ParagraphGap, memo.CharSpacing, memo.LineSpacing);
        const LayoutRect r{FRect.left(), FRect.top(), FRect.left() + FRect.width(),
                           FRect.top() + FRect.height()};
        engine.SetDimensions(1, 1, 1, r, r);
        return engine;
    }

    QRect FRect;
    double FLineHeight = 0;
    QStringList FWrapped;
    std::optional<QString> FOnlyLine;
    double FOnlyLineWidth = 0;
};

}  // namespace

// The letterhead of every page is the same picture view in the same place:
// its pixels are taken from the last drawing instead of being painted again
// (and give the same JPEG bytes).
struct TfrxPDFExport::LastPicture {
    std::unique_ptr<TfrxPictureView> view;  // as it was when drawn
    double absLeft = 0, absTop = 0, k = 0;
    int shift = 0;
    QImage pixels;  // none when the drawing did not finish

    static const TfrxPictureView* picture(const TfrxView& v) {
        return v.metaObject() == &TfrxPictureView::staticMetaObject
                   ? static_cast<const TfrxPictureView*>(&v)
                   : nullptr;
    }
    bool matches(const TfrxView& v, double scale, int by) const {
        const TfrxPictureView* p = picture(v);
        return p && view && !pixels.isNull() && scale == k && by == shift &&
               p->AbsLeft() == absLeft && p->AbsTop() == absTop &&
               frxSamePrepared<TfrxPictureView>(*p, *view) && p->Picture() == view->Picture();
    }
    // Before the drawing, which takes off the frame.
    void keep(const TfrxView& v, double scale, int by) {
        pixels = QImage();
        const TfrxPictureView* p = picture(v);
        if (!p) return;
        if (!view) view = std::make_unique<TfrxPictureView>();
        view->AssignStored(*p);
        absLeft = p->AbsLeft();
        absTop = p->AbsTop();
        k = scale;
        shift = by;
    }
};

TfrxPDFExport::TfrxPDFExport(QObject* owner)
    : TfrxCustomExportFilter(owner), FLastPicture(std::make_unique<LastPicture>()) {}

TfrxPDFExport::TfrxPDFExport(CreateNoRegisterTag tag, QObject* owner)
    : TfrxCustomExportFilter(tag, owner), FLastPicture(std::make_unique<LastPicture>()) {}

TfrxPDFExport::~TfrxPDFExport() = default;

void TfrxPDFExport::SetFixedIdentity(const QString& guidText, const QDateTime& localTime) {
    FFixedGuid = guidText;
    FFixedDate = localTime;
}

bool TfrxPDFExport::Start() {
    if (FileName.isEmpty() && !Stream) return false;
    FileName = JoinDefaultPath(DefaultPath, FileName);
    // Writing an unprotected file when protection was asked for would be worse
    // than writing none.
    if (!UserPassword.isEmpty() || !OwnerPassword.isEmpty())
        throw Error(QStringLiteral("Password protection of PDF files is not supported"));

    QIODevice* device = Stream.data();
    FWroteFile = !device;
    if (!device) {
        // Written under a temporary name in the same folder and renamed over
        // FileName by Finish, so that a failed or cancelled run leaves the
        // previous file as it was.
        auto file = std::make_unique<QSaveFile>(FileName);
        if (!file->open(QIODevice::WriteOnly))
            throw Error(
                QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file->errorString()));
        FFile = std::move(file);
        device = FFile.get();
    }

    PdfDocumentOptions options;
    options.Compressed = Compressed;
    options.EmbeddedFonts = EmbeddedFonts;
    options.Title = Title;
    options.Author = Author;
    options.Subject = Subject;
    options.Keywords = Keywords;
    options.Creator = Creator;
    options.Producer = Producer;
    options.HideToolbar = HideToolbar;
    options.HideMenubar = HideMenubar;
    options.HideWindowUI = HideWindowUI;
    options.FitWindow = FitWindow;
    options.CenterWindow = CenterWindow;
    options.PrintScaling = PrintScaling;
    const QString guid = FFixedGuid.isEmpty()
                             ? QUuid::createUuid().toString(QUuid::WithBraces).toUpper()
                             : FFixedGuid;
    const QDateTime date = FFixedDate.isValid() ? FFixedDate : QDateTime::currentDateTime();
    FWriter.start(device, options, guid, date);
    return true;
}

void TfrxPDFExport::StartPage(TfrxReportPage* page, int index) {
    Q_UNUSED(index);
    FWriter.startPage(page->Width(), page->Height(), page->LeftMargin, page->TopMargin,
                      page->RightMargin, page->BottomMargin, quint32(page->Color));
}

void TfrxPDFExport::ExportObject(TfrxComponent* object) {
    TfrxView* view = object->asView();
    if (!view || !(ExportNotPrintable || view->Printable())) return;
    PdfPainter painter(FWriter);
    TfrxCustomMemoView* memo = view->asMemo();
    const bool plainBrush =
        view->BrushStyle() == frx::bsSolid || view->BrushStyle() == frx::bsClear;
    const bool markup =
        memo && memo->AllowHTMLTags && HTMLTags && memo->Text().contains(QLatin1Char('<'));
    if (memo && plainBrush && !markup) {
        drawMemo(memo);
    } else if (auto* line = qobject_cast<TfrxCustomLineView*>(view)) {
        painter.drawLine(boxOf(line), toPdfFrame(line->Frame()), line->ArrowStart, line->ArrowEnd,
                         line->ArrowLength, line->ArrowWidth, line->ArrowSolid);
    } else if (auto* shape = qobject_cast<TfrxShapeView*>(view)) {
        painter.drawShape(boxOf(shape), toPdfFrame(shape->Frame()), quint32(shape->Color()),
                          PdfShapeKind(shape->Shape), shape->Curve);
    } else if (view->Name() == QLatin1String("_pagebackground") && !Background) {
        return;
    } else {
        drawAsImage(view);
    }
}

void TfrxPDFExport::drawMemo(TfrxCustomMemoView* memo) {
    const bool highlighted = memo->Highlight.Active;
    const TfrxFont& font = highlighted ? memo->Highlight.Font : memo->Font();
    PdfMemo m;
    m.box = boxOf(memo);
    m.frame = toPdfFrame(memo->Frame());
    m.Color = quint32(highlighted ? memo->Highlight.Color : memo->Color());
    m.font = toPdfFont(font);
    m.fontSize = font.Size();
    m.fontColor = quint32(font.Color);
    m.lines = memo->Memo();
    m.HAlign = PdfHAlign(memo->HAlign);
    m.VAlign = PdfVAlign(memo->VAlign);
    m.GapX = memo->GapX;
    m.GapY = memo->GapY;
    m.CharSpacing = memo->CharSpacing;
    m.LineSpacing = memo->LineSpacing;
    m.ParagraphGap = memo->ParagraphGap;
    m.Rotation = memo->Rotation;
    m.RTLReading = memo->RTLReading;
    m.Underlines = memo->Underlines;
    m.charset = font.Charset;
    m.UseDefaultCharset = memo->UseDefaultCharset;
    m.WordWrap = memo->WordWrap;
    m.AllowHTMLTags = memo->AllowHTMLTags;
    m.WordBreak = memo->WordBreak;
    m.Clipped = memo->Clipped;
    m.Wysiwyg = memo->Wysiwyg;
    MemoLayout layout;
    PdfPainter(FWriter).drawMemo(m, layout);
}

void TfrxPDFExport::drawAsImage(TfrxView* view) {
    const bool barCode = view->ClassName() == QLatin1String("TfrxBarCodeView");
    const bool plainBrush =
        view->BrushStyle() == frx::bsSolid || view->BrushStyle() == frx::bsClear;
    double k = (PrintOptimized || qobject_cast<TfrxCustomMemoView*>(view)) && plainBrush ? 3 : 1;
    int shift = 0;
    if (barCode && !PrintOptimized) {
        k = 2;
        shift = 2;
    }
    const bool again = FLastPicture->matches(*view, k, shift);
    if (!again) FLastPicture->keep(*view, k, shift);
    // The bitmap carries no frame: its sides are drawn as vectors afterwards.
    const TfrxFrame savedFrame = view->Frame();
    if (savedFrame.Width() > 0) view->Frame().SetWidth(0);
    struct RestoreFrame {
        TfrxView* view;
        const TfrxFrame& frame;
        ~RestoreFrame() { view->SetFrame(frame); }
    } restore{view, savedFrame};
    const PdfFrame frame = toPdfFrame(savedFrame);
    auto render = [this, view, shift, again](QImage& image, double scale) {
        if (again) {
            image = FLastPicture->pixels;
            return;
        }
        {
            QPainter painter(&image);
            view->Draw(&painter, scale, scale, shift - rnd(view->AbsLeft() * scale),
                       -rnd(view->AbsTop() * scale));
        }
        FLastPicture->pixels = image;
    };
    PdfPainter(FWriter).drawImage(boxOf(view), frame, k, render, barCode ? 95 : 90);
}

void TfrxPDFExport::FinishPage(TfrxReportPage* page, int index) {
    Q_UNUSED(page);
    Q_UNUSED(index);
    if (FWriter.pageOpen()) FWriter.finishPage();
}

void TfrxPDFExport::Finish() {
    FWriter.finish();
    if (!FFile) return;
    const std::unique_ptr<QSaveFile> file = std::move(FFile);
    // The bytes may only reach the disk here (a full disk shows up now).
    errno = 0;
    if (!file->commit()) {
        const int reason = errno;
        const bool full = reason == ENOSPC || reason == EFBIG || reason == EDQUOT;
        throw Error(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(FileName, full ? QString::fromLocal8Bit(std::strerror(reason))
                                            : file->errorString()));
    }
}

void TfrxPDFExport::Abandon() {
    FWriter.abandon();
    FFile.reset();  // a QSaveFile that is not committed removes its temporary file
}

}  // namespace qev
