#include "data/TablaMovtos.h"

#include "data/RecordSet.h"
#include "format/Error.h"

namespace qev {

namespace {

const QString Component = QStringLiteral("TablaMovtos");

Error emptyDataset() {
    return Error(Component + QStringLiteral(": Cannot perform this operation on an empty dataset"));
}

}  // namespace

TablaMovtos::TablaMovtos(std::shared_ptr<MovementsFile> file) : file_(std::move(file)) {
    current_ = file_->nextLive(-1);
}

int TablaMovtos::rowCount() const {
    return file_->liveRecords();
}

int TablaMovtos::fieldIndex(const QString& name) const {
    const int index = file_->fieldIndex(name);
    if (index < 0) throw FieldNotFound(Component, name);
    return index;
}

void TablaMovtos::dropPending() {
    state_ = State::Browse;
    buffer_.clear();
}

void TablaMovtos::deleteCurrent() {
    dropPending();
    if (current_ < 0) throw emptyDataset();
    int following = file_->nextLive(current_);
    if (following < 0) following = file_->priorLive(current_);
    file_->markDeleted(current_);
    if (file_->liveRecords() == 0) {
        // Nothing left: start the file afresh so deleted records never pile up.
        file_->truncate();
        current_ = -1;
        return;
    }
    current_ = following;
}

void TablaMovtos::empty() {
    dropPending();
    file_->truncate();
    current_ = -1;
}

void TablaMovtos::append() {
    dropPending();
    buffer_.assign(file_->fields().size(), QVariant());
    state_ = State::Append;
}

void TablaMovtos::edit() {
    dropPending();
    if (current_ < 0) throw emptyDataset();
    buffer_ = file_->readValues(current_);
    state_ = State::Edit;
}

void TablaMovtos::setField(const QString& name, const QVariant& value) {
    const int index = fieldIndex(name);
    if (state_ == State::Browse)
        throw Error(Component + QStringLiteral(": Dataset not in edit or insert mode"));
    file_->checkValue(index, value);
    buffer_[std::size_t(index)] = value;
}

void TablaMovtos::post() {
    if (state_ == State::Append)
        current_ = file_->appendValues(buffer_);
    else if (state_ == State::Edit)
        file_->writeValues(current_, buffer_);
    dropPending();
}

void TablaMovtos::appendRows(const std::vector<QByteArray>& rows) {
    dropPending();
    if (rows.empty()) return;
    const int first = file_->storedRecords();
    file_->appendRecords(rows);
    current_ = first + int(rows.size()) - 1;
}

void TablaMovtos::cancel() {
    dropPending();
}

bool TablaMovtos::locate(const QString& serie, const QVariant& folio, const QString& fecha) {
    dropPending();
    const int record = file_->locate(serie, folio, fecha);
    if (record < 0) return false;
    current_ = record;
    return true;
}

QVariant TablaMovtos::field(const QString& name) const {
    const int index = fieldIndex(name);
    if (state_ != State::Browse) return buffer_[std::size_t(index)];
    if (current_ < 0) return {};
    return file_->decode(file_->readRaw(current_), index);
}

void TablaMovtos::first() {
    dropPending();
    current_ = file_->nextLive(-1);
}

void TablaMovtos::next() {
    dropPending();
    const int following = file_->nextLive(current_);
    if (following >= 0) current_ = following;
}

}  // namespace qev
