#pragma once

#include <QString>

namespace qev {

// The [smtp] section of the settings file: where statements are sent from and
// how. No login is part of the program: the password is in the file or in an
// environment variable the file names.
struct SmtpSettings {
    enum class Security { StartTls, Tls, None };

    QString host;
    int port = 0;  // 0: 587 with starttls, 465 with tls, 25 without
    Security security = Security::StartTls;
    QString user;      // empty: no login
    QString password;  // from `password`, or from the variable named by `password_env`
    QString caFile;    // certificates to trust instead of the system's (`ca_file`)
    QString fromAddress;
    QString fromName;
    QString replyTo;
    QString subjectTemplate = QStringLiteral("Estado de cuenta {periodo} - {proveedor}");
    QString bodyTemplate = QStringLiteral(
        "Estimado proveedor {proveedor} ({codigo}):\n"
        "\n"
        "Le enviamos adjunto su estado de cuenta {periodo}, emitido el {fecha}.\n"
        "\n"
        "Atentamente,\n"
        "Cuentas por Pagar\n");
    int timeoutSeconds = 60;

    bool present = false;  // the file has an [smtp] section

    // Reads the [smtp] section of the INI file (no file: not present). Throws
    // qev::Error with a Spanish text for a value that cannot be used.
    static SmtpSettings load(const QString& iniPath);

    int effectivePort() const;
    // Throws qev::Error when messages cannot be composed (no valid sender).
    void requireComposable() const;
    // Throws qev::Error when messages cannot be sent (also no server).
    void requireSendable() const;
};

}  // namespace qev
