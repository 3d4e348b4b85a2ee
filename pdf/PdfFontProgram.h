#pragma once

#include "pdf/PdfShaper.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

struct hb_face_t;

namespace qev {

// A font file as PDF exports use it: mapped, with its shaper (whose tables of
// glyphs and pairs fill up as texts are shaped) and a face prepared for
// subsetting. A batch's statements use the same few fonts, so each thread
// keeps the programs it has opened for as long as it runs instead of every
// statement opening them again.
class PdfFontProgram {
  public:
    // The thread's program of that file and face; null when the file cannot
    // be read.
    static std::shared_ptr<PdfFontProgram> open(const QString& path, int faceIndex);
    ~PdfFontProgram();
    PdfFontProgram(const PdfFontProgram&) = delete;
    PdfFontProgram& operator=(const PdfFontProgram&) = delete;

    const QByteArray& data() const { return FData; }
    int faceIndex() const { return FFaceIndex; }
    PdfShaper& shaper() { return *FShaper; }
    // The font subset to the glyphs (glyph 0 and the ids kept where they
    // are, so that the ids written in the content stay valid); empty when
    // subsetting fails. From the second subset on, the face is prepared for
    // subsetting first, which halves the work of each: a single statement
    // does without the memory that takes.
    QByteArray subset(const QVector<quint16>& glyphs);

  private:
    PdfFontProgram(const QString& path, int faceIndex);

    QFile FFile;  // mapped into FData, kept open while the program lives
    QByteArray FData;
    int FFaceIndex = 0;
    std::unique_ptr<PdfShaper> FShaper;
    hb_face_t* FSubsetFace = nullptr;  // preprocessed once for many subsets
    int FSubsets = 0;
};

}  // namespace qev
