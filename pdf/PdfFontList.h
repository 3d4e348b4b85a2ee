#pragma once

#include "pdf/TfrxPDFFont.h"

#include <memory>
#include <vector>

namespace qev {

class PdfOutput;

// The fonts of one export run. FFonts owns them in order of first use (their
// resource names are /F0, /F1, ...); FPageFonts lists the fonts named in the
// pages' resources and is never emptied between pages.
class PdfFontList {
  public:
    int GetObjFontNumber(const PdfFontStyle& font);
    TfrxPDFFont& GetGlobalFont(const PdfFontStyle& font);

    TfrxPDFFont& pageFont(int index) { return *FPageFonts[index]; }
    const QVector<TfrxPDFFont*>& pageFonts() const { return FPageFonts; }
    int count() const { return int(FFonts.size()); }
    TfrxPDFFont& font(int index) { return *FFonts[size_t(index)]; }

    void clear();

  private:
    static bool matches(const PdfFontStyle& font, const TfrxPDFFont& entry);

    std::vector<std::unique_ptr<TfrxPDFFont>> FFonts;
    QVector<TfrxPDFFont*> FPageFonts;
};

// Writes the objects of one font: program (when embedding), descriptor,
// ToUnicode map, CID system info, descendant font and the Type0 font.
void WriteFont(PdfOutput& out, TfrxPDFFont& font, bool compressed, bool embed);

// The ToUnicode CMap text of a font.
QByteArray toUnicodeCMap(const TfrxPDFFont& font);

}  // namespace qev
