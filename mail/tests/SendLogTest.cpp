#include "format/Error.h"
#include "mail/SendLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;

TEST(SendLog, EntriesReadBackAsWrittenWhateverTheyHold) {
    QTemporaryDir dir;
    const QString path = SendLog::defaultPath(dir.path());
    EXPECT_EQ(path, dir.filePath(QStringLiteral("qev-envios.log")));
    const QDateTime when(QDate(2026, 12, 11), QTime(3, 17, 46, 120));
    const QList<SendLogEntry> written = {
        {when, "r1", "P0001", "ventas@a.mx", "/d/QEV_P0001.pdf", SendLog::Sent, ""},
        {when, "r1", "P\t0\\2\r\n", "", "", SendLog::NoAddress, "tab\tline\nback\\slash"},
        {when, "r1", "P0003", "x@y.mx", "/d/QEV_P0003.pdf", SendLog::Rejected,
         "El servidor de correo rechazó el destinatario <x@y.mx>: 550 5.1.1 Ñ"},
        {when, "r2", "P0003", "x@y.mx", "/d/QEV_P0003.pdf", SendLog::Sent, ""},
    };
    {
        SendLog log(path);
        EXPECT_TRUE(log.entries().isEmpty());
        EXPECT_TRUE(log.lastRun().isEmpty());
        for (const SendLogEntry& e : written) log.append(e);
    }
    const SendLog log(path);
    ASSERT_EQ(log.entries().size(), written.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        const SendLogEntry& a = log.entries()[i];
        const SendLogEntry& b = written[i];
        EXPECT_EQ(a.time, b.time);
        EXPECT_EQ(std::tuple(a.run, a.code, a.address, a.file, a.outcome, a.detail),
                  std::tuple(b.run, b.code, b.address, b.file, b.outcome, b.detail))
            << i;
    }
    EXPECT_EQ(log.lastRun(), QStringLiteral("r2"));
    EXPECT_EQ(log.sentIn(QStringLiteral("r1")), QSet<QString>{"P0001"});
    EXPECT_EQ(log.sentIn(QStringLiteral("r2")), QSet<QString>{"P0003"});

    // One line per entry under a header, so that it also reads in a spreadsheet.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.size(), written.size() + 2);  // header, entries, the final empty piece
    EXPECT_EQ(lines[0], "fecha\tcorrida\tproveedor\tdireccion\tarchivo\tresultado\tdetalle");
}

TEST(SendLog, AnEntryThatCannotBeWrittenIsAnErrorAndNotKept) {
    QTemporaryDir dir;
    // The folder is gone (or on a disk that went away) after the log was read.
    SendLog log(dir.filePath(QStringLiteral("gone/qev-envios.log")));
    try {
        log.append({QDateTime::currentDateTime(), "r", "P1", "", "", SendLog::Sent, ""});
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().startsWith(
            QStringLiteral("No se puede escribir el registro de envíos \"%1")
                .arg(dir.filePath(QStringLiteral("gone/qev-envios.log")))))
            << error.message().toStdString();
    }
    EXPECT_TRUE(log.entries().isEmpty());
    // A log that is there but cannot be read stops before anything is sent.
    const QString folderAsLog = dir.filePath(QStringLiteral("folder.log"));
    ASSERT_TRUE(QDir().mkpath(folderAsLog));
    EXPECT_THROW(SendLog{folderAsLog}, Error);
}
