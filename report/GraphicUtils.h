#pragma once

#include <QRecursiveMutex>

#include <cmath>
#include <cstdint>
#include <vector>

namespace qev {

// The one lock around every text-layout engine and the font cache behind them.
// Recursive, because a memo that holds it calls into code that takes it again.
QRecursiveMutex& GraphCS();

// Nearest integer, an exact half going to the even neighbour (the rounding of
// every layout and drawing formula).
inline int rnd(double x) {
    double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
    return static_cast<int>(r);
}

// Spreads count units of size unit (+1 or -1) as evenly as possible over the
// slots first to last of values (inclusive, 0-based); counts not smaller than
// the number of slots first give every slot count div slots.
void IncArray(std::vector<int32_t>& values, int first, int last, int unit, int count);

}  // namespace qev
