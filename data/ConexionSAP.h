#pragma once

#include "data/ConnectionSettings.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

class QSqlQuery;

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

    // Runs a query that only reads (prepared and bound by `run`, which returns
    // exec's result) and, when the connection turns out to be lost (a server
    // restarted, a connection ended by the administrator), connects again and
    // runs it once more. Throws Error with the driver's text, or with a Spanish
    // text when the database cannot be reached.
    void runReading(QSqlQuery& query, const std::function<bool(QSqlQuery&)>& run);

  private:
    bool connectionAlive();
    void reconnect();
    void openConnection(QSqlDatabase& db);

    QString connectionName_;
    ConnectionSettings settings_;
};

}  // namespace qev
