#pragma once

#include "data/DemoCompany.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace qev::test {

// The demo company as an SQLite file, built once per test program and shared
// by its test processes (ctest runs each test in a process of its own). The
// program's time stamp names the file, so that a rebuilt program makes a new
// one; the files of earlier builds of the same program are removed then, so
// that the build folder does not fill up with them.
inline QString demoCompanyFile() {
    static const QString path = [] {
        // Test programs on gtest's own main have no application object.
        const QFileInfo binary(QCoreApplication::instance()
                                   ? QCoreApplication::applicationFilePath()
                                   : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
        QDir folder(QStringLiteral(QEV_BUILD_DIR "/test-demo/") + binary.completeBaseName());
        const QString name = QStringLiteral("qevdemo-%1.sqlite")
                                 .arg(binary.lastModified().toMSecsSinceEpoch());
        if (!folder.exists(name)) {
            for (const QString& old : folder.entryList({QStringLiteral("qevdemo-*.sqlite")}))
                folder.remove(old);
        }
        const QString p = folder.filePath(name);
        DemoCompany::ensureSqliteFile(p);
        return p;
    }();
    return path;
}

}  // namespace qev::test
