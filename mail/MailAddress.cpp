#include "mail/MailAddress.h"

#include "format/Error.h"

#include <QRegularExpression>

namespace qev {

namespace {

bool isAtext(QChar c) {
    static const QString specials = QStringLiteral("!#$%&'*+/=?^_`{|}~-");
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           specials.contains(c);
}

bool isValidLocalPart(const QString& local) {
    if (local.isEmpty() || local.size() > 64) return false;
    if (local.startsWith(u'.') || local.endsWith(u'.') || local.contains(QLatin1String("..")))
        return false;
    for (QChar c : local)
        if (c != u'.' && !isAtext(c)) return false;
    return true;
}

bool isValidDomain(const QString& domain) {
    static const QRegularExpression label(
        QStringLiteral("^[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    static const QRegularExpression topLevel(QStringLiteral("^[A-Za-z]{2,63}$"));
    if (domain.size() > 253) return false;
    const QStringList labels = domain.split(u'.');
    if (labels.size() < 2) return false;
    for (const QString& part : labels)
        if (!label.match(part).hasMatch()) return false;
    return topLevel.match(labels.last()).hasMatch();
}

}  // namespace

bool isValidMailAddress(const QString& address) {
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || address.size() > 254) return false;
    return isValidLocalPart(address.left(at)) && isValidDomain(address.mid(at + 1));
}

QStringList parseMailAddresses(const QString& field) {
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    QStringList addresses;
    for (const QString& part : field.split(separators)) {
        const QString address = part.trimmed();
        if (address.isEmpty()) continue;
        if (!isValidMailAddress(address))
            throw Error(QStringLiteral("La dirección de correo \"%1\" no es válida").arg(address));
        addresses << address;
    }
    return addresses;
}

}  // namespace qev
