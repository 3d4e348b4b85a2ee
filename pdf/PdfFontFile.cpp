#include "pdf/PdfFontFile.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace qev {

PdfFontFile findPdfFontFile(const QString& family, bool bold, bool italic) {
    static std::mutex fontconfigMutex;  // the default configuration is shared
    std::lock_guard<std::mutex> guard(fontconfigMutex);
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    PdfFontFile file;
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
            file.path = QString::fromUtf8(reinterpret_cast<const char*>(path));
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            file.faceIndex = index;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

}  // namespace qev
