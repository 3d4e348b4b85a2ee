// How fast the statement window opens, and how it keeps up with the user when
// the company has 50,000 business partners. Prints its own figures.
//
//   bench_window [--keep DIR]
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "app/TFmensaje.h"
#include "app/TForm1.h"
#include "data/ConexionSAP.h"
#include "data/DemoCompany.h"
#include "data/TablaProveedores.h"
#include "format/FormatSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace qev;

namespace {

struct Figures {
    std::vector<double> ms;
    void add(double value) { ms.push_back(value); }
    double median() const {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Processor time of the calling thread, the UI thread here: on a busy machine
// it still says what the user's thread spent, apart from waiting its turn.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// What the user waits for after an input: the handler, then the repaint.
void settle(TForm1& form) {
    QCoreApplication::processEvents();
    form.repaint();
}

ConnectionSettings sqliteCompany(const QString& database, const QString& dataDirectory) {
    ConnectionSettings settings;
    settings.driver = QStringLiteral("sqlite");
    settings.database = database;
    settings.dataDirectory = dataDirectory;
    return settings;
}

// The demo company plus `extra` suppliers with names that share long prefixes.
void addSuppliers(const QString& database, int extra) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(database);
    if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
    const char* kinds[] = {"Abarrotes",  "Aceros",     "Comercializadora", "Distribuidora",
                           "Ferretería", "Materiales", "Papelería",        "Transportes"};
    const char* places[] = {"del Norte", "del Sur",    "del Bajío",    "de Occidente",
                            "Central",   "Peninsular", "del Pacífico", "del Golfo"};
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "INSERT INTO OCRD (CardCode, CardName, CardType, City) VALUES (?, ?, ?, 'Monterrey')"));
    QRandomGenerator random(42);
    for (int i = 0; i < extra; ++i) {
        const QString name = QStringLiteral("%1 %2 %3")
                                 .arg(QString::fromUtf8(kinds[random.bounded(8)]),
                                      QString::fromUtf8(places[random.bounded(8)]))
                                 .arg(random.bounded(100000));
        insert.addBindValue(QStringLiteral("B%1").arg(i, 6, 10, QLatin1Char('0')));
        insert.addBindValue(name);
        // Mostly suppliers, some customers, as a company's partner table has them.
        insert.addBindValue(i % 10 == 9 ? QStringLiteral("C") : QStringLiteral("S"));
        if (!insert.exec()) throw std::runtime_error(insert.lastError().text().toStdString());
    }
    db.commit();
    db.close();
    db = {};
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
}

std::unique_ptr<TForm1> openWindow(const ConnectionSettings& settings, double* ms,
                                   double* cpuMs = nullptr) {
    std::unique_ptr<TForm1> form;
    const double cpu = threadCpuMs();
    *ms = timed([&] {
        form = std::make_unique<TForm1>(settings);
        form->show();
        QCoreApplication::processEvents();
        form->repaint();
    });
    if (cpuMs) *cpuMs = threadCpuMs() - cpu;
    return form;
}

// The part of opening that is the supplier table reading its rows.
void reportSupplierTable(const ConnectionSettings& settings) {
    Figures open;
    for (int i = 0; i < 5; ++i) {
        ConexionSAP conexion(settings, QStringLiteral("bench-open"));
        TablaProveedores table(conexion);
        open.add(timed([&] { table.open(); }));
    }
    std::printf("%-52s median %8.1f ms  max %8.1f ms\n", "  of which TablaProveedores.open()",
                open.median(), open.max());
}

void reportOpen(const char* what, const ConnectionSettings& settings) {
    Figures open, cpu;
    for (int i = 0; i < 7; ++i) {
        double ms = 0, cpuMs = 0;
        openWindow(settings, &ms, &cpuMs);
        open.add(ms);
        cpu.add(cpuMs);
    }
    std::printf("%-52s median %8.1f ms  max %8.1f ms\n", what, open.median(), open.max());
    std::printf("%-52s median %8.1f ms  max %8.1f ms\n", "  processor time of the UI thread",
                cpu.median(), cpu.max());
    reportSupplierTable(settings);
}

// Types text into box a key at a time; after each key the whole window is
// repainted, or with onlyWhatChanged Qt repaints what the key changed, as
// it does for a user.
void typeAndMeasure(TForm1& form, QLineEdit* box, const QString& text, const char* what,
                    bool onlyWhatChanged = false) {
    box->clear();
    settle(form);
    Figures keys;
    for (QChar c : text)
        keys.add(timed([&] {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(box, &press);
            if (onlyWhatChanged)
                QCoreApplication::processEvents();
            else
                settle(form);
        }));
    std::printf("%-52s median %8.2f ms  max %8.2f ms  (%d keys)\n", what, keys.median(), keys.max(),
                int(keys.ms.size()));
}

void clickAndMeasure(TForm1& form, QToolButton* button, const char* what) {
    Figures clicks;
    for (int i = 0; i < 20; ++i)
        clicks.add(timed([&] {
            button->click();
            settle(form);
        }));
    std::printf("%-52s median %8.2f ms  max %8.2f ms\n", what, clicks.median(), clicks.max());
}

void responsiveness(const ConnectionSettings& settings) {
    double ms = 0;
    std::unique_ptr<TForm1> form = openWindow(settings, &ms);
    TFmensaje fmensaje;
    form->setWaitWindow(&fmensaje);
    std::printf("suppliers in the list: %d\n", form->tablaProveedores().recordCount());

    // Every figure below repaints the whole window after its action, more than
    // a keystroke makes Qt repaint; this is that repaint alone.
    Figures repaints;
    for (int i = 0; i < 20; ++i) repaints.add(timed([&] { settle(*form); }));
    std::printf("%-52s median %8.2f ms  max %8.2f ms\n", "whole-window repaint alone",
                repaints.median(), repaints.max());

    const QString name = QStringLiteral("Distribuidora del Pacífico 9");
    Figures lookups;
    for (qsizetype n = 1; n <= name.size(); ++n)
        lookups.add(timed([&] { form->tablaProveedores().findName(name.left(n)); }));
    std::printf("%-52s median %8.3f ms  max %8.3f ms\n", "name lookup alone, per prefix",
                lookups.median(), lookups.max());

    typeAndMeasure(*form, form->BusProveedor, name, "name search, per keystroke incl. repaint");
    typeAndMeasure(*form, form->BusProveedor, name, "name search, per keystroke, Qt's own repaint",
                   true);
    typeAndMeasure(*form, form->BusProveedor, QStringLiteral("Zzzz"),
                   "name search without match, per key");
    typeAndMeasure(*form, form->Edit1, QStringLiteral("B049998"),
                   "code search, per keystroke incl. repaint");
    clickAndMeasure(*form, form->SBUltimo, "SBUltimo click incl. repaint");
    clickAndMeasure(*form, form->SBPrimero, "SBPrimero click incl. repaint");
    clickAndMeasure(*form, form->SBSiguiente, "SBSiguiente click incl. repaint");

    Figures pages;
    QScrollBar* bar = form->DBGrid1->verticalScrollBar();
    for (int i = 0; i < 50; ++i)
        pages.add(timed([&] {
            bar->setValue(bar->value() + bar->pageStep() * 97);
            settle(*form);
        }));
    std::printf("%-52s median %8.2f ms  max %8.2f ms\n", "grid scroll jump incl. repaint",
                pages.median(), pages.max());

    form->Edit1->setText(QString::fromLatin1(demo::SupplierWithManyDocuments));
    const double build = timed([&] {
        form->Consultar->click();
        settle(*form);
    });
    std::printf("%-52s %8.1f ms\n", "Consultar on the supplier with 10,400 documents", build);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    initFormatSettings();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qev"));

    // Company files may be kept between runs; the movements file always starts empty.
    QTemporaryDir temporary;
    const QStringList arguments = QApplication::arguments();
    const int keep = int(arguments.indexOf(QStringLiteral("--keep")));
    const QString dir =
        keep > 0 && keep + 1 < arguments.size() ? arguments[keep + 1] : temporary.path();

    const QString demoFile = dir + QStringLiteral("/demo.sqlite");
    const double generate = timed([&] { DemoCompany::ensureSqliteFile(demoFile); });
    std::printf("%-52s %8.1f ms\n", "demo company file (first run only)", generate);
    reportOpen("window open on the demo company (create+show+paint)",
               sqliteCompany(demoFile, temporary.filePath(QStringLiteral("data"))));

    const QString bigFile = dir + QStringLiteral("/partners50k.sqlite");
    if (!QFile::exists(bigFile)) {
        QFile::copy(demoFile, bigFile);
        QFile(bigFile).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        addSuppliers(bigFile, 50000);
    }
    const ConnectionSettings big =
        sqliteCompany(bigFile, temporary.filePath(QStringLiteral("data50k")));
    reportOpen("window open with 50,000 more business partners", big);
    responsiveness(big);
    return 0;
}
