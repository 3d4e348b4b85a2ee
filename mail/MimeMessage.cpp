#include "mail/MimeMessage.h"

#include "format/Error.h"
#include "mail/MailAddress.h"

#include <QLocale>
#include <QUuid>

#include <algorithm>
#include <cstdlib>

namespace qev {

namespace {

constexpr int MaxLine = 78;
// UTF-8 bytes per encoded word: 45 bytes make 60 base64 characters, and with
// "=?UTF-8?B?" and "?=" the word stays within the 75 that RFC 2047 allows.
constexpr int BytesPerWord = 45;

QString withoutControls(const QString& text) {
    QString clean = text;
    for (QChar& c : clean)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    return clean;
}

// Text that may go into a header as it is: printable ASCII that a reader would
// not take for an encoded word.
bool isPrintableAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    return !text.contains(QLatin1String("=?"));
}

// Splits UTF-8 into pieces of at most `limit` bytes, never inside a character.
QList<QByteArray> utf8Pieces(const QByteArray& utf8, int limit) {
    QList<QByteArray> pieces;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = std::min(start + limit, utf8.size());
        while (end < utf8.size() && end > start && (uchar(utf8[end]) & 0xC0) == 0x80) --end;
        pieces << utf8.mid(start, end - start);
        start = end;
    }
    return pieces;
}

// Encoded words for the text, folded between words; the first one is shorter
// when the line already holds `firstLineUsed` characters.
QByteArray encodedWords(const QString& text, int firstLineUsed) {
    const int firstBytes = std::max(3, (MaxLine - firstLineUsed - 12) / 4 * 3);
    QByteArray utf8 = text.toUtf8();
    QByteArrayList words;
    int limit = std::min(firstBytes, BytesPerWord);
    while (!utf8.isEmpty()) {
        const QByteArray piece = utf8Pieces(utf8, limit).first();
        words << "=?UTF-8?B?" + piece.toBase64() + "?=";
        utf8.remove(0, piece.size());
        limit = BytesPerWord;
    }
    return words.join("\r\n ");
}

// Printable ASCII folded at spaces so that no line runs past MaxLine.
QByteArray foldedAscii(const QString& text, int firstLineUsed) {
    QByteArray out;
    int used = firstLineUsed;
    const QStringList words = text.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QByteArray word = words[i].toLatin1();
        if (i > 0) {
            if (used + 1 + word.size() > MaxLine && used > 1) {
                out += "\r\n";
                used = 0;
            }
            out += ' ';
            ++used;
        }
        out += word;
        used += int(word.size());
    }
    return out;
}

bool isAtom(const QString& word) {
    static const QString specials = QStringLiteral("!#$%&'*+-/=?^_`{|}~");
    if (word.isEmpty() || word.contains(QLatin1String("=?"))) return false;
    for (QChar c : word)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && !specials.contains(c)) return false;
    return true;
}

// A display name that is not plain ASCII: plain words stay as they are and the
// runs of other words become encoded words, as mail programs write them; some
// readers would put a space between two encoded words that follow each other.
QByteArray encodedPhrase(const QString& text) {
    QByteArrayList tokens;
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty()) tokens << encodedWords(run, 1);
        run.clear();
    };
    for (const QString& word : text.split(u' ')) {
        if (isAtom(word)) {
            flush();
            tokens << word.toLatin1();
        } else {
            run = run.isEmpty() ? word : run + u' ' + word;
        }
    }
    flush();
    QByteArray out;
    int used = MaxLine;  // the name starts on a line of its own
    for (const QByteArray& token : std::as_const(tokens)) {
        const qsizetype fold = token.indexOf('\r');
        const int firstWidth = int(fold < 0 ? token.size() : fold);
        if (!out.isEmpty()) {
            if (used + 1 + firstWidth > MaxLine) {
                out += "\r\n";
                used = 0;
            }
            out += ' ';
            ++used;
        }
        out += token;
        used = fold < 0 ? used + firstWidth : int(token.size() - token.lastIndexOf('\n') - 1);
    }
    return out;
}

QByteArray quotedString(const QString& text) {
    QByteArray quoted = text.toLatin1();
    quoted.replace("\\", "\\\\").replace("\"", "\\\"");
    return '"' + quoted + '"';
}

void requireAddress(const QString& address) {
    if (!isValidMailAddress(address))
        throw Error(QStringLiteral("La dirección de correo \"%1\" no es válida").arg(address));
}

QByteArray base64Lines(const QByteArray& data) {
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76) out += encoded.mid(i, 76) + "\r\n";
    return out;
}

// Quoted-printable (RFC 2045): the text stays readable in the message, any
// line end becomes CRLF, and no line runs past 76 characters.
QByteArray quotedPrintable(const QString& text) {
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(u'\r', u'\n');
    // The line end before the next boundary belongs to the boundary, so a text
    // that ends with one keeps it as an empty last line.
    const QByteArrayList lines = normal.toUtf8().split('\n');
    QByteArray out;
    for (const QByteArray& line : std::as_const(lines)) {
        int used = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const uchar c = uchar(line[i]);
            const bool last = i + 1 == line.size();
            QByteArray piece;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QByteArray(1, char(c));
            else
                piece = '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
            if (used + piece.size() > 75) {
                out += "=\r\n";
                used = 0;
            }
            out += piece;
            used += int(piece.size());
        }
        out += "\r\n";
    }
    return out;
}

bool isToken(const QString& text) {
    static const QString specials = QStringLiteral("()<>@,;:\\\"/[]?= ");
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c.unicode() <= 0x20 || c.unicode() > 0x7e || specials.contains(c)) return false;
    return true;
}

// The file name parameter: as a token when it is one, else RFC 2231
// ("filename*=UTF-8''...") for readers that know it and encoded words for the rest.
QByteArray fileNameParameters(const QString& fileName, const char* parameter) {
    const QString clean = withoutControls(fileName);
    if (isToken(clean)) return QByteArray(parameter) + "=\"" + clean.toLatin1() + '"';
    return QByteArray(parameter) + "*=UTF-8''" + clean.toUtf8().toPercentEncoding("!#$&+-.^_`|~");
}

QByteArray attachmentPart(const MailAttachment& attachment) {
    const QByteArray type =
        attachment.mimeType.isEmpty() ? "application/octet-stream" : attachment.mimeType;
    return "Content-Type: " + type + ";\r\n " + fileNameParameters(attachment.fileName, "name") +
           "\r\nContent-Disposition: attachment;\r\n " +
           fileNameParameters(attachment.fileName, "filename") +
           "\r\nContent-Transfer-Encoding: base64\r\n\r\n" + base64Lines(attachment.data);
}

}  // namespace

QByteArray encodeHeaderText(const QString& text, int firstLineUsed) {
    const QString clean = withoutControls(text);
    if (isPrintableAscii(clean)) return foldedAscii(clean, firstLineUsed);
    return encodedWords(clean, firstLineUsed);
}

QByteArray encodeMailbox(const QString& name, const QString& address) {
    requireAddress(address);
    // Readers fold runs of spaces in a display name into one; so do we, so that
    // the name reads back as sent.
    const QString clean = withoutControls(name).simplified();
    const QByteArray angle = '<' + address.toLatin1() + '>';
    if (clean.isEmpty()) return angle;
    if (isPrintableAscii(clean)) return quotedString(clean) + "\r\n " + angle;
    return encodedPhrase(clean) + "\r\n " + angle;
}

QByteArray mailDate(const QDateTime& time) {
    const QLocale c = QLocale::c();
    const int offset = time.offsetFromUtc() / 60;
    const int absolute = std::abs(offset);
    return c.toString(time, QStringLiteral("ddd, d MMM yyyy HH:mm:ss ")).toLatin1() +
           (offset < 0 ? '-' : '+') + QByteArray::number(absolute / 60).rightJustified(2, '0') +
           QByteArray::number(absolute % 60).rightJustified(2, '0');
}

QString newMessageId(const QString& fromAddress) {
    const QString domain = fromAddress.mid(fromAddress.lastIndexOf(u'@') + 1);
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + u'@' +
           (domain.isEmpty() ? QStringLiteral("qev.invalid") : domain);
}

QByteArray composeMime(const MailMessage& m) {
    requireAddress(m.fromAddress);
    if (m.to.isEmpty()) throw Error(QStringLiteral("El mensaje no tiene destinatario"));
    QByteArrayList recipients;
    for (const QString& address : m.to) recipients << encodeMailbox(m.toName, address);

    const QString id = m.messageId.isEmpty() ? newMessageId(m.fromAddress) : m.messageId;
    if (!isValidMailAddress(id)) throw Error(QStringLiteral("Identificador de mensaje no válido"));
    const QByteArray boundary = "=_qev_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();

    QByteArray out;
    out += "Date: " + mailDate(m.date.isValid() ? m.date : QDateTime::currentDateTime()) + "\r\n";
    out += "From: " + encodeMailbox(m.fromName, m.fromAddress) + "\r\n";
    if (!m.replyTo.isEmpty()) out += "Reply-To: " + encodeMailbox({}, m.replyTo) + "\r\n";
    out += "To: " + recipients.join(",\r\n ") + "\r\n";
    out += "Subject: " + encodeHeaderText(m.subject, 9) + "\r\n";
    out += "Message-ID: <" + id.toLatin1() + ">\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n\r\n";
    out += "--" + boundary + "\r\n";
    out +=
        "Content-Type: text/plain; charset=UTF-8\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    out += quotedPrintable(m.body);
    for (const MailAttachment& attachment : m.attachments)
        out += "--" + boundary + "\r\n" + attachmentPart(attachment);
    out += "--" + boundary + "--\r\n";
    return out;
}

}  // namespace qev
