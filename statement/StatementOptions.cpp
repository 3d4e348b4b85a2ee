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
}

QString StatementOptions::heading() const {
    if (from.isValid() && to.isValid())
        return QStringLiteral("PERIODO: %1 AL %2")
            .arg(statementDateText(from), statementDateText(to));
    if (from.isValid()) return QStringLiteral("PERIODO: DESDE EL ") + statementDateText(from);
    if (to.isValid()) return QStringLiteral("PERIODO: HASTA EL ") + statementDateText(to);
    return {};
}

QString StatementOptions::mailPeriod() const {
    if (from.isValid() && to.isValid())
        return QStringLiteral("del %1 al %2").arg(statementDateText(from), statementDateText(to));
    if (from.isValid()) return QStringLiteral("desde el ") + statementDateText(from);
    return QStringLiteral("al ") + statementDateText(to.isValid() ? to : QDate::currentDate());
}

}  // namespace qev
