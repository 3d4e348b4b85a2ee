#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace qev {

// One file carried by a message.
struct MailAttachment {
    QString fileName;
    QByteArray mimeType = "application/octet-stream";
    QByteArray data;
};

// What a message says. Addresses must be valid (isValidMailAddress); names,
// subject and file name may hold any text: composing keeps them inside their
// own header.
struct MailMessage {
    QString fromAddress;
    QString fromName;
    QString replyTo;  // empty: none
    QStringList to;
    QString toName;  // shown with every address of `to`
    QString subject;
    QString body;  // plain text, "\n" line ends
    QList<MailAttachment> attachments;
    QDateTime date;     // invalid: now
    QString messageId;  // without angle brackets; empty: a new one for fromAddress's domain
};

// The message as RFC 5322 / MIME text with CRLF line ends: UTF-8 headers as
// RFC 2047 encoded words, a text part and base64 attachments. Throws
// qev::Error for an address that is not valid.
QByteArray composeMime(const MailMessage& message);

// A header text as it may follow "Name: ": control characters (CR, LF, tabs)
// become spaces; printable ASCII stays as it is, folded at spaces; anything
// else is written as encoded words ("=?UTF-8?B?...?="), no line over 78.
QByteArray encodeHeaderText(const QString& text, int firstLineUsed);
// A display name and address: "\"Name\" <a@b.mx>" or encoded words and <a@b.mx>.
QByteArray encodeMailbox(const QString& name, const QString& address);
// "Fri, 11 Dec 2026 03:17:46 -0600".
QByteArray mailDate(const QDateTime& time);
// "<uuid@domain>".
QString newMessageId(const QString& fromAddress);

}  // namespace qev
