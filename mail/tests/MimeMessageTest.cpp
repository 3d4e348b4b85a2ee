// Messages composed here are read back by Python's email package: what a mail
// program will see, not what we think we wrote.
#include "format/Error.h"
#include "mail/MimeMessage.h"
#include "mail/StatementMail.h"

#include "testing/SmtpTestServer.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTimeZone>

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;
using qev::testing::readMail;

namespace {

QJsonObject readBack(const QByteArray& mime) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.eml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write");
    file.write(mime);
    file.close();
    return readMail(path);
}

QByteArray headerBlock(const QByteArray& mime) {
    return mime.left(mime.indexOf("\r\n\r\n") + 2);
}

MailMessage sample() {
    MailMessage m;
    m.fromAddress = QStringLiteral("cxp@korvu.com.mx");
    m.fromName = QStringLiteral("Cuentas por Pagar Korvu");
    m.replyTo = QStringLiteral("pagos@korvu.com.mx");
    m.to = {QStringLiteral("ventas@nunez.com.mx")};
    m.toName = QStringLiteral("Zapatería Núñez");
    m.subject = QStringLiteral("Estado de cuenta al 11/DIC/2026 - Zapatería Núñez");
    m.body = QStringLiteral("Estimado proveedor Zapatería Núñez:\n\nLe enviamos su estado.\n");
    m.date = QDateTime(QDate(2026, 12, 11), QTime(3, 17, 46), QTimeZone(-6 * 3600));
    m.messageId = QStringLiteral("1234-abcd@korvu.com.mx");
    QByteArray pdf("%PDF-1.4\n");
    for (int i = 0; i < 3000; ++i) pdf += char(i * 7 % 256);  // every byte value
    m.attachments.append({QStringLiteral("QEV_P0001.pdf"), "application/pdf", pdf});
    return m;
}

QStringList names(const QJsonObject& mail) {
    QStringList list;
    for (const QJsonValue& v : mail["header_names"].toArray()) list << v.toString();
    return list;
}

const QStringList StandardHeaders = {"Date",    "From",       "Reply-To",     "To",
                                     "Subject", "Message-ID", "MIME-Version", "Content-Type"};

}  // namespace

TEST(MimeMessage, ReadsBackWithItsHeadersTextAndAttachmentBytes) {
    const MailMessage m = sample();
    const QByteArray mime = composeMime(m);
    const QJsonObject mail = readBack(mime);
    EXPECT_EQ(names(mail), StandardHeaders);
    EXPECT_TRUE(mail["defects"].toArray().isEmpty()) << mime.toStdString();
    const QJsonObject headers = mail["headers"].toObject();
    EXPECT_EQ(headers["Subject"].toString(), m.subject);
    EXPECT_EQ(headers["Date"].toString(), QStringLiteral("Fri, 11 Dec 2026 03:17:46 -0600"));
    EXPECT_EQ(headers["Message-ID"].toString(), QStringLiteral("<1234-abcd@korvu.com.mx>"));
    const QJsonObject addresses = mail["addresses"].toObject();
    EXPECT_EQ(addresses["To"].toArray(),
              (QJsonArray{QJsonValue(QJsonArray{QStringLiteral("Zapatería Núñez"), m.to[0]})}));
    EXPECT_EQ(addresses["From"].toArray(),
              (QJsonArray{QJsonValue(QJsonArray{m.fromName, m.fromAddress})}));
    EXPECT_EQ(addresses["Reply-To"].toArray(),
              (QJsonArray{QJsonValue(QJsonArray{QString(), m.replyTo})}));
    EXPECT_EQ(mail["content_type"].toString(), QStringLiteral("multipart/mixed"));
    EXPECT_EQ(mail["body"].toString(), m.body);

    const QJsonArray attachments = mail["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    const QJsonObject pdf = attachments[0].toObject();
    EXPECT_EQ(pdf["filename"].toString(), QStringLiteral("QEV_P0001.pdf"));
    EXPECT_EQ(pdf["content_type"].toString(), QStringLiteral("application/pdf"));
    EXPECT_EQ(QByteArray::fromBase64(pdf["data"].toString().toLatin1()), m.attachments[0].data);

    // Plain 7-bit text with CRLF line ends and no line over 78 characters.
    for (const QByteArray& line : mime.split('\n')) {
        EXPECT_TRUE(line.isEmpty() || line.endsWith('\r')) << line.toStdString();
        EXPECT_LE(line.size(), 79) << line.toStdString();
        for (char c : line) EXPECT_TRUE(uchar(c) < 0x80) << line.toStdString();
    }
}

// Supplier names and codes come from the ERP: whatever they hold, they stay
// inside their own header and read back as written (control characters as spaces).
TEST(MimeMessage, NamesCodesAndSubjectsCannotAddHeaders) {
    const struct {
        const char* text;
        const char* readBack;
    } cases[] = {
        {"Importadora O'Higgins, S.A. de C.V.", "Importadora O'Higgins, S.A. de C.V."},
        {"Aceros \"El Fuerte\" \\ Norte", "Aceros \"El Fuerte\" \\ Norte"},
        {"Evil\r\nBcc: victim@example.com", "Evil  Bcc: victim@example.com"},
        {"Evil\nBcc: victim@example.com", "Evil Bcc: victim@example.com"},
        {"Evil\rSubject: otro", "Evil Subject: otro"},
        {"Núñez\r\n\r\n--frontera\r\nContent-Type: text/html",
         "Núñez    --frontera  Content-Type: text/html"},
        {"=?UTF-8?B?QmNjOiB4QHkubXg=?=", "=?UTF-8?B?QmNjOiB4QHkubXg=?="},
        {"Ñandú \"Ö\" <x@y.mx>, z@w.mx", "Ñandú \"Ö\" <x@y.mx>, z@w.mx"},
        {"Transportes\tDel Golfo", "Transportes Del Golfo"},
        {"Distribuidora Nacional de Abarrotes Muñoz y Asociados del Centro y Sur, S.A. de C.V.",
         "Distribuidora Nacional de Abarrotes Muñoz y Asociados del Centro y Sur, S.A. de C.V."},
    };
    for (const auto& [text, expected] : cases) {
        MailMessage m = sample();
        const QString value = QString::fromUtf8(text);
        m.toName = value;
        m.fromName = value;
        m.subject = QStringLiteral("Estado de cuenta ") + value;
        m.attachments[0].fileName = QStringLiteral("QEV_") + value + QStringLiteral(".pdf");
        const QByteArray mime = composeMime(m);
        const QJsonObject mail = readBack(mime);
        EXPECT_EQ(names(mail), StandardHeaders) << text << "\n" << mime.left(1500).toStdString();
        EXPECT_TRUE(mail["defects"].toArray().isEmpty()) << text;
        const QString clean = QString::fromUtf8(expected);
        EXPECT_EQ(mail["headers"].toObject()["Subject"].toString(),
                  QStringLiteral("Estado de cuenta ") + clean)
            << text;
        const QJsonArray to = mail["addresses"].toObject()["To"].toArray();
        ASSERT_EQ(to.size(), 1) << text;
        EXPECT_EQ(to[0].toArray()[0].toString(), clean.simplified()) << text;
        EXPECT_EQ(to[0].toArray()[1].toString(), m.to[0]) << text;
        const QJsonArray attachments = mail["attachments"].toArray();
        ASSERT_EQ(attachments.size(), 1) << text;
        EXPECT_EQ(attachments[0].toObject()["filename"].toString(),
                  QStringLiteral("QEV_") + clean + QStringLiteral(".pdf"))
            << text;
        // Each header line starts a header of ours or continues one.
        for (const QByteArray& line : headerBlock(mime).split('\n')) {
            if (line.isEmpty() || line.startsWith(' ')) continue;
            const QByteArray name = line.left(line.indexOf(':'));
            EXPECT_TRUE(StandardHeaders.contains(QString::fromLatin1(name)))
                << text << ": " << line.toStdString();
        }
    }
}

TEST(MimeMessage, RefusesAddressesThatAreNotValid) {
    for (const char* bad : {"victim@example.com\r\nBcc: x@y.mx", "a b@c.mx", "", "x@y"}) {
        MailMessage to = sample();
        to.to = {QString::fromUtf8(bad)};
        EXPECT_THROW(composeMime(to), Error) << bad;
        MailMessage from = sample();
        from.fromAddress = QString::fromUtf8(bad);
        EXPECT_THROW(composeMime(from), Error) << bad;
    }
    MailMessage none = sample();
    none.to.clear();
    EXPECT_THROW(composeMime(none), Error);
}

TEST(MimeMessage, EveryMessageGetsItsOwnIdAndADate) {
    MailMessage m = sample();
    m.messageId.clear();
    m.date = {};
    const QJsonObject first = readBack(composeMime(m))["headers"].toObject();
    const QJsonObject second = readBack(composeMime(m))["headers"].toObject();
    EXPECT_TRUE(first["Message-ID"].toString().endsWith(QStringLiteral("@korvu.com.mx>")))
        << first["Message-ID"].toString().toStdString();
    EXPECT_NE(first["Message-ID"], second["Message-ID"]);
    EXPECT_FALSE(first["Date"].toString().isEmpty());
}

TEST(StatementMail, FillsTheTemplatesOnceWithTheSupplierPeriodAndDate) {
    const StatementMailFields fields{QStringLiteral("P0001"), QStringLiteral("Zapatería {codigo}"),
                                     QStringLiteral("al 11/DIC/2026"),
                                     QStringLiteral("11/DIC/2026")};
    const std::pair<const char*, const char*> cases[] = {
        {"Estado de cuenta {periodo} - {proveedor}",
         "Estado de cuenta al 11/DIC/2026 - Zapatería {codigo}"},  // a value is not filled again
        {"{codigo}{codigo} emitido el {fecha}", "P0001P0001 emitido el 11/DIC/2026"},
        {"{nada} {proveedor", "{nada} {proveedor"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(fillMailTemplate(QString::fromUtf8(text), fields), QString::fromUtf8(expected))
            << text;
}
