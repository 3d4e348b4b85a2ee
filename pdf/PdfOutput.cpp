#include "pdf/PdfOutput.h"

#include "format/Error.h"
#include "pdf/PdfNumbers.h"

#include <zlib.h>

namespace qev {

void PdfOutput::open(QIODevice* device) {
    FDevice = device;
    FPosition = 0;
    FXRef.clear();
}

void PdfOutput::Write(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    if (FDevice->write(bytes) != bytes.size())
        throw Error(QStringLiteral("Cannot write file. %1").arg(FDevice->errorString()));
    FPosition += bytes.size();
}

void PdfOutput::WriteLn(const QByteArray& bytes) {
    Write(bytes + "\r\n");
}

int PdfOutput::UpdateXRef() {
    FXRef.append(PrepXrefPos(FPosition));
    return FXRef.size();
}

void PdfOutput::patchXRef(int objectNumber) {
    FXRef[objectNumber - 1] = PrepXrefPos(FPosition);
}

void PdfOutput::clear() {
    FXRef.clear();
}

QByteArray pdfDeflate(const QByteArray& data) {
    uLongf size = compressBound(data.size());
    QByteArray out(int(size), Qt::Uninitialized);
    const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                             reinterpret_cast<const Bytef*>(data.constData()), data.size(), 1);
    if (rc != Z_OK) throw Error(QStringLiteral("Compression failed (zlib error %1)").arg(rc));
    out.resize(int(size));
    return out;
}

}  // namespace qev
