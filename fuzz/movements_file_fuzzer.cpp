// The movements file as found on disk: the input is the whole dBASE file. It
// must either open or raise qev::Error; once open, every record reads, a new
// record appended to it is found again and is still there, equal, after the
// file is closed and opened again.

#include "FuzzSupport.h"
#include "data/MovementsFile.h"
#include "format/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace qev;

QString folder() {
    static QTemporaryDir dir;
    return dir.path();
}

bool writeFile(const std::uint8_t* data, std::size_t size) {
    QFile file(QDir(folder()).filePath(QString::fromLatin1(MovementsFile::FileName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

// A value of the field's kind that fits any width.
std::vector<QVariant> newRow(const MovementsFile& file) {
    std::vector<QVariant> row;
    for (const MovementsFile::Field& f : file.fields())
        row.push_back(f.type == 'N' ? QVariant(qlonglong(f.width > 0 ? 7 : 0))
                                    : QVariant(QStringLiteral("Añ")));
    return row;
}

void readEverything(const MovementsFile& file) {
    // What the statement build checks before it writes a value.
    for (int f = 0; f < int(file.fields().size()); ++f) {
        try {
            file.checkValue(f, QString(300, u'x'));
        } catch (const Error&) {
        }
    }
    for (int r = file.nextLive(-1); r >= 0; r = file.nextLive(r)) file.readValues(r);
    for (int r = file.priorLive(file.storedRecords()); r >= 0; r = file.priorLive(r))
        file.isDeleted(r);
}

void appendAndReopen() {
    std::vector<QVariant> written;
    int record = -1, stored = 0;
    {
        const auto file = MovementsFile::open(folder());
        readEverything(*file);
        try {
            record = file->appendValues(newRow(*file));
        } catch (const Error&) {
            return;  // a field too narrow for the value: refused, nothing written
        }
        written = file->readValues(record);
        const int serie = file->fieldIndex(QStringLiteral("SERIE"));
        const int folio = file->fieldIndex(QStringLiteral("FOLIO"));
        const int fecha = file->fieldIndex(QStringLiteral("FECHA"));
        if (file->locate(written[serie].toString(), written[folio],
                         written[fecha].toString()) < 0)
            fuzz::broken("appended record not found", file->path());
        file->flush();
        stored = file->storedRecords();
    }
    const auto again = MovementsFile::open(folder());
    if (again->storedRecords() != stored)
        fuzz::broken("records lost on reopening", QString::number(again->storedRecords()));
    if (again->readValues(record) != written) fuzz::broken("appended record changed", {});
    again->markDeleted(record);
    again->flush();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!writeFile(data, size)) return 0;
    try {
        appendAndReopen();
    } catch (const Error&) {
    }
    return 0;
}
