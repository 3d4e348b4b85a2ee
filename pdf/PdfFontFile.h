#pragma once

#include <QByteArray>
#include <QString>

namespace qev {

// The font file the system would use for a family name and style, found with
// fontconfig ("Arial" gives Liberation Sans where that is installed).
struct PdfFontFile {
    QString path;
    int faceIndex = 0;
};

PdfFontFile findPdfFontFile(const QString& family, bool bold, bool italic);

}  // namespace qev
