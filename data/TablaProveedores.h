#pragma once

#include "data/RowCursor.h"

#include <QList>
#include <QString>

#include <future>
#include <string>
#include <vector>

namespace qev {

class ConexionSAP;

// The suppliers (OCRD rows with cardtype 'S'), read into memory once by open()
// and kept in CardCode order. Searches run over the rows already read, through
// sorted indexes, so no SQL is ever built from what the user types. The
// database hands the rows over in code order; the name order is worked out on
// a worker thread while the window opens, and a name search waits for it.
class TablaProveedores : public RowCursor {
  public:
    explicit TablaProveedores(ConexionSAP& conexion);
    ~TablaProveedores() override;

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    int recordCount() const override;

    QStringList fieldNames() const override;
    FieldType fieldType(const QString& name) const override;
    QVariant value(const QString& name) const override;
    int fieldNumber(const QString& name) const override;
    FieldType fieldTypeAt(int) const override { return FieldType::String; }
    QVariant valueAt(int field) const override;
    QString displayTextAt(int field) const override { return displayTextOf(valueAt(field)); }

    // Exact CardCode, ignoring letter case. Empty text -> false, nothing moves;
    // no match -> false, the current row is kept.
    bool findCode(const QString& text);
    // First row in CardName order whose CardName starts with the prefix, ignoring
    // letter case and accents. Empty text or no match -> false, nothing moves.
    bool findName(const QString& prefix);

  private:
    // The name order and the search key of each row's name.
    struct NameIndex {
        std::vector<int> byName;
        std::vector<std::u32string> keys;
    };
    static NameIndex nameIndexOf(std::vector<QString> names);

    int columnOf(const QString& name) const;
    void orderByCode();
    const NameIndex& nameIndex();

    ConexionSAP& conexion_;
    bool open_ = false;
    int rows_ = 0;
    QList<QString> cells_;  // rows_ x columns, in CardCode order; a null QString is Null
    std::vector<QString> codeKeys_;  // CardCode without letter case, ascending
    std::future<NameIndex> pendingNames_;
    NameIndex names_;
};

}  // namespace qev
