#pragma once

#include <QLabel>
#include <QPlainTextEdit>

namespace qev {

class RecordSet;

// The text a data control shows for a field of the current row: empty for Null,
// for a closed or empty record set, and when the cursor stands on no row.
QString currentFieldText(const RecordSet& recordSet, const QString& field);

// A single-line, read-only text showing one field of a record set's current row:
// bold window font, cut at its edges, never interpreted as markup.
class DBText : public QLabel {
    Q_OBJECT
  public:
    DBText(const QString& field, QWidget* parent = nullptr);
    const QString& field() const { return field_; }
    void showFrom(const RecordSet& recordSet);

  private:
    QString field_;
};

// A borderless memo box showing a long-text field; disabled, so it can be
// neither edited nor focused.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    DBMemo(const QString& field, QWidget* parent = nullptr);
    const QString& field() const { return field_; }
    void showFrom(const RecordSet& recordSet);

  private:
    QString field_;
};

}  // namespace qev
