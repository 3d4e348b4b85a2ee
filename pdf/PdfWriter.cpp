#include "pdf/PdfWriter.h"

#include "pdf/PdfNumbers.h"

#include <QCryptographicHash>

#include <utility>

namespace qev {

QByteArray PdfWriter::fileIdFromGuid(const QString& guidText) {
    return QCryptographicHash::hash(guidText.toLatin1(), QCryptographicHash::Md5).toHex();
}

QByteArray PdfWriter::pdfDate(const QDateTime& localTime) {
    return "D:" + localTime.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
}

void PdfWriter::clearRun() {
    FTexts.clear();  // its glyph ids belong to the run's fonts
    FFonts.clear();
    FPages.clear();
    FPagesRef.clear();
    FOut.clear();
    FOutStream.clear();
    FPendingSize = 0;
    FImages.FUsedXObjects.clear();
    FPageOpen = false;
}

void PdfWriter::start(QIODevice* device, const PdfDocumentOptions& options, const QString& guidText,
                      const QDateTime& localTime) {
    FOptions = options;
    FOut.open(device);
    clearRun();
    FFileID = fileIdFromGuid(guidText);
    FDate = pdfDate(localTime);
    FOut.WriteLn("%PDF-1.5");
    FOut.UpdateXRef();  // object 1, the page tree, written by finish()
}

void PdfWriter::startPage(double widthPx, double heightPx, double leftMarginMm, double topMarginMm,
                          double rightMarginMm, double bottomMarginMm, quint32 pageColor) {
    FImages.FUsedXObjects.clear();
    FPages.append(heightPx * 0.75);
    FWidth = widthPx * 0.75;
    FHeight = heightPx * 0.75;
    FMarginLeft = leftMarginMm * 0.05;
    FMarginTop = topMarginMm * 0.05;
    FHeightWoMargin = FHeight - FMarginTop;
    FOutStream.clear();
    FPendingSize = 0;
    FPageOpen = true;
    if (pageColor == 0x1FFFFFFF) return;  // clNone: no background
    const double k = 72 / 25.4;
    const QByteArray l = frFloat2Str(leftMarginMm * k), b = frFloat2Str(bottomMarginMm * k);
    const QByteArray r = frFloat2Str(FWidth - rightMarginMm * k);
    const QByteArray t = frFloat2Str(FHeight - topMarginMm * k);
    const QByteArray c = PdfColor(pageColor);
    line("0.00 w");
    line(c + " RG");
    line(c + " rg");
    line(l + " " + b + " m");
    line(r + " " + b + " l");
    line(r + " " + t + " l");
    line(l + " " + t + " l");
    line("B");
}

void PdfWriter::writeContentStream() {
    flushContent();
    if (FOptions.Compressed) {
        FOut.WriteDeflated(
            std::exchange(FOutStream, QByteArray()),
            [](qsizetype packed, qsizetype raw) {
                return "<< /Filter /FlateDecode /Length " + QByteArray::number(packed) +
                       " /Length1 " + QByteArray::number(raw) + " >>\r\nstream\r\n";
            },
            "\r\nendstream\r\nendobj\r\n");
        return;
    }
    FOut.Write("<< ");
    FOut.WriteLn("/Length " + QByteArray::number(FOutStream.size()) + " >>");
    FOut.WriteLn("stream");
    FOut.Write(FOutStream);
    FOut.WriteLn("endstream");
    FOut.WriteLn("endobj");
}

void PdfWriter::finishPage() {
    const int content = FOut.UpdateXRef();
    FOut.WriteLn(PdfOutput::ObjNumber(content));
    writeContentStream();
    FOutStream.clear();
    for (TfrxPDFFont* font : FFonts.pageFonts()) {
        if (font->Saved) continue;
        font->Reference = FOut.UpdateXRef();  // patched when the font is written
        font->Saved = true;
    }
    writePageObject(content);
    FImages.ClearXObject();
    FPageOpen = false;
}

void PdfWriter::writePageObject(int content) {
    const int page = FOut.UpdateXRef();
    FPagesRef.append(QByteArray::number(page));
    FOut.WriteLn(PdfOutput::ObjNumber(page));
    FOut.WriteLn("<<");
    FOut.WriteLn("/Type /Page");
    FOut.WriteLn("/Parent 1 0 R");
    FOut.WriteLn("/MediaBox [0 0 " + frFloat2Str(FWidth) + " " + frFloat2Str(FHeight) + " ]");
    FOut.WriteLn("/Resources <<");
    QByteArray fonts = "/Font << ";
    for (TfrxPDFFont* font : FFonts.pageFonts())
        fonts += font->Name + " " + PdfOutput::ObjNumberRef(font->Reference) + " ";
    FOut.WriteLn(fonts + ">>");
    if (!FImages.FUsedXObjects.isEmpty()) {
        QByteArray images = "/XObject << ";
        for (int index : FImages.FUsedXObjects)
            images += "/Im" + QByteArray::number(index) + " " +
                      PdfOutput::ObjNumberRef(FImages.FXObjects()[index].ObjId) + " ";
        FOut.WriteLn(images + ">>");
    }
    FOut.WriteLn("/ProcSet [/PDF /Text /ImageC ]");
    FOut.WriteLn(">>");
    FOut.WriteLn("/Contents " + PdfOutput::ObjNumberRef(content));
    FOut.WriteLn(">>");
    FOut.WriteLn("endobj");
}

void PdfWriter::writePageTree() {
    FOut.patchXRef(1);
    FOut.WriteLn(PdfOutput::ObjNumber(1));
    FOut.WriteLn("<<");
    FOut.WriteLn("/Type /Pages");
    QByteArray kids = "/Kids [";
    for (const QByteArray& page : FPagesRef) kids += page + " 0 R ";
    FOut.WriteLn(kids + "]");
    FOut.WriteLn("/Count " + QByteArray::number(FPagesRef.size()));
    FOut.WriteLn(">>");
    FOut.WriteLn("endobj");
}

int PdfWriter::writeInfo() {
    const int info = FOut.UpdateXRef();
    FOut.WriteLn(PdfOutput::ObjNumber(info));
    FOut.WriteLn("<<");
    FOut.WriteLn("/Title " + pdfUtf16HexString(FOptions.Title));
    FOut.WriteLn("/Author " + pdfUtf16HexString(FOptions.Author));
    FOut.WriteLn("/Subject " + pdfUtf16HexString(FOptions.Subject));
    FOut.WriteLn("/Keywords " + pdfUtf16HexString(FOptions.Keywords));
    FOut.WriteLn("/Creator " + pdfUtf16HexString(FOptions.Creator));
    FOut.WriteLn("/Producer " + pdfUtf16HexString(FOptions.Producer));
    FOut.WriteLn("/CreationDate (" + FDate + ")");
    FOut.WriteLn("/ModDate (" + FDate + ")");
    FOut.WriteLn(">>");
    FOut.WriteLn("endobj");
    return info;
}

int PdfWriter::writeCatalog() {
    const int catalog = FOut.UpdateXRef();
    FOut.WriteLn(PdfOutput::ObjNumber(catalog));
    FOut.WriteLn("<<");
    FOut.WriteLn("/Type /Catalog");
    FOut.WriteLn("/Pages 1 0 R");
    FOut.WriteLn("/PageMode /UseNone");
    FOut.WriteLn("/ViewerPreferences <<");
    if (!FOptions.Title.isEmpty()) FOut.WriteLn("/DisplayDocTitle true");
    if (FOptions.HideToolbar) FOut.WriteLn("/HideToolbar true");
    if (FOptions.HideMenubar) FOut.WriteLn("/HideMenubar true");
    if (FOptions.HideWindowUI) FOut.WriteLn("/HideWindowUI true");
    if (FOptions.FitWindow) FOut.WriteLn("/FitWindow true");
    if (FOptions.CenterWindow) FOut.WriteLn("/CenterWindow true");
    if (!FOptions.PrintScaling) FOut.WriteLn("/PrintScaling /None");
    FOut.WriteLn(">>");
    FOut.WriteLn(">>");
    FOut.WriteLn("endobj");
    return catalog;
}

void PdfWriter::writeXRefAndTrailer(int catalog, int info) {
    const qint64 startXRef = FOut.position();
    const QVector<QByteArray>& xref = FOut.xref();
    FOut.WriteLn("xref");
    FOut.WriteLn("0 " + QByteArray::number(xref.size() + 1));
    FOut.WriteLn("0000000000 65535 f");
    for (const QByteArray& entry : xref) FOut.WriteLn(entry + " 00000 n");
    FOut.WriteLn("trailer");
    FOut.WriteLn("<<");
    FOut.WriteLn("/Size " + QByteArray::number(xref.size() + 1));
    FOut.WriteLn("/Root " + PdfOutput::ObjNumberRef(catalog));
    FOut.WriteLn("/Info " + PdfOutput::ObjNumberRef(info));
    FOut.WriteLn("/ID [<" + FFileID + "><" + FFileID + ">]");
    FOut.WriteLn(">>");
    FOut.WriteLn("startxref");
    FOut.WriteLn(QByteArray::number(startXRef));
    FOut.WriteLn("%%EOF");
}

void PdfWriter::finish() {
    for (int i = 0; i < FFonts.count(); ++i) {
        TfrxPDFFont& font = FFonts.font(i);
        if (!font.Saved) {  // met by a page that never finished
            font.Reference = FOut.UpdateXRef();
            font.Saved = true;
        }
        WriteFont(FOut, font, FOptions.Compressed, FOptions.EmbeddedFonts);
    }
    writePageTree();
    const int info = writeInfo();
    const int catalog = writeCatalog();
    writeXRefAndTrailer(catalog, info);
    clearRun();
    FOut.close();
}

void PdfWriter::abandon() {
    clearRun();
    FOut.abandon();
}

}  // namespace qev
