#pragma once

#include <QString>

namespace qev {

// "dd/mm/yyyy" (any separator) to the display text "24/JUN/2016". Throws
// ConversionError "'%s' is not a valid integer value" for a part with a fraction.
QString lafecha(const QString& fecha);
// Spanish month name, "Nulo" outside 1 to 12.
QString mes(int vmes);

}  // namespace qev
