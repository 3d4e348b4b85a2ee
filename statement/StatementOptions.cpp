#include "statement/StatementOptions.h"

#include "format/DateText.h"
#include "format/Error.h"
#include "format/FormatSettings.h"

namespace qev {

QString statementDateText(const QDate& date) {
    return lafecha(formatSettings().shortDateText(date));
}

void StatementOptions::check() const {
    if (from.isValid() && to.isValid() && from > to)
        throw Error(QStringLiteral("La fecha inicial (%1) es posterior a la final (%2)")
                        .arg(statementDateText(from), statementDateText(to)));
    if (openItems && from.isValid())
        throw Error(QStringLiteral(
            "Las partidas abiertas se calculan a una sola fecha: deje vacía la fecha inicial"));
}

QString StatementOptions::heading() const {
    if (openItems)
        return QStringLiteral("PARTIDAS ABIERTAS AL ") + statementDateText(asOf());
    if (from.isValid() && to.isValid())
        return QStringLiteral("PERIODO: %1 AL %2")
            .arg(statementDateText(from), statementDateText(to));
    if (from.isValid()) return QStringLiteral("PERIODO: DESDE EL ") + statementDateText(from);
    if (to.isValid()) return QStringLiteral("PERIODO: HASTA EL ") + statementDateText(to);
    return {};
}

QString StatementOptions::mailPeriod() const {
    if (openItems)
        return QStringLiteral("de partidas abiertas al ") + statementDateText(asOf());
    if (from.isValid() && to.isValid())
        return QStringLiteral("del %1 al %2").arg(statementDateText(from), statementDateText(to));
    if (from.isValid()) return QStringLiteral("desde el ") + statementDateText(from);
    return QStringLiteral("al ") + statementDateText(to.isValid() ? to : QDate::currentDate());
}

}  // namespace qev
