#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

namespace qev {

// One statement mailed, or not: when, in which run, to whom, which file, and
// how it went.
struct SendLogEntry {
    QDateTime time;
    QString run;
    QString code;
    QString address;
    QString file;
    QString outcome;  // one of the SendLog outcome texts
    QString detail;   // the server's reply or the reason
};

// The send log of the data folder, a tab-separated UTF-8 text file with one
// entry per line. Every entry is written at once and the file replaced whole,
// so that an interrupted run leaves the entries up to its last message, which
// is what lets `--resume` go on without sending anything twice.
class SendLog {
  public:
    static const QString Sent;            // "enviado"
    static const QString NoAddress;       // "sin dirección"
    static const QString InvalidAddress;  // "dirección no válida"
    static const QString Rejected;        // "rechazado"
    static const QString NotSent;         // "no enviado": the server could not be used
    static const QString NotPrinted;      // "sin estado de cuenta": the PDF failed

    // Reads the log at `path` when there is one; throws qev::Error when it
    // exists but cannot be read.
    explicit SendLog(QString path);

    static QString defaultPath(const QString& dataDirectory);  // .../qev-envios.log
    // A new run's name: its start, "2026-12-11T03:17:46.123".
    static QString newRunName();

    const QString& path() const { return path_; }
    const QList<SendLogEntry>& entries() const { return entries_; }
    // The run of the last entry; empty for an empty log.
    QString lastRun() const;
    // Codes with a message sent in the run.
    QSet<QString> sentIn(const QString& run) const;

    // Adds the entry and writes the file; throws qev::Error when it cannot be
    // written (the entry is then not kept).
    void append(const SendLogEntry& entry);

  private:
    QString path_;
    QList<SendLogEntry> entries_;
};

}  // namespace qev
