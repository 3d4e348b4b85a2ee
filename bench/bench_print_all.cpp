// `qev --print-all` on a company this program makes: wall and processor time
// for each number of jobs, how busy the cores were, the ratio to one job, the
// memory of every qev process sampled while the suppliers go by, and, with
// --check, qpdf --check on every statement written.
// Usage: bench_print_all [suppliers=300] [documents per supplier=25] [jobs=1,2] [--check]
// Example (the load run): bench_print_all 5000 20 2 --check

#include "bench/BenchCompany.h"
#include "data/DemoCompany.h"
#include "format/Error.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include <sys/resource.h>

namespace {

void exec(QSqlQuery& query) {
    if (!query.exec()) throw qev::Error(query.lastError().text());
}

// Suppliers P00001... with invoices, credit notes and payments over two years.
void fillCompany(const QString& path, int suppliers, int documents) {
    const QString name = QStringLiteral("bench-writer");
    {
        QSqlDatabase db = createBenchCompany(path, name);
        db.transaction();
        QRandomGenerator random(20161231u);
        QSqlQuery ocrd(db), opch(db), orpc(db), ovpm(db);
        ocrd.prepare("INSERT INTO OCRD (CardCode, CardName, CardType, City) VALUES (?, ?, 'S', ?)");
        opch.prepare("INSERT INTO OPCH VALUES (?, ?, ?, 'N', 64, ?, ?, ?, ?, 0)");
        orpc.prepare("INSERT INTO ORPC VALUES (?, ?, ?, 'N', 12, 'S', ?, ?, ?, ?, 0)");
        ovpm.prepare("INSERT INTO OVPM VALUES (?, ?, ?, 'N', 20, ?, ?, ?, ?)");
        const QDate start(2015, 1, 1);
        int entry = 0;
        for (int s = 1; s <= suppliers; ++s) {
            const QString code = QStringLiteral("P%1").arg(s, 5, 10, QLatin1Char('0'));
            ocrd.addBindValue(code);
            ocrd.addBindValue(QStringLiteral("Proveedor de prueba %1 SA de CV").arg(s));
            ocrd.addBindValue(QStringLiteral("Guadalajara"));
            exec(ocrd);
            for (int d = 0; d < documents; ++d) {
                ++entry;
                const int kind = int(random.bounded(100));
                QSqlQuery& q = kind < 60 ? opch : kind < 80 ? orpc : ovpm;
                const QDate date = start.addDays(random.bounded(730));
                q.addBindValue(entry);
                q.addBindValue(entry);
                q.addBindValue(code);
                q.addBindValue(date);
                q.addBindValue(date.addDays(30));
                q.addBindValue(double(random.bounded(1, 5000000)) / 100.0);
                q.addBindValue(QStringLiteral("REF-%1").arg(entry));
                exec(q);
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
}

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto toSeconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

// Resident memory in MiB of a process, 0 when it is gone.
double rssMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// The direct children of a process (the workers of qev).
std::vector<qint64> childrenOf(qint64 pid) {
    std::vector<qint64> children;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(task + QStringLiteral("/children")));
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& child : file.readAll().simplified().split(' '))
            if (!child.isEmpty()) children.push_back(child.toLongLong());
    }
    return children;
}

struct Sample {
    int done;           // suppliers reported so far
    double parent;      // MiB
    double workerMax;   // the largest worker, MiB
};

struct RunResult {
    double wall = 0, cpu = 0;
    int exitCode = -1, lines = 0;
    std::vector<Sample> samples;
};

RunResult printAll(const QString& qev, const QString& ini, const QString& out, int jobs) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    RunResult result;
    const double cpuBefore = childCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    process.start(qev, {"--config", ini, "--print-all", "--jobs", QString::number(jobs), "--out", out});
    if (!process.waitForStarted()) throw qev::Error(process.errorString());
    while (!process.waitForFinished(200)) {
        result.lines += int(process.readAllStandardOutput().count('\n'));
        Sample sample{result.lines, rssMiB(process.processId()), 0};
        for (qint64 child : childrenOf(process.processId()))
            sample.workerMax = std::max(sample.workerMax, rssMiB(child));
        result.samples.push_back(sample);
    }
    result.lines += int(process.readAllStandardOutput().count('\n'));
    result.wall = double(timer.nsecsElapsed()) / 1e9;
    result.cpu = childCpuSeconds() - cpuBefore;
    result.exitCode = process.exitCode();
    return result;
}

// The memory of the run at a few points of its progress: flat when the last
// suppliers cost what the first ones did.
void printMemory(const RunResult& r, int suppliers) {
    double parentPeak = 0, workerPeak = 0;
    for (const Sample& s : r.samples) {
        parentPeak = std::max(parentPeak, s.parent);
        workerPeak = std::max(workerPeak, s.workerMax);
    }
    std::printf("  peak RSS: qev %.1f MiB, largest worker %.1f MiB\n", parentPeak, workerPeak);
    std::printf("  RSS as the suppliers go by (done: qev / largest worker, MiB):");
    for (int percent : {10, 25, 50, 75, 95}) {
        const int target = suppliers * percent / 100;
        const auto it = std::find_if(r.samples.begin(), r.samples.end(),
                                     [target](const Sample& s) { return s.done >= target; });
        if (it != r.samples.end()) std::printf("  %d: %.1f / %.1f", it->done, it->parent, it->workerMax);
    }
    std::printf("\n");
}

int checkAll(const QString& out) {
    int bad = 0, checked = 0;
    for (const QString& name : QDir(out).entryList({QStringLiteral("QEV_*.pdf")}, QDir::Files)) {
        QProcess qpdf;
        qpdf.start(QStringLiteral("qpdf"), {"--check", QDir(out).filePath(name)});
        qpdf.waitForFinished(60000);
        ++checked;
        if (qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0) {
            ++bad;
            std::printf("  qpdf --check failed: %s\n", qPrintable(name));
        }
    }
    std::printf("  qpdf --check: %d files, %d bad\n", checked, bad);
    return bad;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    const int suppliers = args.value(0, QStringLiteral("300")).toInt();
    const int documents = args.value(1, QStringLiteral("25")).toInt();
    std::vector<int> jobs;
    for (const QString& j : args.value(2, QStringLiteral("1,2")).split(u',')) jobs.push_back(j.toInt());
    const QString qev = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/qev");
    try {
        QTemporaryDir temporary;
        const QDir dir(temporary.path());
        QElapsedTimer timer;
        timer.start();
        fillCompany(dir.filePath("company.sqlite"), suppliers, documents);
        std::printf("company of %d suppliers x %d documents written in %.1f s; %d processors\n",
                    suppliers, documents, double(timer.elapsed()) / 1000, QThread::idealThreadCount());
        {
            QSettings ini(dir.filePath("qev.ini"), QSettings::IniFormat);
            ini.setValue("database/driver", "sqlite");
            ini.setValue("database/database", dir.filePath("company.sqlite"));
            ini.setValue("paths/data_directory", dir.filePath("data"));
        }
        std::map<int, double> wall;
        for (int j : jobs) {
            const QString out = dir.filePath(QStringLiteral("out-%1").arg(j));
            const RunResult r = printAll(qev, dir.filePath("qev.ini"), out, j);
            wall[j] = r.wall;
            std::printf("--jobs %d: exit %d, %d lines, wall %.2f s, processor %.2f s (%.2f cores busy), "
                        "%.1f ms per supplier\n",
                        j, r.exitCode, r.lines, r.wall, r.cpu, r.cpu / r.wall,
                        1000 * r.wall / std::max(1, suppliers));
            printMemory(r, suppliers);
            if (check) checkAll(out);
        }
        if (wall.count(1))
            for (const auto& [j, w] : wall)
                if (j != 1) std::printf("wall with %d jobs / wall with 1 job: %.2f\n", j, w / wall[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
