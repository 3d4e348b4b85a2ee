#include "mail/SmtpSettings.h"

#include "format/Error.h"
#include "mail/MailAddress.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace qev {

namespace {

SmtpSettings::Security securityFrom(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value.isEmpty() || value == QLatin1String("starttls"))
        return SmtpSettings::Security::StartTls;
    if (value == QLatin1String("tls")) return SmtpSettings::Security::Tls;
    if (value == QLatin1String("none")) return SmtpSettings::Security::None;
    throw Error(QStringLiteral("Seguridad de correo desconocida \"%1\" en [smtp]: use starttls, "
                               "tls o none")
                    .arg(text));
}

QString passwordFrom(QSettings& ini) {
    const QString variable = ini.value(QStringLiteral("password_env")).toString().trimmed();
    if (variable.isEmpty()) return ini.value(QStringLiteral("password")).toString();
    if (!qEnvironmentVariableIsSet(variable.toLocal8Bit().constData()))
        throw Error(QStringLiteral("La variable de entorno %1 de la contraseña de correo no está "
                                   "definida")
                        .arg(variable));
    return qEnvironmentVariable(variable.toLocal8Bit().constData());
}

}  // namespace

SmtpSettings SmtpSettings::load(const QString& iniPath) {
    SmtpSettings s;
    if (iniPath.isEmpty() || !QFileInfo::exists(iniPath)) return s;
    QSettings ini(iniPath, QSettings::IniFormat);
    if (!ini.childGroups().contains(QStringLiteral("smtp"))) return s;
    ini.beginGroup(QStringLiteral("smtp"));
    s.present = true;
    s.host = ini.value(QStringLiteral("host")).toString().trimmed();
    const QString port = ini.value(QStringLiteral("port")).toString().trimmed();
    if (!port.isEmpty()) {
        bool ok = false;
        s.port = port.toInt(&ok);
        if (!ok || s.port < 1 || s.port > 65535)
            throw Error(QStringLiteral("Puerto de correo no válido \"%1\" en [smtp]").arg(port));
    }
    s.security = securityFrom(ini.value(QStringLiteral("security")).toString());
    s.user = ini.value(QStringLiteral("user")).toString();
    s.password = passwordFrom(ini);
    s.caFile = ini.value(QStringLiteral("ca_file")).toString();
    s.fromAddress = ini.value(QStringLiteral("from")).toString().trimmed();
    s.fromName = ini.value(QStringLiteral("from_name")).toString();
    s.replyTo = ini.value(QStringLiteral("reply_to")).toString().trimmed();
    s.subjectTemplate = ini.value(QStringLiteral("subject"), s.subjectTemplate).toString();
    s.bodyTemplate = ini.value(QStringLiteral("body"), s.bodyTemplate).toString();
    const QString timeout = ini.value(QStringLiteral("timeout")).toString().trimmed();
    if (!timeout.isEmpty()) {
        bool ok = false;
        s.timeoutSeconds = timeout.toInt(&ok);
        if (!ok || s.timeoutSeconds < 1)
            throw Error(QStringLiteral("Tiempo de espera de correo no válido \"%1\" en [smtp]")
                            .arg(timeout));
    }
    return s;
}

int SmtpSettings::effectivePort() const {
    if (port > 0) return port;
    switch (security) {
        case Security::StartTls:
            return 587;
        case Security::Tls:
            return 465;
        case Security::None:
            return 25;
    }
    return 25;
}

void SmtpSettings::requireComposable() const {
    if (!present)
        throw Error(QStringLiteral(
            "El envío por correo no está configurado: falta la sección [smtp] en el archivo de "
            "configuración"));
    if (fromAddress.isEmpty())
        throw Error(QStringLiteral("Falta el remitente (from) en la sección [smtp]"));
    if (!isValidMailAddress(fromAddress))
        throw Error(QStringLiteral("El remitente \"%1\" de la sección [smtp] no es una dirección "
                                   "de correo válida")
                        .arg(fromAddress));
    if (!replyTo.isEmpty() && !isValidMailAddress(replyTo))
        throw Error(QStringLiteral("La dirección de respuesta \"%1\" de la sección [smtp] no es "
                                   "válida")
                        .arg(replyTo));
}

void SmtpSettings::requireSendable() const {
    requireComposable();
    if (host.isEmpty())
        throw Error(QStringLiteral("Falta el servidor de correo (host) en la sección [smtp]"));
    // The host becomes part of a URL: nothing that could make it another one.
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9.:-]+$"));
    if (!hostName.match(host).hasMatch())
        throw Error(
            QStringLiteral("Servidor de correo no válido \"%1\" en la sección [smtp]").arg(host));
}

}  // namespace qev
