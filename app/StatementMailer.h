#pragma once

#include "mail/SmtpSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace qev {

class SendLog;
class SmtpClient;

// The supplier a statement goes to, as its partner row holds it, and its PDF.
struct StatementRecipient {
    QString code;
    QString name;
    QString emailField;  // OCRD.E_Mail as written: empty, one address or a list
    QString pdfPath;
};

// How one message went: `sent` when it reached the server (or, in a dry run,
// was written as .eml), `stopRun` when no later message can fare better (the
// server cannot be reached or refuses the login, or the send log cannot be
// written); `text` is the Spanish outcome for a progress line.
struct MailOutcome {
    bool sent = false;
    bool stopRun = false;
    QString text;
};

// Mails statement PDFs to their suppliers through the [smtp] settings, one
// message per supplier, and notes every outcome in the send log.
class StatementMailer {
  public:
    // `log` may be null (nothing noted); with `dryRun` the messages are written
    // as "<pdf name>.eml" beside the PDF instead of sent, and nothing is noted.
    StatementMailer(SmtpSettings settings, bool dryRun, SendLog* log, QString run, QString period);
    ~StatementMailer();

    MailOutcome mail(const StatementRecipient& recipient);

    // The addresses a partner field gives, for showing before sending. Throws
    // qev::Error for a field without any or with one that is not valid.
    static QStringList addressesOf(const QString& emailField);
    // The period a statement without one covers: "al " + today.
    static QString defaultPeriod();
    // Where a dry run writes the message of a PDF.
    static QString emlPathFor(const QString& pdfPath);

    // Delivers a composed message; the default sends it through SmtpClient.
    std::function<void(const QString& from, const QStringList& to, const QByteArray& message)>
        transport;

  private:
    MailOutcome deliver(const StatementRecipient& recipient, const QStringList& to);
    MailOutcome noted(const StatementRecipient& recipient, const QString& address,
                      const QString& outcome, const QString& detail, MailOutcome result);

    SmtpSettings settings_;
    bool dryRun_;
    SendLog* log_;
    QString run_;
    QString period_;
    std::unique_ptr<SmtpClient> client_;
};

}  // namespace qev
