#include "format/Error.h"
#include "mail/SmtpSettings.h"

#include <QFile>
#include <QTemporaryDir>

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;

namespace {

QString writeIni(const QTemporaryDir& dir, const QByteArray& text) {
    const QString path = dir.filePath(QStringLiteral("qev.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text);
    return path;
}

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.message();
    }
    return {};
}

}  // namespace

TEST(SmtpSettings, ReadsTheSmtpSectionWithItsDefaults) {
    QTemporaryDir dir;
    const SmtpSettings none = SmtpSettings::load(writeIni(dir, "[database]\ndriver=sqlite\n"));
    EXPECT_FALSE(none.present);
    EXPECT_EQ(errorOf([&] { none.requireComposable(); }),
              QStringLiteral("El envío por correo no está configurado: falta la sección [smtp] "
                             "en el archivo de configuración"));

    const SmtpSettings s = SmtpSettings::load(
        writeIni(dir,
                 "[smtp]\nhost=mail.korvu.mx\nsecurity=TLS\nuser=cxp\npassword=\"a;b=c\"\n"
                 "from=cxp@korvu.mx\nfrom_name=Cuentas por Pagar\nreply_to=pagos@korvu.mx\n"
                 "subject=Estado {periodo}\nbody=\"Hola {proveedor}\\nAdi\\xf3s\"\n"));
    EXPECT_TRUE(s.present);
    EXPECT_EQ(s.host, QStringLiteral("mail.korvu.mx"));
    EXPECT_EQ(s.security, SmtpSettings::Security::Tls);
    EXPECT_EQ(s.effectivePort(), 465);
    EXPECT_EQ(s.password, QStringLiteral("a;b=c"));
    EXPECT_EQ(s.fromName, QStringLiteral("Cuentas por Pagar"));
    EXPECT_EQ(s.subjectTemplate, QStringLiteral("Estado {periodo}"));
    EXPECT_EQ(s.bodyTemplate, QStringLiteral("Hola {proveedor}\nAdiós"));
    EXPECT_NO_THROW(s.requireSendable());

    const SmtpSettings plain =
        SmtpSettings::load(writeIni(dir, "[smtp]\nhost=127.0.0.1\nfrom=cxp@korvu.mx\n"));
    EXPECT_EQ(plain.security, SmtpSettings::Security::StartTls);
    EXPECT_EQ(plain.effectivePort(), 587);
    EXPECT_TRUE(plain.user.isEmpty());
    EXPECT_TRUE(plain.subjectTemplate.contains(QStringLiteral("{proveedor}")));
    EXPECT_TRUE(plain.bodyTemplate.contains(QStringLiteral("{fecha}")));
}

TEST(SmtpSettings, ThePasswordMayComeFromAnEnvironmentVariableTheFileNames) {
    QTemporaryDir dir;
    qputenv("QEV_TEST_SMTP_PASSWORD", "s3creto ñ");
    const SmtpSettings s =
        SmtpSettings::load(writeIni(dir,
                                    "[smtp]\nhost=h.mx\nfrom=a@b.mx\npassword=ignored\n"
                                    "password_env=QEV_TEST_SMTP_PASSWORD\n"));
    EXPECT_EQ(s.password, QStringLiteral("s3creto ñ"));
    qunsetenv("QEV_TEST_SMTP_PASSWORD");
    EXPECT_EQ(
        errorOf([&] {
            SmtpSettings::load(writeIni(
                dir, "[smtp]\nhost=h.mx\nfrom=a@b.mx\npassword_env=QEV_TEST_SMTP_PASSWORD\n"));
        }),
        QStringLiteral("La variable de entorno QEV_TEST_SMTP_PASSWORD de la contraseña de "
                       "correo no está definida"));
}

TEST(SmtpSettings, ValuesThatCannotBeUsedGiveASpanishMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"[smtp]\nhost=h.mx\nfrom=a@b.mx\nsecurity=ssl\n",
         "Seguridad de correo desconocida \"ssl\" en [smtp]: use starttls, tls o none"},
        {"[smtp]\nhost=h.mx\nfrom=a@b.mx\nport=70000\n",
         "Puerto de correo no válido \"70000\" en [smtp]"},
        {"[smtp]\nhost=h.mx\nfrom=a@b.mx\nport=veinticinco\n",
         "Puerto de correo no válido \"veinticinco\" en [smtp]"},
        {"[smtp]\nhost=h.mx\nfrom=a@b.mx\ntimeout=0\n",
         "Tiempo de espera de correo no válido \"0\" en [smtp]"},
        {"[smtp]\nhost=h.mx\n", "Falta el remitente (from) en la sección [smtp]"},
        {"[smtp]\nhost=h.mx\nfrom=cxp.korvu.mx\n",
         "El remitente \"cxp.korvu.mx\" de la sección [smtp] no es una dirección de correo válida"},
        {"[smtp]\nhost=h.mx\nfrom=a@b.mx\nreply_to=x\n",
         "La dirección de respuesta \"x\" de la sección [smtp] no es válida"},
        {"[smtp]\nfrom=a@b.mx\n", "Falta el servidor de correo (host) en la sección [smtp]"},
        {"[smtp]\nhost=user@evil.mx/x\nfrom=a@b.mx\n",
         "Servidor de correo no válido \"user@evil.mx/x\" en la sección [smtp]"},
    };
    QTemporaryDir dir;
    for (const auto& [ini, message] : cases) {
        const QString path = writeIni(dir, ini);
        EXPECT_EQ(errorOf([&] { SmtpSettings::load(path).requireSendable(); }),
                  QString::fromUtf8(message))
            << ini;
    }
}
