#include "app/BatchPool.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <utility>

namespace qev {

struct BatchPool::Worker {
    QProcess* process = nullptr;
    std::deque<int> given;  // indexes sent and not yet answered; it prints the first
    QByteArray buffer;
    bool fatal = false;        // it could not start: not started again
    bool ending = false;       // its process has ended: nothing more is handed to it
    bool inputClosed = false;  // told there is no more: it takes nothing new
};

namespace {

// Statements sent to a worker ahead of its answers: the one it prints and the
// next, already in its input when it finishes.
constexpr std::size_t StatementsAhead = 2;

QByteArray jsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

BatchPool::BatchPool(QString program, QByteArray startMessage, QStringList codes, int workers,
                     Done done, const std::vector<int>& handOutOrder)
    : program_(std::move(program)),
      startMessage_(std::move(startMessage)),
      codes_(std::move(codes)),
      done_(std::move(done)) {
    if (handOutOrder.size() == std::size_t(codes_.size()))
        queue_.assign(handOutOrder.begin(), handOutOrder.end());
    else
        for (int i = 0; i < codes_.size(); ++i) queue_.push_back(i);
    const int count = std::max(1, std::min(workers, int(codes_.size())));
    for (int i = 0; i < count; ++i) workers_.push_back(std::make_unique<Worker>());
}

BatchPool::~BatchPool() {
    for (const auto& worker : workers_) {
        if (!worker->process) continue;
        worker->process->disconnect(this);
        worker->process->closeWriteChannel();  // an idle worker ends at the end of its input
        if (!worker->process->waitForFinished(30000)) worker->process->kill();
        worker->process->waitForFinished();
        delete worker->process;
    }
}

void BatchPool::run() {
    if (codes_.isEmpty()) return;
    for (const auto& worker : workers_) start(*worker);
    if (answered_ < codes_.size()) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
}

void BatchPool::start(Worker& worker) {
    auto* process = new QProcess;
    worker.process = process;
    worker.buffer.clear();
    worker.given.clear();
    worker.ending = false;
    worker.inputClosed = false;
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process, &QProcess::readyReadStandardOutput, this, [this, &worker] {
        readAnswers(worker);
    });
    connect(process, &QProcess::finished, this, [this, &worker] { ended(worker); });
    connect(process, &QProcess::errorOccurred, this, [this, &worker](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        worker.fatal = true;
        lastFatal_ = QStringLiteral("No se puede iniciar el proceso de impresión \"%1\": %2")
                         .arg(program_, worker.process->errorString());
        ended(worker);
    });
    process->start(program_, {QStringLiteral("--batch-worker")});
    if (worker.process != process) return;  // it could not start, and that is dealt with
    process->write(startMessage_ + '\n');
    feed(worker);
}

void BatchPool::feed(Worker& worker) {
    if (worker.ending || worker.inputClosed) return;
    QByteArray lines;
    while (worker.given.size() < StatementsAhead && !queue_.empty()) {
        const int index = queue_.front();
        queue_.pop_front();
        worker.given.push_back(index);
        lines += jsonLine({{"i", index}, {"code", codes_[index]}});
    }
    if (!lines.isEmpty()) worker.process->write(lines);
    // Nothing more to hand out: the worker ends once it has answered.
    // What goes back to the queue later is taken by a worker started anew.
    if (queue_.empty()) {
        worker.inputClosed = true;
        worker.process->closeWriteChannel();
    }
}

void BatchPool::readAnswers(Worker& worker) {
    worker.buffer += worker.process->readAllStandardOutput();
    for (qsizetype end; (end = worker.buffer.indexOf('\n')) >= 0;) {
        const QByteArray line = worker.buffer.left(end);
        worker.buffer.remove(0, end + 1);
        answer(worker, line);
    }
}

void BatchPool::answer(Worker& worker, const QByteArray& line) {
    const QJsonObject message = QJsonDocument::fromJson(line).object();
    if (message.contains(QLatin1String("fatal"))) {
        worker.fatal = true;
        lastFatal_ = message.value(QLatin1String("fatal")).toString();
        return;  // its statement goes back to the others when it ends
    }
    const int index = message.value(QLatin1String("i")).toInt(-1);
    if (worker.given.empty() || index != worker.given.front())
        return;  // not an answer to what it was given
    worker.given.pop_front();
    finishOne(index, message.value(QLatin1String("path")).toString(),
              message.value(QLatin1String("error")).toString());
    feed(worker);
}

void BatchPool::ended(Worker& worker) {
    if (!worker.process || worker.ending) return;
    worker.ending = true;
    readAnswers(worker);  // what it said before it ended still counts
    worker.process->disconnect(this);
    // Not deleted inside its own signal; kept until the pool goes.
    retired_.emplace_back(std::exchange(worker.process, nullptr));
    // What it was given and had not begun goes back to the others, first.
    std::deque<int> given = std::exchange(worker.given, {});
    if (!given.empty() && !worker.fatal) {
        finishOne(given.front(), {},
                  QStringLiteral("El proceso que escribía el estado de cuenta terminó de "
                                 "forma inesperada."));
        given.pop_front();
    }
    queue_.insert(queue_.begin(), given.begin(), given.end());
    if (queue_.empty()) return;
    if (!worker.fatal) {
        start(worker);
        return;
    }
    const bool othersLeft = std::any_of(workers_.begin(), workers_.end(),
                                        [](const auto& w) { return w->process != nullptr; });
    if (!othersLeft) failRemaining(lastFatal_);
}

void BatchPool::failRemaining(const QString& error) {
    while (!queue_.empty()) {
        const int index = queue_.front();
        queue_.pop_front();
        finishOne(index, {}, error);
    }
}

void BatchPool::finishOne(int index, const QString& path, const QString& error) {
    ++answered_;
    done_(index, path, error);
    if (answered_ == codes_.size() && loop_) loop_->quit();
}

}  // namespace qev
