// Builds the statement of one supplier with many documents: ERP database ->
// dBASE movements file -> running balances, and sets it beside the anchor: one
// SQL query with a window function computing the same running balance over the
// same company file, run through Qt's SQLite in this process. Rounds alternate
// anchor and build; the medians and their ratio are printed.
// Usage: bench_statement [documents=100000] [directory] [rounds=3]
// Run it under /usr/bin/time -v for the peak memory.

#include "bench/BenchCompany.h"
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
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
        QSqlDatabase db = createBenchCompany(path, name);
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
// busy machine still say what the work costs.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto toSeconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <typename Work>
Timing timed(Work work) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    work();
    return {seconds(timer), cpuSeconds() - cpu};
}

// The machine's load average over 1, 5 and 15 minutes: on a shared machine
// wall times mean little without it.
std::string loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return "unknown";
    return file.readLine().split(' ').mid(0, 3).join(' ').toStdString();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The anchor: the whole statement as one query, the running balance a window
// sum in statement order.
const char* const AnchorQuery = R"(
SELECT count(*), max(saldo) FROM (
 SELECT fecha, total, serie, SUM(cargo - abono) OVER (ORDER BY fecha, total, serie ROWS UNBOUNDED PRECEDING) AS saldo FROM (
  SELECT substr(docdate,1,4)||'/'||substr(docdate,6,2)||'/'||substr(docdate,9,2) AS fecha, doctotal AS total, CASE series WHEN 10 THEN 'FACSI' WHEN 64 THEN 'FAC' ELSE CAST(series AS TEXT) END AS serie, doctotal AS cargo, 0 AS abono FROM OPCH WHERE CARDCODE=:code AND canceled='N' AND series<>63
  UNION ALL SELECT substr(docdate,1,4)||'/'||substr(docdate,6,2)||'/'||substr(docdate,9,2), doctotal, CASE WHEN doctype='S' THEN 'NCRE' ELSE 'NDEV' END, 0, doctotal FROM ORPC WHERE CARDCODE=:code AND canceled='N' AND doctype IN ('S','I')
  UNION ALL SELECT substr(docdate,1,4)||'/'||substr(docdate,6,2)||'/'||substr(docdate,9,2), doctotal, 'PAGO', 0, doctotal FROM OVPM WHERE CARDCODE=:code AND canceled='N'))
)";

// Runs the anchor once on its own connection; returns its row count. Kept out
// of line so that a profiler can single it out (--toggle-collect=*runAnchor*).
[[gnu::noinline]] int runAnchor(const QString& databasePath, const QString& code) {
    const QString name = QStringLiteral("bench-anchor");
    int rows = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databasePath);
        if (!db.open()) throw qev::Error(db.lastError().text());
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.prepare(QString::fromLatin1(AnchorQuery))) throw qev::Error(query.lastError().text());
        query.bindValue(QStringLiteral(":code"), code);
        exec(query);
        if (query.next()) rows = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int documents = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir temporary;
    const QString directory =
        argc > 2 && *argv[2] ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    const int rounds = std::max(1, argc > 3 ? std::atoi(argv[3]) : 3);
    const QString code = QStringLiteral("P00001");
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
        qev::StatementBuilder builder(puente, movtos, sql);

        std::printf("load average before the rounds: %s\n", loadAverage().c_str());
        std::vector<double> anchorWall, anchorCpu, buildWall, buildCpu;
        int anchorRows = 0;
        for (int round = 1; round <= rounds; ++round) {
            const Timing anchor = timed([&] { anchorRows = runAnchor(databasePath, code); });
            double passesDone = 0;
            qev::StatementHooks hooks;
            QElapsedTimer passTimer;
            passTimer.start();
            hooks.afterPass = [&](int pass) {
                if (pass == 3) passesDone = seconds(passTimer);
            };
            const Timing build = timed([&] { builder.build(code, hooks); });
            std::printf(
                "round %d: anchor %.3f s (%.3f s processor, %d rows); statement build %.3f s"
                " (%.3f s processor, %d movements, passes 1-3 done after %.3f s)\n",
                round, anchor.wall, anchor.cpu, anchorRows, build.wall, build.cpu,
                movtos.rowCount(), passesDone);
            anchorWall.push_back(anchor.wall);
            anchorCpu.push_back(anchor.cpu);
            buildWall.push_back(build.wall);
            buildCpu.push_back(build.cpu);
        }
        if (anchorRows != movtos.rowCount())
            std::printf("note: the anchor counts %d rows, the statement %d\n", anchorRows,
                        movtos.rowCount());

        const Timing balance = timed([&] { qev::RunningBalance(movtos, sql).run(); });
        std::printf("running balance alone, again over the same rows: %.3f s (%.3f s processor)\n",
                    balance.wall, balance.cpu);
        std::printf("median of %d: anchor %.3f s (%.3f s processor), statement build %.3f s"
                    " (%.3f s processor)\n",
                    rounds, median(anchorWall), median(anchorCpu), median(buildWall),
                    median(buildCpu));
        std::printf("ratio build/anchor: %.2f x wall, %.2f x processor\n",
                    median(buildWall) / median(anchorWall), median(buildCpu) / median(anchorCpu));
        std::printf("load average after the rounds: %s\n", loadAverage().c_str());
        return 0;
    } catch (const qev::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
