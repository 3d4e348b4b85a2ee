#include "data/TablaSql.h"

#include "format/Error.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace qev {

namespace {

const QString Component = QStringLiteral("TablaSql");

// The statement order as rows of 64-bit words that compare as unsigned
// numbers, word by word: a text is its stored bytes (blank padded) in big-endian
// words, so words compare as the bytes do; a number is its double with the bits
// turned so that they sort by value, Null first.
class OrderKeys {
  public:
    OrderKeys(const MovementsFile& file, const char* rows, int count) : count_(count) {
        for (const char* name : {"FECHA", "TOTAL", "SERIE"}) {
            const int index = file.fieldIndex(QString::fromLatin1(name));
            const MovementsFile::Field& f = file.fields()[std::size_t(index)];
            fields_.push_back({&f, f.type == 'N' ? 1 : (f.width + 7) / 8});
            words_ += fields_.back().words;
        }
        keys_.resize(std::size_t(count) * std::size_t(words_));
        const int length = file.recordLength();
        for (int r = 0; r < count; ++r) {
            std::uint64_t* key = keys_.data() + std::size_t(r) * std::size_t(words_);
            const char* raw = rows + std::size_t(r) * std::size_t(length);
            for (const Part& part : fields_) key = pack(raw, part, key);
        }
    }

    const std::vector<std::uint64_t>& words() const { return keys_; }
    std::vector<std::uint64_t> takeWords() { return std::move(keys_); }

    // Row numbers in statement order; rows equal in all three keep their stored order.
    std::vector<int> order() const {
        std::vector<int> sorted(static_cast<std::size_t>(count_));
        for (int i = 0; i < count_; ++i) sorted[std::size_t(i)] = i;
        const std::size_t words = std::size_t(words_);
        std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            const std::uint64_t* x = keys_.data() + std::size_t(a) * words;
            const std::uint64_t* y = keys_.data() + std::size_t(b) * words;
            for (std::size_t w = 0; w < words; ++w)
                if (x[w] != y[w]) return x[w] < y[w];
            return a < b;
        });
        return sorted;
    }

  private:
    struct Part {
        const MovementsFile::Field* field;
        int words;
    };

    static std::uint64_t* pack(const char* raw, const Part& part, std::uint64_t* key) {
        const MovementsFile::Field& f = *part.field;
        if (f.type == 'N') {
            const std::optional<double> number = f.loadDouble(raw + f.offset);
            *key++ = sortableBits(number.value_or(-std::numeric_limits<double>::infinity()));
            return key;
        }
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(raw + f.offset);
        for (int w = 0; w < part.words; ++w) {
            std::uint64_t word = 0;
            for (int b = 0; b < 8; ++b) {
                const int at = w * 8 + b;
                word = (word << 8) | (at < f.width ? bytes[at] : 0);
            }
            *key++ = word;
        }
        return key;
    }

    static std::uint64_t sortableBits(double number) {
        if (number == 0) number = 0;  // -0 and 0 are the same number
        const auto bits = std::bit_cast<std::uint64_t>(number);
        return (bits & (std::uint64_t(1) << 63)) ? ~bits : bits | (std::uint64_t(1) << 63);
    }

    int count_;
    int words_ = 0;
    std::vector<Part> fields_;
    std::vector<std::uint64_t> keys_;
};

}  // namespace

TablaSql::TablaSql(std::shared_ptr<MovementsFile> file) : file_(std::move(file)) {}

void TablaSql::open() {
    if (open_) return;
    const std::size_t length = std::size_t(file_->recordLength());
    // The buffer of the previous opening is reused, not cleared: a large
    // statement is read again at every build, and fresh memory that size is
    // slow to come by.
    const std::size_t size = std::size_t(file_->liveRecords()) * length;
    if (rows_.capacity() > 4 * size) {
        rows_.clear();
        rows_.shrink_to_fit();
    }
    rows_.resize(size);
    file_->copyLiveRecords(rows_.data(), recordNumbers_);
    // Statement order: FECHA, TOTAL, SERIE. Texts compare as stored (blank
    // padded, byte by byte), numbers by value with Null first. Only those three
    // decide it: when they are as at the last opening (the balances were
    // written since, say), so is the order.
    OrderKeys keys(*file_, rows_.data(), int(recordNumbers_.size()));
    if (keys.words() != orderedKeys_ || order_.size() != recordNumbers_.size()) {
        order_ = keys.order();
        orderedKeys_ = keys.takeWords();
    }
    open_ = true;
    resetToFirst();
    notifyAfterOpen();
    notifyAfterScroll();
}

void TablaSql::close() {
    if (!open_) return;
    notifyBeforeClose();
    open_ = false;
    recordNumbers_.clear();
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

int TablaSql::fieldNumber(const QString& name) const {
    return file_->fieldIndex(name);
}

FieldType TablaSql::fieldType(const QString& name) const {
    return fieldTypeAt(fieldIndex(name));
}

FieldType TablaSql::fieldTypeAt(int field) const {
    const MovementsFile::Field& f = file_->fields()[std::size_t(field)];
    if (f.type != 'N') return FieldType::String;
    return f.decimals == 0 ? FieldType::Integer : FieldType::Float;
}

QVariant TablaSql::value(const QString& name) const {
    return value(fieldIndex(name));
}

QVariant TablaSql::value(int field) const {
    if (!open_ || currentRow() < 0) return {};
    return file_->decode(currentRaw(), field);
}

const char* TablaSql::currentRaw() const {
    const std::size_t row = std::size_t(order_[std::size_t(currentRow())]);
    return rows_.data() + row * std::size_t(file_->recordLength());
}

std::optional<Currency> TablaSql::amount(int field) const {
    if (!open_ || currentRow() < 0) return std::nullopt;
    const MovementsFile::Field& f = file_->fields()[std::size_t(field)];
    return f.loadAmount(currentRaw() + f.offset);
}

int TablaSql::storedRecord() const {
    if (!open_ || currentRow() < 0) return -1;
    return recordNumbers_[std::size_t(order_[std::size_t(currentRow())])];
}

}  // namespace qev
