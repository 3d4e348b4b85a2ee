// Appends 100,000 movement rows to qevmovs.dbf the way a statement build does,
// reads them back in statement order (TablaSql), and writes a balance into every
// row through locate + edit, as the running balance does.
// Usage: bench_data_movements [rows=100000]
// Run it under /usr/bin/time -v for the peak memory.

#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaSql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    auto file = qev::MovementsFile::open(dir.path());
    qev::TablaMovtos movtos(file);
    qev::TablaSql sql(file);

    QElapsedTimer timer;
    timer.start();
    movtos.empty();
    for (int i = 1; i <= rows; ++i) {
        const int kind = i % 3;  // invoice, credit note, payment
        const double total = double((i * 7919) % 2500000) / 100.0;
        const QString amount = QStringLiteral("$%1").arg(total, 0, 'f', 2);
        const QString fecha = QStringLiteral("2016/%1/%2")
                                  .arg((i / 28) % 12 + 1, 2, 10, QLatin1Char('0'))
                                  .arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
        movtos.append();
        movtos.setField(QStringLiteral("movto"), i);
        movtos.setField(QStringLiteral("serie"), kind == 0   ? QStringLiteral("FACSI")
                                                 : kind == 1 ? QStringLiteral("NCRE")
                                                             : QStringLiteral("PAGO"));
        movtos.setField(QStringLiteral("folio"), 10000 + i);
        movtos.setField(QStringLiteral("fecha"), fecha);
        movtos.setField(QStringLiteral("vencto"), fecha);
        movtos.setField(QStringLiteral("total"), total);
        movtos.setField(QStringLiteral("mtotal"), amount);
        movtos.setField(QStringLiteral("cargo"), kind == 0 ? total : 0.0);
        movtos.setField(QStringLiteral("abono"), kind == 0 ? 0.0 : total);
        movtos.setField(kind == 0 ? QStringLiteral("mcargo") : QStringLiteral("mabono"), amount);
        movtos.setField(QStringLiteral("mfecha"), QStringLiteral("24/JUN/2016"));
        movtos.setField(QStringLiteral("mvencto"), QStringLiteral("24/JUL/2016"));
        movtos.setField(QStringLiteral("referencia"),
                        QStringLiteral("Factura proveedor %1").arg(i));
        if (kind != 2) movtos.setField(QStringLiteral("aplicado"), 0.0);
        movtos.post();
    }
    file->flush();
    const double appendMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%d rows appended and posted: %.0f ms (%.1f us per row), file %.1f MB\n", rows,
                appendMs, appendMs * 1000 / rows, double(QFileInfo(file->path()).size()) / 1e6);

    timer.start();
    sql.close();
    sql.open();
    long long chars = 0;
    const QStringList fields = sql.fieldNames();
    for (sql.first(); !sql.eof(); sql.next())
        for (const QString& f : fields) chars += sql.displayText(f).size();
    const double readMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("read back in statement order, every field: %.0f ms (%lld characters)\n", readMs,
                chars);

    timer.start();
    double saldo = 0;
    int written = 0;
    for (sql.first(); !sql.eof(); sql.next()) {
        saldo += sql.value(QStringLiteral("cargo")).toDouble() -
                 sql.value(QStringLiteral("abono")).toDouble();
        if (movtos.locate(sql.value(QStringLiteral("serie")).toString(),
                          sql.value(QStringLiteral("folio")),
                          sql.value(QStringLiteral("fecha")).toString())) {
            movtos.edit();
            movtos.setField(QStringLiteral("saldo"), saldo);
            movtos.setField(QStringLiteral("msaldo"), QStringLiteral("$%1").arg(saldo, 0, 'f', 2));
            movtos.post();
            ++written;
        }
    }
    sql.close();
    sql.open();
    const double balanceMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("balance pass (locate + edit + post per row, reopen): %.0f ms, %d rows written\n",
                balanceMs, written);
    return 0;
}
