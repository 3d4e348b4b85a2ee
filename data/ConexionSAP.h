#pragma once

#include "data/ConnectionSettings.h"

#include <QSqlDatabase>
#include <QString>

namespace qev {

// The read-only connection to the ERP company database, opened once at start-up.
// Throws Error with the driver's text when it cannot be opened. For the demo
// company the SQLite file is generated first when it does not exist yet.
class ConexionSAP {
  public:
    explicit ConexionSAP(const ConnectionSettings& settings,
                         const QString& connectionName = QStringLiteral("ConexionSAP"));
    ~ConexionSAP();
    ConexionSAP(const ConexionSAP&) = delete;
    ConexionSAP& operator=(const ConexionSAP&) = delete;

    QSqlDatabase database() const;
    const QString& connectionName() const { return connectionName_; }

  private:
    QString connectionName_;
};

}  // namespace qev
