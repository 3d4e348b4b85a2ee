#include "app/DateField.h"

#include "format/Error.h"

#include <QRegularExpression>

namespace qev {

QDate parseDateField(const QString& text, const QString& fieldName) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4})$"));
    const QRegularExpressionMatch match = form.match(trimmed);
    const QDate date = match.hasMatch() ? QDate(match.captured(3).toInt(), match.captured(2).toInt(),
                                                match.captured(1).toInt())
                                        : QDate();
    if (!date.isValid())
        throw Error(QStringLiteral("La fecha \"%1\" de %2 no es válida: escríbala como dd/mm/aaaa, "
                                   "por ejemplo 31/03/2016")
                        .arg(trimmed, fieldName));
    return date;
}

QString dateFieldText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

}  // namespace qev
