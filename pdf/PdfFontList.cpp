#include "pdf/PdfFontList.h"

#include "pdf/PdfNumbers.h"
#include "pdf/PdfOutput.h"

#include <cmath>

namespace qev {

bool PdfFontList::matches(const PdfFontStyle& font, const TfrxPDFFont& entry) {
    return font.name == entry.SourceFont().name &&
           (font.sameStyle(entry.SourceFont()) || entry.SimulatesStyles());
}

int PdfFontList::GetObjFontNumber(const PdfFontStyle& font) {
    for (int i = 0; i < FPageFonts.size(); ++i)
        if (matches(font, *FPageFonts[i])) return i;
    FPageFonts.append(&GetGlobalFont(font));
    return FPageFonts.size() - 1;
}

TfrxPDFFont& PdfFontList::GetGlobalFont(const PdfFontStyle& font) {
    for (auto& entry : FFonts)
        if (matches(font, *entry)) return *entry;
    auto created = std::make_unique<TfrxPDFFont>(font);
    created->Name = "/F" + QByteArray::number(qsizetype(FFonts.size()));
    FFonts.push_back(std::move(created));
    return *FFonts.back();
}

void PdfFontList::clear() {
    FPageFonts.clear();
    FFonts.clear();
}

namespace {

QByteArray hex4(quint32 value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

QByteArray unicodeHex(const QString& text) {
    QByteArray result;
    for (QChar c : text) result += hex4(c.unicode());
    return result.isEmpty() ? QByteArrayLiteral("0000") : result;
}

// The font program gets an empty line before "endstream"; the map's text is
// followed by it directly.
void writeStreamObject(PdfOutput& out, const QByteArray& data, bool compressed, bool blankLine) {
    const QByteArray tail = QByteArray(blankLine ? "\r\n" : "") + "endstream\r\nendobj\r\n";
    if (compressed) {
        out.WriteDeflated(
            data,
            [](qsizetype packed, qsizetype raw) {
                return "<< /Length " + QByteArray::number(packed) +
                       "  /Filter /FlateDecode /Length1 " + QByteArray::number(raw) +
                       " >>\r\nstream\r\n";
            },
            tail);
        return;
    }
    out.WriteLn("<< /Length " + QByteArray::number(data.size()) + " /Length1 " +
                QByteArray::number(data.size()) + " >>");
    out.WriteLn("stream");
    out.Write(data);
    out.Write(tail);
}

}  // namespace

QByteArray toUnicodeCMap(const TfrxPDFFont& font) {
    QByteArray text;
    auto line = [&text](const QByteArray& l) { text += l + "\r\n"; };
    line("/CIDInit /ProcSet findresource begin");
    line("12 dict begin");
    line("begincmap");
    line("/CIDSystemInfo");
    line("<< /Registry (Adobe)");
    line("/Ordering (UCS)");
    line("/Ordering (Identity)");
    line("/Supplement 0");
    line(">> def");
    line("/CMapName /" + font.GetFontName().replace(',', '+') + " def");
    line("/CMapType 2 def");
    line("1 begincodespacerange");
    line("<0000> <FFFF>");
    line("endcodespacerange");
    line(QByteArray::number(font.UsedAlphabet.size()) + " beginbfchar");
    for (int i = 0; i < font.UsedAlphabet.size(); ++i)
        line("<" + hex4(font.UsedAlphabet[i]) + "> <" + unicodeHex(font.UsedAlphabetUnicode[i]) +
             ">");
    line("endbfchar");
    line("endcmap");
    line("CMapName currentdict /CMap defineresource pop");
    line("end");
    line("end");
    return text;
}

void WriteFont(PdfOutput& out, TfrxPDFFont& font, bool compressed, bool embed) {
    const QByteArray family = font.GetFontName();
    const PdfOutlineMetrics& m = font.TextMetric();
    int program = 0;
    bool subset = false;
    if (embed) {
        program = out.UpdateXRef();
        out.WriteLn(PdfOutput::ObjNumber(program));
        writeStreamObject(out, font.GetFontFile(&subset), compressed, true);
    }
    // An embedded subset is named with its tag, so that a reader never takes
    // it for the whole font.
    const QByteArray name = subset ? font.SubsetTag() + "+" + family : family;

    const int descriptor = out.UpdateXRef();
    out.WriteLn(PdfOutput::ObjNumber(descriptor));
    out.WriteLn("<<");
    out.WriteLn("/Type /FontDescriptor");
    out.WriteLn("/FontName /" + name);
    out.WriteLn("/FontFamily /" + family);
    out.WriteLn("/Flags 32");
    out.WriteLn("/FontBBox [" + QByteArray::number(m.bboxLeft) + " " +
                QByteArray::number(m.bboxBottom) + " " + QByteArray::number(m.bboxRight) + " " +
                QByteArray::number(m.bboxTop) + " ]");
    out.WriteLn("/ItalicAngle " + QByteArray::number(m.italicAngle));
    out.WriteLn("/Ascent " + QByteArray::number(m.ascent));
    out.WriteLn("/Descent " + QByteArray::number(m.descent));
    out.WriteLn("/Leading " + QByteArray::number(m.internalLeading));
    out.WriteLn("/CapHeight " + QByteArray::number(m.cellHeight));
    const double stem = m.weight / 65.0;
    out.WriteLn("/StemV " + QByteArray::number(qint64(std::nearbyint(stem * stem)) + 50));
    out.WriteLn("/AvgWidth " + QByteArray::number(m.avgCharWidth));
    out.WriteLn("/MxWidth " + QByteArray::number(m.maxCharWidth));
    out.WriteLn("/MissingWidth " + QByteArray::number(m.avgCharWidth));
    if (embed) out.WriteLn("/FontFile2 " + PdfOutput::ObjNumberRef(program));
    out.WriteLn(">>");
    out.WriteLn("endobj");

    const int toUnicode = out.UpdateXRef();
    out.WriteLn(PdfOutput::ObjNumber(toUnicode));
    writeStreamObject(out, toUnicodeCMap(font), compressed, false);

    const int systemInfo = out.UpdateXRef();
    out.WriteLn(PdfOutput::ObjNumber(systemInfo));
    out.WriteLn("<<");
    out.WriteLn("/Registry (Adobe) /Ordering (Identity) /Supplement 0");
    out.WriteLn(">>");
    out.WriteLn("endobj");

    const int descendant = out.UpdateXRef();
    out.WriteLn(PdfOutput::ObjNumber(descendant));
    out.WriteLn("<<");
    out.WriteLn("/Type /Font");
    out.WriteLn("/Subtype /CIDFontType2");
    out.WriteLn("/BaseFont /" + name);
    out.WriteLn("/CIDSystemInfo " + PdfOutput::ObjNumberRef(systemInfo));
    out.WriteLn("/FontDescriptor " + PdfOutput::ObjNumberRef(descriptor));
    QByteArray widths = "/W [ ";
    for (int i = 0; i < font.UsedAlphabet.size(); ++i)
        widths += QByteArray::number(font.UsedAlphabet[i]) + " [" +
                  QByteArray::number(font.Widths[i]) + "] ";
    out.WriteLn(widths + "]");
    out.WriteLn(">>");
    out.WriteLn("endobj");

    out.patchXRef(font.Reference);
    out.WriteLn(PdfOutput::ObjNumber(font.Reference));
    out.WriteLn("<<");
    out.WriteLn("/Type /Font");
    out.WriteLn("/Subtype /Type0");
    out.WriteLn("/BaseFont /" + name);
    out.WriteLn("/Encoding /Identity-H");
    out.WriteLn("/DescendantFonts [" + PdfOutput::ObjNumberRef(descendant) + "]");
    out.WriteLn("/ToUnicode " + PdfOutput::ObjNumberRef(toUnicode));
    out.WriteLn(">>");
    out.WriteLn("endobj");
}

}  // namespace qev
