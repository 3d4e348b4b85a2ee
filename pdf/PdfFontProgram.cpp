#include "pdf/PdfFontProgram.h"

#include <hb-subset.h>
#include <hb.h>

#include <map>
#include <utility>

namespace qev {

// The font program mapped rather than read: shaping and measuring touch a
// few of its tables, and a subset only the glyphs used. Read when the file
// cannot be mapped.
PdfFontProgram::PdfFontProgram(const QString& path, int faceIndex)
    : FFile(path), FFaceIndex(faceIndex) {
    if (path.isEmpty() || !FFile.open(QIODevice::ReadOnly)) return;
    if (uchar* data = FFile.map(0, FFile.size()))
        FData = QByteArray::fromRawData(reinterpret_cast<const char*>(data), FFile.size());
    else
        FData = FFile.readAll();
    if (FData.isEmpty()) return;
    FShaper = std::make_unique<PdfShaper>(FData, faceIndex);
}

PdfFontProgram::~PdfFontProgram() {
    if (FSubsetFace) hb_face_destroy(FSubsetFace);
}

std::shared_ptr<PdfFontProgram> PdfFontProgram::open(const QString& path, int faceIndex) {
    thread_local std::map<std::pair<QString, int>, std::shared_ptr<PdfFontProgram>> opened;
    std::shared_ptr<PdfFontProgram>& program = opened[{path, faceIndex}];
    if (!program) {
        std::shared_ptr<PdfFontProgram> made(new PdfFontProgram(path, faceIndex));
        if (!made->FShaper) {
            opened.erase({path, faceIndex});
            return nullptr;
        }
        program = std::move(made);
    }
    return program;
}

QByteArray PdfFontProgram::subset(const QVector<quint16>& glyphs) {
    if (++FSubsets == 2) FSubsetFace = hb_subset_preprocess(FShaper->face());
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) return {};
    hb_set_t* kept = hb_subset_input_glyph_set(input);
    hb_set_add(kept, 0);
    for (quint16 glyph : glyphs) hb_set_add(kept, glyph);
    // The glyph ids in the content are the CIDs: keep them where they are.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS);
    hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag : {"EBLC", "EBDT", "hdmx", "VDMX", "DSIG"})
        hb_set_add(dropped, hb_tag_from_string(tag, 4));
    QByteArray program;
    hb_face_t* source = FSubsetFace ? FSubsetFace : FShaper->face();
    if (hb_face_t* subset = hb_subset_or_fail(source, input)) {
        hb_blob_t* blob = hb_face_reference_blob(subset);
        unsigned length = 0;
        const char* data = hb_blob_get_data(blob, &length);
        if (data && length > 0) program = QByteArray(data, int(length));
        hb_blob_destroy(blob);
        hb_face_destroy(subset);
    }
    hb_subset_input_destroy(input);
    return program;
}

}  // namespace qev
