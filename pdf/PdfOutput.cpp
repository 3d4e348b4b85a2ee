#include "pdf/PdfOutput.h"

#include "format/Error.h"
#include "pdf/PdfNumbers.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace qev {

void PdfOutput::open(QIODevice* device) {
    FDevice = device;
    FPosition = 0;
    FXRef.clear();
}

void PdfOutput::Write(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    errno = 0;
    if (FDevice->write(bytes) != bytes.size()) {
        // A full disk is named as such; the device's own text may only say
        // "Unknown error" for a write that its buffer passed on.
        const int reason = errno;
        const bool full = reason == ENOSPC || reason == EFBIG || reason == EDQUOT;
        throw Error(QStringLiteral("Cannot write file. %1")
                        .arg(full ? QString::fromLocal8Bit(std::strerror(reason))
                                  : FDevice->errorString()));
    }
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

namespace {

// One compressor per thread, reset for every stream: setting up zlib's
// window and tables for each page costs more than compressing the page.
class Deflater {
  public:
    Deflater() {
        if (deflateInit(&FStream, 1) != Z_OK)
            throw Error(QStringLiteral("Compression is not available"));
    }
    ~Deflater() { deflateEnd(&FStream); }

    QByteArray deflateAll(const QByteArray& data) {
        deflateReset(&FStream);
        QByteArray out(int(deflateBound(&FStream, uLong(data.size()))), Qt::Uninitialized);
        FStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        FStream.avail_in = uInt(data.size());
        FStream.next_out = reinterpret_cast<Bytef*>(out.data());
        FStream.avail_out = uInt(out.size());
        const int rc = deflate(&FStream, Z_FINISH);
        if (rc != Z_STREAM_END)
            throw Error(QStringLiteral("Compression failed (zlib error %1)").arg(rc));
        out.resize(int(FStream.total_out));
        return out;
    }

  private:
    z_stream FStream{};
};

}  // namespace

QByteArray pdfDeflate(const QByteArray& data) {
    thread_local Deflater deflater;
    return deflater.deflateAll(data);
}

}  // namespace qev
