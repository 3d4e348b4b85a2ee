#include "report/GraphicUtils.h"

namespace qev {

QRecursiveMutex& GraphCS() {
    static QRecursiveMutex lock;
    return lock;
}

namespace {

// Fewer units than slots: halve the range and the units until one unit lands
// in the middle of its range.
void spreadFewer(std::vector<int32_t>& values, int first, int last, int unit, int count) {
    if (count <= 0 || first > last) return;
    int half = (last - first + 1) / 2;
    if (half < 1) half = 1;
    if (count == 1) {
        values[first + half - 1] += unit;
        return;
    }
    spreadFewer(values, first, first + half - 1, unit, count / 2);
    spreadFewer(values, first + half, last, unit, count - count / 2);
}

}  // namespace

void IncArray(std::vector<int32_t>& values, int first, int last, int unit, int count) {
    const int slotCount = last - first + 1;
    if (slotCount <= 0 || count <= 0) return;
    if (count >= slotCount) {
        const int each = count / slotCount;
        for (int i = first; i <= last; ++i) values[i] += unit * each;
        count %= slotCount;
    }
    spreadFewer(values, first, last, unit, count);
}

}  // namespace qev
