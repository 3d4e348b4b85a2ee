#pragma once

#include <QColor>
#include <QFont>

namespace qev {

// The windows were designed in Tahoma 8 point at 96 dpi. Where Tahoma is not
// installed, Liberation Sans (Arial's metrics) keeps captions close to their
// designed widths; the default sans face is wider and would cut them.
QFont windowFont(bool bold = false);

// The main window's background, RGB (234, 112, 114).
inline QColor mainWindowColour() {
    return QColor(234, 112, 114);
}

}  // namespace qev
