#pragma once

#include "app/ExportDialog.h"
#include "data/ConnectionSettings.h"
#include "statement/StatementOptions.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QToolButton;

namespace qev {

class AgeingPanel;
struct AgeingSummary;
class ConexionSAP;
class DBMemo;
class DBText;
class MovementsFile;
class RecordSetModel;
class StatementBuilder;
class StatementExporter;
class StatementPrinter;
class TfrxProgress;
class TFmensaje;
class TablaMovtos;
class TablaProveedores;
class TablaPuente;
class TablaSql;

// The statement window: the supplier list with its search boxes (list mode) and
// the supplier's general data and movements (statement mode), under one bar of
// picture buttons. Creating it opens the company database and the movements
// table; it throws qev::Error when either cannot be opened.
class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(const ConnectionSettings& settings, QWidget* parent = nullptr);
    ~TForm1() override;

    // The wait window shown while a statement is collected (created after this one).
    void setWaitWindow(TFmensaje* fmensaje) { fmensaje_ = fmensaje; }
    TFmensaje* waitWindow() const { return fmensaje_; }
    // What SBImprimir does: by default the statement PDF of the current supplier,
    // written in the data directory and opened (printStatement).
    void setPrintAction(std::function<void()> action) { printAction_ = std::move(action); }
    // The settings file whose [smtp] section SBCorreo sends with; read at every
    // click, so that a corrected file needs no restart.
    void setSettingsFile(const QString& path) { settingsFile_ = path; }
    // The report and PDF export behind SBImprimir (tests replace its opener).
    StatementPrinter& statementPrinter() const { return *printer_; }
    // The spreadsheet export behind SBExportar, and the dialog that asks where
    // it goes (askExportPath unless replaced).
    StatementExporter& statementExporter() const { return *exporter_; }
    void setExportDialog(ExportDialog dialog) { exportDialog_ = std::move(dialog); }

    // Where the movements file lives; the statement PDFs go there too.
    const ConnectionSettings& settings() const { return settings_; }
    TablaProveedores& tablaProveedores() const { return *tablaProveedores_; }
    TablaMovtos& tablaMovtos() const { return *tablaMovtos_; }
    TablaSql& tablaSql() const { return *tablaSql_; }
    ConexionSAP& conexionSAP() const { return *conexionSAP_; }
    // What opening the movements file has to tell the user; empty when nothing.
    QString movementsNotice() const;
    bool inStatementMode() const;
    // What the next Consultar covers, as the fields Desde, Hasta and the check
    // box say; throws qev::Error for a date that is not one or dates that do
    // not go together.
    StatementOptions statementOptions() const;
    // Fills the fields Desde, Hasta and the check box.
    void setStatementOptions(const StatementOptions& options);

    // Button bar.
    QFrame* Panel1;
    QToolButton* SBPrimero;
    QToolButton* SBAnterior;
    QToolButton* SBSiguiente;
    QToolButton* SBUltimo;
    QToolButton* SBListaClientes;
    QToolButton* SBImprimir;
    QToolButton* SBCorreo;
    QToolButton* SBExportar;
    QLabel* LabelCorreo;  // the address SBCorreo will send to
    QToolButton* SBSalir;
    // Supplier list.
    QFrame* Panel2;
    QLineEdit* Edit1;
    QLineEdit* BusProveedor;
    QPushButton* Consultar;
    QTableView* DBGrid1;
    // What the statement covers: empty dates, the whole history.
    QLineEdit* EditDesde;
    QLineEdit* EditHasta;
    QCheckBox* CBAbiertas;  // "Solo partidas abiertas"
    // Statement pages.
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    DBText* DBText1;
    DBMemo* DBMemo1;
    DBText* DBText14;
    DBText* DBText15;
    QTableView* DBGrid3;
    QLabel* LabelPeriodo;          // the period of the statement shown
    AgeingPanel* PanelAntiguedad;  // open items only: their ageing, under the grid

  public slots:
    void Edit1Change();
    void BusProveedorChange();
    void SBPrimeroClick();
    void SBAnteriorClick();
    void SBSiguienteClick();
    void SBUltimoClick();
    void SBListaClientesClick();
    void ConsultarClick();
    void SBImprimirClick();
    void SBCorreoClick();
    void SBExportarClick();
    void SBSalirClick();
    // "QEV_" + the code shown by DBText14 + ".pdf" in the data directory, opened.
    void printStatement();
    // The statement PDF of the current supplier written (not opened) and mailed
    // to its address; tells how it went in a box.
    void mailStatement();
    // The statement on screen written as a spreadsheet where the export dialog
    // says; tells where in a box.
    void exportStatement();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void openDataSources(const ConnectionSettings& settings);
    void createButtonBar();
    void createSupplierList();
    void createStatementFields();
    void createStatementPages();
    void createGeneralPage();
    void createMovementsPage();
    void bindDataSources();
    void FormShow();

    void setListMode();
    void setStatementMode();
    void showMovementsPage();
    void statementShown(const std::optional<AgeingSummary>& ageing);
    void showStatementOptions(const std::optional<AgeingSummary>& ageing);
    void closeWaitWindow();

    void supplierRowChanged();
    void showMailAddress();
    void gridRowChanged(int row);
    void searchQuietly(const std::function<bool()>& search);

    QToolButton* createSpeedButton(const char* name, int left, int top, const QString& hint);
    QLabel* createCaption(QWidget* page, const QString& text, int left, int top);
    DBText* createDBText(QWidget* page, const char* name, const QString& field, int left, int top,
                         int width);

    ConnectionSettings settings_;
    std::unique_ptr<ConexionSAP> conexionSAP_;
    std::unique_ptr<TablaProveedores> tablaProveedores_;
    std::shared_ptr<MovementsFile> movementsFile_;
    std::unique_ptr<TablaMovtos> tablaMovtos_;
    std::unique_ptr<TablaSql> tablaSql_;
    std::unique_ptr<TablaPuente> tablaPuente_;
    std::unique_ptr<StatementBuilder> builder_;
    std::unique_ptr<StatementPrinter> printer_;
    std::unique_ptr<StatementExporter> exporter_;
    ExportDialog exportDialog_ = askExportPath;
    QString exportFolder_;  // where the last export went; the data folder at first
    SheetFormat exportFormat_ = SheetFormat::Xlsx;
    TfrxProgress* progress_ = nullptr;

    RecordSetModel* proveedoresModel_ = nullptr;
    RecordSetModel* movimientosModel_ = nullptr;
    QList<DBText*> supplierTexts_;
    TFmensaje* fmensaje_ = nullptr;
    std::function<void()> printAction_;
    QString settingsFile_;
    StatementOptions shownOptions_;  // of the statement built last
    bool shown_ = false;
    bool syncingGrid_ = false;
};

}  // namespace qev
