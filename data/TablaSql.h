#pragma once

#include "data/MovementsFile.h"
#include "data/RowCursor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qev {

// The movement rows in statement order: FECHA, then TOTAL as a number, then
// SERIE; rows equal in all three keep their stored order. open() reads the rows
// as they are at that moment.
class TablaSql : public RowCursor {
  public:
    explicit TablaSql(std::shared_ptr<MovementsFile> file);

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    int recordCount() const override { return open_ ? int(order_.size()) : 0; }

    QStringList fieldNames() const override;
    FieldType fieldType(const QString& name) const override;
    QVariant value(const QString& name) const override;

    // For walks over many rows: a field looked up once, then read by number.
    // fieldIndex throws FieldNotFound for an unknown name.
    int fieldIndex(const QString& name) const;
    QVariant value(int field) const;
    // A numeric field as an amount, when its stored digits say it plainly
    // (see DbfField::loadAmount); nothing otherwise.
    std::optional<Currency> amount(int field) const;
    int fieldNumber(const QString& name) const override;
    FieldType fieldTypeAt(int field) const override;
    QVariant valueAt(int field) const override { return value(field); }
    QString displayTextAt(int field) const override { return displayTextOf(value(field)); }
    // The current row's record number in the movements file; -1 when none.
    int storedRecord() const;

  private:
    const char* currentRaw() const;  // on an open table with a current row

    std::shared_ptr<MovementsFile> file_;
    bool open_ = false;
    std::vector<char> rows_;          // live records in stored order, back to back
    std::vector<int> recordNumbers_;  // their numbers in the file
    std::vector<int> order_;          // statement order over rows_, kept when closed
    std::vector<std::uint64_t> orderedKeys_;  // what order_ was sorted on
};

}  // namespace qev
