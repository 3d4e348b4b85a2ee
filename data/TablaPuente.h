#pragma once

#include "data/RowCursor.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace qev {

class ConexionSAP;

// One document table ("opch", "orpc" or "ovpm") of one supplier, opened for a
// pass of the statement build. The supplier code is a bound value, never part of
// the SQL text. Rows come in the table's own order (docentry) and are read into
// memory by open(); columns are read by name and Null stays Null.
class TablaPuente : public RowCursor {
  public:
    explicit TablaPuente(ConexionSAP& conexion);

    // Throws Error when open ("TablaPuente: Cannot perform this operation on an
    // open dataset") or when the name is not one of the three document tables.
    void setTableName(const QString& table);
    const QString& tableName() const { return table_; }
    // The connection it reads through.
    ConexionSAP& conexion() const { return conexion_; }
    // Applies at the next open().
    void setCardCodeFilter(const QString& cardCode);
    // Narrows the next open() further to rows whose field equals the text as
    // the database compares them (some ignore letter case or trailing blanks, so
    // a reader that needs the text exactly still checks it): a reader that
    // takes only such rows is spared fetching the others. The field must be
    // one of the table's when it opens (FieldNotFound otherwise).
    void addTextCondition(const QString& field, const QString& text);
    // Clears the supplier code and the conditions.
    void clearFilter();

    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }

    int recordCount() const override { return rows_; }

    QStringList fieldNames() const override;
    FieldType fieldType(const QString& name) const override;
    QVariant value(const QString& name) const override;

    // For walks over many rows: a column looked up once, then read by number.
    // fieldIndex throws FieldNotFound for a name the open table lacks.
    int fieldIndex(const QString& name) const { return columnOf(name); }
    const QVariant& value(int column) const;

  private:
    int columnOf(const QString& name) const;

    ConexionSAP& conexion_;
    QString table_;
    QString cardCode_;
    bool filtered_ = false;
    struct TextCondition {
        QString field;
        QString text;
    };
    std::vector<TextCondition> conditions_;
    bool open_ = false;
    int rows_ = 0;
    int columns_ = 0;
    std::vector<QVariant> cells_;
};

}  // namespace qev
