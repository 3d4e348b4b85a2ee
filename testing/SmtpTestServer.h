#pragma once

// A real SMTP server on loopback for the mail tests (aiosmtpd, through
// testing/smtp_server.py), and the reader that parses a message back with
// Python's email package (testing/read_mail.py).

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "testing/LoopbackPort.h"

#include <stdexcept>

namespace qev::testing {

inline const QString Python = QStringLiteral("/usr/bin/python3");

class SmtpTestServer {
  public:
    struct Options {
        QString user;  // non-empty: the server requires this login
        QString password;
        QStringList reject;  // recipients answered with 550
    };

    explicit SmtpTestServer(const QString& folder, const Options& options = {}) : folder_(folder) {
        QStringList arguments{QStringLiteral(QEV_SOURCE_DIR "/testing/smtp_server.py"),
                              QStringLiteral("--dir"), folder};
        if (!options.user.isEmpty())
            arguments << QStringLiteral("--user") << options.user << QStringLiteral("--password")
                      << options.password;
        for (const QString& address : options.reject)
            arguments << QStringLiteral("--reject") << address;
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(Python, arguments);
        QByteArray line;
        while (!line.endsWith('\n') && process_.waitForReadyRead(20000))
            line += process_.readLine();
        if (!line.startsWith("PORT "))
            throw std::runtime_error("the test mail server did not start: " +
                                     process_.readAllStandardError().toStdString());
        port_ = quint16(line.mid(5).trimmed().toUInt());
    }
    ~SmtpTestServer() {
        process_.closeWriteChannel();  // the server stops when its input ends
        if (!process_.waitForFinished(10000)) process_.kill();
        process_.waitForFinished();
    }
    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    quint16 port() const { return port_; }
    // The messages accepted so far, in the order they came.
    QStringList messages() const {
        QStringList paths;
        for (const QString& name :
             QDir(folder_).entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name))
            paths << QDir(folder_).filePath(name);
        return paths;
    }
    // {"from": ..., "to": [...], "login": ...} of a message.
    static QJsonObject envelopeOf(const QString& emlPath) {
        QFile file(emlPath.chopped(4) + QStringLiteral(".json"));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

  private:
    QString folder_;
    QProcess process_;
    quint16 port_ = 0;
};

// The message parsed by Python's email package: header_names, headers (decoded),
// defects, body, attachments [{filename, content_type, data (base64)}].
inline QJsonObject readMail(const QString& emlPath) {
    QProcess process;
    process.start(Python, {QStringLiteral(QEV_SOURCE_DIR "/testing/read_mail.py"), emlPath});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        throw std::runtime_error("read_mail.py failed: " +
                                 process.readAllStandardError().toStdString());
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

}  // namespace qev::testing
