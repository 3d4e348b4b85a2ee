#include "StatementPages.h"

#include "PdfSamples.h"
#include "report/TfrxBand.h"
#include "report/TfrxDataSet.h"
#include "report/TfrxLineView.h"
#include "report/TfrxMemoView.h"
#include "report/TfrxPage.h"
#include "report/TfrxPictureView.h"
#include "report/TfrxShapeView.h"

namespace qev::test {

namespace {

TfrxMemoView* memo(TfrxComponent* band, double left, double top, double width, const QString& text,
                   bool bold = false, frx::TfrxHAlign align = frx::haLeft) {
    auto* view = new TfrxMemoView(band);
    view->SetBounds(left, top, width, 18.89765);
    view->SetMemo(QStringList{text});
    view->HAlign = align;
    if (bold) {
        TfrxFont font = view->Font();
        font.Style = frx::fsBold;
        view->SetFont(font);
    }
    return view;
}

}  // namespace

StatementPages::StatementPages(int pageCount, int rowsPerPage) {
    const double bandWidth = 740.409;
    for (int p = 0; p < pageCount; ++p) {
        auto* page = new TfrxReportPage(&report);
        page->SetPaperSize(1);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;

        auto* header = new TfrxPageHeader(page);
        header->SetBounds(0, 0, bandWidth, 283.46475);
        auto* logo = new TfrxPictureView(header);
        logo->SetBounds(3.77953, 0, 196, 89);
        logo->SetImage(sampleLogo());
        memo(header, 260, 20, 300, QStringLiteral("EMISIÓN"), true, frx::haCenter);
        memo(header, 260, 45, 300, QStringLiteral("Proveedor: Código P0001 ACEROS DEL NORTE"));
        auto* box = new TfrxShapeView(header);
        box->SetBounds(0, 250, bandWidth, 30);
        box->SetColor(clAqua);
        memo(header, 4, 255, 120, QStringLiteral("FECHA"), true);

        for (int r = 0; r < rowsPerPage; ++r) {
            auto* row = new TfrxMasterData(page);
            row->SetBounds(0, 283.46475 + r * 22.67718, bandWidth, 22.67718);
            memo(row, 4, 2, 120, QStringLiteral("24/JUN/2016"));
            memo(row, 500, 2, 200, QStringLiteral("$1,234.50"), false, frx::haRight);
            auto* rule = new TfrxLineView(row);
            rule->SetBounds(0, 21, bandWidth, 0);
            rule->Frame().Typ = frx::ftTop;
        }

        auto* footer = new TfrxPageFooter(page);
        footer->SetBounds(0, 957.732902, bandWidth, 22.67718);
        memo(footer, 500, 2, 220, QStringLiteral("PAGINA %1 DE [TotalPages#]").arg(p + 1), false,
             frx::haRight);
        pages.append(page);
    }
}

}  // namespace qev::test
