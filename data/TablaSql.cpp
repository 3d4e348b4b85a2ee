#include "data/TablaSql.h"

#include "format/Error.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace qev {

namespace {

const QString Component = QStringLiteral("TablaSql");

}  // namespace

TablaSql::TablaSql(std::shared_ptr<MovementsFile> file) : file_(std::move(file)) {}

void TablaSql::open() {
    if (open_) return;
    file_->flush();  // so that the file on disk matches what is shown
    std::vector<QByteArray> records;
    std::vector<int> recordNumbers;
    records.reserve(std::size_t(file_->liveRecords()));
    recordNumbers.reserve(std::size_t(file_->liveRecords()));
    for (int r = file_->nextLive(-1); r >= 0; r = file_->nextLive(r)) {
        records.push_back(file_->readRaw(r));
        recordNumbers.push_back(r);
    }

    // Statement order: FECHA, TOTAL, SERIE. Texts compare as stored (blank
    // padded, byte by byte), numbers by value with Null first; rows equal in
    // all three keep their stored order.
    struct Key {
        int field;
        bool numeric;
        std::vector<double> numbers;
    };
    std::vector<Key> keys;
    for (const char* name : {"FECHA", "TOTAL", "SERIE"}) {
        const int f = file_->fieldIndex(QString::fromLatin1(name));
        Key key{f, file_->fields()[std::size_t(f)].type == 'N', {}};
        if (key.numeric) {
            key.numbers.reserve(records.size());
            for (const QByteArray& raw : records) {
                const QVariant v = file_->decode(raw, f);
                key.numbers.push_back(v.isNull() ? -std::numeric_limits<double>::infinity()
                                                 : v.toDouble());
            }
        }
        keys.push_back(std::move(key));
    }
    std::vector<int> order(records.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const Key& key : keys) {
            if (key.numeric) {
                const double x = key.numbers[std::size_t(a)], y = key.numbers[std::size_t(b)];
                if (x != y) return x < y;
                continue;
            }
            const MovementsFile::Field& f = file_->fields()[std::size_t(key.field)];
            const int c =
                std::memcmp(records[std::size_t(a)].constData() + f.offset,
                            records[std::size_t(b)].constData() + f.offset, std::size_t(f.width));
            if (c != 0) return c < 0;
        }
        return false;
    });

    records_ = std::move(records);
    recordNumbers_ = std::move(recordNumbers);
    order_ = std::move(order);
    open_ = true;
    resetToFirst();
    notifyAfterOpen();
    notifyAfterScroll();
}

void TablaSql::close() {
    if (!open_) return;
    notifyBeforeClose();
    open_ = false;
    records_.clear();
    recordNumbers_.clear();
    order_.clear();
    resetToNothing();
}

QStringList TablaSql::fieldNames() const {
    return file_->fieldNames();
}

int TablaSql::fieldIndex(const QString& name) const {
    const int index = file_->fieldIndex(name);
    if (index < 0) throw FieldNotFound(Component, name);
    return index;
}

FieldType TablaSql::fieldType(const QString& name) const {
    const MovementsFile::Field& f = file_->fields()[std::size_t(fieldIndex(name))];
    if (f.type != 'N') return FieldType::String;
    return f.decimals == 0 ? FieldType::Integer : FieldType::Float;
}

QVariant TablaSql::value(const QString& name) const {
    return value(fieldIndex(name));
}

QVariant TablaSql::value(int field) const {
    if (!open_ || currentRow() < 0) return {};
    return file_->decode(records_[std::size_t(order_[std::size_t(currentRow())])], field);
}

int TablaSql::storedRecord() const {
    if (!open_ || currentRow() < 0) return -1;
    return recordNumbers_[std::size_t(order_[std::size_t(currentRow())])];
}

}  // namespace qev
