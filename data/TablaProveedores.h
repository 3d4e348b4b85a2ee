#pragma once

#include "data/RecordSet.h"

#include <QString>

#include <vector>

namespace qev {

class ConexionSAP;

// The suppliers (OCRD rows with cardtype 'S'), read into memory once by open()
// and kept in CardCode order. Searches run over the rows already read, through
// sorted indexes, so no SQL is ever built from what the user types.
class TablaProveedores : public RecordSet {
  public:
    explicit TablaProveedores(ConexionSAP& conexion);

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override;

    QStringList fieldNames() const override;
    FieldType fieldType(const QString& name) const override;
    QVariant value(const QString& name) const override;

    int position() const override { return current_; }
    void goTo(int position) override;

    // Exact CardCode, ignoring letter case. Empty text -> false, nothing moves;
    // no match -> false, the current row is kept.
    bool findCode(const QString& text);
    // First row in CardName order whose CardName starts with the prefix, ignoring
    // letter case and accents. Empty text or no match -> false, nothing moves.
    bool findName(const QString& prefix);

  private:
    int columnOf(const QString& name) const;
    void moveTo(int row);

    ConexionSAP& conexion_;
    bool open_ = false;
    int rows_ = 0;
    std::vector<QString> cells_;  // rows_ x columns, a null QString is Null
    std::vector<int> byCode_;     // row numbers in CardCode order (case ignored)
    std::vector<int> byName_;     // row numbers in CardName order
    std::vector<QString> codeKeys_;
    std::vector<std::u32string> nameKeys_;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

}  // namespace qev
