#include "data/RowCursor.h"

namespace qev {

void RowCursor::moveTo(int row) {
    current_ = row;
    bof_ = eof_ = false;
    notifyAfterScroll();
}

void RowCursor::resetToFirst() {
    current_ = recordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = recordCount() == 0;
}

void RowCursor::resetToNothing() {
    current_ = -1;
    eof_ = bof_ = true;
}

void RowCursor::first() {
    if (recordCount() == 0) return;
    moveTo(0);
    bof_ = true;
}

void RowCursor::last() {
    if (recordCount() == 0) return;
    moveTo(recordCount() - 1);
    eof_ = true;
}

void RowCursor::next() {
    if (recordCount() == 0) return;
    if (current_ + 1 >= recordCount()) {
        eof_ = true;  // stays on the last row
        return;
    }
    moveTo(current_ + 1);
}

void RowCursor::prior() {
    if (recordCount() == 0) return;
    if (current_ <= 0) {
        bof_ = true;  // stays on the first row
        return;
    }
    moveTo(current_ - 1);
}

void RowCursor::goTo(int position) {
    if (position < 0 || position >= recordCount()) return;
    moveTo(position);
}

}  // namespace qev
