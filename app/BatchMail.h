#pragma once

#include "app/StatementMailer.h"
#include "mail/SendLog.h"

#include <QSet>
#include <QString>

#include <memory>

namespace qev {

struct SmtpSettings;

// The mailing part of a batch run (`--email`): the send log of the data
// folder, the run it notes into (a new one, or with `--resume` the last one,
// whose sent statements are skipped), and the mailer.
class BatchMail {
  public:
    // Throws qev::Error when the settings cannot send (or, in a dry run,
    // compose) or the log cannot be read: nothing has been done then.
    BatchMail(const SmtpSettings& smtp, const QString& dataDirectory, bool dryRun, bool resume,
              const QString& period);

    // Sent in the run being resumed.
    bool alreadySent(const QString& code) const { return sent_.contains(code); }
    MailOutcome mail(const StatementRecipient& recipient) { return mailer_->mail(recipient); }
    // A statement that could not be written is noted too, so the log tells all.
    void notePrintFailure(const QString& code, const QString& error);

    StatementMailer& mailer() { return *mailer_; }
    const QString& run() const { return run_; }

  private:
    bool dryRun_;
    SendLog log_;
    QString run_;
    QSet<QString> sent_;
    std::unique_ptr<StatementMailer> mailer_;
};

}  // namespace qev
