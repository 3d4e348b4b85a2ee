#pragma once

class QTextStream;

namespace qev {

struct ConnectionSettings;

// `qev --check-connection`: opens the company database as the program would,
// prints where it is and how many suppliers and documents it holds, and
// returns 0; or prints the driver's error and returns 1.
int runConnectionCheck(const ConnectionSettings& settings, QTextStream& out, QTextStream& err);

}  // namespace qev
