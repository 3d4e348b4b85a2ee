// Reads the demo company through the PostgreSQL ODBC driver and through the
// native PostgreSQL driver: the supplier list, the large supplier's statement,
// and every supplier's statement one after the other. Rounds alternate the
// two; the medians and their ratio are printed.
// Needs a PostgreSQL server and the ODBC driver registered: run it through
// bench/odbc.sh, which starts both as the test command does.
// Usage: bench_odbc [rounds=3]

#include "data/ConexionSAP.h"
#include "data/DemoCompany.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaProveedores.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/Error.h"
#include "statement/StatementBuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One reader of the company: its connection, the supplier list and a statement
// build on a movements file of its own.
struct Reader {
    Reader(const qev::ConnectionSettings& settings, const QString& name)
        : conexion(settings, name),
          proveedores(conexion),
          file(qev::MovementsFile::open(directory.path())),
          puente(conexion),
          movtos(file),
          sql(file),
          builder(puente, movtos, sql) {
        sql.open();
    }
    QStringList codes() {
        QStringList all;
        proveedores.open();
        for (proveedores.first(); !proveedores.eof(); proveedores.next())
            all << proveedores.value(QStringLiteral("CardCode")).toString();
        return all;
    }

    QTemporaryDir directory;
    qev::ConexionSAP conexion;
    qev::TablaProveedores proveedores;
    std::shared_ptr<qev::MovementsFile> file;
    qev::TablaPuente puente;
    qev::TablaMovtos movtos;
    qev::TablaSql sql;
    qev::StatementBuilder builder;
};

struct Figures {
    std::vector<double> list, large, all;
};

void measure(Reader& reader, const QStringList& codes, Figures& figures) {
    figures.list.push_back(secondsOf([&] {
        reader.proveedores.close();
        reader.proveedores.open();
    }));
    figures.large.push_back(secondsOf(
        [&] { reader.builder.build(QString::fromUtf8(qev::demo::SupplierWithManyDocuments)); }));
    figures.all.push_back(secondsOf([&] {
        for (const QString& code : codes)
            if (code != QLatin1String(qev::demo::SupplierWithManyDocuments))
                reader.builder.build(code);
    }));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = std::max(1, argc > 1 ? std::atoi(argv[1]) : 3);
    const QByteArray connInfo = qgetenv("QEV_TEST_PG");
    const QByteArray odbcDriver = qgetenv("QEV_TEST_ODBC_DRIVER");
    if (connInfo.isEmpty() || odbcDriver.isEmpty()) {
        std::fprintf(stderr,
                     "QEV_TEST_PG and QEV_TEST_ODBC_DRIVER are not set: run bench/odbc.sh\n");
        return 2;
    }
    try {
        const auto server =
            qev::ConnectionSettings::fromPostgresConnInfo(QString::fromUtf8(connInfo));
        const qev::ConnectionSettings native = qev::DemoCompany::ensurePostgres(server);
        qev::ConnectionSettings odbc =
            qev::DemoCompany::ensurePostgres(server, qev::DocumentDates::DateTime);
        odbc.driver = QStringLiteral("odbc");
        odbc.odbcDriver = QString::fromUtf8(odbcDriver);

        Reader nativeReader(native, QStringLiteral("bench-native"));
        Reader odbcReader(odbc, QStringLiteral("bench-odbc"));
        const QStringList codes = nativeReader.codes();
        odbcReader.codes();
        Figures nativeFigures, odbcFigures;
        for (int round = 1; round <= rounds; ++round) {
            measure(nativeReader, codes, nativeFigures);
            measure(odbcReader, codes, odbcFigures);
            std::printf(
                "round %d: native list %.3f s, P99999 %.3f s, the other %lld suppliers %.3f s;"
                " ODBC list %.3f s, P99999 %.3f s, the others %.3f s\n",
                round, nativeFigures.list.back(), nativeFigures.large.back(),
                static_cast<long long>(codes.size() - 1), nativeFigures.all.back(),
                odbcFigures.list.back(), odbcFigures.large.back(), odbcFigures.all.back());
        }
        auto line = [](const char* what, const std::vector<double>& n,
                       const std::vector<double>& o) {
            std::printf("median %-26s native %.3f s  ODBC %.3f s  ODBC/native %.2f\n", what,
                        median(n), median(o), median(o) / median(n));
        };
        line("supplier list", nativeFigures.list, odbcFigures.list);
        line("P99999 (10,500 movements)", nativeFigures.large, odbcFigures.large);
        line("every other supplier", nativeFigures.all, odbcFigures.all);
    } catch (const qev::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
