// Builds the statement of one supplier with many documents: ERP database ->
// dBASE movements file -> running balances, and prints how long each part took.
// Usage: bench_statement [documents=100000] [directory]
// Run it under /usr/bin/time -v for the peak memory.

#include "data/ConexionSAP.h"
#include "data/DemoCompany.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/Error.h"
#include "statement/RunningBalance.h"
#include "statement/StatementBuilder.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

void exec(QSqlQuery& query) {
    if (!query.exec()) throw qev::Error(query.lastError().text());
}

// 60% invoices, 25% credit notes, 15% payments over four years; a few are
// cancelled or of series 63 so that the acceptance rules do work.
void fillCompany(const QString& path, int documents) {
    const QString name = QStringLiteral("bench-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) throw qev::Error(db.lastError().text());
        QSqlQuery query(db);
        for (const QString& sql : qev::DemoCompany::schema())
            if (!query.exec(sql)) throw qev::Error(query.lastError().text());
        db.transaction();
        QRandomGenerator random(20161231u);
        QSqlQuery opch(db), orpc(db), ovpm(db);
        opch.prepare("INSERT INTO OPCH VALUES (?, ?, 'P00001', ?, ?, ?, ?, ?, ?, ?)");
        orpc.prepare("INSERT INTO ORPC VALUES (?, ?, 'P00001', ?, ?, ?, ?, ?, ?, ?, ?)");
        ovpm.prepare("INSERT INTO OVPM VALUES (?, ?, 'P00001', ?, ?, ?, ?, ?, ?)");
        const QDate start(2014, 1, 1);
        for (int i = 1; i <= documents; ++i) {
            const int kind = int(random.bounded(100));
            const QDate date = start.addDays(random.bounded(4 * 365));
            const double total = double(random.bounded(1, 50000000)) / 100.0;
            const QString canceled =
                random.bounded(50) == 0 ? QStringLiteral("Y") : QStringLiteral("N");
            QSqlQuery& q = kind < 60 ? opch : kind < 85 ? orpc : ovpm;
            q.addBindValue(i);
            q.addBindValue(i);
            q.addBindValue(canceled);
            if (kind < 60) {
                q.addBindValue(random.bounded(40) == 0 ? 63 : (random.bounded(2) ? 10 : 64));
            } else if (kind < 85) {
                q.addBindValue(random.bounded(2) ? 12 : 100);
                q.addBindValue(random.bounded(2) ? QStringLiteral("S") : QStringLiteral("I"));
            } else {
                q.addBindValue(20);
            }
            q.addBindValue(date);
            q.addBindValue(date.addDays(30));
            q.addBindValue(total);
            q.addBindValue(QStringLiteral("REF-%1").arg(i));
            if (kind < 85) q.addBindValue(0.0);
            exec(q);
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
}

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// Processor time of this process (user + system), so that figures taken on a
// busy machine still say what the build costs.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto toSeconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int documents = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir temporary;
    const QString directory = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    try {
        const QString databasePath = directory + QStringLiteral("/bench-company.sqlite");
        QFile::remove(databasePath);
        QElapsedTimer timer;
        timer.start();
        fillCompany(databasePath, documents);
        std::printf("company with %d documents written in %.2f s (not part of the build)\n",
                    documents, seconds(timer));

        qev::ConnectionSettings settings;
        settings.database = databasePath;
        qev::ConexionSAP conexion(settings);
        QFile::remove(directory + QStringLiteral("/qevmovs.dbf"));
        auto file = qev::MovementsFile::open(directory);
        qev::TablaPuente puente(conexion);
        qev::TablaMovtos movtos(file);
        qev::TablaSql sql(file);
        sql.open();

        double passesDone = 0;
        qev::StatementHooks hooks;
        hooks.afterPass = [&](int pass) {
            if (pass == 3) passesDone = seconds(timer);
        };
        timer.restart();
        double cpu = cpuSeconds();
        qev::StatementBuilder(puente, movtos, sql).build(QStringLiteral("P00001"), hooks);
        std::printf(
            "statement build: %.2f s (%.2f s processor) for %d movements"
            " (passes 1-3 done after %.2f s)\n",
            seconds(timer), cpuSeconds() - cpu, movtos.rowCount(), passesDone);

        timer.restart();
        cpu = cpuSeconds();
        qev::RunningBalance(movtos, sql).run();
        std::printf("running balance alone, again over the same rows: %.2f s (%.2f s processor)\n",
                    seconds(timer), cpuSeconds() - cpu);
        return 0;
    } catch (const qev::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
