#pragma once

#include "pdf/PdfWriter.h"
#include "pdf/TfrxCustomExportFilter.h"

#include <QSaveFile>

#include <memory>

namespace qev {

class TfrxCustomMemoView;
class TfrxView;

// The PDF export filter. Fonts are embedded by default: the glyph ids we
// write come from the font file we measured with, and a viewer's own font of
// the same name may order its glyphs differently.
class TfrxPDFExport : public TfrxCustomExportFilter {
    Q_OBJECT
    Q_PROPERTY(bool Compressed MEMBER Compressed)
    Q_PROPERTY(bool EmbeddedFonts MEMBER EmbeddedFonts)
    Q_PROPERTY(bool EmbedFontsIfProtected MEMBER EmbedFontsIfProtected)
    Q_PROPERTY(bool PrintOptimized MEMBER PrintOptimized)
    Q_PROPERTY(bool Outline MEMBER Outline)
    Q_PROPERTY(bool Background MEMBER Background)
    Q_PROPERTY(bool HTMLTags MEMBER HTMLTags)
    Q_PROPERTY(int Quality MEMBER Quality)
    Q_PROPERTY(QString Title MEMBER Title)
    Q_PROPERTY(QString Author MEMBER Author)
    Q_PROPERTY(QString Subject MEMBER Subject)
    Q_PROPERTY(QString Keywords MEMBER Keywords)
    Q_PROPERTY(QString Creator MEMBER Creator)
    Q_PROPERTY(QString Producer MEMBER Producer)
    Q_PROPERTY(QString UserPassword MEMBER UserPassword)
    Q_PROPERTY(QString OwnerPassword MEMBER OwnerPassword)
    Q_PROPERTY(bool HideToolbar MEMBER HideToolbar)
    Q_PROPERTY(bool HideMenubar MEMBER HideMenubar)
    Q_PROPERTY(bool HideWindowUI MEMBER HideWindowUI)
    Q_PROPERTY(bool FitWindow MEMBER FitWindow)
    Q_PROPERTY(bool CenterWindow MEMBER CenterWindow)
    Q_PROPERTY(bool PrintScaling MEMBER PrintScaling)
    Q_PROPERTY(bool CheckboxAsShape MEMBER CheckboxAsShape)

  public:
    explicit TfrxPDFExport(QObject* owner = nullptr);
    TfrxPDFExport(CreateNoRegisterTag tag, QObject* owner = nullptr);
    ~TfrxPDFExport() override;

    bool Compressed = true;
    bool EmbeddedFonts = true;
    bool EmbedFontsIfProtected = true;
    bool PrintOptimized = false;
    bool Outline = false;
    bool Background = false;
    bool HTMLTags = true;
    int Quality = 95;  // stored only
    QString Title;
    QString Author = QStringLiteral("QEV Report");
    QString Subject = QStringLiteral("QEV Report PDF export");
    QString Keywords;
    QString Creator;
    QString Producer;
    QString UserPassword, OwnerPassword;
    bool HideToolbar = false, HideMenubar = false, HideWindowUI = false;
    bool FitWindow = false, CenterWindow = false;
    bool PrintScaling = false;
    bool CheckboxAsShape = false;

    QString GetDescription() const override { return QStringLiteral("PDF file"); }
    static QString FileTypeDescription() { return QStringLiteral("Adobe PDF file (*.pdf)|*.pdf"); }
    static QString DefaultExt() { return QStringLiteral(".pdf"); }

    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* object) override;
    void FinishPage(TfrxReportPage* page, int index) override;
    void Finish() override;
    void Abandon() override;

    // Repeatable files for tests: this GUID text and date instead of new ones.
    void SetFixedIdentity(const QString& guidText, const QDateTime& localTime);
    // True when the last Start wrote to a file (not a caller's stream).
    bool WroteFile() const { return FWroteFile; }

    PdfWriter& writer() { return FWriter; }

  private:
    void drawMemo(TfrxCustomMemoView* memo);
    void drawAsImage(TfrxView* view);

    struct LastPicture;
    PdfWriter FWriter;
    std::unique_ptr<LastPicture> FLastPicture;
    std::unique_ptr<QSaveFile> FFile;  // renamed into place by Finish only
    bool FWroteFile = false;
    QString FFixedGuid;
    QDateTime FFixedDate;
};

}  // namespace qev
