#include "data/MovementsFile.h"

#include "data/DbfFileHooks.h"
#include "format/Error.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <shapefil.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qev {

namespace {

DBFHandle dbf(void* handle) {
    // Null only after a failed truncate, which has already reported its error.
    if (!handle)
        throw Error(QStringLiteral("El archivo de movimientos no está abierto; vuelva a consultar "
                                   "el estado de cuenta"));
    return static_cast<DBFHandle>(handle);
}

QString fileError(const QString& path, const QString& what) {
    return QStringLiteral("Archivo de movimientos \"%1\": %2").arg(QDir::toNativeSeparators(path), what);
}

// Writes that did not reach the file, most often for want of disk space. The
// writes are buffered, so the record at fault is not known; errno says why.
Error writeFailure(const QString& path) {
    const int reason = errno;
    return Error(QStringLiteral("No se puede escribir en el archivo de movimientos \"%1\": %2")
                     .arg(QDir::toNativeSeparators(path),
                          reason ? QString::fromLocal8Bit(std::strerror(reason))
                                 : QStringLiteral("quizá el disco está lleno")));
}

// Creates an empty file with the given fields, replacing any file there.
void createFile(const QString& path, const std::vector<MovementsFile::Field>& fields) {
    // LDID 3: the dBASE language driver id of Windows-1252.
    DBFHandle h = DBFCreateLL(QFile::encodeName(path).constData(), "LDID/3", dbfFileHooks());
    if (!h) throw Error(fileError(path, QStringLiteral("no se puede crear")));
    for (const MovementsFile::Field& f : fields) {
        if (DBFAddNativeFieldType(h, f.name.toLatin1().constData(),
                                  f.nativeType ? f.nativeType : f.type, f.width, f.decimals) < 0) {
            DBFClose(h);
            throw Error(fileError(path, QStringLiteral("no se puede agregar el campo '%1'").arg(f.name)));
        }
    }
    DBFClose(h);
}

DBFHandle openFile(const QString& path) {
    return DBFOpenLL(QFile::encodeName(path).constData(), "rb+", dbfFileHooks());
}

quint32 littleEndian(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

// Why the file cannot be a sound dBASE table, in Spanish; empty when its header
// and its size agree. A crash or a full disk while it was written leaves a short
// header or fewer records than the header counts.
QString damageOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};  // left for the open to report
    const qint64 size = file.size();
    const QByteArray head = file.read(32);
    if (head.size() < 32) return QStringLiteral("le falta el encabezado");
    const qint64 headerLength = littleEndian(head, 8, 2);
    const qint64 recordLength = littleEndian(head, 10, 2);
    const qint64 records = littleEndian(head, 4, 4);
    if ((quint8(head[0]) & 0x07) != 0x03 || headerLength < 65 || recordLength < 2 ||
        headerLength > size)
        return QStringLiteral("el encabezado no es de una tabla dBASE");
    // The field descriptors (32 bytes each) end with 0x0D; their widths add up
    // to the record length after the deletion flag.
    const QByteArray descriptors = file.read(headerLength - 32);
    qint64 widths = 1;
    int at = 0;
    while (at + 32 <= descriptors.size() && descriptors[at] != '\r') {
        widths += quint8(descriptors[at + 16]);
        at += 32;
    }
    if (at >= descriptors.size() || descriptors[at] != '\r' || widths != recordLength)
        return QStringLiteral("la descripción de los campos está dañada");
    if (size < headerLength + records * recordLength)
        return QStringLiteral("está cortado: le faltan registros");
    return {};
}

// Moves a damaged file out of the way under a name that says so, keeping its
// bytes; returns the new name.
QString setAside(const QString& path) {
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside;
    for (int n = 1;; ++n) {
        aside = info.dir().filePath(
            QStringLiteral("%1-dañado-%2%3.dbf")
                .arg(info.completeBaseName(), stamp,
                     n == 1 ? QString() : QStringLiteral("-%1").arg(n)));
        if (!QFileInfo::exists(aside)) break;
    }
    if (!QFile::rename(path, aside))
        throw Error(QStringLiteral("El archivo de movimientos \"%1\" está dañado y no se puede "
                                   "apartar; bórrelo y vuelva a abrir qev")
                        .arg(QDir::toNativeSeparators(path)));
    return aside;
}

// Takes the lock of the first file of the folder that no running qev holds.
std::unique_ptr<QLockFile> lockFreeFile(const QString& directory, int& number) {
    const QString shown = QDir::toNativeSeparators(directory);
    for (number = 1; number <= MovementsFile::MaxFiles; ++number) {
        auto lock = std::make_unique<QLockFile>(
            QDir(directory).filePath(MovementsFile::fileNameOf(number) + QStringLiteral(".lock")));
        // A lock is stale only when its process is gone, never because it is old.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) return lock;
        if (lock->error() == QLockFile::PermissionError)
            throw Error(QStringLiteral("No se puede escribir en la carpeta de datos \"%1\"; qev "
                                       "guarda ahí el archivo de movimientos")
                            .arg(shown));
        if (lock->error() != QLockFile::LockFailedError)
            throw Error(QStringLiteral("No se puede bloquear el archivo de movimientos en la "
                                       "carpeta de datos \"%1\"")
                            .arg(shown));
    }
    throw Error(QStringLiteral("La carpeta de datos \"%1\" está ocupada: otras %2 copias de qev "
                               "la usan. Cierre alguna y vuelva a intentarlo")
                    .arg(shown)
                    .arg(MovementsFile::MaxFiles));
}

// The header's date of last update: today, not shapelib's fixed default.
void stampToday(DBFHandle h) {
    const QDate today = QDate::currentDate();
    DBFSetLastModifiedDate(h, today.year() - 1900, today.month(), today.day());
}

}  // namespace

std::vector<MovementsFile::Field> MovementsFile::standardFields() {
    // Widths fit the longest values a statement writes: amount texts of the
    // largest Currency ("-$922'337,203,685,477.58"), display dates
    // ("24/JUN/2016"), series numbers as text, references of the ERP (100).
    return {
        {QStringLiteral("MOVTO"), 'N', 10, 0, 0},    {QStringLiteral("SERIE"), 'C', 11, 0, 0},
        {QStringLiteral("FOLIO"), 'N', 11, 0, 0},    {QStringLiteral("FECHA"), 'C', 10, 0, 0},
        {QStringLiteral("VENCTO"), 'C', 10, 0, 0},   {QStringLiteral("TOTAL"), 'N', 19, 4, 0},
        {QStringLiteral("MTOTAL"), 'C', 24, 0, 0},   {QStringLiteral("CARGO"), 'N', 19, 4, 0},
        {QStringLiteral("ABONO"), 'N', 19, 4, 0},    {QStringLiteral("MCARGO"), 'C', 24, 0, 0},
        {QStringLiteral("MABONO"), 'C', 24, 0, 0},   {QStringLiteral("MFECHA"), 'C', 11, 0, 0},
        {QStringLiteral("MVENCTO"), 'C', 11, 0, 0},  {QStringLiteral("REFERENCIA"), 'C', 100, 0, 0},
        {QStringLiteral("APLICADO"), 'N', 19, 4, 0}, {QStringLiteral("SALDO"), 'N', 19, 4, 0},
        {QStringLiteral("MSALDO"), 'C', 24, 0, 0},
    };
}

QString MovementsFile::notice() const {
    return QStringList{damageNotice_, sharedNotice_}.join(QLatin1Char(' ')).trimmed();
}

QString MovementsFile::fileNameOf(int number) {
    if (number <= 1) return QString::fromLatin1(FileName);
    return QStringLiteral("qevmovs_%1.dbf").arg(number);
}

std::shared_ptr<MovementsFile> MovementsFile::open(const QString& directory) {
    if (!QDir().mkpath(directory))
        throw Error(QStringLiteral("No se puede crear la carpeta de datos \"%1\"")
                        .arg(QDir::toNativeSeparators(directory)));
    int number = 1;
    std::unique_ptr<QLockFile> lock = lockFreeFile(directory, number);
    const QString path = QDir(directory).filePath(fileNameOf(number));
    QString shared, damaged;
    if (number > 1)
        shared = QStringLiteral("Otra copia de qev usa el archivo de movimientos de la carpeta "
                                  "de datos; esta trabaja con \"%1\".")
                       .arg(QDir::toNativeSeparators(path));
    if (QFileInfo::exists(path)) {
        if (const QString damage = damageOf(path); !damage.isEmpty()) {
            const QString aside = setAside(path);
            damaged = QStringLiteral("El archivo de movimientos \"%1\" estaba dañado (%2); se "
                                      "guardó como \"%3\" y se creó uno nuevo.")
                           .arg(QDir::toNativeSeparators(path), damage,
                                QFileInfo(aside).fileName());
        }
    }
    if (!QFileInfo::exists(path)) createFile(path, standardFields());
    DBFHandle h = openFile(path);
    if (!h) throw Error(fileError(path, QStringLiteral("no se puede abrir como tabla dBASE")));
    stampToday(h);
    std::shared_ptr<MovementsFile> file(new MovementsFile(path, h, std::move(lock)));
    file->damageNotice_ = damaged;
    file->sharedNotice_ = shared;
    file->readStructure();
    file->rebuildState();
    return file;
}

MovementsFile::MovementsFile(QString path, void* handle, std::unique_ptr<QLockFile> lock)
    : path_(std::move(path)), lock_(std::move(lock)), handle_(handle) {}

MovementsFile::~MovementsFile() {
    if (handle_) DBFClose(dbf(handle_));
}

void MovementsFile::readStructure() {
    fields_.clear();
    DBFHandle h = dbf(handle_);
    int offset = 1;  // after the deletion flag
    for (int i = 0; i < DBFGetFieldCount(h); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, i, name, &width, &decimals);
        const char native = DBFGetNativeFieldType(h, i);
        char type = native;
        if (type == 'F') type = 'N';
        if (type != 'N') type = 'C';  // dates and logicals are read as their text
        fields_.push_back({QString::fromLatin1(name), type, width, decimals, offset, native});
        offset += width;
    }
    // Records are as long as the header says (a writer may pad them); fields
    // reaching beyond that would be read and written past each record.
    recordLength_ = h->nRecordLength;
    if (offset > recordLength_)
        throw Error(fileError(path_, QStringLiteral("sus campos no caben en sus registros")));
    for (const Field& f : standardFields())
        if (fieldIndex(f.name) < 0)
            throw Error(fileError(path_, QStringLiteral("Field '%1' not found").arg(f.name)));
    serie_ = fieldIndex(QStringLiteral("SERIE"));
    folio_ = fieldIndex(QStringLiteral("FOLIO"));
    fecha_ = fieldIndex(QStringLiteral("FECHA"));
}

void MovementsFile::rebuildState() {
    DBFHandle h = dbf(handle_);
    const int count = DBFGetRecordCount(h);
    deleted_.assign(std::size_t(count), false);
    keys_.assign(std::size_t(count), QByteArray());
    index_.clear();
    firstWithKey_.clear();
    firstWithKeyStale_ = false;
    indexStale_ = true;
    live_ = 0;
    for (int r = 0; r < count; ++r) {
        if (DBFIsRecordDeleted(h, r)) {
            deleted_[std::size_t(r)] = true;
            continue;
        }
        ++live_;
    }
}

// The key of a record read from the file is worked out when first needed: a
// statement build empties the file before it needs any, and working out the
// keys of a long statement cost more than opening the file.
const QByteArray& MovementsFile::keyAt(int record) const {
    QByteArray& key = keys_[std::size_t(record)];
    if (key.isEmpty()) key = keyOf(readRaw(record));
    return key;
}

QStringList MovementsFile::fieldNames() const {
    QStringList names;
    for (const Field& f : fields_) names << f.name;
    return names;
}

int MovementsFile::fieldIndex(const QString& name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

int MovementsFile::nextLive(int record) const {
    for (int r = record + 1; r < storedRecords(); ++r)
        if (!deleted_[std::size_t(r)]) return r;
    return -1;
}

int MovementsFile::priorLive(int record) const {
    for (int r = std::min(record, storedRecords()) - 1; r >= 0; --r)
        if (!deleted_[std::size_t(r)]) return r;
    return -1;
}

QByteArray MovementsFile::readRaw(int record) const {
    QByteArray raw(recordLength_, Qt::Uninitialized);
    copyRaw(record, raw.data());
    return raw;
}

void MovementsFile::copyRaw(int record, char* destination) const {
    const char* raw = DBFReadTuple(dbf(handle_), record);
    if (!raw)
        throw Error(fileError(path_, QStringLiteral("no se puede leer el registro %1").arg(record + 1)));
    std::copy_n(raw, recordLength_, destination);
}

void MovementsFile::copyLiveRecords(char* destination, std::vector<int>& numbers) {
    flush();  // what is read is what another reader of the file sees
    numbers.clear();
    numbers.reserve(std::size_t(live_));
    const int stored = storedRecords();
    if (stored == 0) return;
    DBFHandle h = dbf(handle_);
    // Straight into the destination when no record is deleted (a statement's
    // file never has one); otherwise through a buffer, leaving those out.
    std::vector<char> buffer;
    char* into = destination;
    if (live_ < stored) {
        buffer.resize(std::size_t(stored) * std::size_t(recordLength_));
        into = buffer.data();
    }
    const SAOffset position = h->sHooks.FTell(h->fp);
    const bool read = h->sHooks.FSeek(h->fp, SAOffset(h->nHeaderLength), SEEK_SET) == 0 &&
                      h->sHooks.FRead(into, SAOffset(recordLength_), SAOffset(stored), h->fp) ==
                          SAOffset(stored);
    h->sHooks.FSeek(h->fp, position, SEEK_SET);  // where shapelib left it
    if (!read) throw Error(fileError(path_, QStringLiteral("no se pueden leer sus registros")));
    for (int r = 0; r < stored; ++r) {
        if (deleted_[std::size_t(r)]) continue;
        if (into != destination)
            std::copy_n(into + std::size_t(r) * std::size_t(recordLength_), recordLength_,
                        destination + numbers.size() * std::size_t(recordLength_));
        numbers.push_back(r);
    }
}

QVariant MovementsFile::decode(const char* raw, int field) const {
    const Field& f = fields_[std::size_t(field)];
    return f.load(raw + f.offset);
}

std::vector<QVariant> MovementsFile::readValues(int record) const {
    const QByteArray raw = readRaw(record);
    std::vector<QVariant> values(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) values[i] = decode(raw, int(i));
    return values;
}

void MovementsFile::encodeField(QByteArray& raw, int field, const QVariant& value) const {
    setRecordField(raw.data(), field, value);
}

QByteArray MovementsFile::encodeRecord(const std::vector<QVariant>& values) const {
    QByteArray raw(recordLength_, ' ');
    for (std::size_t i = 0; i < fields_.size(); ++i) encodeField(raw, int(i), values[i]);
    return raw;
}

QByteArray MovementsFile::keyOf(const QByteArray& raw) const {
    // The three fields as they would be written now, so that a value read from
    // a file written elsewhere compares like one written here.
    QByteArray scratch(recordLength_, ' ');
    for (int f : {serie_, folio_, fecha_}) encodeField(scratch, f, decode(raw, f));
    return sliceKey(scratch);
}

QByteArray MovementsFile::sliceKey(const QByteArray& raw) const {
    return sliceKey(raw.constData());
}

QByteArray MovementsFile::sliceKey(const char* raw) const {
    const int fields[] = {serie_, folio_, fecha_};
    qsizetype size = 0;
    for (int f : fields) size += fields_[std::size_t(f)].width;
    QByteArray key(size, Qt::Uninitialized);
    char* at = key.data();
    for (int f : fields) {
        const Field& field = fields_[std::size_t(f)];
        at = std::copy_n(raw + field.offset, field.width, at);
    }
    return key;
}

bool MovementsFile::hasKey(const char* raw, const QByteArray& key) const {
    qsizetype at = 0;
    for (int f : {serie_, folio_, fecha_}) {
        const Field& field = fields_[std::size_t(f)];
        if (at + field.width > key.size() ||
            std::memcmp(raw + field.offset, key.constData() + at, std::size_t(field.width)) != 0)
            return false;
        at += field.width;
    }
    return at == key.size();
}

// The index is made in one go when it is next asked, once many records were
// added at once or the file opened.
void MovementsFile::ensureIndex() const {
    if (!indexStale_) return;
    index_.clear();
    index_.reserve(live_);
    firstWithKey_.assign(deleted_.size(), -1);
    for (int r = nextLive(-1); r >= 0; r = nextLive(r)) {
        KeyRecords& records = index_[keyAt(r)];
        records.push_back(r);
        firstWithKey_[std::size_t(r)] = records.front();
    }
    firstWithKeyStale_ = false;
    indexStale_ = false;
}

void MovementsFile::indexAdd(const QByteArray& key, int record) {
    if (indexStale_) return;
    KeyRecords& records = index_[key];
    const bool appended = records.empty() || records.back() < record;
    records.insert(std::lower_bound(records.begin(), records.end(), record), record);
    // A record added after all others leaves every earlier answer as it was.
    if (appended && !firstWithKeyStale_ && record >= int(firstWithKey_.size())) {
        firstWithKey_.resize(std::size_t(record) + 1, -1);
        firstWithKey_[std::size_t(record)] = records.front();
    } else {
        firstWithKeyStale_ = true;
    }
}

void MovementsFile::indexRemove(const QByteArray& key, int record) {
    if (indexStale_) return;
    firstWithKeyStale_ = true;
    auto it = index_.find(key);
    if (it == index_.end()) return;
    KeyRecords& records = it.value();
    records.erase(std::remove(records.begin(), records.end(), record), records.end());
    if (records.empty()) index_.erase(it);
}

int MovementsFile::appendValues(const std::vector<QVariant>& values) {
    QByteArray raw = encodeRecord(values);
    const int record = storedRecords();
    errno = 0;  // what the write leaves there says why it failed
    if (!DBFWriteTuple(dbf(handle_), record, raw.data())) throw writeFailure(path_);
    deleted_.push_back(false);
    ++live_;
    keys_.push_back(sliceKey(raw));  // written here, so already in canonical form
    indexAdd(keys_.back(), record);
    return record;
}

QByteArray MovementsFile::blankRecord() const {
    return QByteArray(recordLength_, ' ');
}

void MovementsFile::setRecordField(char* raw, int field, const QVariant& value) const {
    const Field& f = fields_[std::size_t(field)];
    f.store(raw + f.offset, value);
}

void MovementsFile::appendRecords(const QByteArray& records) {
    const int count = int(records.size() / recordLength_);
    if (count > 0) {
        writeAtEnd(records.constData(), count);
        deleted_.resize(deleted_.size() + std::size_t(count), false);
        live_ += count;
        keys_.reserve(keys_.size() + std::size_t(count));
        for (int i = 0; i < count; ++i)
            keys_.push_back(sliceKey(records.constData() + std::size_t(i) * std::size_t(recordLength_)));
        indexStale_ = true;
    }
    flush();
}

// The records go after the last one in one write, where shapelib would blank
// and write them one at a time; the bytes are the same: the records, then the
// end-of-file mark.
void MovementsFile::writeAtEnd(const char* records, int count) {
    DBFHandle h = dbf(handle_);
    errno = 0;
    DBFUpdateHeader(h);  // the record shapelib holds goes to the file first
    const SAOffset end =
        SAOffset(h->nHeaderLength) + SAOffset(h->nRecordLength) * SAOffset(h->nRecords);
    const SAOffset position = h->sHooks.FTell(h->fp);
    bool written = h->sHooks.FSeek(h->fp, end, SEEK_SET) == 0 &&
                   h->sHooks.FWrite(const_cast<char*>(records), SAOffset(h->nRecordLength),
                                    SAOffset(count), h->fp) == SAOffset(count);
    if (written && h->bWriteEndOfFileChar) {
        char mark = 0x1A;
        written = h->sHooks.FWrite(&mark, 1, 1, h->fp) == 1;
    }
    const int reason = errno;
    h->sHooks.FSeek(h->fp, position, SEEK_SET);  // where shapelib left it
    errno = reason;
    if (!written || dbfWriteFailed(h->fp)) throw writeFailure(path_);
    h->nRecords += count;
    h->bUpdated = 1;  // the header is written with the new count at the next flush
}

void MovementsFile::rewriteRecords(const std::vector<int>& records,
                                   const std::function<void(std::size_t, char*)>& change) {
    QByteArray raw(recordLength_, Qt::Uninitialized);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int record = records[i];
        copyRaw(record, raw.data());
        const QByteArray key = keyAt(record);  // before the record changes
        change(i, raw.data());
        errno = 0;
        if (!DBFWriteTuple(dbf(handle_), record, raw.data())) throw writeFailure(path_);
        if (!hasKey(raw.constData(), key)) {
            QByteArray newKey = sliceKey(raw);
            indexRemove(key, record);
            indexAdd(newKey, record);
            keys_[std::size_t(record)] = std::move(newKey);
        }
    }
    flush();
}

int MovementsFile::firstWithKeyOf(int record) const {
    ensureIndex();
    if (firstWithKeyStale_) {
        firstWithKey_.assign(deleted_.size(), -1);
        for (int r = nextLive(-1); r >= 0; r = nextLive(r))
            firstWithKey_[std::size_t(r)] = index_.value(keyAt(r)).front();
        firstWithKeyStale_ = false;
    }
    return record < int(firstWithKey_.size()) ? firstWithKey_[std::size_t(record)] : -1;
}

void MovementsFile::writeValues(int record, const std::vector<QVariant>& values) {
    QByteArray raw = encodeRecord(values);
    const QByteArray key = keyAt(record);  // before the record changes
    errno = 0;  // what the write leaves there says why it failed
    if (!DBFWriteTuple(dbf(handle_), record, raw.data())) throw writeFailure(path_);
    QByteArray newKey = sliceKey(raw);
    if (newKey != key) {
        indexRemove(key, record);
        indexAdd(newKey, record);
        keys_[std::size_t(record)] = std::move(newKey);
    }
}

void MovementsFile::markDeleted(int record) {
    if (deleted_[std::size_t(record)]) return;
    const QByteArray key = keyAt(record);
    if (!DBFMarkRecordDeleted(dbf(handle_), record, 1))
        throw Error(fileError(path_, QStringLiteral("no se puede borrar el registro %1").arg(record + 1)));
    deleted_[std::size_t(record)] = true;
    --live_;
    indexRemove(key, record);
}

void MovementsFile::truncate() {
    // After a failed truncate (a full disk) the file is closed; the next one
    // tries again from scratch.
    if (handle_) DBFClose(static_cast<DBFHandle>(handle_));
    handle_ = nullptr;
    deleted_.clear();
    keys_.clear();
    index_.clear();
    firstWithKey_.clear();
    firstWithKeyStale_ = false;
    indexStale_ = false;
    live_ = 0;
    createFile(path_, fields_);
    handle_ = openFile(path_);
    if (!handle_)
        throw Error(fileError(path_, QStringLiteral("no se puede abrir como tabla dBASE")));
    stampToday(dbf(handle_));
}

void MovementsFile::checkValue(int field, const QVariant& value) const {
    char scratch[XBASE_FLD_MAX_WIDTH];
    fields_[std::size_t(field)].store(scratch, value);
}

void MovementsFile::flush() {
    DBFHandle h = dbf(handle_);
    errno = 0;
    DBFUpdateHeader(h);
    // Writes are buffered: a failure of any earlier one shows here.
    if (h->sHooks.FFlush(h->fp) != 0 || dbfWriteFailed(h->fp)) throw writeFailure(path_);
}

int MovementsFile::locate(const QString& serie, const QVariant& folio, const QString& fecha) const {
    QByteArray scratch(recordLength_, ' ');
    encodeField(scratch, serie_, serie.isNull() ? QVariant() : QVariant(serie));
    try {
        encodeField(scratch, folio_, folio);
    } catch (const Error&) {
        return -1;  // a folio that cannot be stored matches no stored row
    }
    encodeField(scratch, fecha_, fecha.isNull() ? QVariant() : QVariant(fecha));
    ensureIndex();
    const auto it = index_.constFind(sliceKey(scratch));
    return it == index_.cend() ? -1 : it.value().front();
}

}  // namespace qev
