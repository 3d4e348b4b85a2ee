#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

namespace qev {

// Libraries taken on first use rather than linked, so that a run that does
// not need them does not map them.

// Loads into library the first of fileNames the system finds; it stays
// loaded for the process. Returns why the last name failed, or nothing
// when one loaded.
QString loadFirstOf(QLibrary& library, const QStringList& fileNames);

// Points function at name in library; false when the library lacks it
// (library.errorString() says why).
template <class Function>
bool resolveFunction(QLibrary& library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

}  // namespace qev
