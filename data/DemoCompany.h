#pragma once

#include "data/ConnectionSettings.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace qev {

// The demo company: a deterministic (seeded) SAP Business One schema subset
// (OCRD, OPCH, ORPC, OVPM and the payment lines VPM2) with Mexican suppliers
// and two years of documents, used by the out-of-the-box run and by the tests
// on SQLite and PostgreSQL. The rules of the payment lines are in data/README.md.
namespace demo {

inline constexpr unsigned DefaultSeed = 20161231u;
// Raised whenever the generated rows change: a demo file or database of
// another version is built anew.
inline constexpr int Version = 4;

// Suppliers the tests rely on. "Accepted movements" are the rows a statement
// build stores: invoices not cancelled and not of series 63, credit notes not
// cancelled with doctype S or I, payments not cancelled. Each of these also has
// documents that are not accepted (cancelled, series 63, other doctypes).
inline constexpr const char* SupplierWithoutDocuments = "P90000";
inline constexpr const char* SupplierWith29Movements = "P90029";
inline constexpr const char* SupplierWith30Movements = "P90030";
inline constexpr const char* SupplierWith58Movements = "P90058";
inline constexpr const char* SupplierWithManyDocuments = "P99999";
inline constexpr int ManyDocumentsMovements = 10500;  // accepted, besides some left out
inline constexpr const char* SupplierWithApostrophe = "P90'01";
inline constexpr const char* SupplierWithNulls = "P90N01";  // every optional column Null

// E_Mail: most suppliers have one address; some have none (SupplierWithNulls
// among them), one has two, one has a text that is no address.
inline constexpr const char* SupplierWithTwoEmails = "P90058";
inline constexpr const char* SupplierTwoEmails =
    "ventas@papeleria58.com.mx; cobranza@papeleria58.com.mx";
inline constexpr const char* SupplierWithMalformedEmail = "P90030";
inline constexpr const char* SupplierMalformedEmail = "ventas.papeleriatreinta.com.mx";

// Names that share their beginnings, in CardName order, with their codes.
inline constexpr const char* SharedPrefixName1 = "Abarrotes La Estrella";
inline constexpr const char* SharedPrefixCode1 = "P90101";
inline constexpr const char* SharedPrefixName2 = "Abarrotes La Estrella del Norte";
inline constexpr const char* SharedPrefixCode2 = "P90102";
inline constexpr const char* SharedPrefixName3 = "Abarrotes Lázaro";
inline constexpr const char* SharedPrefixCode3 = "P90103";

// A customer (never listed) whose name begins like the suppliers' above.
inline constexpr const char* CustomerSharingPrefix = "Abarrotes La Estrellita";
inline constexpr const char* CustomerSharingPrefixCode = "C00001";

inline constexpr int RegularSupplierCount = 320;  // P00001 ..., besides the ones above
inline constexpr int CustomerCount = 140;         // C00001 ..., cardtype 'C'

}  // namespace demo

// How the document tables keep DocDate and DocDueDate: as dates, or as the
// ERP's SQL Server does, date-times (here with a time of day besides the date).
enum class DocumentDates { Date, DateTime };

class DemoCompany {
  public:
    // The statements that create the five ERP tables (and their indexes), for
    // anyone who fills a company of their own, e.g. a test fixture.
    static QStringList schema(DocumentDates dates = DocumentDates::Date);
    // Creates the tables and fills them in one transaction on a writable
    // connection (SQLite or PostgreSQL). Same seed, same rows.
    static void populate(QSqlDatabase db, unsigned seed = demo::DefaultSeed,
                         DocumentDates dates = DocumentDates::Date);
    // Builds the SQLite demo file when it does not exist yet or is of another
    // version (written aside and renamed into place, so a half-built file is
    // never left behind).
    static void ensureSqliteFile(const QString& path);
    // Loads the demo company into the database "qev_demo" (with date-times:
    // "qev_demo_datetime") of a PostgreSQL server once, and again when it holds
    // another version (concurrent callers wait on an advisory lock), and returns
    // settings for it. The argument reaches the server's default database.
    static ConnectionSettings ensurePostgres(const ConnectionSettings& server,
                                             DocumentDates dates = DocumentDates::Date);
};

}  // namespace qev
