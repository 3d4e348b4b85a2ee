#include "PdfSamples.h"
#include "PdfTestTools.h"
#include "StatementPages.h"
#include "format/Error.h"
#include "pdf/TfrxExportRun.h"
#include "pdf/TfrxPDFExport.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxBand.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "testing/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <iterator>

#include <gtest/gtest.h>

namespace qev::test {
namespace {

class RecordingProgress : public TfrxExportProgress {
  public:
    void Start() override { calls << QStringLiteral("start"); }
    void SetMessage(const QString& message) override {
        calls << message;
        if (message == cancelAt) cancelled = true;
    }
    bool Cancelled() const override { return cancelled; }
    void Stop() override { calls << QStringLiteral("stop"); }

    QStringList calls;
    QString cancelAt;
    bool cancelled = false;
};

// A run over hand-built statement pages into a temporary folder, with the
// opener, the error box and the progress window recorded instead of shown.
class PdfExportRun : public ::testing::Test {
  protected:
    bool run(StatementPages& statement, TfrxCustomExportFilter& filter) {
        TfrxPageList pages(statement.pages);
        TfrxExportRun exportRun(statement.report, pages);
        exportRun.OpenFile = [this](const QString& path) { opened << path; };
        exportRun.ShowError = [this](const QString& caption, const QString& text) {
            errors << caption + QStringLiteral(": ") + text;
        };
        exportRun.Progress = &progress;
        return exportRun.Export(&filter);
    }
    void configure(TfrxPDFExport& filter, bool embed = false) {
        filter.ShowDialog = false;
        filter.OpenAfterExport = true;
        filter.EmbeddedFonts = embed;
        filter.Author = QStringLiteral("Distribuidora Korvu SA de CV");
        filter.DefaultPath = dir.path();
        filter.FileName = QStringLiteral("QEV_P0001.pdf");
        filter.SetFixedIdentity(fixedGuid, fixedDate);
    }
    QByteArray readBack(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QStringList opened, errors;
    RecordingProgress progress;
};

TEST_F(PdfExportRun, OnePageStatementFileStructure) {
    StatementPages statement(1);
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter);
    ASSERT_TRUE(run(statement, filter));
    const QString path = dir.filePath(QStringLiteral("QEV_P0001.pdf"));
    EXPECT_EQ(filter.FileName, path);  // keeps the prefixed name
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_TRUE(errors.isEmpty());

    const PdfFileReader pdf(readBack(path));
    EXPECT_EQ(pdf.size(), 17);
    EXPECT_EQ(pdf.objectOrder(),
              (QList<int>{2, 3, 6, 7, 8, 9, 10, 4, 11, 12, 13, 14, 5, 1, 15, 16}));
    EXPECT_TRUE(pdf.object(6).contains("/MediaBox [0 0 612.00 792.00 ]"));
    EXPECT_TRUE(pdf.object(4).contains("/BaseFont /Arial,Bold\r\n"));
    EXPECT_TRUE(pdf.object(5).contains("/BaseFont /Arial\r\n"));
    EXPECT_TRUE(pdf.object(2).contains("/Width 197\r\n/Height 90\r\n"));
    const QByteArray content = pdf.allContent();
    EXPECT_TRUE(content.startsWith("q\r\n147.00 0 0 66.75 31.68 696.40 cm\r\n/Im0 Do\r\nQ\r\n"));
    EXPECT_TRUE(content.contains("\r\n/F0 10 Tf\r\n0 0 0 rg\r\n"));
    // "FECHA" at (4, 255) in the header: starts at AbsLeft + 3 + 0.1, its
    // baseline one 10-point line (15.28 px) below AbsTop + GapY - 1.
    EXPECT_TRUE(content.contains("BT\r\n34.17 560.44 Td\r\n<"));
    EXPECT_TRUE(content.contains("\r\n[] 0 d\r\n0 0 0 RG\r\n0.75 w\r\n0.00 1.00 1.00 rg\r\n"));
    EXPECT_TRUE(pdf.object(15).contains("/Author <FEFF0044006900730074"));
    EXPECT_TRUE(pdf.object(15).contains("/CreationDate (D:20160624153005)"));
}

TEST_F(PdfExportRun, ThreePagesReadBackWithRealReaders) {
    StatementPages statement(3);
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter, true);
    ASSERT_TRUE(run(statement, filter));
    EXPECT_EQ(progress.calls,
              (QStringList{QStringLiteral("start"), QStringLiteral("Exporting page 1"),
                           QStringLiteral("Exporting page 2"), QStringLiteral("Exporting page 3"),
                           QStringLiteral("stop")}));
    const QString path = filter.FileName;
    const PdfFileReader pdf(readBack(path));
    EXPECT_TRUE(pdf.object(1).contains("/Kids [6 0 R 9 0 R 12 0 R ]\r\n/Count 3"));
    for (const char* image : {"/Im0 Do", "/Im1 Do", "/Im2 Do"})
        EXPECT_TRUE(pdf.allContent().contains(image));

    QString output;
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &output), 0)
        << output.toStdString();
    ASSERT_EQ(runTool(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), path, QStringLiteral("-")}, &output),
              0);
    for (const char* text : {"EMISIÓN", "Código P0001 ACEROS DEL NORTE", "24/JUN/2016", "$1,234.50",
                             "PAGINA 1 DE 3", "PAGINA 2 DE 3", "PAGINA 3 DE 3"})
        EXPECT_TRUE(output.contains(QString::fromUtf8(text))) << text << "\n"
                                                              << output.toStdString();
    ASSERT_EQ(runTool(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"), path,
                       dir.filePath(QStringLiteral("page"))},
                      &output),
              0);
    for (const char* page : {"page-1.png", "page-2.png", "page-3.png"})
        EXPECT_FALSE(QImage(dir.filePath(QString::fromLatin1(page))).isNull()) << page;
}

// The logo of one page is drawn as on the page before when nothing about it
// changed; a picture that differs from the last one drawn is drawn anew.
TEST_F(PdfExportRun, APictureIsDrawnAgainWhenItDiffers) {
    StatementPages statement(4);
    const auto logoOf = [](const StatementPages& pages, int page) {
        // The first view of the page header.
        return qobject_cast<TfrxPictureView*>(
            pages.pages[page]->Objects().first()->Objects().first());
    };
    QImage other = sampleLogo();
    other.setPixelColor(10, 10, Qt::red);
    logoOf(statement, 1)->SetImage(other);  // another picture
    TfrxPictureView* squeezed = logoOf(statement, 3);
    squeezed->SetHeight(80);  // the same one, lower
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter);
    ASSERT_TRUE(run(statement, filter));
    const PdfFileReader pdf(readBack(filter.FileName));
    QList<QByteArray> images;
    for (int object = 1; object < pdf.size(); ++object)
        if (pdf.object(object).contains("/Subtype /Image"))
            images << pdf.object(object).mid(pdf.object(object).indexOf("stream"));
    ASSERT_EQ(images.size(), 4);
    EXPECT_NE(images[1], images[0]);
    EXPECT_EQ(images[2], images[0]);
    EXPECT_NE(images[3], images[0]);
    // Drawn on its own, the lower logo gives what it gave among the others.
    StatementPages alone(1);
    logoOf(alone, 0)->SetHeight(80);
    TfrxPDFExport single(TfrxPDFExport::CreateNoRegister);
    configure(single);
    single.FileName = QStringLiteral("alone.pdf");
    ASSERT_TRUE(run(alone, single));
    const PdfFileReader one(readBack(single.FileName));
    EXPECT_EQ(images[3], one.object(2).mid(one.object(2).indexOf("stream")));
}

TEST_F(PdfExportRun, OutputPathJoin) {
    const QString sep = QDir::separator();
    EXPECT_EQ(TfrxCustomExportFilter::JoinDefaultPath(QStringLiteral("/data/qev"),
                                                      QStringLiteral("QEV_P1.pdf")),
              QStringLiteral("/data/qev") + sep + QStringLiteral("QEV_P1.pdf"));
    EXPECT_EQ(TfrxCustomExportFilter::JoinDefaultPath(QStringLiteral("/data/qev/"),
                                                      QStringLiteral("a.pdf")),
              QStringLiteral("/data/qev/") + sep + QStringLiteral("a.pdf"));  // two separators
    EXPECT_EQ(TfrxCustomExportFilter::JoinDefaultPath(QStringLiteral("/data/qev"),
                                                      QStringLiteral("out/a.pdf")),
              QStringLiteral("out/a.pdf"));
    EXPECT_EQ(TfrxCustomExportFilter::JoinDefaultPath(QString(), QStringLiteral("a.pdf")),
              QStringLiteral("a.pdf"));
}

TEST_F(PdfExportRun, ExistingFileIsReplaced) {
    const QString path = dir.filePath(QStringLiteral("QEV_P0001.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(200000, 'x'));
    old.close();
    StatementPages statement(1);
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter);
    ASSERT_TRUE(run(statement, filter));
    const QByteArray bytes = readBack(path);
    EXPECT_TRUE(bytes.startsWith("%PDF-1.5\r\n"));
    EXPECT_TRUE(bytes.endsWith("%%EOF\r\n"));
    EXPECT_FALSE(bytes.contains("xxxxxxxx"));
}

TEST_F(PdfExportRun, FileThatCannotBeCreatedShowsTheErrorOnce) {
    StatementPages statement(1);
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter);
    filter.DefaultPath = dir.filePath(QStringLiteral("missing"));
    EXPECT_FALSE(run(statement, filter));
    const QString path = filter.DefaultPath + QDir::separator() + QStringLiteral("QEV_P0001.pdf");
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("Error: The following error(s) have occured:\r\n"
                                         "Cannot create file \"%1\". No such file or directory\r\n")
                              .arg(path)});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(progress.calls.isEmpty());  // no progress window was shown
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(statement.report.Errors().size(), 1);
}

// A good statement already in the folder, to be kept by runs that do not finish.
QByteArray writeGoodFile(const QString& path) {
    const QByteArray bytes = "%PDF-1.5\r\n% the statement printed before\r\n%%EOF\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return bytes;
}

// The real PDF filter failing in the middle of a page.
class FailingPdfExport : public TfrxPDFExport {
  public:
    FailingPdfExport() : TfrxPDFExport(CreateNoRegister) {}
    void StartPage(TfrxReportPage* page, int index) override {
        TfrxPDFExport::StartPage(page, index);
        page_ = index;
    }
    void ExportObject(TfrxComponent* object) override {
        if (page_ == failOnPage && object->Name() != QLatin1String("_pagebackground"))
            throw Error(QStringLiteral("Broken page"));
        TfrxPDFExport::ExportObject(object);
    }
    int failOnPage = -1;

  private:
    int page_ = -1;
};

TEST_F(PdfExportRun, ARunThatDoesNotFinishLeavesThePreviousFileWhole) {
    const QString path = dir.filePath(QStringLiteral("QEV_P0001.pdf"));
    struct Case {
        const char* what;
        int failOnPage;
        const char* cancelAt;
        bool result;
        QStringList errors;
    };
    const QString broken = QStringLiteral(
        "Error: The following error(s) have occured:\r\nBroken page\r\n");
    for (const Case& c : {Case{"error on the second page", 1, "", false, {broken}},
                          Case{"error on the first page", 0, "", false, {broken}},
                          Case{"cancel at the second page", -1, "Exporting page 2", true, {}}}) {
        SCOPED_TRACE(c.what);
        const QByteArray good = writeGoodFile(path);
        ASSERT_FALSE(good.isEmpty());
        opened.clear();
        errors.clear();
        progress = RecordingProgress();
        progress.cancelAt = QString::fromLatin1(c.cancelAt);
        StatementPages statement(3);
        FailingPdfExport filter;
        configure(filter);
        filter.failOnPage = c.failOnPage;
        EXPECT_EQ(run(statement, filter), c.result);
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(progress.calls.last(), QStringLiteral("stop"));
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_EQ(readBack(path), good);
        // No temporary file is left beside it.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"QEV_P0001.pdf"});

        // The next run writes the whole statement over it.
        progress = RecordingProgress();
        StatementPages again(3);
        TfrxPDFExport next(TfrxPDFExport::CreateNoRegister);
        configure(next);
        ASSERT_TRUE(run(again, next));
        QString output;
        EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &output), 0)
            << output.toStdString();
        EXPECT_TRUE(PdfFileReader(readBack(path)).object(1).contains("/Count 3"));
    }
}

// A filter that records the calls it gets and fails on one page.
class RecordingFilter : public TfrxCustomExportFilter {
  public:
    RecordingFilter() : TfrxCustomExportFilter(CreateNoRegister) { ShowDialog = false; }
    bool Start() override {
        calls << QStringLiteral("Start");
        return !FileName.isEmpty();
    }
    void StartPage(TfrxReportPage*, int index) override {
        calls << QStringLiteral("StartPage %1").arg(index);
    }
    void ExportObject(TfrxComponent* object) override {
        if (failOnPage >= 0 && calls.last() == QStringLiteral("StartPage %1").arg(failOnPage))
            throw Error(QStringLiteral("Broken page"));
        if (object->Name() == QLatin1String("_pagebackground")) {
            EXPECT_NEAR(object->Left(), 37.7953, 1e-9);
            EXPECT_NEAR(object->Width(), 816 - 20 * 3.77953, 1e-9);
        }
        ++objects;
    }
    void FinishPage(TfrxReportPage*, int index) override {
        calls << QStringLiteral("FinishPage %1").arg(index);
    }
    void Finish() override { calls << QStringLiteral("Finish"); }
    void Abandon() override { calls << QStringLiteral("Abandon"); }

    QStringList calls;
    int objects = 0;
    int failOnPage = -1;
};

TEST_F(PdfExportRun, ErrorOnAPageAbandonsTheFileAndShowsTheBox) {
    StatementPages statement(3, 1);
    RecordingFilter filter;
    filter.FileName = QStringLiteral("x.pdf");
    filter.OpenAfterExport = true;
    filter.failOnPage = 1;
    EXPECT_FALSE(run(statement, filter));
    EXPECT_EQ(filter.calls,
              (QStringList{QStringLiteral("Start"), QStringLiteral("StartPage 0"),
                           QStringLiteral("FinishPage 0"), QStringLiteral("StartPage 1"),
                           QStringLiteral("FinishPage 1"), QStringLiteral("Abandon")}));
    EXPECT_EQ(progress.calls.last(), QStringLiteral("stop"));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(errors, QStringList{QStringLiteral(
                          "Error: The following error(s) have occured:\r\nBroken page\r\n")});
}

TEST_F(PdfExportRun, OrderOfCallsAndSelectedPages) {
    StatementPages statement(3, 1);
    RecordingFilter filter;
    filter.FileName = QStringLiteral("x.pdf");
    filter.PageNumbers = QStringLiteral("1,3");
    EXPECT_TRUE(run(statement, filter));
    EXPECT_EQ(filter.calls,
              (QStringList{QStringLiteral("Start"), QStringLiteral("StartPage 0"),
                           QStringLiteral("FinishPage 0"), QStringLiteral("StartPage 2"),
                           QStringLiteral("FinishPage 2"), QStringLiteral("Finish")}));
    // Per page: the background, 3 bands, and 5 + 3 + 1 views.
    EXPECT_EQ(filter.objects, 2 * (1 + 3 + 9));
    EXPECT_EQ(statement.pages[0]->Left(), 0);  // the page goes back to the corner
    EXPECT_EQ(TfrxExportRun::ParsePageNumbers(QStringLiteral("2, 4-6")), (QList<int>{2, 4, 5, 6}));
}

TEST_F(PdfExportRun, NoFileNameWritesNothing) {
    StatementPages statement(1);
    RecordingFilter filter;
    EXPECT_TRUE(run(statement, filter));
    EXPECT_EQ(filter.calls, QStringList{QStringLiteral("Start")});
    EXPECT_TRUE(progress.calls.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(PdfExportRun, StreamTargetIsNotOpened) {
    StatementPages statement(1);
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    filter.Stream = &buffer;
    filter.FileName.clear();
    EXPECT_TRUE(run(statement, filter));
    EXPECT_TRUE(bytes.startsWith("%PDF-1.5\r\n"));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(buffer.isOpen());  // a caller's stream stays the caller's
}

TEST_F(PdfExportRun, SilentModes) {
    StatementPages statement(1);
    TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
    configure(filter);
    filter.DefaultPath = dir.filePath(QStringLiteral("missing"));
    statement.report.EngineOptions.NewSilentMode = frx::simSilent;
    EXPECT_FALSE(run(statement, filter));
    EXPECT_TRUE(errors.isEmpty());
    statement.report.EngineOptions.NewSilentMode = frx::simReThrow;
    filter.FileName = QStringLiteral("QEV_P0001.pdf");
    EXPECT_THROW(run(statement, filter), Error);
}

// A text laid out once is reused for later memos of the same font, options
// and size; anything that changes the layout must give its own. Exporting all
// memos in one run must write what exporting each on its own writes.
TEST_F(PdfExportRun, RepeatedTextsAreLaidOutAsEachMemoOnItsOwn) {
    struct MemoCase {
        double left, top, width;
        int size;
        frx::TfrxHAlign align;
        bool wordWrap;
    };
    const MemoCase cases[] = {
        {4, 10, 60, 8, frx::haLeft, true},      // wraps into several lines
        {300, 10, 400, 8, frx::haLeft, true},   // the same text on one line
        {4, 120, 60, 8, frx::haLeft, true},     // as the first, elsewhere: reused
        {4, 230, 60, 12, frx::haLeft, true},    // larger font: wider lines
        {300, 230, 60, 8, frx::haRight, true},  // right-aligned: placed by its width
        {4, 340, 60, 8, frx::haLeft, false},    // no wrapping: one clipped line
        {300, 340, 61, 8, frx::haCenter, true}, // one pixel wider
    };
    const QString text = QStringLiteral("UNO DOS TRES CUATRO $1'234.50");
    auto pageWith = [&](TfrxReport& report, const QList<int>& which) {
        auto* page = new TfrxReportPage(&report);
        page->SetPaperSize(1);
        auto* band = new TfrxMasterData(page);
        band->SetBounds(0, 0, 740, 500);
        for (int k : which) {
            const MemoCase& c = cases[k];
            auto* memo = new TfrxMemoView(band);
            memo->SetBounds(c.left, c.top, c.width, 100);
            memo->SetMemo(QStringList{text, QStringLiteral("24/JUN/2016")});
            memo->HAlign = c.align;
            memo->WordWrap = c.wordWrap;
            TfrxFont font = memo->Font();
            font.SetSize(c.size);
            memo->SetFont(font);
        }
        return page;
    };
    auto contentOf = [&](const QList<int>& which, const QString& name) {
        TfrxReport report;
        TfrxPageList pages({pageWith(report, which)});
        TfrxExportRun exportRun(report, pages);
        exportRun.OpenFile = [](const QString&) {};
        TfrxPDFExport filter(TfrxPDFExport::CreateNoRegister);
        configure(filter);
        filter.OpenAfterExport = false;
        filter.FileName = name;
        EXPECT_TRUE(exportRun.Export(&filter));
        return PdfFileReader(readBack(filter.FileName)).allContent();
    };
    QList<int> all;
    QByteArray separately;
    for (int k = 0; k < int(std::size(cases)); ++k) {
        all << k;
        const QByteArray one = contentOf({k}, QStringLiteral("one%1.pdf").arg(k));
        EXPECT_GE(one.count(" Tj\r\n"), 2) << k;
        separately += one;
    }
    const QByteArray together = contentOf(all, QStringLiteral("all.pdf"));
    EXPECT_EQ(together, separately);
    EXPECT_GT(together.count(" Tj\r\n"), 2 * int(std::size(cases)));  // some memos wrapped
}

TEST(PdfExportFilter, DefaultsAndRegistration) {
    const int before = frxExportFilters().size();
    {
        TfrxPDFExport filter;
        EXPECT_EQ(frxExportFilters().size(), before + 1);
        EXPECT_TRUE(filter.EmbeddedFonts);
        EXPECT_TRUE(filter.Compressed);
        EXPECT_TRUE(filter.ShowDialog);
        EXPECT_FALSE(filter.OpenAfterExport);
        EXPECT_EQ(filter.Author, QStringLiteral("QEV Report"));
        EXPECT_EQ(filter.GetDescription(), QStringLiteral("PDF file"));
        TfrxPDFExport unlisted(TfrxPDFExport::CreateNoRegister);
        EXPECT_EQ(frxExportFilters().size(), before + 1);
    }
    EXPECT_EQ(frxExportFilters().size(), before);
}

}  // namespace
}  // namespace qev::test
