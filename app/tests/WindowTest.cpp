// Drives the real statement window over a small company whose suppliers and
// documents are known (see TestCompany.h).
#include "TestCompany.h"
#include "app/DataControls.h"
#include "app/ErrorBox.h"
#include "app/TFmensaje.h"
#include "app/TForm1.h"
#include "data/TablaMovtos.h"
#include "data/TablaProveedores.h"
#include "data/TablaSql.h"

#include "testing/QtPrinters.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace qev;

namespace {

// Remembers whether a widget was ever shown.
class ShowWatcher : public QObject {
  public:
    bool shown = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) shown = true;
        return false;
    }
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath(QStringLiteral("company.sqlite"));
        testcompany::create(database);
        previousBox =
            setErrorBoxFunction([this](QWidget*, const QString& title, const QString& text) {
                boxes << title + u'|' + text;
            });
        form = std::make_unique<TForm1>(
            testcompany::settings(database, dir.filePath(QStringLiteral("data"))));
        fmensaje = std::make_unique<TFmensaje>();
        form->setWaitWindow(fmensaje.get());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void TearDown() override {
        form.reset();
        fmensaje.reset();
        setErrorBoxFunction(previousBox);
    }

    QString currentCode() const {
        return form->tablaProveedores().value(QStringLiteral("CardCode")).toString();
    }
    int gridRow() const { return form->DBGrid1->currentIndex().row(); }

    // Types the text key by key and returns the current supplier after each key.
    QStringList typeAndWatch(QLineEdit* box, const QString& text) {
        QStringList codes;
        for (QChar c : text) {
            QTest::keyClicks(box, QString(c));
            codes << currentCode();
        }
        return codes;
    }

    void goToSupplier(const QString& code) {
        form->Edit1->setText(code);
        ASSERT_EQ(currentCode(), code);
    }

    bool listMode() const {
        return form->Panel2->isVisible() && !form->PageControl1->isVisible() &&
               form->SBPrimero->isVisible() && form->SBAnterior->isVisible() &&
               form->SBSiguiente->isVisible() && form->SBUltimo->isVisible() &&
               !form->SBListaClientes->isVisible() && !form->SBImprimir->isVisible() &&
               form->SBSalir->isVisible();
    }
    bool statementMode() const {
        return !form->Panel2->isVisible() && form->PageControl1->isVisible() &&
               form->PageControl1->currentWidget() == form->TabSheet2 &&
               !form->SBPrimero->isVisible() && !form->SBUltimo->isVisible() &&
               form->SBListaClientes->isVisible() && form->SBImprimir->isVisible() &&
               form->SBSalir->isVisible();
    }

    // The movements grid as the user reads it: one "a|b|c" line per row.
    QStringList movementRows() const {
        const QAbstractItemModel* model = form->DBGrid3->model();
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->index(r, c).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }

    QTemporaryDir dir;
    QString database;
    QStringList boxes;
    ErrorBoxFunction previousBox;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFmensaje> fmensaje;
};

const QStringList StatementOfP0004 = {
    // #, Fecha, Docto., Folio, Cargo, Abono, Saldo, Vencimiento, Referencia
    QStringLiteral("1|05/ENE/2016|FAC|501|$1,000.00||$1,000.00|04/FEB/2016|F-501"),
    // Same day: the credit note (total 100) comes before the payment (total 400).
    QStringLiteral("3|20/ENE/2016|NCRE|601||$100.00|$900.00|20/ENE/2016|NC-601"),
    QStringLiteral("4|20/ENE/2016|PAGO|701||$400.00|$500.00|20/ENE/2016|TR-701"),
    QStringLiteral("2|01/FEB/2016|FAC|502|$50.00||$550.00|02/MAR/2016|F-502"),
};

}  // namespace

TEST_F(WindowTest, StartsInListModeOnTheFirstSupplierWithFocusInTheNameSearch) {
    EXPECT_TRUE(listMode());
    EXPECT_EQ(form->focusWidget(), form->BusProveedor);
    EXPECT_EQ(currentCode(), QStringLiteral("P0001"));
    EXPECT_EQ(gridRow(), 0);
    // Suppliers only, in code order.
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), 7);
    EXPECT_EQ(form->DBGrid1->model()->index(6, 0).data(), QVariant(QStringLiteral("P0010")));
    EXPECT_EQ(form->DBGrid1->model()->headerData(1, Qt::Horizontal),
              QVariant(QStringLiteral("Nombre del Proveedor")));
    EXPECT_EQ(form->findChild<DBText*>(QStringLiteral("DBText2"))->text(),
              QStringLiteral("Zapatería Núñez"));
    // No second telephone: nothing between the first one and the fax.
    EXPECT_EQ(form->findChild<DBText*>(QStringLiteral("DBText10"))->text(), QString());
}

TEST_F(WindowTest, WindowFrameControlsAndTabOrderAreAsDesigned) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Estados de Cuenta de Proveedores"));
    EXPECT_EQ(form->size(), QSize(683, 387));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(234, 112, 114));

    struct Expected {
        const char* name;
        QRect geometry;
        const char* hint;
    };
    const Expected buttons[] = {
        {"SBPrimero", {5, 3, 57, 57}, "Primer registro"},
        {"SBAnterior", {61, 3, 57, 57}, "Registro anterior"},
        {"SBSiguiente", {117, 3, 57, 57}, "Registro siguiente"},
        {"SBUltimo", {173, 3, 57, 57}, "Ultimo registro"},
        {"SBListaClientes", {249, 3, 57, 57}, "Lista de Proveedores"},
        {"SBImprimir", {511, 4, 57, 57}, "Imprimir Estado de Cuenta"},
        {"SBSalir", {603, 4, 57, 57}, "Salir"},
    };
    for (const Expected& e : buttons) {
        const auto* button = form->findChild<QToolButton*>(QLatin1String(e.name));
        ASSERT_TRUE(button) << e.name;
        EXPECT_EQ(button->geometry(), e.geometry) << e.name;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(e.hint)) << e.name;
        EXPECT_FALSE(button->icon().isNull()) << e.name;
    }
    EXPECT_EQ(form->Panel2->geometry(), QRect(8, 80, 667, 299));
    EXPECT_EQ(form->PageControl1->geometry(), form->Panel2->geometry());
    EXPECT_EQ(form->BusProveedor->geometry(), QRect(97, 29, 482, 21));
    EXPECT_EQ(form->Consultar->text(), QStringLiteral("Consultar"));
    EXPECT_TRUE(form->Consultar->isDefault());
    EXPECT_EQ(form->PageControl1->tabText(0), QStringLiteral("Generales del Proveedor"));
    EXPECT_EQ(form->PageControl1->tabText(1), QStringLiteral("Detalle de Movimientos"));

    // Tab order: BusProveedor, Consultar, DBGrid1, Edit1.
    QList<QWidget*> order;
    QWidget* w = form->BusProveedor;
    for (int i = 0; i < 4; ++i) {
        order << w;
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
    }
    EXPECT_EQ(order,
              (QList<QWidget*>{form->BusProveedor, form->Consultar, form->DBGrid1, form->Edit1}));
}

TEST_F(WindowTest, NameSearchMovesOnEveryKeystroke) {
    // "A" finds Aaron, "AB" Abarrotes, "ABAS" Abastos; the grid and the fields follow.
    EXPECT_EQ(typeAndWatch(form->BusProveedor, QStringLiteral("ABAS")),
              (QStringList{"P0006", "P0004", "P0004", "P0002"}));
    EXPECT_EQ(gridRow(), 1);
    EXPECT_EQ(form->DBText1->text(), QStringLiteral("P0002"));
    EXPECT_EQ(form->Edit1->text(), QString());  // the boxes are independent
}

TEST_F(WindowTest, CodeSearchNeedsTheWholeCode) {
    goToSupplier(QStringLiteral("P0003"));
    form->Edit1->clear();
    // No code is "P", "P0", "P00" or "P001": nothing moves until "P0010".
    EXPECT_EQ(typeAndWatch(form->Edit1, QStringLiteral("P0010")),
              (QStringList{"P0003", "P0003", "P0003", "P0003", "P0010"}));
    EXPECT_EQ(gridRow(), 6);
    form->Edit1->clear();
    typeAndWatch(form->Edit1, QStringLiteral("p0004"));  // letter case ignored
    EXPECT_EQ(currentCode(), QStringLiteral("P0004"));
}

TEST_F(WindowTest, NoMatchAndAnEmptiedBoxLeaveTheListWhereItWas) {
    typeAndWatch(form->BusProveedor, QStringLiteral("Ab"));
    ASSERT_EQ(currentCode(), QStringLiteral("P0004"));
    EXPECT_EQ(typeAndWatch(form->BusProveedor, QStringLiteral("x")), QStringList{"P0004"});
    // Emptied at once (a key at a time would search "A" on the way).
    QTest::keyClick(form->BusProveedor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->BusProveedor, Qt::Key_Delete);
    EXPECT_EQ(form->BusProveedor->text(), QString());
    EXPECT_EQ(currentCode(), QStringLiteral("P0004"));
    EXPECT_EQ(gridRow(), 3);
}

TEST_F(WindowTest, MovingButtonsStopAtBothEnds) {
    const struct {
        QToolButton* button;
        const char* expected;
    } steps[] = {
        {form->SBAnterior, "P0001"},  {form->SBSiguiente, "P0002"}, {form->SBUltimo, "P0010"},
        {form->SBSiguiente, "P0010"}, {form->SBAnterior, "P0006"},  {form->SBPrimero, "P0001"},
    };
    for (const auto& step : steps) {
        QTest::mouseClick(step.button, Qt::LeftButton);
        EXPECT_EQ(currentCode(), QLatin1String(step.expected))
            << step.button->objectName().toStdString();
        EXPECT_EQ(gridRow(), form->tablaProveedores().position());
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
}

TEST_F(WindowTest, ClickingAGridRowMakesItTheCurrentSupplier) {
    const QModelIndex row = form->DBGrid1->model()->index(4, 1);
    QTest::mouseClick(form->DBGrid1->viewport(), Qt::LeftButton, {},
                      form->DBGrid1->visualRect(row).center());
    EXPECT_EQ(currentCode(), QStringLiteral("P0005"));
    EXPECT_EQ(form->findChild<DBText*>(QStringLiteral("DBText2"))->text(),
              QStringLiteral("Bodega Azul"));
}

TEST_F(WindowTest, ConsultarRunsFromTheButtonEnterAndADoubleClick) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"button", [&] { QTest::mouseClick(form->Consultar, Qt::LeftButton); }},
        {"Enter in the name box", [&] { QTest::keyClick(form->BusProveedor, Qt::Key_Return); }},
        {"Enter in the code box", [&] { QTest::keyClick(form->Edit1, Qt::Key_Enter); }},
        {"double click",
         [&] {
             const QRect cell = form->DBGrid1->visualRect(form->DBGrid1->model()->index(3, 1));
             // A real double click starts with a click.
             QTest::mouseClick(form->DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
             QTest::mouseDClick(form->DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
         }},
    };
    for (const auto& [way, run] : ways) {
        form->SBListaClientes->click();
        goToSupplier(QStringLiteral("P0004"));
        form->tablaMovtos().empty();
        form->tablaSql().close();
        form->tablaSql().open();
        ASSERT_EQ(form->DBGrid3->model()->rowCount(), 0) << way;
        run();
        EXPECT_TRUE(statementMode()) << way;
        EXPECT_EQ(form->DBGrid3->model()->rowCount(), 4) << way;
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
}

TEST_F(WindowTest, StatementShowsTheMovementsInStatementOrderWithBalances) {
    ShowWatcher watcher;
    fmensaje->installEventFilter(&watcher);
    goToSupplier(QStringLiteral("P0004"));
    form->ConsultarClick();
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_TRUE(statementMode());
    EXPECT_EQ(movementRows(), StatementOfP0004);
    EXPECT_EQ(form->DBText14->text(), QStringLiteral("P0004"));
    EXPECT_EQ(form->DBText15->text(), QStringLiteral("Abarrotes La Estrella"));
    // The wait window came up with its message and is gone again.
    EXPECT_TRUE(watcher.shown);
    EXPECT_FALSE(fmensaje->isVisible());
    EXPECT_EQ(fmensaje->Label1()->text(),
              QStringLiteral("Recolectando datos, favor de esperar..."));
    // Amounts right-aligned, everything else as the grid has it.
    const QAbstractItemModel* model = form->DBGrid3->model();
    for (int column : {4, 5, 6})
        EXPECT_EQ(Qt::Alignment(model->index(0, column).data(Qt::TextAlignmentRole).toInt()) &
                      Qt::AlignRight,
                  Qt::AlignRight);
    EXPECT_FALSE(model->index(0, 1).data(Qt::TextAlignmentRole).isValid());
}

TEST_F(WindowTest, BackToTheListAtTheSameSupplierThenASecondSupplierRebuilds) {
    goToSupplier(QStringLiteral("P0004"));
    form->ConsultarClick();
    ASSERT_TRUE(statementMode());
    QWidget* focusBefore = form->focusWidget();

    QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
    EXPECT_TRUE(listMode());
    EXPECT_EQ(currentCode(), QStringLiteral("P0004"));
    EXPECT_EQ(gridRow(), 3);
    EXPECT_EQ(form->focusWidget(), focusBefore);

    form->BusProveedor->clear();
    typeAndWatch(form->BusProveedor, QStringLiteral("Aa"));
    ASSERT_EQ(currentCode(), QStringLiteral("P0006"));
    QTest::keyClick(form->BusProveedor, Qt::Key_Return);
    EXPECT_TRUE(statementMode());
    EXPECT_EQ(movementRows(),
              (QStringList{"1|01/MAR/2016|FAC|504|$100.00||$100.00|31/MAR/2016|F-504",
                           "2|15/MAR/2016|PAGO|702||$100.00|$0.00|15/MAR/2016|TR-702"}));
    EXPECT_EQ(form->DBText14->text(), QStringLiteral("P0006"));
}

TEST_F(WindowTest, SupplierWithoutDocumentsShowsAnEmptyGridWithItsTitles) {
    goToSupplier(QStringLiteral("P0005"));
    form->ConsultarClick();
    EXPECT_TRUE(statementMode());
    EXPECT_EQ(form->DBGrid3->model()->rowCount(), 0);
    QStringList titles;
    for (int c = 0; c < form->DBGrid3->model()->columnCount(); ++c)
        titles << form->DBGrid3->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"#", "Fecha", "Docto.", "Folio", "Cargo", "Abono", "Saldo",
                                   "Vencimiento", "Referencia"}));
    EXPECT_EQ(form->DBGrid3->columnWidth(0), 28);
}

TEST_F(WindowTest, HandlerErrorShowsItsBoxAndTheNextBuildWorks) {
    goToSupplier(QStringLiteral("P0004"));
    testcompany::execute(database, QStringLiteral("ALTER TABLE OPCH RENAME TO OPCH_AWAY"));
    form->ConsultarClick();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("qev|"))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].endsWith(u'.')) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("opch"), Qt::CaseInsensitive))
        << boxes[0].toStdString();
    // The failure came in the first pass: statement buttons, no pages yet, no wait window.
    EXPECT_TRUE(form->SBListaClientes->isVisible());
    EXPECT_FALSE(form->Panel2->isVisible());
    EXPECT_FALSE(form->PageControl1->isVisible());
    EXPECT_FALSE(fmensaje->isVisible());

    testcompany::execute(database, QStringLiteral("ALTER TABLE OPCH_AWAY RENAME TO OPCH"));
    QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
    QTest::mouseClick(form->Consultar, Qt::LeftButton);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(statementMode());
    EXPECT_EQ(movementRows(), StatementOfP0004);
}

TEST_F(WindowTest, PrintButtonRunsThePrintActionAndReportsItsError) {
    goToSupplier(QStringLiteral("P0004"));
    form->ConsultarClick();
    int printed = 0;
    form->setPrintAction([&] {
        ++printed;
        throw Error(QStringLiteral("Cannot create file \"x.pdf\""));
    });
    QTest::mouseClick(form->SBImprimir, Qt::LeftButton);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(boxes, QStringList{"qev|Cannot create file \"x.pdf\"."});
    EXPECT_TRUE(statementMode());
}

TEST_F(WindowTest, SalirAndTheCloseBoxEndTheProgram) {
    for (bool viaButton : {true, false}) {
        form->show();
        fmensaje->show();  // even a wait window left up must not keep the program running
        QTimer::singleShot(0, form.get(), [&] {
            if (viaButton)
                QTest::mouseClick(form->SBSalir, Qt::LeftButton);
            else
                form->close();
        });
        // Should the event loop go on, give up after a while with another code.
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
        EXPECT_EQ(QApplication::exec(), 0) << (viaButton ? "SBSalir" : "close box");
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(fmensaje->isVisible());
    }
}
