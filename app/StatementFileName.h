#pragma once

#include <QString>

namespace qev {

// "QEV_" + code + suffix, the name of every file written for a statement, with
// each character a file name cannot hold (path separators, ":", "*", "?",
// quotes, "<", ">", "|", control characters) replaced by "_", so that the file
// stays in its directory.
QString statementFileName(const QString& code, const QString& suffix);

}  // namespace qev
