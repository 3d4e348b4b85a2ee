#pragma once

#include "mail/MimeMessage.h"
#include "mail/SmtpSettings.h"

#include <QString>
#include <QStringList>

namespace qev {

// What the subject and body templates may name: {proveedor}, {codigo},
// {periodo} and {fecha}.
struct StatementMailFields {
    QString code;
    QString name;
    QString period;     // e.g. "al 11/DIC/2026" or "del 01/ENE/2016 al 31/ENE/2016"
    QString issueDate;  // e.g. "11/DIC/2026"
};

// The template with every known placeholder replaced; other text, braces
// included, stays as written.
QString fillMailTemplate(const QString& text, const StatementMailFields& fields);

// The message that carries one supplier's statement PDF to its addresses.
MailMessage statementMessage(const SmtpSettings& settings, const StatementMailFields& fields,
                             const QStringList& to, const QString& pdfFileName,
                             const QByteArray& pdf);

}  // namespace qev
