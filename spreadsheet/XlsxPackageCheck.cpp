#include "spreadsheet/XlsxPackageCheck.h"

#include "format/Error.h"
#include "spreadsheet/XlsxLibraries.h"

#include <QFile>
#include <QXmlStreamReader>

#include <memory>

namespace qev {

namespace {

const ZipLibrary& zip() {
    return ZipLibrary::get();
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip().zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip().zip_fclose(entry); }
};

[[noreturn]] void fail(const QString& reason) {
    throw Error(
        QStringLiteral("No se pudo crear la hoja de cálculo: %1 (¿falta espacio en disco?).")
            .arg(reason));
}

// Reads one part through an XML reader to its end; false when it is cut short
// or malformed.
bool wholeXml(zip_file_t* entry) {
    QXmlStreamReader xml;
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t read = zip().zip_fread(entry, buffer, sizeof buffer);
        if (read < 0) return false;
        if (read == 0) break;
        xml.addData(QByteArray(buffer, qsizetype(read)));
        while (!xml.atEnd()) xml.readNext();
        if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            return false;
    }
    return !xml.hasError() && xml.isEndDocument();
}

}  // namespace

void checkXlsxPackage(const QString& path) {
    int error = 0;
    const std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip().zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) fail(QStringLiteral("el archivo no es un paquete válido"));
    const zip_int64_t entries = zip().zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const QString name =
            QString::fromUtf8(zip().zip_get_name(archive.get(), zip_uint64_t(i), 0));
        if (!name.endsWith(QLatin1String(".xml")) && !name.endsWith(QLatin1String(".rels")))
            continue;
        const std::unique_ptr<zip_file_t, EntryCloser> entry(
            zip().zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        if (!entry || !wholeXml(entry.get()))
            fail(QStringLiteral("la parte \"%1\" quedó incompleta").arg(name));
    }
}

}  // namespace qev
