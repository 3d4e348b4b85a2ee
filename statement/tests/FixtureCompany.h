#pragma once

#include "data/ConexionSAP.h"
#include "data/ConnectionSettings.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

namespace qev::testing {

// One document of the ERP, with the columns the statement reads. Unset columns
// are Null; the defaults describe an ordinary accepted document.
struct Document {
    QString table;  // "opch", "orpc" or "ovpm"
    int docnum = 0;
    QVariant series;
    double total = 0;
    QDate date{2016, 6, 24};
    QDate dueDate{2016, 7, 24};
    QVariant canceled = QStringLiteral("N");
    QVariant doctype;     // orpc only
    QVariant reference;   // numatcard, or counterref for ovpm
    QVariant paidToDate;  // opch and orpc
    bool nullDate = false, nullDueDate = false, nullTotal = false;
};

Document invoice(int docnum, double total, QDate date, int series = 10);
Document creditNote(int docnum, double total, QDate date, const char* doctype = "S",
                    int series = 12);
Document payment(int docnum, double total, QDate date, int series = 20);

// A company database of test documents: a SQLite file or a PostgreSQL database
// of its own (dropped again at the end). Documents go in through a writable
// connection of the test; the statement reads them through ConexionSAP.
class FixtureCompany {
  public:
    static std::unique_ptr<FixtureCompany> sqlite(const QString& directory);
    // Null when QEV_TEST_PG is not set.
    static std::unique_ptr<FixtureCompany> postgres();
    // A PostgreSQL database of its own read through the ODBC driver, its
    // document dates kept as date-times late in the day as the ERP's SQL Server
    // keeps them; null when QEV_TEST_PG or QEV_TEST_ODBC_DRIVER is not set.
    static std::unique_ptr<FixtureCompany> odbc();
    ~FixtureCompany();

    const ConnectionSettings& settings() const { return settings_; }
    ConexionSAP& conexion() { return *conexion_; }
    // A supplier code not used before in this company.
    QString newSupplier();
    // Returns the document's DocEntry.
    int insert(const QString& cardCode, const Document& document);
    // A line of the payment `payment` (its DocEntry) in VPM2: an amount paid on
    // an invoice ("18") or taken of a credit note ("19", negative).
    void addPaymentLine(int payment, const char* invType, int document, double amount);

  private:
    FixtureCompany(ConnectionSettings settings, QString writerName);
    static std::unique_ptr<FixtureCompany> onServer(const ConnectionSettings& server,
                                                    const QString& database,
                                                    const std::optional<QString>& odbcDriver);
    void createTables();
    QVariant dateValue(bool isNull, const QDate& date) const;

    ConnectionSettings settings_;
    std::optional<ConnectionSettings>
        server_;  // PostgreSQL only: reaches the server to drop the database
    QString writerName_;
    std::unique_ptr<ConexionSAP> conexion_;
    int suppliers_ = 0;
    int docEntry_ = 0;
    int paymentLines_ = 0;
    bool dateTimes_ = false;
};

// The test server from QEV_TEST_PG; nothing when it is not set.
std::optional<ConnectionSettings> testPostgresServer();

}  // namespace qev::testing
