#include "report/TfrxFont.h"

#include <cmath>

namespace qev {

int TfrxFont::Size() const {
    return int(std::nearbyint(-double(Height) * 72.0 / PixelsPerInch));
}

void TfrxFont::SetSize(int points) {
    Height = -int(std::nearbyint(double(points) * PixelsPerInch / 72.0));
}

}  // namespace qev
