#pragma once

#include "data/RowCursor.h"

#include <QString>

#include <vector>

namespace qev {

class ConexionSAP;

// The suppliers (OCRD rows with cardtype 'S'), read into memory once by open()
// and kept in CardCode order. Searches run over the rows already read, through
// sorted indexes, so no SQL is ever built from what the user types.
class TablaProveedores : public RowCursor {
  public:
    explicit TablaProveedores(ConexionSAP& conexion);

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    int recordCount() const override;

    QStringList fieldNames() const override;
    FieldType fieldType(const QString& name) const override;
    QVariant value(const QString& name) const override;

    // Exact CardCode, ignoring letter case. Empty text -> false, nothing moves;
    // no match -> false, the current row is kept.
    bool findCode(const QString& text);
    // First row in CardName order whose CardName starts with the prefix, ignoring
    // letter case and accents. Empty text or no match -> false, nothing moves.
    bool findName(const QString& prefix);

  private:
    int columnOf(const QString& name) const;

    ConexionSAP& conexion_;
    bool open_ = false;
    int rows_ = 0;
    std::vector<QString> cells_;  // rows_ x columns, a null QString is Null
    std::vector<int> byCode_;     // row numbers in CardCode order (case ignored)
    std::vector<int> byName_;     // row numbers in CardName order
    std::vector<QString> codeKeys_;
    std::vector<std::u32string> nameKeys_;
};

}  // namespace qev
