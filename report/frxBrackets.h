#pragma once

#include <QString>

#include <functional>

namespace qev {

// Replaces every bracketed expression of `text` by calc(expression).
//
// A bracket starts at an opening delimiter and ends where the depth of
// delimiters outside quotes is back to 0: delimiters inside a double- or
// single-quoted stretch do not count, and a bracket nested inside another stays
// part of the outer expression. Inserted text is never scanned again; text
// outside brackets stays unchanged. A bracket never closed reaches the end of
// the text: it is left as it is.
QString frxExpandBrackets(const QString& text, const QString& open, const QString& close,
                          const std::function<QString(const QString&)>& calc);

}  // namespace qev
