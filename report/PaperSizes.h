#pragma once

#include <optional>

namespace qev {

// Paper dimensions in millimetres (portrait).
struct PaperDimensions {
    double width;
    double height;
};

// The common paper table of the printing system: code 1 letter (215.9 x 279.4),
// 9 A4 (210 x 297), and the others up to 68. Unknown codes give nothing.
std::optional<PaperDimensions> paperDimensions(int code);

}  // namespace qev
