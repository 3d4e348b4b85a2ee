#include "app/StatementFileName.h"

namespace qev {

QString statementFileName(const QString& code, const QString& suffix) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QString safe = code;
    for (QChar& c : safe)
        if (c.unicode() < 0x20 || forbidden.contains(c)) c = u'_';
    return QStringLiteral("QEV_") + safe + suffix;
}

}  // namespace qev
