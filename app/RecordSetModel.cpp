#include "app/RecordSetModel.h"

#include <QPointer>

#include <utility>

namespace qev {

namespace {

// A bounded cache: a view needs the visible rows only, and a long scroll must not
// keep every row of a large set.
constexpr int CacheLimit = 4096;

// Moves a record set's cursor freely and puts it back as it was, with the
// afterScroll notification silenced meanwhile.
class CursorKeeper {
  public:
    explicit CursorKeeper(RecordSet& set)
        : set_(set),
          muted_(std::exchange(set.afterScroll, nullptr)),
          eof_(set.eof()),
          bof_(set.bof()),
          position_(set.position()) {}

    ~CursorKeeper() {
        try {
            restore();
        } catch (...) {
            // Putting the cursor back must not throw out of a paint; the next
            // move of the record set sets it right.
        }
        set_.afterScroll = std::move(muted_);
    }

  private:
    void restore() {
        if (set_.recordCount() == 0) return;
        if (eof_ && position_ >= set_.recordCount() - 1) {
            set_.last();
            set_.next();
        } else if (bof_ && position_ <= 0) {
            set_.first();
            set_.prior();
        } else if (position_ >= 0 && position_ < set_.recordCount()) {
            set_.goTo(position_);
        }
    }

    RecordSet& set_;
    RecordSet::Notification muted_;
    bool eof_;
    bool bof_;
    int position_;
};

template <typename Hook>
RecordSet::Notification chained(RecordSet::Notification previous, Hook hook) {
    return [previous = std::move(previous), hook]() {
        if (previous) previous();
        hook();
    };
}

}  // namespace

RecordSetModel::RecordSetModel(RecordSet& recordSet, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), recordSet_(&recordSet), columns_(std::move(columns)) {
    // The hooks outlive nothing: once the model is gone they do nothing.
    QPointer<RecordSetModel> self(this);
    recordSet.afterOpen = chained(std::move(recordSet.afterOpen), [self] {
        if (self) self->recordSetOpened();
    });
    recordSet.beforeClose = chained(std::move(recordSet.beforeClose), [self] {
        if (self) self->recordSetClosing();
    });
}

RecordSetModel::~RecordSetModel() = default;

void RecordSetModel::detach() {
    beginResetModel();
    recordSet_ = nullptr;
    cache_.clear();
    endResetModel();
}

void RecordSetModel::recordSetOpened() {
    closing_ = false;
    reload();
}

void RecordSetModel::recordSetClosing() {
    beginResetModel();
    closing_ = true;
    cache_.clear();
    endResetModel();
}

int RecordSetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !recordSet_ || closing_ || !recordSet_->isOpen()) return 0;
    return recordSet_->recordCount();
}

int RecordSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return rowTexts(index.row()).value(index.column());
        case Qt::TextAlignmentRole: {
            // No alignment of its own: the view's default.
            const Qt::Alignment alignment = columns_[index.column()].alignment;
            return alignment ? QVariant(int(alignment)) : QVariant();
        }
        default:
            return {};
    }
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
    if (role == Qt::DisplayRole) return columns_[section].title;
    return {};
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RecordSetModel::reload() {
    beginResetModel();
    cache_.clear();
    endResetModel();
}

const QStringList& RecordSetModel::rowTexts(int row) const {
    auto found = cache_.constFind(row);
    if (found != cache_.constEnd()) return *found;
    if (cache_.size() >= CacheLimit) cache_.clear();
    return *cache_.insert(row, readRow(row));
}

QStringList RecordSetModel::readRow(int row) const {
    QStringList texts;
    texts.reserve(columns_.size());
    try {
        CursorKeeper keeper(*recordSet_);
        recordSet_->goTo(row);
        for (const GridColumn& column : columns_) texts << recordSet_->displayText(column.field);
    } catch (...) {
        // A row that cannot be read shows empty rather than breaking the paint.
        texts.resize(columns_.size());
    }
    return texts;
}

}  // namespace qev
