#pragma once

#include "mail/SmtpSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace qev {

// Sends composed messages through an SMTP server with libcurl, keeping the
// connection open between messages. Failures throw MailError with a Spanish
// text that carries the server's own reply.
class SmtpClient {
  public:
    explicit SmtpClient(const SmtpSettings& settings);
    ~SmtpClient();
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    void send(const QString& fromAddress, const QStringList& to, const QByteArray& message);

  private:
    struct Session;
    SmtpSettings settings_;
    std::unique_ptr<Session> session_;
};

}  // namespace qev
