#include "pdf/PdfImages.h"

#include "format/Error.h"
#include "pdf/PdfOutput.h"

#include <QCryptographicHash>

#include <jpeglib.h>
#include <cstdio>

#include <csetjmp>

namespace qev {

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

}  // namespace

QByteArray encodeJpeg(const QImage& image, int quality) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    JpegErrorManager error{};
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = onJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw Error(
            QStringLiteral("JPEG compression failed: %1").arg(QString::fromLatin1(error.message)));
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    QByteArray jpeg(reinterpret_cast<const char*>(buffer), int(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return jpeg;
}

QByteArray PdfImages::jpegOf(const QImage& image, int quality) {
    if (quality != FLastQuality || image != FLastImage) {
        FLastJpeg = encodeJpeg(image, quality);
        FLastImage = image;
        FLastQuality = quality;
    }
    return FLastJpeg;
}

int PdfImages::FindXObject(const QByteArray& hash) const {
    for (int i = 0; i < FObjects.size(); ++i)
        if (FObjects[i].Hash == hash) return i;
    return -1;
}

int PdfImages::AddXObject(int objId, const QByteArray& hash) {
    FObjects.append({objId, hash});
    return FObjects.size() - 1;
}

void PdfImages::ClearXObject() {
    for (TfrxPDFXObject& object : FObjects) {
        object.ObjId = 0;
        object.Hash.clear();
    }
}

int PdfImages::addImage(PdfOutput& out, const QByteArray& jpeg, int width, int height) {
    // The logo of every page comes as the very same bytes: hashed once.
    if (!jpeg.isSharedWith(FLastHashed)) {
        FLastHash = QCryptographicHash::hash(jpeg, QCryptographicHash::Md5);
        FLastHashed = jpeg;
    }
    const QByteArray hash = FLastHash;
    int index = FindXObject(hash);
    if (index < 0) {
        const int n = out.UpdateXRef();
        index = AddXObject(n, hash);
        out.WriteLn(PdfOutput::ObjNumber(n));
        out.WriteLn("<<");
        out.WriteLn("/Type /XObject");
        out.WriteLn("/Subtype /Image");
        out.WriteLn("/ColorSpace /DeviceRGB");
        out.WriteLn("/BitsPerComponent 8");
        out.WriteLn("/Filter /DCTDecode");
        out.WriteLn("/Width " + QByteArray::number(width));
        out.WriteLn("/Height " + QByteArray::number(height));
        out.WriteLn("/Length " + QByteArray::number(jpeg.size()));
        out.WriteLn(">>");
        out.WriteLn("stream");
        out.WriteLn(jpeg);
        out.WriteLn("endstream");
        out.WriteLn("endobj");
    }
    FUsedXObjects.append(index);
    return index;
}

}  // namespace qev
