#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qev::testing {

struct ProcessRun {
    int exitCode = -1;  // -1: crashed or timed out
    QString out, err;
};

// The environment with a private runtime folder of this test program's own:
// Qt wants one and says so on stderr when it has none.
inline QProcessEnvironment environmentWithOwnRuntime() {
    static QTemporaryDir folder;  // 0700 and ours
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
    return env;
}

// Runs a program to its end offscreen, with error boxes printed instead of shown.
inline ProcessRun runProcess(
    const QString& program, const QStringList& arguments, int timeoutMs = 120000,
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QEV_NONINTERACTIVE"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace qev::testing
