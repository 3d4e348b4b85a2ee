#pragma once

#include "data/RecordSet.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

namespace qev {

// One column of a grid over a record set.
struct GridColumn {
    QString field;
    QString title;
    Qt::Alignment alignment = {};  // none: the view's default
    int width = 0;                 // 0: the view's default
};

// A read-only table model over a record set, reading only the rows a view asks
// for (no copy of the whole set, so 50,000 suppliers cost nothing up front).
// A row is read by moving the record set's cursor there with its notifications
// muted, and back again, so that reading never changes the current row. The
// model resets itself when the record set opens or closes.
class RecordSetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    RecordSetModel(RecordSet& recordSet, QList<GridColumn> columns, QObject* parent = nullptr);
    ~RecordSetModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const QList<GridColumn>& columns() const { return columns_; }
    // Forget everything read so far, e.g. after the record set's rows changed.
    void reload();
    // Stop listening to the record set (it is about to go away).
    void detach();

  private:
    void recordSetOpened();
    void recordSetClosing();
    const QStringList& rowTexts(int row) const;
    QStringList readRow(int row) const;

    RecordSet* recordSet_;
    QList<GridColumn> columns_;
    bool closing_ = false;
    mutable QHash<int, QStringList> cache_;
};

}  // namespace qev
