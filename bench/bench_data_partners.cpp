// Loads 50,000 business partners (all suppliers) from an SQLite company into
// TablaProveedores and prints the time of each load and of its parts.
// Usage: bench_data_partners [partners=50000] [runs=5]
// Run it under /usr/bin/time -v for the peak memory.

#include "data/ConexionSAP.h"
#include "data/TablaProveedores.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Partners made by the database itself: codes B000001..., Spanish names with
// accents drawn from short lists, addresses and phones on most rows.
void createCompany(const QString& path, int partners) {
    const QString name = QStringLiteral("bench-create");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral(
            "CREATE TABLE OCRD (CardCode VARCHAR(15) NOT NULL PRIMARY KEY, CardName VARCHAR(100),"
            " CardType CHAR(1) NOT NULL, Address VARCHAR(100), StreetNo VARCHAR(100), Building "
            "VARCHAR(100),"
            " Block VARCHAR(100), City VARCHAR(100), County VARCHAR(100), State1 VARCHAR(3), "
            "ZipCode VARCHAR(20),"
            " Phone1 VARCHAR(20), Phone2 VARCHAR(20), Fax VARCHAR(20), E_Mail VARCHAR(100), "
            "LicTradNum VARCHAR(32))"));
        const bool ok = q.exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                "INSERT INTO OCRD SELECT printf('B%06d', i),"
                " (CASE i % 7 WHEN 0 THEN 'Distribuidora ' WHEN 1 THEN 'Ferretería ' WHEN 2 THEN "
                "'Óptica '"
                "  WHEN 3 THEN 'Abarrotes ' WHEN 4 THEN 'Papelería ' WHEN 5 THEN 'Grupo ' ELSE "
                "'Transportes ' END)"
                " || (CASE (i / 7) % 6 WHEN 0 THEN 'Núñez' WHEN 1 THEN 'Peña' WHEN 2 THEN 'Álvarez'"
                "  WHEN 3 THEN 'Ibáñez' WHEN 4 THEN 'Zúñiga' ELSE 'Gutiérrez' END) || ' ' || (i * "
                "7919 % 100003)"
                " || ', S.A. de C.V.', 'S', 'Av. Insurgentes Sur', CAST(i % 4999 AS TEXT),"
                " CASE WHEN i % 2 = 0 THEN 'Int. 4' END, 'Col. Del Valle', 'Ciudad de México', "
                "'Benito Juárez',"
                " 'CMX', printf('03%03d', i % 1000), printf('(55) 5%03d %04d', i % 1000, i % "
                "10000),"
                " CASE WHEN i % 3 = 0 THEN '(55) 5555 0000' END, NULL, "
                "printf('ventas%d@proveedor.com.mx', i),"
                " printf('ABC%06d%03d', i % 1000000, i % 1000) FROM n")
                .arg(partners));
        if (!ok) std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int partners = argc > 1 ? std::atoi(argv[1]) : 50000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("company.sqlite"));
    QElapsedTimer timer;
    timer.start();
    createCompany(path, partners);
    std::printf("company of %d partners created in %lld ms\n", partners, timer.elapsed());

    qev::ConnectionSettings settings;
    settings.database = path;
    std::vector<double> loads;
    for (int run = 0; run < runs; ++run) {
        qev::ConexionSAP conexion(settings, QStringLiteral("bench"));
        qev::TablaProveedores tabla(conexion);
        timer.start();
        tabla.open();
        loads.push_back(double(timer.nsecsElapsed()) / 1e6);
        std::printf("run %d: %d suppliers loaded and indexed in %.1f ms\n", run + 1,
                    tabla.recordCount(), loads.back());
    }
    std::sort(loads.begin(), loads.end());
    std::printf("median load: %.1f ms\n", loads[loads.size() / 2]);
    return 0;
}
