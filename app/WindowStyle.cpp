#include "app/WindowStyle.h"

namespace qev {

QFont windowFont(bool bold) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

}  // namespace qev
