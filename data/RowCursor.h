#pragma once

#include "data/RecordSet.h"

namespace qev {

// The cursor movements shared by the record sets that hold their rows in memory:
// first/prior/next/last stop at the ends (setting bof or eof and staying on the
// row), goTo ignores positions outside the rows. Subclasses say how many rows
// there are and reset the cursor when they open or close.
class RowCursor : public RecordSet {
  public:
    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int position() const override { return current_; }
    void goTo(int position) override;

  protected:
    // Makes the row current and tells the bound controls.
    void moveTo(int row);
    // On the first row (or nowhere when there are none), without notifying.
    void resetToFirst();
    // Nowhere: closed or empty.
    void resetToNothing();
    int currentRow() const { return current_; }

  private:
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
};

}  // namespace qev
