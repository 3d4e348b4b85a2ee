#include "app/StatementMailer.h"

#include "format/DateText.h"
#include "format/Error.h"
#include "mail/MailAddress.h"
#include "mail/MailError.h"
#include "mail/SendLog.h"
#include "mail/SmtpClient.h"
#include "mail/StatementMail.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qev {

namespace {

QString today() {
    return lafecha(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("No se puede leer el estado de cuenta \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

void writeFileAtomically(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw Error(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
}

}  // namespace

StatementMailer::StatementMailer(SmtpSettings settings, bool dryRun, SendLog* log, QString run,
                                 QString period)
    : settings_(std::move(settings)),
      dryRun_(dryRun),
      log_(log),
      run_(std::move(run)),
      period_(period.isEmpty() ? defaultPeriod() : std::move(period)) {
    if (dryRun_)
        settings_.requireComposable();
    else
        settings_.requireSendable();
    transport = [this](const QString& from, const QStringList& to, const QByteArray& message) {
        if (!client_) client_ = std::make_unique<SmtpClient>(settings_);
        client_->send(from, to, message);
    };
}

StatementMailer::~StatementMailer() = default;

QStringList StatementMailer::addressesOf(const QString& emailField) {
    const QStringList addresses = parseMailAddresses(emailField);
    if (addresses.isEmpty())
        throw Error(QStringLiteral("El proveedor no tiene dirección de correo"));
    return addresses;
}

QString StatementMailer::defaultPeriod() {
    return QStringLiteral("al ") + today();
}

QString StatementMailer::emlPathFor(const QString& pdfPath) {
    const QFileInfo info(pdfPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".eml"));
}

MailOutcome StatementMailer::mail(const StatementRecipient& recipient) {
    QStringList to;
    try {
        to = parseMailAddresses(recipient.emailField);
    } catch (const Error& error) {
        return noted(recipient, recipient.emailField, SendLog::InvalidAddress, error.message(),
                     {false, false,
                      QStringLiteral("dirección de correo no válida: \"%1\"")
                          .arg(recipient.emailField.trimmed())});
    }
    if (to.isEmpty())
        return noted(recipient, {}, SendLog::NoAddress, {},
                     {false, false, QStringLiteral("sin dirección de correo")});
    return deliver(recipient, to);
}

MailOutcome StatementMailer::deliver(const StatementRecipient& recipient, const QStringList& to) {
    const QString addresses = to.join(QStringLiteral(", "));
    QByteArray message;
    try {
        const StatementMailFields fields{recipient.code, recipient.name, period_, today()};
        message = composeMime(statementMessage(settings_, fields, to,
                                               QFileInfo(recipient.pdfPath).fileName(),
                                               readFile(recipient.pdfPath)));
        if (dryRun_) {
            const QString eml = emlPathFor(recipient.pdfPath);
            writeFileAtomically(eml, message);
            return {true, false,
                    QStringLiteral("mensaje para %1 escrito en %2")
                        .arg(addresses, QDir::toNativeSeparators(eml))};
        }
        transport(settings_.fromAddress, to, message);
    } catch (const MailError& error) {
        const bool everyMessage = error.affectsEveryMessage();
        return noted(
            recipient, addresses, everyMessage ? SendLog::NotSent : SendLog::Rejected,
            error.message(),
            {false, everyMessage,
             everyMessage ? QStringLiteral("no enviado: %1").arg(error.message())
                          : QStringLiteral("rechazado por el servidor: %1").arg(error.message())});
    } catch (const Error& error) {
        return noted(recipient, addresses, SendLog::NotSent, error.message(),
                     {false, false, QStringLiteral("no enviado: %1").arg(error.message())});
    }
    return noted(recipient, addresses, SendLog::Sent, {},
                 {true, false, QStringLiteral("enviado a %1").arg(addresses)});
}

MailOutcome StatementMailer::noted(const StatementRecipient& recipient, const QString& address,
                                   const QString& outcome, const QString& detail,
                                   MailOutcome result) {
    if (!log_ || dryRun_) return result;
    try {
        log_->append({QDateTime::currentDateTime(), run_, recipient.code, address,
                      QDir::toNativeSeparators(recipient.pdfPath), outcome, detail});
    } catch (const Error& error) {
        // Without the entry a resumed run could send this message again.
        result.stopRun = true;
        result.text += QStringLiteral("; %1").arg(error.message());
    }
    return result;
}

}  // namespace qev
