#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QProcess;

namespace qev {

// Statements printed by a bounded number of worker processes (`qev
// --batch-worker`), each with its own database connection and movements file.
// Processes rather than threads: the report engine lays text out under one
// process-wide lock, and a statement that brings its worker down costs that
// statement only.
//
// Talk with a worker is one JSON object per line. The pool sends the start
// message first, then {"i": index, "code": code} for each statement; the worker
// answers {"i": index, "path": the files written} or {"i": index, "error": text}, or
// {"fatal": text} when it cannot start. A worker answers in the order it is
// given statements, and is kept one statement ahead so that it never waits
// for the pool between two of them.
//
// Statements are handed out in the order given (the largest first keeps the
// workers busy to the end); each is answered by its index into codes.
class BatchPool : public QObject {
  public:
    // index into codes; path when written, error otherwise.
    using Done = std::function<void(int index, const QString& path, const QString& error)>;

    // handOutOrder: indexes into codes, each once; empty for the codes' order.
    BatchPool(QString program, QByteArray startMessage, QStringList codes, int workers, Done done,
              const std::vector<int>& handOutOrder = {});
    ~BatchPool() override;

    // Returns when every code has been answered (by a worker or as a failure).
    void run();

  private:
    struct Worker;
    void start(Worker& worker);
    void feed(Worker& worker);
    void readAnswers(Worker& worker);
    void answer(Worker& worker, const QByteArray& line);
    void ended(Worker& worker);
    void failRemaining(const QString& error);
    void finishOne(int index, const QString& path, const QString& error);

    QString program_;
    QByteArray startMessage_;
    QStringList codes_;
    Done done_;
    std::deque<int> queue_;  // indexes not yet handed out
    std::vector<std::unique_ptr<Worker>> workers_;
    std::vector<std::unique_ptr<QProcess>> retired_;  // ended processes
    int answered_ = 0;
    QString lastFatal_;
    QEventLoop* loop_ = nullptr;
};

}  // namespace qev
