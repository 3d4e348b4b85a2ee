#pragma once

#include <QString>

namespace qev {

// Reads a workbook just written back and checks that every XML part of it is
// whole. libxlsxwriter does not notice when its scratch files cannot be
// written (a full disk): it then packs truncated parts and reports success.
// Throws qev::Error naming the first part that is not whole.
void checkXlsxPackage(const QString& path);

}  // namespace qev
