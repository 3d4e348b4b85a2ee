#pragma once

#include <QString>

#include <vector>

namespace qev {

// Hyphenation points of a Russian word in capitals: each value p means a break
// after letter p (1-based). Words of three letters or fewer have none.
std::vector<int> BreakRussianWord(const QString& upperWord);

// The longest hyphenation prefix of the word that starts at wordStart in text
// and ends before the overflowing character at overflow (both 0-based), or an
// empty string.
QString BreakWord(const QString& text, int wordStart, int overflow);

}  // namespace qev
