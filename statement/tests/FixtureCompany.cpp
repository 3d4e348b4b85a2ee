#include "FixtureCompany.h"

#include "format/Error.h"
#include "testing/TestServers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

namespace qev::testing {

namespace {

// No NOT NULL constraints: the tests store the Nulls the build must survive.
const char* const Tables[] = {
    "CREATE TABLE OPCH (DocEntry INTEGER PRIMARY KEY, DocNum INTEGER, CardCode VARCHAR(15),"
    " CANCELED CHAR(1), Series INTEGER, DocDate DATE, DocDueDate DATE, DocTotal NUMERIC(19,6),"
    " NumAtCard VARCHAR(100), PaidToDate NUMERIC(19,6))",
    "CREATE TABLE ORPC (DocEntry INTEGER PRIMARY KEY, DocNum INTEGER, CardCode VARCHAR(15),"
    " CANCELED CHAR(1), Series INTEGER, DocType CHAR(1), DocDate DATE, DocDueDate DATE,"
    " DocTotal NUMERIC(19,6), NumAtCard VARCHAR(100), PaidToDate NUMERIC(19,6))",
    "CREATE TABLE OVPM (DocEntry INTEGER PRIMARY KEY, DocNum INTEGER, CardCode VARCHAR(15),"
    " CANCELED CHAR(1), Series INTEGER, DocDate DATE, DocDueDate DATE, DocTotal NUMERIC(19,6),"
    " CounterRef VARCHAR(100))",
    "CREATE TABLE VPM2 (DocNum INTEGER, InvoiceId INTEGER, DocEntry INTEGER, InvType VARCHAR(20),"
    " SumApplied NUMERIC(19,6))",
};

void exec(QSqlQuery& query, const QString& sql = {}) {
    const bool ok = sql.isEmpty() ? query.exec() : query.exec(sql);
    if (!ok) throw Error(query.lastError().text());
}

QSqlDatabase addPostgres(const ConnectionSettings& s, const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(s.server);
    if (s.port > 0) db.setPort(s.port);
    db.setDatabaseName(s.database);
    db.setUserName(s.user);
    db.setPassword(s.password);
    if (!db.open()) throw Error(db.lastError().text());
    return db;
}

void runOnServer(const ConnectionSettings& server, const QString& sql) {
    const QString name = QStringLiteral("fixture-server");
    {
        QSqlDatabase db = addPostgres(server, name);
        QSqlQuery query(db);
        exec(query, sql);
    }
    QSqlDatabase::removeDatabase(name);
}

QVariant nullOr(bool isNull, const QVariant& value) {
    return isNull ? QVariant(value.metaType()) : value;
}

Document document(const QString& table, int docnum, int series, double total, QDate date) {
    Document d;
    d.table = table;
    d.docnum = docnum;
    d.series = series;
    d.total = total;
    d.date = date;
    d.dueDate = date;
    return d;
}

}  // namespace

Document invoice(int docnum, double total, QDate date, int series) {
    Document d = document(QStringLiteral("opch"), docnum, series, total, date);
    d.dueDate = date.addDays(30);
    d.reference = QStringLiteral("F-%1").arg(docnum);
    d.paidToDate = 0.0;
    return d;
}

Document creditNote(int docnum, double total, QDate date, const char* doctype, int series) {
    Document d = document(QStringLiteral("orpc"), docnum, series, total, date);
    d.doctype = QString::fromLatin1(doctype);
    d.reference = QStringLiteral("NC-%1").arg(docnum);
    d.paidToDate = 0.0;
    return d;
}

Document payment(int docnum, double total, QDate date, int series) {
    Document d = document(QStringLiteral("ovpm"), docnum, series, total, date);
    d.reference = QStringLiteral("TR-%1").arg(docnum);
    return d;
}

std::optional<ConnectionSettings> testPostgresServer() {
    const QByteArray connInfo = qgetenv("QEV_TEST_PG");
    if (connInfo.isEmpty()) return std::nullopt;
    return ConnectionSettings::fromPostgresConnInfo(QString::fromLocal8Bit(connInfo));
}

FixtureCompany::FixtureCompany(ConnectionSettings settings, QString writerName)
    : settings_(std::move(settings)), writerName_(std::move(writerName)) {}

std::unique_ptr<FixtureCompany> FixtureCompany::sqlite(const QString& directory) {
    ConnectionSettings s;
    s.driver = QStringLiteral("sqlite");
    s.database = directory + QStringLiteral("/fixture-company.sqlite");
    const QString writer = QStringLiteral("fixture-writer-sqlite");
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), writer);
    db.setDatabaseName(s.database);
    if (!db.open()) throw Error(db.lastError().text());
    std::unique_ptr<FixtureCompany> company(new FixtureCompany(s, writer));
    company->createTables();
    company->conexion_ = std::make_unique<ConexionSAP>(s, QStringLiteral("ConexionSAP-sqlite"));
    return company;
}

std::unique_ptr<FixtureCompany> FixtureCompany::postgres() {
    const std::optional<ConnectionSettings> server = testPostgresServer();
    if (!server) return nullptr;
    return onServer(*server,
                    QStringLiteral("qev_statement_%1").arg(QCoreApplication::applicationPid()),
                    std::nullopt);
}

std::unique_ptr<FixtureCompany> FixtureCompany::odbc() {
    const std::optional<ConnectionSettings> server = testPostgresServer();
    const std::optional<QString> driver = test::testOdbcDriver();
    if (!server || !driver) return nullptr;
    return onServer(*server,
                    QStringLiteral("qev_statement_odbc_%1").arg(QCoreApplication::applicationPid()),
                    driver);
}

// Written natively, read through ConexionSAP natively or through ODBC.
std::unique_ptr<FixtureCompany> FixtureCompany::onServer(const ConnectionSettings& server,
                                                         const QString& database,
                                                         const std::optional<QString>& odbcDriver) {
    ConnectionSettings s = server;
    s.database = database;
    runOnServer(server, QStringLiteral("DROP DATABASE IF EXISTS %1").arg(s.database));
    runOnServer(server, QStringLiteral("CREATE DATABASE %1").arg(s.database));
    const QString writer = QStringLiteral("fixture-writer-") + database;
    addPostgres(s, writer);
    const ConnectionSettings reader = odbcDriver ? test::throughOdbc(s, *odbcDriver) : s;
    std::unique_ptr<FixtureCompany> company(new FixtureCompany(reader, writer));
    company->server_ = server;
    company->dateTimes_ = odbcDriver.has_value();
    company->createTables();
    company->conexion_ =
        std::make_unique<ConexionSAP>(reader, QStringLiteral("ConexionSAP-") + database);
    return company;
}

FixtureCompany::~FixtureCompany() {
    conexion_.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(writerName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(writerName_);
    if (server_) {
        try {
            runOnServer(*server_,
                        QStringLiteral("DROP DATABASE IF EXISTS %1").arg(settings_.database));
        } catch (const Error&) {
            // The server may already be gone at the end of the run; nothing to keep then.
        }
    }
}

void FixtureCompany::createTables() {
    QSqlQuery query(QSqlDatabase::database(writerName_, false));
    for (const char* table : Tables) {
        QString sql = QString::fromLatin1(table);
        if (dateTimes_)
            sql.replace(QLatin1String("DocDate DATE"), QLatin1String("DocDate TIMESTAMP"))
                .replace(QLatin1String("DocDueDate DATE"), QLatin1String("DocDueDate TIMESTAMP"));
        exec(query, sql);
    }
}

QVariant FixtureCompany::dateValue(bool isNull, const QDate& date) const {
    if (!dateTimes_) return nullOr(isNull, date);
    return nullOr(isNull, QDateTime(date, QTime(23, 59, 59)));
}

QString FixtureCompany::newSupplier() {
    return QStringLiteral("T%1").arg(++suppliers_, 5, 10, QLatin1Char('0'));
}

int FixtureCompany::insert(const QString& cardCode, const Document& d) {
    const bool payment = d.table == QLatin1String("ovpm");
    const bool creditNote = d.table == QLatin1String("orpc");
    QString columns = QStringLiteral(
        "DocEntry, DocNum, CardCode, CANCELED, Series, DocDate, DocDueDate, DocTotal");
    columns += payment ? QStringLiteral(", CounterRef") : QStringLiteral(", NumAtCard, PaidToDate");
    if (creditNote) columns += QStringLiteral(", DocType");
    const int count = int(columns.count(QLatin1Char(','))) + 1;
    QStringList marks;
    for (int i = 0; i < count; ++i) marks << QStringLiteral("?");

    QSqlQuery query(QSqlDatabase::database(writerName_, false));
    query.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(d.table, columns, marks.join(u',')));
    query.addBindValue(++docEntry_);
    query.addBindValue(d.docnum);
    query.addBindValue(cardCode);
    query.addBindValue(d.canceled);
    query.addBindValue(d.series);
    query.addBindValue(dateValue(d.nullDate, d.date));
    query.addBindValue(dateValue(d.nullDueDate, d.dueDate));
    query.addBindValue(nullOr(d.nullTotal, d.total));
    query.addBindValue(d.reference);
    if (!payment) query.addBindValue(d.paidToDate);
    if (creditNote) query.addBindValue(d.doctype);
    exec(query);
    return docEntry_;
}

void FixtureCompany::addPaymentLine(int payment, const char* invType, int document, double amount) {
    QSqlQuery query(QSqlDatabase::database(writerName_, false));
    query.prepare(QStringLiteral(
        "INSERT INTO VPM2 (DocNum, InvoiceId, DocEntry, InvType, SumApplied) VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(payment);
    query.addBindValue(paymentLines_++);
    query.addBindValue(document);
    query.addBindValue(QString::fromLatin1(invType));
    query.addBindValue(amount);
    exec(query);
}

}  // namespace qev::testing
