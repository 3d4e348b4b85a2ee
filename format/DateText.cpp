#include "format/DateText.h"

#include "format/AmountText.h"

#include <array>

namespace qev {

namespace {

int datePart(const QString& text, int position, int length) {
    return wholeNumber(valor(text.mid(position - 1, length)));
}

QString upperAsciiLetters(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

}  // namespace

QString lafecha(const QString& fecha) {
    // The zeros make every position below exist, even for a short or empty text.
    const QString text = fecha + QStringLiteral("0000000000");
    const int year = datePart(text, 7, 4);
    const int month = datePart(text, 4, 2);
    const int day = datePart(text, 1, 2);
    const QString display = vstr(Currency::fromUnits(day), 2, 0) + u'/' + mes(month).left(3) + u'/' +
                            vstr(Currency::fromUnits(year), 4, 0);
    return upperAsciiLetters(espacero(display));
}

QString mes(int vmes) {
    static const std::array<const char*, 12> names = {
        "Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
        "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};
    if (vmes < 1 || vmes > 12) return QStringLiteral("Nulo");
    return QString::fromLatin1(names[vmes - 1]);
}

}  // namespace qev
