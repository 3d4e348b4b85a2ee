// The worker pool of batch printing against a stand-in worker that speaks the
// same lines and misbehaves on request: every statement is answered exactly
// once, whatever its worker does.
#include "app/BatchPool.h"

#include "testing/QtPrinters.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace qev;

namespace {

// Codes starting with FAIL give an error, with CRASH end the worker.
const char* const StandInWorker = R"(#!/usr/bin/python3
import json, os, sys, time
start = json.loads(sys.stdin.readline())
gone = start.get("gone")  # once this file exists, a worker cannot start
if start.get("mode") == "fatal" or (gone and os.path.exists(gone)):
    print(json.dumps({"fatal": "No hay conexión."}), flush=True)
    sys.exit(1)
for line in sys.stdin:
    job = json.loads(line)
    code = job["code"]
    if "log" in start:
        with open(start["log"], "a") as log:
            log.write(code + "\n")
    if code.startswith("CRASH"):
        if gone:  # once the other workers are under way
            time.sleep(0.3)
            open(gone, "w").close()
        os._exit(9)
    if code.startswith("SLOW"):
        time.sleep(1.0)
    if code.startswith("FAIL"):
        print(json.dumps({"i": job["i"], "error": "falló " + code}), flush=True)
    else:
        print(json.dumps({"i": job["i"], "path": "/out/" + code}), flush=True)
)";

// What a statement whose worker ended is answered with.
const QString WorkerDied =
    QStringLiteral("!El proceso que escribía el estado de cuenta terminó de forma inesperada.");

// The stand-in's start message with one setting, a file path.
QByteArray startWith(const char* setting, const QString& path) {
    return QJsonDocument(QJsonObject{{QLatin1String(setting), path}})
        .toJson(QJsonDocument::Compact);
}

class BatchPoolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        worker = dir.filePath(QStringLiteral("worker.py"));
        QFile file(worker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StandInWorker);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // index -> "path" or "!error", and how often each index was answered.
    std::map<int, QString> run(const QString& program, const QByteArray& start,
                               const QStringList& codes, int workers,
                               const std::vector<int>& order = {}) {
        std::map<int, QString> results;
        BatchPool pool(
            program, start, codes, workers,
            [&](int index, const QString& path, const QString& error) {
                ++answers[index];
                results[index] = error.isEmpty() ? path : u'!' + error;
            },
            order);
        pool.run();
        return results;
    }

    QTemporaryDir dir;
    QString worker;
    std::map<int, int> answers;
};

TEST_F(BatchPoolTest, EveryStatementIsAnsweredOnceEvenWhenAWorkerDies) {
    const QStringList codes{"A", "FAIL1", "B", "CRASH1", "C", "D", "CRASH2", "E"};
    for (int workers : {1, 2, 3}) {
        SCOPED_TRACE(workers);
        answers.clear();
        const std::map<int, QString> results = run(worker, "{}", codes, workers);
        EXPECT_EQ(results, (std::map<int, QString>{{0, "/out/A"},
                                                   {1, "!falló FAIL1"},
                                                   {2, "/out/B"},
                                                   {3, WorkerDied},
                                                   {4, "/out/C"},
                                                   {5, "/out/D"},
                                                   {6, WorkerDied},
                                                   {7, "/out/E"}}));
        for (const auto& [index, count] : answers) EXPECT_EQ(count, 1) << index;
    }
}

TEST_F(BatchPoolTest, StatementsGoOutInTheOrderGivenAndAreAnsweredByTheirIndex) {
    const QString log = dir.filePath(QStringLiteral("given.log"));
    const std::map<int, QString> results =
        run(worker, startWith("log", log), {"A", "B", "CRASH", "D"}, 1, {3, 2, 0, 1});
    EXPECT_EQ(results,
              (std::map<int, QString>{
                  {0, "/out/A"},
                  {1, "/out/B"},
                  {2, WorkerDied},
                  {3, "/out/D"}}));
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // A, given ahead to the worker that died, went to the next one.
    EXPECT_EQ(file.readAll(), QByteArray("D\nCRASH\nA\nB\n"));
    for (const auto& [index, count] : answers) EXPECT_EQ(count, 1) << index;
}

// The first worker dies and cannot start again; what it had been given goes
// back, while the other worker has been given all it will get. That
// statement is failed with the reason the workers cannot start, not handed
// to the other worker after its input was closed.
TEST_F(BatchPoolTest, AStatementGivenBackAfterTheOthersInputClosedFailsWithTheReason) {
    const QString gone = dir.filePath(QStringLiteral("gone"));
    const std::map<int, QString> results =
        run(worker, startWith("gone", gone), {"CRASH", "X", "SLOW", "C"}, 2);
    EXPECT_EQ(results,
              (std::map<int, QString>{
                  {0, WorkerDied},
                  {1, "!No hay conexión."},
                  {2, "/out/SLOW"},
                  {3, "/out/C"}}));
    for (const auto& [index, count] : answers) EXPECT_EQ(count, 1) << index;
}

TEST_F(BatchPoolTest, WorkersThatCannotStartFailEveryStatementWithTheirReason) {
    const QStringList codes{"A", "B", "C"};
    const std::map<int, QString> fatal = run(worker, R"({"mode":"fatal"})", codes, 2);
    EXPECT_EQ(fatal,
              (std::map<int, QString>{
                  {0, "!No hay conexión."}, {1, "!No hay conexión."}, {2, "!No hay conexión."}}));

    answers.clear();
    const QString missing = dir.filePath(QStringLiteral("no-such-program"));
    const std::map<int, QString> absent = run(missing, "{}", codes, 2);
    ASSERT_EQ(absent.size(), 3u);
    for (const auto& [index, text] : absent)
        EXPECT_TRUE(text.startsWith(
            QStringLiteral("!No se puede iniciar el proceso de impresión \"%1\": ").arg(missing)))
            << text.toStdString();
    for (const auto& [index, count] : answers) EXPECT_EQ(count, 1) << index;
}

}  // namespace
