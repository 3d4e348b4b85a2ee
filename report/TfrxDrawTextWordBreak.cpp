#include "report/TfrxDrawTextWordBreak.h"

namespace qev {

namespace {

const QString kConsonants = QStringLiteral("БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬЪ");
const QString kVowels = QStringLiteral("АЕЁИОУЫЭЮЯ");
const QString kSigns = QStringLiteral("ЬЪ");

bool isConsonant(QChar c) {
    return kConsonants.contains(c);
}
bool isVowel(QChar c) {
    return kVowels.contains(c);
}

bool hasVowel(QStringView part) {
    for (QChar c : part)
        if (isVowel(c)) return true;
    return false;
}

// Break after letter i (0-based here) by the letter rules alone.
bool letterAllowsBreak(const QString& w, int i) {
    const int last = int(w.size()) - 1;
    const QChar c = w[i];
    if (isConsonant(c)) return i == last || (!isVowel(w[i + 1]) && !kSigns.contains(w[i + 1]));
    if (isVowel(c)) {
        if (i == last) return true;
        if (w[i + 1] == QChar(u'Й')) return false;
        // Before a doubled consonant and a vowel the word is split between the
        // doubled letters instead.
        const bool doubled =
            i + 3 <= last && isConsonant(w[i + 1]) && w[i + 1] == w[i + 2] && isVowel(w[i + 3]);
        return !doubled;
    }
    return false;
}

}  // namespace

std::vector<int> BreakRussianWord(const QString& upperWord) {
    std::vector<int> positions;
    const int length = int(upperWord.size());
    if (length <= 3) return positions;
    for (int i = 0; i < length; ++i) {
        if (!letterAllowsBreak(upperWord, i)) continue;
        const QStringView before = QStringView(upperWord).left(i + 1);
        const QStringView after = QStringView(upperWord).mid(i + 1);
        if (before.size() > 1 && after.size() > 1 && hasVowel(before) && hasVowel(after))
            positions.push_back(i + 1);
    }
    return positions;
}

QString BreakWord(const QString& text, int wordStart, int overflow) {
    static const QString stops = QStringLiteral(" .,-;");
    if (overflow <= wordStart) return QString();
    int end = overflow;
    while (end < text.size() && !stops.contains(text[end])) ++end;
    const QString word = text.mid(wordStart, end - wordStart);
    int best = 0;
    for (int p : BreakRussianWord(word.toUpper()))
        if (wordStart + p <= overflow)  // the prefix ends before the overflowing character
            best = p;
    return word.left(best);
}

}  // namespace qev
