#pragma once

#include "data/MovementsFile.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace qev {

// The movements table used to empty, append, locate and edit rows. A row being
// appended or edited is stored only by post(); any other change of row
// (append, edit, delete, empty, locate) drops it first, so a half-filled row is
// never stored.
class TablaMovtos {
  public:
    explicit TablaMovtos(std::shared_ptr<MovementsFile> file);

    int rowCount() const;
    bool hasCurrent() const { return current_ >= 0; }
    // The next row becomes current (the previous one when the last was deleted).
    void deleteCurrent();
    // All rows at once; the file is truncated.
    void empty();
    void append();
    void edit();
    void setField(const QString& name, const QVariant& value);
    void post();
    void cancel();
    // Complete rows (made with the file's blankRecord and setRecordField) stored
    // at once, in order; the last one becomes current.
    void appendRows(const std::vector<QByteArray>& rows);
    // First row in stored order whose SERIE, FOLIO and FECHA equal the values
    // exactly (letter case counts); false keeps the current row.
    bool locate(const QString& serie, const QVariant& folio, const QString& fecha);
    QVariant field(const QString& name) const;
    // The field's number in the file; throws FieldNotFound for an unknown name.
    int fieldIndex(const QString& name) const;

    void first();
    void next();

    const std::shared_ptr<MovementsFile>& file() const { return file_; }

  private:
    enum class State { Browse, Append, Edit };
    void dropPending();

    std::shared_ptr<MovementsFile> file_;
    State state_ = State::Browse;
    std::vector<QVariant> buffer_;
    int current_ = -1;
};

}  // namespace qev
