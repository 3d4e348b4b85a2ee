#include "TestCompany.h"

#include "data/DemoCompany.h"

#include <QDate>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariantList>

#include <stdexcept>

namespace testcompany {

namespace {

struct Connection {
    explicit Connection(const QString& path)
        : name(QUuid::createUuid().toString()),
          db(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name)) {
        db.setDatabaseName(path);
        if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
    }
    ~Connection() {
        db.close();
        db = {};
        QSqlDatabase::removeDatabase(name);
    }
    void run(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery query(db);
        if (!query.prepare(sql)) throw std::runtime_error(query.lastError().text().toStdString());
        for (const QVariant& value : values) query.addBindValue(value);
        if (!query.exec()) throw std::runtime_error(query.lastError().text().toStdString());
    }

    QString name;
    QSqlDatabase db;
};

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

void addSupplier(Connection& c, const QString& code, const QString& name, const QString& phone2,
                 const QString& email) {
    c.run(QStringLiteral("INSERT INTO OCRD (CardCode, CardName, CardType, Address, StreetNo,"
                         " Building, Block, City, County, State1, Phone1, Phone2, Fax, E_Mail,"
                         " LicTradNum) VALUES (?, ?, 'S', 'Av. Juárez', '120', 'Local 4',"
                         " 'Centro', 'Guadalajara', 'Zapopan', 'JAL', '33 3615 0000', ?,"
                         " '33 3615 0002', ?, 'XAXX010101000')"),
          {code, name, textOrNull(phone2), textOrNull(email)});
}

void addInvoice(Connection& c, int entry, const char* code, const QString& canceled, QDate date,
                double total) {
    c.run(QStringLiteral("INSERT INTO OPCH VALUES (?, ?, ?, ?, 64, ?, ?, ?, ?, 0)"),
          {entry, 500 + entry, QLatin1String(code), canceled, date, date.addDays(30), total,
           QStringLiteral("F-%1").arg(500 + entry)});
}

}  // namespace

void create(const QString& path) {
    Connection c(path);
    for (const QString& sql : qev::DemoCompany::schema()) c.run(sql);
    addSupplier(c, QStringLiteral("P0001"), QStringLiteral("Zapatería Núñez"), {},
                QStringLiteral("ventas@zapaterianunez.mx"));
    addSupplier(c, QStringLiteral("P0002"), QStringLiteral("Abastos del Centro"),
                QStringLiteral("33 3615 0001"), QStringLiteral("compras@abastos.mx"));
    addSupplier(c, QStringLiteral("P0003"), QStringLiteral("Aceros Monterrey"), {}, {});
    addSupplier(c, QStringLiteral("P0004"), QStringLiteral("Abarrotes La Estrella"),
                QStringLiteral("33 3615 0001"),
                QStringLiteral("pagos@laestrella.mx; cobranza@laestrella.mx"));
    addSupplier(c, QStringLiteral("P0005"), QStringLiteral("Bodega Azul"), {},
                QStringLiteral("bodega azul@example"));
    addSupplier(c, QStringLiteral("P0006"), QStringLiteral("Aaron Distribuciones"), {},
                QStringLiteral("ventas@aaron.mx"));
    addSupplier(c, QStringLiteral("P0010"), QStringLiteral("Distribuidora Diez"), {},
                QStringLiteral("diez@distribuidora.mx"));
    c.run(
        QStringLiteral("INSERT INTO OCRD (CardCode, CardName, CardType) VALUES"
                       " ('C0001', 'Aardvark Clientes', 'C')"));

    addInvoice(c, 1, "P0004", QStringLiteral("N"), QDate(2016, 1, 5), 1000);
    addInvoice(c, 2, "P0004", QStringLiteral("N"), QDate(2016, 2, 1), 50);
    addInvoice(c, 3, "P0004", QStringLiteral("Y"), QDate(2016, 1, 10), 777);
    addInvoice(c, 4, "P0006", QStringLiteral("N"), QDate(2016, 3, 1), 100);
    c.run(QStringLiteral("INSERT INTO ORPC VALUES (1, 601, 'P0004', 'N', 12, 'S', ?, ?, 100,"
                         " 'NC-601', 0)"),
          {QDate(2016, 1, 20), QDate(2016, 1, 20)});
    c.run(QStringLiteral("INSERT INTO OVPM VALUES (1, 701, 'P0004', 'N', 20, ?, ?, 400, 'TR-701')"),
          {QDate(2016, 1, 20), QDate(2016, 1, 20)});
    c.run(QStringLiteral("INSERT INTO OVPM VALUES (2, 702, 'P0006', 'N', 20, ?, ?, 100, 'TR-702')"),
          {QDate(2016, 3, 15), QDate(2016, 3, 15)});
}

qev::ConnectionSettings settings(const QString& databasePath, const QString& dataDirectory) {
    qev::ConnectionSettings s;
    s.driver = QStringLiteral("sqlite");
    s.database = databasePath;
    s.dataDirectory = dataDirectory;
    return s;
}

void writeSettingsFile(const QString& iniPath, const QString& databasePath,
                       const QString& dataDirectory) {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(QStringLiteral("database/driver"), QStringLiteral("sqlite"));
    ini.setValue(QStringLiteral("database/database"), databasePath);
    ini.setValue(QStringLiteral("paths/data_directory"), dataDirectory);
}

void execute(const QString& path, const QString& sql) {
    Connection c(path);
    c.run(sql);
}

}  // namespace testcompany
