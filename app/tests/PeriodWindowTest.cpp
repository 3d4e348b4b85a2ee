// The window's fields for the period and open items: what Consultar builds
// with them, the ageing under the grid, what they refuse, and the print and
// mail of such a statement.
#include "TestWindow.h"

#include "app/AgeingPanel.h"
#include "data/TablaSql.h"

#include "testing/ProcessRun.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace qev;

namespace {

class PeriodWindowTest : public WindowOverTestCompany {
  protected:
    void consultarWith(const QString& code, const QString& desde, const QString& hasta,
                       bool openItems = false) {
        if (form->inStatementMode()) QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
        form->CBAbiertas->setChecked(openItems);
        form->EditDesde->setText(desde);
        form->EditHasta->setText(hasta);
        consultar(code);
    }
    // The grid's rows as "reference|charge|credit|balance".
    QStringList gridRows() const {
        const QAbstractItemModel* model = form->DBGrid3->model();
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c : {8, 4, 5, 6}) cells << model->index(r, c).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }
};

TEST_F(PeriodWindowTest, FieldsSitBesideTheSearchBoxesEmptyAndInTabOrder) {
    EXPECT_EQ(form->size(), QSize(683, 387));
    for (QWidget* field : {static_cast<QWidget*>(form->EditDesde),
                           static_cast<QWidget*>(form->EditHasta),
                           static_cast<QWidget*>(form->CBAbiertas)}) {
        EXPECT_EQ(field->parentWidget(), form->Panel2) << field->objectName().toStdString();
        EXPECT_TRUE(field->isVisible());
        for (QWidget* other : {static_cast<QWidget*>(form->Edit1),
                               static_cast<QWidget*>(form->BusProveedor),
                               static_cast<QWidget*>(form->Consultar),
                               static_cast<QWidget*>(form->DBGrid1)})
            EXPECT_FALSE(field->geometry().intersects(other->geometry()))
                << field->objectName().toStdString() << " over " << other->objectName().toStdString();
    }
    EXPECT_TRUE(form->EditDesde->text().isEmpty() && form->EditHasta->text().isEmpty());
    EXPECT_FALSE(form->CBAbiertas->isChecked());
    EXPECT_EQ(form->CBAbiertas->text(), QStringLiteral("Solo partidas abiertas"));
    EXPECT_TRUE(form->statementOptions().isWholeHistory());
    // Tab goes on from the code search to the period fields.
    const auto nextTabStop = [](QWidget* w) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
        return w;
    };
    EXPECT_EQ(nextTabStop(form->Edit1), form->EditDesde);
    EXPECT_EQ(nextTabStop(form->EditDesde), form->EditHasta);
    EXPECT_EQ(nextTabStop(form->EditHasta), form->CBAbiertas);
}

TEST_F(PeriodWindowTest, ConsultarBuildsThePeriodOrTheOpenItemsWithTheirAgeing) {
    const QRect fullGrid = form->DBGrid3->geometry();
    consultarWith(QStringLiteral("P0004"), QStringLiteral("10/01/2016"), QStringLiteral("31-1-2016"));
    ASSERT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    EXPECT_EQ(gridRows(), (QStringList{"SALDO ANTERIOR|$1,000.00|$0.00|$1,000.00",
                                       "NC-601||$100.00|$900.00", "TR-701||$400.00|$500.00"}));
    EXPECT_EQ(form->LabelPeriodo->text(), QStringLiteral("PERIODO: 10/ENE/2016 AL 31/ENE/2016"));
    EXPECT_FALSE(form->PanelAntiguedad->isVisible());

    // Open items as of 31 March 2016: nothing of P0004 has been applied.
    consultarWith(QStringLiteral("P0004"), {}, QStringLiteral("31/03/2016"), true);
    EXPECT_FALSE(form->EditDesde->isEnabled());
    EXPECT_EQ(gridRows().size(), 4);
    EXPECT_EQ(form->LabelPeriodo->text(), QStringLiteral("PARTIDAS ABIERTAS AL 31/MAR/2016"));
    ASSERT_TRUE(form->PanelAntiguedad->isVisible());
    EXPECT_TRUE(form->PanelAntiguedad->title().contains(QStringLiteral("31/MAR/2016")));
    EXPECT_EQ(form->PanelAntiguedad->captions(),
              (QStringList{"Corriente", "1-30", "31-60", "61-90", "Más de 90", "Total"}));
    EXPECT_EQ(form->PanelAntiguedad->amountTexts(),
              (QStringList{"$0.00", "$50.00", "$1,000.00", "-$500.00", "$0.00", "$550.00"}));
    // The grid makes room for it inside the page.
    EXPECT_LT(form->DBGrid3->geometry().bottom(), form->PanelAntiguedad->geometry().top());
    EXPECT_LE(form->PanelAntiguedad->geometry().bottom(), fullGrid.bottom());

    // Empty fields again: the whole history, as before.
    consultarWith(QStringLiteral("P0004"), {}, {});
    EXPECT_TRUE(form->EditDesde->isEnabled());
    EXPECT_EQ(gridRows().size(), 4);
    EXPECT_EQ(form->LabelPeriodo->text(), QString());
    EXPECT_FALSE(form->PanelAntiguedad->isVisible());
    EXPECT_EQ(form->DBGrid3->geometry(), fullGrid);
}

TEST_F(PeriodWindowTest, DatesThatAreNotDatesAreRefusedBeforeAnythingChanges) {
    consultarWith(QStringLiteral("P0006"), {}, {});
    QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
    const int rows = form->DBGrid3->model()->rowCount();
    const struct {
        const char* desde;
        const char* hasta;
        const char* box;
    } cases[] = {
        {"31/02/2016", "", "La fecha \"31/02/2016\" de Desde no es válida: escríbala como "
                           "dd/mm/aaaa, por ejemplo 31/03/2016."},
        {"", "marzo", "La fecha \"marzo\" de Hasta no es válida: escríbala como dd/mm/aaaa, por "
                      "ejemplo 31/03/2016."},
        {"01/02/2016", "31/01/2016",
         "La fecha inicial (01/FEB/2016) es posterior a la final (31/ENE/2016)."},
    };
    for (const auto& c : cases) {
        boxes.clear();
        consultarWith(QStringLiteral("P0004"), QString::fromUtf8(c.desde), QString::fromUtf8(c.hasta));
        EXPECT_EQ(boxes, QStringList{QStringLiteral("qev|") + QString::fromUtf8(c.box)});
        EXPECT_FALSE(form->inStatementMode());
        EXPECT_EQ(form->DBGrid3->model()->rowCount(), rows);  // P0006's statement still there
    }
}

QString pdfText(const QString& path) {
    return qev::testing::runProcess(QStringLiteral("pdftotext"), {"-layout", path, "-"}).out;
}

TEST_F(PeriodWindowTest, ThePrintButtonPrintsTheStatementShown) {
    consultarWith(QStringLiteral("P0004"), QStringLiteral("10/01/2016"), QStringLiteral("31/01/2016"));
    form->SBImprimirClick();
    const QString path = QDir(dataDir).filePath(QStringLiteral("QEV_P0004.pdf"));
    ASSERT_EQ(opened, QStringList{path});
    QString text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("PERIODO: 10/ENE/2016 AL 31/ENE/2016")));
    EXPECT_TRUE(text.contains(QStringLiteral("SALDO ANTERIOR")));
    EXPECT_FALSE(text.contains(QStringLiteral("ANTIGÜEDAD")));

    consultarWith(QStringLiteral("P0004"), {}, QStringLiteral("31/03/2016"), true);
    form->SBImprimirClick();
    text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("PARTIDAS ABIERTAS AL 31/MAR/2016")));
    EXPECT_TRUE(text.contains(QStringLiteral("ANTIGÜEDAD DE SALDOS AL 31/MAR/2016")));

    consultarWith(QStringLiteral("P0004"), {}, {});
    form->SBImprimirClick();
    text = pdfText(path);
    EXPECT_FALSE(text.contains(QStringLiteral("PERIODO")) || text.contains(QStringLiteral("ANTIGÜEDAD")));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
}

}  // namespace
