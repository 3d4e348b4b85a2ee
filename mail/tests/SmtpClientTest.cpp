// Sending through a real mail server on loopback, and the ways a server says no.
#include "mail/MailError.h"
#include "mail/MimeMessage.h"
#include "mail/SmtpClient.h"

#include "testing/SmtpTestServer.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

#include <optional>

using namespace qev;
using qev::testing::SmtpTestServer;

namespace {

SmtpSettings plainSettings(quint16 port) {
    SmtpSettings s;
    s.present = true;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.security = SmtpSettings::Security::None;
    s.fromAddress = QStringLiteral("cxp@korvu.com.mx");
    s.timeoutSeconds = 20;
    return s;
}

QByteArray messageTo(const QString& address) {
    MailMessage m;
    m.fromAddress = QStringLiteral("cxp@korvu.com.mx");
    m.to = {address};
    m.toName = QStringLiteral("Zapatería Núñez");
    m.subject = QStringLiteral("Estado de cuenta");
    m.body = QStringLiteral("Hola\n.\n..línea con punto\n");
    m.attachments.append({QStringLiteral("QEV_P1.pdf"), "application/pdf", QByteArray(5000, '.')});
    return composeMime(m);
}

std::optional<MailError> failureOf(SmtpClient& client, const QStringList& to) {
    try {
        client.send(QStringLiteral("cxp@korvu.com.mx"), to, messageTo(to.value(0)));
    } catch (const MailError& error) {
        return error;
    }
    return std::nullopt;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

}  // namespace

TEST(SmtpClient, DeliversTheMessageAsComposedOverOneConnection) {
    QTemporaryDir dir;
    SmtpTestServer server(dir.filePath(QStringLiteral("mail")), {"cxp", "s3creto", {}});
    SmtpSettings settings = plainSettings(server.port());
    settings.user = QStringLiteral("cxp");
    settings.password = QStringLiteral("s3creto");
    SmtpClient client(settings);
    const QByteArray first = messageTo(QStringLiteral("ventas@nunez.com.mx"));
    const QByteArray second = messageTo(QStringLiteral("pagos@aceros.mx"));
    client.send(settings.fromAddress, {QStringLiteral("ventas@nunez.com.mx")}, first);
    client.send(settings.fromAddress,
                {QStringLiteral("pagos@aceros.mx"), QStringLiteral("cobranza@aceros.mx")}, second);

    const QStringList received = server.messages();
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(contentOf(received[0]), first);  // byte for byte, dots and all
    EXPECT_EQ(contentOf(received[1]), second);
    const QJsonObject envelope = SmtpTestServer::envelopeOf(received[1]);
    EXPECT_EQ(envelope["from"].toString(), settings.fromAddress);
    EXPECT_EQ(envelope["to"].toArray(), (QJsonArray{QStringLiteral("pagos@aceros.mx"),
                                                    QStringLiteral("cobranza@aceros.mx")}));
    EXPECT_EQ(envelope["login"].toString(), QStringLiteral("cxp"));
}

TEST(SmtpClient, EachRefusalSaysWhatWasRefusedWithTheServersReply) {
    QTemporaryDir dir;
    SmtpTestServer strict(dir.filePath(QStringLiteral("strict")),
                          {"cxp", "s3creto", {QStringLiteral("nadie@nunez.com.mx")}});
    const quint16 down = qev::testing::closedLoopbackPort();

    struct Case {
        const char* what;
        quint16 port;
        const char* user;
        const char* password;
        const char* recipient;
        MailError::Kind kind;
        QString message;
    };
    const QString at = QStringLiteral("127.0.0.1:%1").arg(strict.port());
    const Case cases[] = {
        {"wrong password", strict.port(), "cxp", "otra", "ventas@nunez.com.mx",
         MailError::Kind::Login,
         QStringLiteral("El servidor de correo %1 rechazó el usuario o la contraseña: 535 5.7.8 "
                        "Authentication credentials invalid")
             .arg(at)},
        {"no login where one is required", strict.port(), "", "", "ventas@nunez.com.mx",
         MailError::Kind::Sender,
         QStringLiteral("El servidor de correo rechazó el remitente <cxp@korvu.com.mx>: 530 5.7.0 "
                        "Authentication required")},
        {"recipient rejected", strict.port(), "cxp", "s3creto", "nadie@nunez.com.mx",
         MailError::Kind::Recipient,
         QStringLiteral("El servidor de correo rechazó el destinatario <nadie@nunez.com.mx>: 550 "
                        "5.1.1 <nadie@nunez.com.mx>: buzon inexistente")},
        {"server down", down, "", "", "ventas@nunez.com.mx", MailError::Kind::Connection,
         QStringLiteral("No se pudo conectar con el servidor de correo 127.0.0.1:%1: ").arg(down)},
    };
    for (const Case& c : cases) {
        SmtpSettings settings = plainSettings(c.port);
        settings.user = QString::fromUtf8(c.user);
        settings.password = QString::fromUtf8(c.password);
        SmtpClient client(settings);
        const auto error = failureOf(client, {QString::fromUtf8(c.recipient)});
        ASSERT_TRUE(error) << c.what;
        EXPECT_EQ(int(error->kind()), int(c.kind)) << c.what;
        EXPECT_TRUE(error->message().startsWith(c.message))
            << c.what << "\n  got: " << error->message().toStdString()
            << "\n  expected: " << c.message.toStdString();
    }
    EXPECT_TRUE(strict.messages().isEmpty());

    // A refused recipient does not spoil the connection for the next message.
    SmtpSettings settings = plainSettings(strict.port());
    settings.user = QStringLiteral("cxp");
    settings.password = QStringLiteral("s3creto");
    SmtpClient client(settings);
    EXPECT_TRUE(failureOf(client, {QStringLiteral("nadie@nunez.com.mx")}));
    EXPECT_FALSE(failureOf(client, {QStringLiteral("ventas@nunez.com.mx")}));
    EXPECT_EQ(strict.messages().size(), 1);
}

TEST(SmtpClient, StartTlsRequiredButNotOfferedIsAConnectionError) {
    QTemporaryDir dir;
    SmtpTestServer server(dir.filePath(QStringLiteral("mail")));
    SmtpSettings settings = plainSettings(server.port());
    settings.security = SmtpSettings::Security::StartTls;
    SmtpClient client(settings);
    const auto error = failureOf(client, {QStringLiteral("ventas@nunez.com.mx")});
    ASSERT_TRUE(error);
    EXPECT_EQ(int(error->kind()), int(MailError::Kind::Connection));
    EXPECT_TRUE(error->message().startsWith(
        QStringLiteral("No se pudo conectar con el servidor de correo 127.0.0.1:%1: ")
            .arg(server.port())))
        << error->message().toStdString();
    EXPECT_TRUE(server.messages().isEmpty());  // nothing went out in the clear
}
