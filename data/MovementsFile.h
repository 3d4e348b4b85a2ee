#pragma once

#include "data/DbfField.h"

#include <QByteArray>
#include <QHash>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace qev {

// The dBASE III file "qevmovs.dbf" that holds the movement rows of one
// statement, read and written through shapelib. Texts are Windows-1252; amounts
// numeric with four decimals. A missing file is created with the movement
// fields; an existing one must have them all.
//
// A file is written by one qev at a time: it is locked (a QLockFile beside it)
// for as long as it is open. When another qev holds "qevmovs.dbf", this one
// works in the next free scratch file of the folder ("qevmovs_2.dbf", ...), so
// two windows or a window and a batch run never mix their suppliers' rows.
class MovementsFile {
  public:
    static constexpr const char* FileName = "qevmovs.dbf";
    // Files a folder offers before it counts as busy.
    static constexpr int MaxFiles = 16;

    using Field = DbfField;

    // Opens (creating when missing) the first file of the directory that no
    // other qev holds; throws Error when the folder cannot be written or every
    // file is taken. A file found damaged is set aside under another name and
    // replaced by a new one, which notice() then tells.
    static std::shared_ptr<MovementsFile> open(const QString& directory);
    // "qevmovs.dbf" for the first file, "qevmovs_<n>.dbf" for the others.
    static QString fileNameOf(int number);
    // The fields of a newly created file.
    static std::vector<Field> standardFields();

    ~MovementsFile();
    MovementsFile(const MovementsFile&) = delete;
    MovementsFile& operator=(const MovementsFile&) = delete;

    const QString& path() const { return path_; }
    // What the user should know about opening it: a damaged file replaced, a
    // scratch file used because another qev holds the first one; empty when
    // nothing. notice() is both.
    const QString& damageNotice() const { return damageNotice_; }
    const QString& sharedNotice() const { return sharedNotice_; }
    QString notice() const;
    const std::vector<Field>& fields() const { return fields_; }
    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const;  // ignoring case; -1 when missing

    // Physical records, deleted ones included.
    int storedRecords() const { return int(deleted_.size()); }
    int liveRecords() const { return live_; }
    bool isDeleted(int record) const { return deleted_[record]; }
    // The next/previous live record from (excluding) the given one, or -1.
    int nextLive(int record) const;
    int priorLive(int record) const;

    // Raw record bytes (flag byte first) and their values.
    QByteArray readRaw(int record) const;
    // The raw bytes of a record into a buffer of recordLength() bytes.
    void copyRaw(int record, char* destination) const;
    // Every live record, in stored order, back to back into a buffer of
    // liveRecords() * recordLength() bytes, read in one go after a flush();
    // their numbers go to `numbers`.
    void copyLiveRecords(char* destination, std::vector<int>& numbers);
    int recordLength() const { return recordLength_; }
    QVariant decode(const QByteArray& raw, int field) const { return decode(raw.constData(), field); }
    QVariant decode(const char* raw, int field) const;
    std::vector<QVariant> readValues(int record) const;
    // Stores values (one per field) as a new record, returning its number, or
    // over an existing one; throws Error when a value does not fit its field.
    int appendValues(const std::vector<QVariant>& values);
    void writeValues(int record, const std::vector<QVariant>& values);
    void markDeleted(int record);

    // Bulk appending: blank records filled field by field (each value checked
    // as it is set, throwing the error storing it would give), then many
    // records, back to back, stored at once, in order, and flushed.
    QByteArray blankRecord() const;
    void setRecordField(char* raw, int field, const QVariant& value) const;
    void setRecordField(QByteArray& raw, int field, const QVariant& value) const {
        setRecordField(raw.data(), field, value);
    }
    // The same for a text or a number at hand, without a QVariant.
    void setRecordText(char* raw, int field, QStringView text) const {
        const Field& f = fields_[std::size_t(field)];
        f.storeText(raw + f.offset, text);
    }
    void setRecordText(char* raw, int field, QLatin1String text) const {
        const Field& f = fields_[std::size_t(field)];
        f.storeText(raw + f.offset, text);
    }
    void setRecordNumber(char* raw, int field, double number) const {
        const Field& f = fields_[std::size_t(field)];
        f.storeNumber(raw + f.offset, number);
    }
    void appendRecords(const QByteArray& records);

    // Changes many records in one sweep, in the order given (stored order reads
    // and writes the file front to back), then flushes: `change` receives the
    // position in `records` and the raw bytes to change with setRecordField.
    void rewriteRecords(const std::vector<int>& records,
                        const std::function<void(std::size_t, char*)>& change);
    // Throws the error storing the value in the field would give.
    void checkValue(int field, const QVariant& value) const;
    // Removes every record: the file is recreated with the same fields.
    void truncate();
    // Writes pending changes and the header so other readers see them; throws
    // Error when the file cannot be written.
    void flush();

    // First live record, in stored order, whose SERIE, FOLIO and FECHA equal
    // the values as they would be stored; -1 when there is none.
    int locate(const QString& serie, const QVariant& folio, const QString& fecha) const;
    // The same for the stored values of a live record: the first live record,
    // maybe itself, with its SERIE, FOLIO and FECHA.
    int firstWithKeyOf(int record) const;

  private:
    MovementsFile(QString path, void* handle, std::unique_ptr<QLockFile> lock);
    void readStructure();
    void rebuildState();
    QByteArray encodeRecord(const std::vector<QVariant>& values) const;
    void encodeField(QByteArray& raw, int field, const QVariant& value) const;
    QByteArray keyOf(const QByteArray& raw) const;
    QByteArray sliceKey(const QByteArray& raw) const;
    QByteArray sliceKey(const char* raw) const;
    void writeAtEnd(const char* records, int count);
    void ensureIndex() const;
    const QByteArray& keyAt(int record) const;
    // Whether the raw record's SERIE, FOLIO and FECHA are those of the key.
    bool hasKey(const char* raw, const QByteArray& key) const;
    void indexAdd(const QByteArray& key, int record);
    void indexRemove(const QByteArray& key, int record);

    QString path_;
    QString damageNotice_, sharedNotice_;
    std::unique_ptr<QLockFile> lock_;  // held while the file is open
    void* handle_ = nullptr;           // shapelib DBFHandle, kept out of this header
    std::vector<Field> fields_;
    int recordLength_ = 0;
    int serie_ = -1, folio_ = -1, fecha_ = -1;
    std::vector<bool> deleted_;
    // Locate key of each record; empty for one read from the file until keyAt.
    mutable std::vector<QByteArray> keys_;
    int live_ = 0;
    // Most keys belong to one record: those are kept without a heap block.
    using KeyRecords = QVarLengthArray<int, 2>;
    // Locate key -> live records, ascending; made anew when next needed once
    // indexStale_ (after a bulk append or an opening).
    mutable QHash<QByteArray, KeyRecords> index_;
    mutable bool indexStale_ = false;
    // firstWithKeyOf of every record, kept up while records are only appended.
    mutable std::vector<int> firstWithKey_;
    mutable bool firstWithKeyStale_ = false;
};

}  // namespace qev
