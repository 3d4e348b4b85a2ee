#include "mail/SmtpClient.h"

#include "mail/CurlLibrary.h"
#include "mail/MailError.h"

#include <cstring>

namespace qev {

namespace {

struct Upload {
    const QByteArray* data;
    qsizetype offset = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* userData) {
    auto* upload = static_cast<Upload*>(userData);
    const size_t left = size_t(upload->data->size() - upload->offset);
    const size_t n = std::min(left, size * count);
    std::memcpy(buffer, upload->data->constData() + upload->offset, n);
    upload->offset += qsizetype(n);
    return n;
}

QString urlFor(const SmtpSettings& s) {
    const QString scheme = s.security == SmtpSettings::Security::Tls ? QStringLiteral("smtps")
                                                                     : QStringLiteral("smtp");
    const QString host = s.host.contains(u':') ? u'[' + s.host + u']' : s.host;
    return scheme + QStringLiteral("://") + host + u':' + QString::number(s.effectivePort());
}

// The command word of an SMTP line ("RCPT TO:<...>" gives "RCPT", "DATA" itself).
QByteArray commandWord(const QByteArray& line) {
    const qsizetype space = line.indexOf(' ');
    return (space < 0 ? line : line.left(space)).trimmed().toUpper();
}

}  // namespace

// One libcurl handle (and so one connection) for every message, and what the
// conversation on it said last: the command sent and the server's reply to it.
struct SmtpClient::Session {
    CURL* curl = nullptr;
    char errorText[CURL_ERROR_SIZE] = {};
    QByteArray lastCommand;  // the verb, and the address of RCPT; never AUTH data
    QByteArray reply;        // the last whole reply, or the one coming in
    bool replyComplete = true;
    bool quitting = false;

    static int trace(CURL*, curl_infotype type, char* data, size_t size, void* userData) {
        auto* session = static_cast<Session*>(userData);
        const QByteArray text(data, qsizetype(size));
        // The QUIT that ends a failed conversation must not hide the reply that failed it.
        if (session->quitting) return 0;
        if (type == CURLINFO_HEADER_OUT) {
            static const QByteArrayList verbs = {"EHLO", "HELO", "STARTTLS", "AUTH", "MAIL",
                                                 "RCPT", "DATA", "RSET",     "NOOP", "QUIT"};
            const QByteArray verb = commandWord(text);
            if (verb == "QUIT") {
                session->quitting = true;
                return 0;
            }
            // Any other line is a step of the login: it is not kept.
            if (!verbs.contains(verb))
                session->lastCommand = "AUTH";
            else
                session->lastCommand = verb == "RCPT" || verb == "MAIL" ? text.trimmed() : verb;
            session->reply.clear();
            session->replyComplete = true;
        } else if (type == CURLINFO_HEADER_IN) {
            // "250-..." lines continue a reply, "250 ..." ends it.
            if (session->replyComplete) session->reply.clear();
            session->reply += text;
            const QByteArray last = text.trimmed().split('\n').last().trimmed();
            session->replyComplete = last.size() <= 3 || last[3] != '-';
        }
        return 0;
    }

    QString replyText() const {
        QByteArrayList lines;
        for (const QByteArray& line : reply.split('\n'))
            if (!line.trimmed().isEmpty()) lines << line.trimmed();
        return QString::fromUtf8(lines.join(' '));
    }
};

SmtpClient::SmtpClient(const SmtpSettings& settings)
    : settings_(settings), session_(std::make_unique<Session>()) {
    settings_.requireSendable();
    session_->curl = CurlLibrary::get().easy_init();
    if (!session_->curl)
        throw MailError(MailError::Kind::Connection,
                        QStringLiteral("No se pudo preparar el envío de correo"));
}

SmtpClient::~SmtpClient() {
    if (session_->curl) CurlLibrary::get().easy_cleanup(session_->curl);
}

namespace {

QString addressOf(const QByteArray& command) {
    const qsizetype open = command.indexOf('<');
    const qsizetype close = command.indexOf('>', open);
    return open < 0 || close < 0 ? QString()
                                 : QString::fromUtf8(command.mid(open + 1, close - open - 1));
}

}  // namespace

void SmtpClient::send(const QString& fromAddress, const QStringList& to,
                      const QByteArray& message) {
    Session& s = *session_;
    CURL* curl = s.curl;
    const CurlLibrary& lib = CurlLibrary::get();
    const QByteArray url = urlFor(settings_).toUtf8();
    const QByteArray from = '<' + fromAddress.toUtf8() + '>';
    const QByteArray user = settings_.user.toUtf8();
    const QByteArray password = settings_.password.toUtf8();
    const QByteArray caFile = settings_.caFile.toLocal8Bit();
    curl_slist* recipients = nullptr;
    for (const QString& address : to)
        recipients = lib.slist_append(recipients, ('<' + address.toUtf8() + '>').constData());
    Upload upload{&message};

    lib.easy_reset(curl);
    s.errorText[0] = '\0';
    s.lastCommand.clear();
    s.reply.clear();
    s.quitting = false;
    lib.easy_setopt(curl, CURLOPT_URL, url.constData());
    lib.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    lib.easy_setopt(curl, CURLOPT_ERRORBUFFER, s.errorText);
    lib.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(std::min(settings_.timeoutSeconds, 30)));
    lib.easy_setopt(curl, CURLOPT_TIMEOUT, long(settings_.timeoutSeconds));
    lib.easy_setopt(curl, CURLOPT_USE_SSL,
                    settings_.security == SmtpSettings::Security::None ? long(CURLUSESSL_NONE)
                                                                       : long(CURLUSESSL_ALL));
    if (!caFile.isEmpty()) lib.easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!user.isEmpty()) {
        lib.easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        lib.easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    lib.easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    lib.easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    lib.easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    lib.easy_setopt(curl, CURLOPT_READDATA, &upload);
    lib.easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    lib.easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    lib.easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    lib.easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Session::trace);
    lib.easy_setopt(curl, CURLOPT_DEBUGDATA, &s);

    const CURLcode result = lib.easy_perform(curl);
    lib.slist_free_all(recipients);
    if (result == CURLE_OK) return;

    const QString detail =
        QString::fromUtf8(s.errorText[0] ? s.errorText : lib.easy_strerror(result));
    const QString reply = s.replyText().isEmpty() ? detail : s.replyText();
    const QByteArray verb = commandWord(s.lastCommand);
    const QString server =
        QStringLiteral("%1:%2").arg(settings_.host).arg(settings_.effectivePort());
    if (result == CURLE_LOGIN_DENIED || verb == "AUTH")
        throw MailError(MailError::Kind::Login,
                        QStringLiteral("El servidor de correo %1 rechazó el usuario o la "
                                       "contraseña: %2")
                            .arg(server, reply));
    if (verb == "MAIL")
        throw MailError(MailError::Kind::Sender,
                        QStringLiteral("El servidor de correo rechazó el remitente <%1>: %2")
                            .arg(addressOf(s.lastCommand), reply));
    if (verb == "RCPT")
        throw MailError(MailError::Kind::Recipient,
                        QStringLiteral("El servidor de correo rechazó el destinatario <%1>: %2")
                            .arg(addressOf(s.lastCommand), reply));
    if (verb == "DATA")
        throw MailError(MailError::Kind::Message,
                        QStringLiteral("El servidor de correo rechazó el mensaje: %1").arg(reply));
    // Before any command the reply is the server's greeting, e.g. a refusal.
    throw MailError(MailError::Kind::Connection,
                    QStringLiteral("No se pudo conectar con el servidor de correo %1: %2")
                        .arg(server, verb.isEmpty() && !s.reply.isEmpty() ? reply : detail));
}

}  // namespace qev
