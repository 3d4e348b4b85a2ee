#include "format/SharedLibrary.h"

namespace qev {

QString loadFirstOf(QLibrary& library, const QStringList& fileNames) {
    QString failure = QStringLiteral("no file name given");
    for (const QString& name : fileNames) {
        library.setFileName(name);
        if (library.load()) return {};
        failure = library.errorString();
    }
    return failure;
}

}  // namespace qev
