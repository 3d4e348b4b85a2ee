// Peak memory of `qev --print` as the statement grows: makes a company whose
// suppliers have 10,000 and 100,000 accepted movements (plain invoices, so
// every document is a row), prints each statement with the real program and
// reports the peak resident memory, wall time and processor time of each
// run. With pages streamed the peak grows far less than the rows. The
// ReportLab peer then draws the same number of rows in the same layout, and
// the ratios qev / peer of the same run are printed.
// Usage: bench_print_memory [qev program] [rows...]   (default 10000 100000)
// The peer script is PEER_SCRIPT, or ../shared/bench/peer_reportlab.py beside
// the checkout; it needs python3-reportlab and python3-pil
// (bash bench/print_vs_peer.sh installs them). Without it only qev is measured.

#include "bench/BenchCompany.h"
#include "data/DemoCompany.h"
#include "format/Error.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString supplierCode(int rows) {
    return QStringLiteral("R%1").arg(rows);
}

void exec(QSqlQuery& query) {
    if (!query.exec()) throw qev::Error(query.lastError().text());
}

void fillCompany(const QString& path, const QList<int>& rowCounts) {
    const QString name = QStringLiteral("bench-writer");
    {
        QSqlDatabase db = createBenchCompany(path, name);
        db.transaction();
        QSqlQuery supplier(db), invoice(db);
        supplier.prepare(
            "INSERT INTO OCRD (CardCode, CardName, CardType, Address, City, ZipCode, "
            "LicTradNum) VALUES (?, ?, 'S', 'AV. INDUSTRIA 123', 'MONTERREY', '64000', "
            "'DKO010101AB1')");
        invoice.prepare("INSERT INTO OPCH VALUES (?, ?, ?, 'N', 10, ?, ?, ?, ?, 0)");
        int entry = 0;
        const QDate start(2014, 1, 1);
        for (int rows : rowCounts) {
            supplier.addBindValue(supplierCode(rows));
            supplier.addBindValue(QStringLiteral("PROVEEDOR DE %1 MOVIMIENTOS").arg(rows));
            exec(supplier);
            for (int i = 0; i < rows; ++i) {
                ++entry;
                const QDate date = start.addDays(i % (4 * 365));
                invoice.addBindValue(entry);
                invoice.addBindValue(entry);
                invoice.addBindValue(supplierCode(rows));
                invoice.addBindValue(date);
                invoice.addBindValue(date.addDays(30));
                invoice.addBindValue(1000 + (i * 7919) % 250000 / 100.0);
                invoice.addBindValue(QStringLiteral("REF-%1").arg(i, 6, 10, QLatin1Char('0')));
                exec(invoice);
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
}

struct RunFigures {
    int exitCode = -1;
    double seconds = 0;
    double cpuSeconds = 0;  // user and system: what a shared machine's load leaves alone
    long peakKiB = 0;
};

// Runs the program and waits for it; the peak comes from the kernel's
// accounting of that one child.
RunFigures run(const QByteArray& program, const QList<QByteArray>& arguments) {
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (const QByteArray& a : arguments) argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    std::fflush(stdout);  // the child must not write our buffered lines again
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
        execv(program.constData(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    RunFigures figures;
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    figures.peakKiB = usage.ru_maxrss;
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    figures.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return figures;
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("unknown\n");
    const QList<QByteArray> fields = file.readAll().split(' ');
    return QString::fromLatin1(fields.mid(0, 3).join(' ')) + u'\n';
}

QString peerScript() {
    const QString given = qEnvironmentVariable("PEER_SCRIPT");
    if (!given.isEmpty()) return given;
    const QString beside = QStringLiteral(QEV_SOURCE_DIR "/../shared/bench/peer_reportlab.py");
    return QFile::exists(beside) ? beside : QString();
}

void printFigures(const char* who, const RunFigures& f) {
    std::printf("  %-5s %10.2f %12.2f %12.1f\n", who, f.seconds, f.cpuSeconds, f.peakKiB / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString program =
        args.size() > 1 ? args[1] : QCoreApplication::applicationDirPath() + "/../app/qev";
    QList<int> rowCounts;
    for (int i = 2; i < args.size(); ++i) rowCounts << args[i].toInt();
    if (rowCounts.isEmpty()) rowCounts = {10000, 100000};
    if (!QFile::exists(program)) {
        std::fprintf(stderr, "no program at %s\n", qPrintable(program));
        return 2;
    }
    QTemporaryDir dir;
    try {
        QElapsedTimer timer;
        timer.start();
        const QString company = dir.filePath(QStringLiteral("company.sqlite"));
        fillCompany(company, rowCounts);
        std::printf("company with %lld suppliers made in %.1f s\n", qlonglong(rowCounts.size()),
                    timer.elapsed() / 1000.0);
        const QString ini = dir.filePath(QStringLiteral("qev.ini"));
        QFile settings(ini);
        if (!settings.open(QIODevice::WriteOnly)) throw qev::Error(settings.errorString());
        settings.write("[database]\ndriver=sqlite\ndatabase=" + company.toUtf8() +
                       "\n[paths]\ndata_directory=" + dir.path().toUtf8() + "\n");
        settings.close();

        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        const QString peer = peerScript();
        if (peer.isEmpty()) std::printf("no peer script (set PEER_SCRIPT): qev alone\n");
        std::printf("%-7s %10s %12s %12s\n", "rows", "seconds", "cpu seconds", "peak MiB");
        for (int rows : rowCounts) {
            const RunFigures f =
                run(QFile::encodeName(program),
                    {"--config", QFile::encodeName(ini), "--print", supplierCode(rows).toUtf8(),
                     "--out", QFile::encodeName(dir.path())});
            if (f.exitCode != 0) {
                std::fprintf(stderr, "qev --print %s ended with %d\n",
                             qPrintable(supplierCode(rows)), f.exitCode);
                return 1;
            }
            std::printf("%d\n", rows);
            printFigures("qev", f);
            if (peer.isEmpty()) continue;
            const RunFigures p = run("/usr/bin/python3",
                                     {QFile::encodeName(peer), QByteArray::number(rows),
                                      QFile::encodeName(dir.filePath(QStringLiteral("peer.pdf")))});
            if (p.exitCode != 0) {
                std::fprintf(stderr, "the peer ended with %d\n", p.exitCode);
                return 1;
            }
            printFigures("peer", p);
            std::printf("  %-5s %10.2f %12.2f %12.2f   (goal: <= 0.20 time, <= 1.00 memory)\n",
                        "ratio", f.seconds / p.seconds, f.cpuSeconds / p.cpuSeconds,
                        double(f.peakKiB) / double(p.peakKiB));
        }
        std::printf("load: %s", qPrintable(loadAverage()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
