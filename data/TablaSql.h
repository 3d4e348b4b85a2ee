#pragma once

#include "data/MovementsFile.h"
#include "data/RecordSet.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace qev {

// The movement rows in statement order: FECHA, then TOTAL as a number, then
// SERIE; rows equal in all three keep their stored order. open() reads the rows
// as they are at that moment.
class TablaSql : public RecordSet {
  public:
    explicit TablaSql(std::shared_ptr<MovementsFile> file);

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return int(order_.size()); }

    QStringList fieldNames() const override;
    FieldType fieldType(const QString& name) const override;
    QVariant value(const QString& name) const override;

    int position() const override { return current_; }
    void goTo(int position) override;

  private:
    int fieldIndex(const QString& name) const;
    void moveTo(int row);

    std::shared_ptr<MovementsFile> file_;
    bool open_ = false;
    std::vector<QByteArray> records_;  // live records in stored order
    std::vector<int> order_;           // statement order over records_
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

}  // namespace qev
