#include "mail/SendLog.h"

#include "format/Error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace qev {

const QString SendLog::Sent = QStringLiteral("enviado");
const QString SendLog::NoAddress = QStringLiteral("sin dirección");
const QString SendLog::InvalidAddress = QStringLiteral("dirección no válida");
const QString SendLog::Rejected = QStringLiteral("rechazado");
const QString SendLog::NotSent = QStringLiteral("no enviado");
const QString SendLog::NotPrinted = QStringLiteral("sin estado de cuenta");

namespace {

const QByteArray Header = "fecha\tcorrida\tproveedor\tdireccion\tarchivo\tresultado\tdetalle";

// Tabs, line ends and backslashes inside a value are escaped, so that any
// supplier code or server reply reads back as it was written.
QByteArray escaped(const QString& value) {
    QByteArray out;
    for (char c : value.toUtf8()) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString unescaped(const QByteArray& value) {
    QByteArray out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return QString::fromUtf8(out);
}

QByteArray lineOf(const SendLogEntry& e) {
    return QByteArrayList{e.time.toString(Qt::ISODateWithMs).toUtf8(),
                          escaped(e.run),
                          escaped(e.code),
                          escaped(e.address),
                          escaped(e.file),
                          escaped(e.outcome),
                          escaped(e.detail)}
        .join('\t');
}

}  // namespace

SendLog::SendLog(QString path) : path_(std::move(path)) {
    QFile file(path_);
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("No se puede leer el registro de envíos \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path_), file.errorString()));
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        const QByteArrayList fields = line.split('\t');
        if (line == Header || fields.size() != 7) continue;
        entries_.append({QDateTime::fromString(QString::fromUtf8(fields[0]), Qt::ISODateWithMs),
                         unescaped(fields[1]), unescaped(fields[2]), unescaped(fields[3]),
                         unescaped(fields[4]), unescaped(fields[5]), unescaped(fields[6])});
    }
}

QString SendLog::defaultPath(const QString& dataDirectory) {
    return QDir(dataDirectory).filePath(QStringLiteral("qev-envios.log"));
}

QString SendLog::newRunName() {
    return QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
}

QString SendLog::lastRun() const {
    return entries_.isEmpty() ? QString() : entries_.last().run;
}

QSet<QString> SendLog::sentIn(const QString& run) const {
    QSet<QString> codes;
    for (const SendLogEntry& e : entries_)
        if (e.run == run && e.outcome == Sent) codes.insert(e.code);
    return codes;
}

void SendLog::append(const SendLogEntry& entry) {
    QByteArray content = Header + '\n';
    for (const SendLogEntry& e : entries_) content += lineOf(e) + '\n';
    content += lineOf(entry) + '\n';
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw Error(QStringLiteral("No se puede escribir el registro de envíos \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path_), file.errorString()));
    entries_.append(entry);
}

}  // namespace qev
