#include "mail/StatementMail.h"

namespace qev {

QString fillMailTemplate(const QString& text, const StatementMailFields& fields) {
    const std::pair<QString, const QString*> placeholders[] = {
        {QStringLiteral("{proveedor}"), &fields.name},
        {QStringLiteral("{codigo}"), &fields.code},
        {QStringLiteral("{periodo}"), &fields.period},
        {QStringLiteral("{fecha}"), &fields.issueDate},
    };
    // One pass over the template, so that a value holding "{codigo}" stays as it is.
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [name, value] : placeholders) {
            if (QStringView(text).mid(i).startsWith(name)) {
                out += *value;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

MailMessage statementMessage(const SmtpSettings& settings, const StatementMailFields& fields,
                             const QStringList& to, const QString& pdfFileName,
                             const QByteArray& pdf) {
    MailMessage m;
    m.fromAddress = settings.fromAddress;
    m.fromName = settings.fromName;
    m.replyTo = settings.replyTo;
    m.to = to;
    m.toName = fields.name;
    m.subject = fillMailTemplate(settings.subjectTemplate, fields);
    m.body = fillMailTemplate(settings.bodyTemplate, fields);
    m.attachments.append({pdfFileName, "application/pdf", pdf});
    return m;
}

}  // namespace qev
