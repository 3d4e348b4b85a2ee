#include "app/BatchMail.h"

#include "format/Error.h"

namespace qev {

BatchMail::BatchMail(const SmtpSettings& smtp, const QString& dataDirectory, bool dryRun,
                     bool resume, const QString& period)
    : dryRun_(dryRun), log_(SendLog::defaultPath(dataDirectory)) {
    run_ = resume ? log_.lastRun() : QString();
    if (run_.isEmpty())
        run_ = SendLog::newRunName();
    else
        sent_ = log_.sentIn(run_);
    mailer_ = std::make_unique<StatementMailer>(smtp, dryRun, &log_, run_, period);
}

void BatchMail::notePrintFailure(const QString& code, const QString& error) {
    if (dryRun_) return;
    log_.append({QDateTime::currentDateTime(), run_, code, {}, {}, SendLog::NotPrinted, error});
}

}  // namespace qev
