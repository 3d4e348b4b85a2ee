// The window's "Exportar" button: the statement on screen written where the
// save dialog says, read back by openpyxl and Python's csv module.
#include "ExportFiles.h"
#include "TestWindow.h"
#include "app/ExportDialog.h"
#include "app/StatementExporter.h"

#include "testing/QtPrinters.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qev;
using namespace exportfiles;
using qev::testing::readSpreadsheet;

namespace {

class ExportButtonTest : public WindowOverTestCompany {
  protected:
    void SetUp() override {
        WindowOverTestCompany::SetUp();
        form->setExportDialog([this](QWidget*, const QString& suggested) {
            suggestions << suggested;
            return choice;
        });
    }

    std::optional<ExportChoice> choice;  // what the dialog answers
    QStringList suggestions;
};

}  // namespace

TEST_F(ExportButtonTest, ShownInStatementModeOnly) {
    EXPECT_FALSE(form->SBExportar->isVisible());
    consultar(QStringLiteral("P0004"));
    EXPECT_TRUE(form->SBExportar->isVisible());
    EXPECT_EQ(form->SBExportar->toolTip(), QStringLiteral("Exportar"));
    EXPECT_FALSE(form->SBExportar->icon().isNull());
    // In the bar, clear of every other button shown with it.
    for (const QToolButton* other : {form->SBListaClientes, form->SBCorreo, form->SBImprimir,
                                     form->SBSalir})
        EXPECT_FALSE(form->SBExportar->geometry().intersects(other->geometry()))
            << other->objectName().toStdString();
    EXPECT_FALSE(form->SBExportar->geometry().intersects(form->LabelCorreo->geometry()));
    EXPECT_TRUE(form->Panel1->rect().contains(form->SBExportar->geometry()));
    QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
    EXPECT_FALSE(form->SBExportar->isVisible());
}

TEST_F(ExportButtonTest, WritesTheStatementOnScreenWhereTheDialogSays) {
    consultar(QStringLiteral("P0004"));
    const QString xlsx = dir.filePath(QStringLiteral("elegida/estado de cuenta.xlsx"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(xlsx).absolutePath()));
    choice = ExportChoice{xlsx, SheetFormat::Xlsx};
    QTest::mouseClick(form->SBExportar, Qt::LeftButton);

    EXPECT_EQ(suggestions, QStringList{QDir(dataDir).filePath(QStringLiteral("QEV_P0004.xlsx"))});
    EXPECT_EQ(boxes, QStringList{QStringLiteral("qev|Estado de cuenta exportado a \"%1\".").arg(xlsx)});
    const QJsonObject book = readSpreadsheet(xlsx);
    const QJsonObject cells = cellsOf(book);
    EXPECT_EQ(cells.value("B1").toObject().value("value").toString(), QStringLiteral("P0004"));
    EXPECT_EQ(cells.value("B2").toObject().value("value").toString(),
              QStringLiteral("Abarrotes La Estrella"));
    QStringList rows;
    for (int row = 5; row < 5 + 4; ++row) rows << sheetRow(cells, row);
    EXPECT_EQ(rows, MovementsOfP0004);
    EXPECT_TRUE(cells.value("A9").isUndefined());

    // The next export starts where the last one went, in its format; a name
    // without a known suffix takes the format the dialog gives.
    boxes.clear();
    const QString csv = dir.filePath(QStringLiteral("elegida/estado"));
    choice = ExportChoice{csv, SheetFormat::Csv};
    form->SBExportarClick();
    EXPECT_EQ(suggestions.last(), QFileInfo(xlsx).absolutePath() + QStringLiteral("/QEV_P0004.xlsx"));
    EXPECT_EQ(csvRecords(csv), QStringList{Titles} + MovementsOfP0004);
    form->SBExportarClick();
    EXPECT_EQ(suggestions.last(), QFileInfo(xlsx).absolutePath() + QStringLiteral("/QEV_P0004.csv"));
    EXPECT_EQ(boxes.size(), 2) << boxes.join('\n').toStdString();
}

TEST_F(ExportButtonTest, ACancelWritesNothingAndAnErrorShowsTheErrorBox) {
    consultar(QStringLiteral("P0006"));
    choice.reset();
    form->SBExportarClick();
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(QDir(dataDir).entryList({"*.xlsx", "*.csv"}, QDir::Files), QStringList());

    const QString folder = dir.filePath(QStringLiteral("una carpeta.csv"));
    ASSERT_TRUE(QDir().mkpath(folder));
    choice = ExportChoice{folder, SheetFormat::Csv};
    form->SBExportarClick();
    EXPECT_EQ(boxes, QStringList{QStringLiteral("qev|No se puede escribir \"%1\": es una carpeta.")
                                     .arg(folder)});
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // The window goes on working.
    boxes.clear();
    const QString file = dir.filePath(QStringLiteral("P0006.csv"));
    choice = ExportChoice{file, SheetFormat::Csv};
    form->SBExportarClick();
    EXPECT_EQ(csvRecords(file),
              (QStringList{Titles,
                           QStringLiteral("1|2016-03-01|FAC|504|100.00||100.00|2016-03-31|F-504"),
                           QStringLiteral("2|2016-03-15|PAGO|702||100.00|0.00|2016-03-15|TR-702")}));
}

// The save dialog itself, driven as a user would: the name's suffix, or else
// the chosen filter, gives the format; the filter's suffix is added to a bare
// name.
TEST(ExportDialog, TheNameOrElseTheFilterChoosesTheFormat) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* typed;
        int filter;  // 0 Excel, 1 CSV
        const char* file;
        SheetFormat format;
    } cases[] = {
        {"estado", 0, "estado.xlsx", SheetFormat::Xlsx},
        {"estado", 1, "estado.csv", SheetFormat::Csv},
        {"estado.csv", 0, "estado.csv", SheetFormat::Csv},  // the name wins
        {"estado.XLSX", 1, "estado.XLSX", SheetFormat::Xlsx},
        {"estado.v2", 1, "estado.v2", SheetFormat::Csv},  // an unknown suffix: the filter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QTimer::singleShot(0, [&c] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_TRUE(types);
            // What the combo box tells when the user picks an entry.
            types->setCurrentIndex(c.filter);
            emit types->activated(c.filter);
            emit types->textActivated(types->itemText(c.filter));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_TRUE(name);
            name->setText(QLatin1String(c.typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const std::optional<ExportChoice> choice =
            askExportPath(nullptr, dir.filePath(QStringLiteral("QEV_P0004.xlsx")));
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->path, dir.filePath(QLatin1String(c.file)));
        EXPECT_EQ(choice->format, c.format);
    }
    // Cancelled: nothing.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_FALSE(askExportPath(nullptr, dir.filePath(QStringLiteral("QEV_P0004.csv"))));
}

// The statement on screen is what is exported: for open items the period line
// and the ageing sheet, for the whole history neither.
TEST_F(ExportButtonTest, OpenItemsOnScreenBringTheirAgeing) {
    form->CBAbiertas->setChecked(true);
    form->EditHasta->setText(QStringLiteral("31/03/2016"));
    consultar(QStringLiteral("P0004"));
    const QString path = dir.filePath(QStringLiteral("abiertas.xlsx"));
    choice = ExportChoice{path, SheetFormat::Xlsx};
    form->SBExportarClick();
    QJsonObject book = readSpreadsheet(path);
    EXPECT_EQ(cellsOf(book).value("A3").toObject().value("value").toString(),
              QStringLiteral("PARTIDAS ABIERTAS AL 31/MAR/2016"));
    const QJsonObject ageing = qev::testing::sheetNamed(book, QStringLiteral("Antigüedad"))
                                   .value(QLatin1String("cells"))
                                   .toObject();
    // Invoices of 1000 (due 04/FEB) and 50 (due 02/MAR); a credit note of 100
    // and a payment of 400, both due 20/ENE, not applied.
    const std::pair<const char*, double> buckets[] = {
        {"B6", 0}, {"B7", 50}, {"B8", 1000}, {"B9", -500}, {"B10", 0}, {"B11", 550}};
    for (const auto& [cell, amount] : buckets)
        EXPECT_EQ(ageing.value(QLatin1String(cell)).toObject().value("value").toDouble(), amount)
            << cell;

    QTest::mouseClick(form->SBListaClientes, Qt::LeftButton);
    form->CBAbiertas->setChecked(false);
    form->EditHasta->clear();
    consultar(QStringLiteral("P0004"));
    form->SBExportarClick();
    book = readSpreadsheet(path);
    EXPECT_EQ(book.value(QLatin1String("sheets")).toArray().size(), 1);
    EXPECT_FALSE(cellsOf(book).contains(QStringLiteral("A3")));
}
