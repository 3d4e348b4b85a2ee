// 1,000 keystrokes in the supplier search boxes over 50,000 suppliers: names
// typed letter by letter (findName) and codes typed in full (findCode).
// Usage: bench_data_search [partners=50000]

#include "data/ConexionSAP.h"
#include "data/TablaProveedores.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int partners = argc > 1 ? std::atoi(argv[1]) : 50000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("company.sqlite"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("create"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(
            QStringLiteral("CREATE TABLE OCRD (CardCode VARCHAR(15) PRIMARY KEY, CardName "
                           "VARCHAR(100), CardType CHAR(1),"
                           " Address, StreetNo, Building, Block, City, County, State1, ZipCode, "
                           "Phone1, Phone2, Fax, E_Mail,"
                           " LicTradNum)"));
        q.exec(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO OCRD (CardCode, CardName, CardType) SELECT printf('B%06d', i),"
                   " (CASE i % 4 WHEN 0 THEN 'Ferretería ' WHEN 1 THEN 'Óptica ' WHEN 2 THEN"
                   " 'Abarrotes ' ELSE 'Papelería ' END) || (i * 7919 % 100003) || ' Núñez', 'S'"
                   " FROM n")
                   .arg(partners));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("create"));

    qev::ConnectionSettings settings;
    settings.database = path;
    qev::ConexionSAP conexion(settings, QStringLiteral("bench"));
    qev::TablaProveedores tabla(conexion);
    tabla.open();

    // Names as a user types them: each prefix of a name is one keystroke.
    QStringList typed;
    for (int i = 0; typed.size() < 1000; ++i) {
        tabla.goTo((i * 7919) % tabla.recordCount());
        const QString name = tabla.value(QStringLiteral("CardName")).toString();
        for (int len = 1; len <= name.size() && typed.size() < 1000; ++len) typed << name.left(len);
    }
    QElapsedTimer timer;
    int found = 0;
    timer.start();
    for (const QString& text : typed) found += tabla.findName(text) ? 1 : 0;
    const double nameMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%lld name keystrokes over %d suppliers: %.2f ms (%.1f us each), %d found\n",
                static_cast<long long>(typed.size()), tabla.recordCount(), nameMs,
                nameMs * 1000 / typed.size(), found);

    QStringList codes;
    for (int i = 0; i < 1000; ++i)
        codes << QStringLiteral("b%1").arg((i * 7919) % partners + 1, 6, 10, QLatin1Char('0'));
    found = 0;
    timer.start();
    for (const QString& code : codes) found += tabla.findCode(code) ? 1 : 0;
    const double codeMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("1000 code searches: %.2f ms (%.1f us each), %d found\n", codeMs, codeMs, found);
    return 0;
}
