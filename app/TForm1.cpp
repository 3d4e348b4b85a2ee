#include "app/TForm1.h"

#include "app/AgeingPanel.h"
#include "app/ButtonArt.h"
#include "app/DataControls.h"
#include "app/DateField.h"
#include "app/ErrorBox.h"
#include "app/RecordSetModel.h"
#include "app/StatementExporter.h"
#include "app/StatementMailer.h"
#include "app/StatementPrinter.h"
#include "app/TFmensaje.h"
#include "app/TfrxProgress.h"
#include "app/WindowStyle.h"
#include "data/ConexionSAP.h"
#include "data/MovementsFile.h"
#include "data/TablaMovtos.h"
#include "data/TablaProveedores.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/Error.h"
#include "mail/SendLog.h"
#include "mail/SmtpSettings.h"
#include "report/TfrxEngineHooks.h"
#include "statement/StatementBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace qev {

namespace {

const QString WaitMessage = QStringLiteral("Recolectando datos, favor de esperar...");

constexpr int SpeedButtonSize = 57;
constexpr int ButtonPictureSize = 48;
constexpr int DataTextHeight = 17;
constexpr int GridRowHeight = 18;
// The movements grid, and how much of it the ageing of open items takes.
constexpr QRect MovementsGrid(3, 56, 654, 201);
constexpr int AgeingHeight = 40;

// The supplier code as the build uses it: the displayed text without leading or
// trailing spaces and control characters.
QString trimmedCode(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= u' ') ++begin;
    while (end > begin && text[end - 1].unicode() <= u' ') --end;
    return text.mid(begin, end - begin);
}

RecordSet::Notification chained(RecordSet::Notification previous, std::function<void()> hook) {
    return [previous = std::move(previous), hook = std::move(hook)]() {
        if (previous) previous();
        hook();
    };
}

QTableView* createGrid(QWidget* parent, const char* name, RecordSetModel* model) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    const QList<GridColumn>& columns = model->columns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].width > 0) grid->setColumnWidth(i, columns[i].width);
    return grid;
}

const Qt::Alignment RightAligned = Qt::AlignRight | Qt::AlignVCenter;

}  // namespace

TForm1::TForm1(const ConnectionSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    setObjectName(QStringLiteral("Form1"));
    openDataSources(settings);

    // A fixed dialog frame: title and close box, no resizing, no minimise or maximise.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Estados de Cuenta de Proveedores"));
    setFixedSize(683, 387);
    setFont(windowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, mainWindowColour());
    setPalette(colours);
    setAutoFillBackground(true);

    createButtonBar();
    createSupplierList();
    createStatementPages();
    bindDataSources();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() {
    frxSetMessageBox({});  // the box belonged to this window
    // The record sets go before the child widgets: the grids must stop reading
    // them and the record sets must stop calling into the window.
    proveedoresModel_->detach();
    movimientosModel_->detach();
    for (RecordSet* set : {static_cast<RecordSet*>(tablaProveedores_.get()),
                           static_cast<RecordSet*>(tablaSql_.get())}) {
        set->afterOpen = nullptr;
        set->beforeClose = nullptr;
        set->afterScroll = nullptr;
    }
}

// In the designed order: the company database and its suppliers, then the
// movements table and the ordered query over it.
void TForm1::openDataSources(const ConnectionSettings& settings) {
    conexionSAP_ = std::make_unique<ConexionSAP>(settings);
    tablaProveedores_ = std::make_unique<TablaProveedores>(*conexionSAP_);
    tablaProveedores_->open();
    movementsFile_ = MovementsFile::open(settings.effectiveDataDirectory());
    tablaMovtos_ = std::make_unique<TablaMovtos>(movementsFile_);
    tablaSql_ = std::make_unique<TablaSql>(movementsFile_);
    tablaSql_->open();
    tablaPuente_ = std::make_unique<TablaPuente>(*conexionSAP_);
    builder_ = std::make_unique<StatementBuilder>(*tablaPuente_, *tablaMovtos_, *tablaSql_);
    printer_ = std::make_unique<StatementPrinter>(*tablaProveedores_, *tablaSql_);
    exporter_ = std::make_unique<StatementExporter>(*tablaProveedores_, *tablaSql_);
    exportFolder_ = settings.effectiveDataDirectory();
    progress_ = new TfrxProgress(this);
    printer_->progress = progress_;
    printAction_ = [this] { printStatement(); };
    // The report and its export show their collected errors in our error box.
    frxSetMessageBox([this](const QString& text, const QString& caption) {
        showErrorBox(this, caption, text);
    });
}

QString TForm1::movementsNotice() const {
    return movementsFile_->notice();
}

QToolButton* TForm1::createSpeedButton(const char* name, int left, int top, const QString& hint) {
    auto* button = new QToolButton(Panel1);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, top, SpeedButtonSize, SpeedButtonSize);
    button->setToolTip(hint);
    button->setIconSize(QSize(ButtonPictureSize, ButtonPictureSize));
    // Speed buttons never take the input focus.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void TForm1::createButtonBar() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(8, 8, 667, 66);

    SBPrimero = createSpeedButton("SBPrimero", 5, 3, QStringLiteral("Primer registro"));
    SBAnterior = createSpeedButton("SBAnterior", 61, 3, QStringLiteral("Registro anterior"));
    SBSiguiente = createSpeedButton("SBSiguiente", 117, 3, QStringLiteral("Registro siguiente"));
    SBUltimo = createSpeedButton("SBUltimo", 173, 3, QStringLiteral("Ultimo registro"));
    SBListaClientes =
        createSpeedButton("SBListaClientes", 249, 3, QStringLiteral("Lista de Proveedores"));
    SBImprimir =
        createSpeedButton("SBImprimir", 511, 4, QStringLiteral("Imprimir Estado de Cuenta"));
    SBCorreo = createSpeedButton("SBCorreo", 449, 4, QStringLiteral("Enviar por correo"));
    SBExportar = createSpeedButton("SBExportar", 187, 4, QStringLiteral("Exportar"));
    SBSalir = createSpeedButton("SBSalir", 603, 4, QStringLiteral("Salir"));
    LabelCorreo = new QLabel(Panel1);
    LabelCorreo->setObjectName(QStringLiteral("LabelCorreo"));
    LabelCorreo->setGeometry(312, 6, 132, 54);
    LabelCorreo->setWordWrap(true);
    LabelCorreo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    SBPrimero->setIcon(buttonIcon(ButtonPicture::First));
    SBAnterior->setIcon(buttonIcon(ButtonPicture::Previous));
    SBSiguiente->setIcon(buttonIcon(ButtonPicture::Next));
    SBUltimo->setIcon(buttonIcon(ButtonPicture::Last));
    SBListaClientes->setIcon(buttonIcon(ButtonPicture::SupplierList));
    SBImprimir->setIcon(buttonIcon(ButtonPicture::Print));
    SBCorreo->setIcon(buttonIcon(ButtonPicture::Mail));
    SBExportar->setIcon(buttonIcon(ButtonPicture::Export));
    SBSalir->setIcon(buttonIcon(ButtonPicture::Exit));

    connect(SBPrimero, &QToolButton::clicked, this, &TForm1::SBPrimeroClick);
    connect(SBAnterior, &QToolButton::clicked, this, &TForm1::SBAnteriorClick);
    connect(SBSiguiente, &QToolButton::clicked, this, &TForm1::SBSiguienteClick);
    connect(SBUltimo, &QToolButton::clicked, this, &TForm1::SBUltimoClick);
    connect(SBListaClientes, &QToolButton::clicked, this, &TForm1::SBListaClientesClick);
    connect(SBImprimir, &QToolButton::clicked, this, &TForm1::SBImprimirClick);
    connect(SBCorreo, &QToolButton::clicked, this, &TForm1::SBCorreoClick);
    connect(SBExportar, &QToolButton::clicked, this, &TForm1::SBExportarClick);
    connect(SBSalir, &QToolButton::clicked, this, &TForm1::SBSalirClick);
}

void TForm1::createSupplierList() {
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setGeometry(8, 80, 667, 299);

    auto* label16 = new QLabel(QStringLiteral("Buscar código:"), Panel2);
    label16->setObjectName(QStringLiteral("Label16"));
    label16->move(16, 10);
    auto* label1 = new QLabel(QStringLiteral("Buscar nombre:"), Panel2);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->move(16, 33);

    Edit1 = new QLineEdit(Panel2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(97, 6, 110, 21);  // a code is short; the period fields follow
    BusProveedor = new QLineEdit(Panel2);
    BusProveedor->setObjectName(QStringLiteral("BusProveedor"));
    BusProveedor->setGeometry(97, 29, 482, 21);

    Consultar = new QPushButton(QStringLiteral("Consultar"), Panel2);
    Consultar->setObjectName(QStringLiteral("Consultar"));
    Consultar->setGeometry(585, 2, 75, 25);
    Consultar->setDefault(true);

    proveedoresModel_ =
        new RecordSetModel(*tablaProveedores_,
                           {{QStringLiteral("CardCode"), QStringLiteral("Código"), {}, 120},
                            {QStringLiteral("CardName"), QStringLiteral("Nombre del Proveedor")}},
                           this);
    DBGrid1 = createGrid(Panel2, "DBGrid1", proveedoresModel_);
    DBGrid1->setGeometry(5, 56, 655, 239);

    createStatementFields();
    setTabOrder(BusProveedor, Consultar);
    setTabOrder(Consultar, DBGrid1);
    setTabOrder(DBGrid1, Edit1);
    setTabOrder(Edit1, EditDesde);
    setTabOrder(EditDesde, EditHasta);
    setTabOrder(EditHasta, CBAbiertas);

    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    connect(BusProveedor, &QLineEdit::textChanged, this, &TForm1::BusProveedorChange);
    connect(Consultar, &QPushButton::clicked, this, &TForm1::ConsultarClick);
    connect(DBGrid1, &QTableView::doubleClicked, this, &TForm1::ConsultarClick);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { gridRowChanged(current.row()); });
}

// Beside the code search: the period and the open items of the next Consultar.
void TForm1::createStatementFields() {
    auto dateField = [this](const char* name, const QString& caption, int left) {
        auto* label = new QLabel(caption, Panel2);
        label->move(left, 10);
        auto* field = new QLineEdit(Panel2);
        field->setObjectName(QLatin1String(name));
        field->setGeometry(left + 38, 6, 72, 21);
        field->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
        field->setToolTip(QStringLiteral("Vacía: todo el historial"));
        return field;
    };
    EditDesde = dateField("EditDesde", QStringLiteral("Desde:"), 212);
    EditHasta = dateField("EditHasta", QStringLiteral("Hasta:"), 326);
    CBAbiertas = new QCheckBox(QStringLiteral("Solo partidas abiertas"), Panel2);
    CBAbiertas->setObjectName(QStringLiteral("CBAbiertas"));
    CBAbiertas->setGeometry(442, 8, 138, 17);
    CBAbiertas->setToolTip(
        QStringLiteral("Lo que sigue abierto a la fecha Hasta (o a hoy), con su antigüedad"));
    // Open items are worked out on one day: Hasta.
    connect(CBAbiertas, &QCheckBox::toggled, EditDesde,
            [this](bool openItems) { EditDesde->setEnabled(!openItems); });
}

StatementOptions TForm1::statementOptions() const {
    StatementOptions options;
    options.openItems = CBAbiertas->isChecked();
    if (!options.openItems)
        options.from = parseDateField(EditDesde->text(), QStringLiteral("Desde"));
    options.to = parseDateField(EditHasta->text(), QStringLiteral("Hasta"));
    options.check();
    return options;
}

void TForm1::setStatementOptions(const StatementOptions& options) {
    EditDesde->setText(dateFieldText(options.from));
    EditHasta->setText(dateFieldText(options.to));
    CBAbiertas->setChecked(options.openItems);
}

QLabel* TForm1::createCaption(QWidget* page, const QString& text, int left, int top) {
    auto* caption = new QLabel(text, page);
    caption->setAlignment(Qt::AlignRight | Qt::AlignTop);
    caption->adjustSize();
    caption->move(left, top);
    return caption;
}

DBText* TForm1::createDBText(QWidget* page, const char* name, const QString& field, int left,
                             int top, int width) {
    auto* text = new DBText(field, page);
    text->setObjectName(QLatin1String(name));
    text->setGeometry(left, top, width, DataTextHeight);
    supplierTexts_ << text;
    return text;
}

void TForm1::createStatementPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 80, 667, 299);
    // The pages keep the standard button-face colour, not the window's.
    PageControl1->setPalette(QApplication::palette(PageControl1));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Generales del Proveedor"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Detalle de Movimientos"));
    createGeneralPage();
    createMovementsPage();
}

void TForm1::createGeneralPage() {
    QWidget* page = TabSheet1;
    createCaption(page, QStringLiteral("Codigo:"), 21, 8);
    DBText1 = createDBText(page, "DBText1", QStringLiteral("CardCode"), 64, 8, 65);
    createCaption(page, QStringLiteral("Nombre:"), 17, 32);
    createDBText(page, "DBText2", QStringLiteral("CardName"), 64, 32, 457);
    createCaption(page, QStringLiteral("Calle:"), 31, 56);
    createDBText(page, "DBText3", QStringLiteral("Address"), 64, 56, 195);
    createCaption(page, QStringLiteral("No."), 265, 56);
    createDBText(page, "DBText4", QStringLiteral("StreetNo"), 285, 56, 82);
    createCaption(page, QStringLiteral("Interior:"), 353, 56);
    DBMemo1 = new DBMemo(QStringLiteral("Building"), page);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setGeometry(399, 55, 132, 18);
    createCaption(page, QStringLiteral("Colonia:"), 19, 79);
    createDBText(page, "DBText6", QStringLiteral("Block"), 64, 81, 172);
    createCaption(page, QStringLiteral("Ciudad:"), 245, 79);
    createDBText(page, "DBText7", QStringLiteral("City"), 288, 79, 233);
    createCaption(page, QStringLiteral("Municipio:"), 11, 104);
    createDBText(page, "DBText8", QStringLiteral("County"), 64, 104, 172);
    createCaption(page, QStringLiteral("Estado:"), 245, 104);
    createDBText(page, "DBText5", QStringLiteral("State1"), 288, 104, 65);
    createCaption(page, QStringLiteral("Teléfonos:"), 8, 132);
    createDBText(page, "DBText9", QStringLiteral("Phone1"), 65, 132, 105);
    createDBText(page, "DBText10", QStringLiteral("Phone2"), 169, 132, 105);
    createDBText(page, "DBText11", QStringLiteral("Fax"), 288, 132, 105);
    createCaption(page, QStringLiteral("R.F.C.:"), 22, 156);
    createDBText(page, "DBText12", QStringLiteral("LicTradNum"), 64, 157, 105);
    createCaption(page, QStringLiteral("E-mail:"), 26, 180);
    createDBText(page, "DBText13", QStringLiteral("E_Mail"), 64, 180, 457);
}

void TForm1::createMovementsPage() {
    QWidget* page = TabSheet2;
    createCaption(page, QStringLiteral("Codigo:"), 21, 9);
    DBText14 = createDBText(page, "DBText14", QStringLiteral("CardCode"), 64, 9, 65);
    createCaption(page, QStringLiteral("Nombre:"), 17, 33);
    DBText15 = createDBText(page, "DBText15", QStringLiteral("CardName"), 64, 33, 457);

    movimientosModel_ =
        new RecordSetModel(*tablaSql_,
                           {{QStringLiteral("MOVTO"), QStringLiteral("#"), {}, 28},
                            {QStringLiteral("MFECHA"), QStringLiteral("Fecha"), {}, 78},
                            {QStringLiteral("SERIE"), QStringLiteral("Docto."), {}, 50},
                            {QStringLiteral("FOLIO"), QStringLiteral("Folio"), {}, 56},
                            {QStringLiteral("MCARGO"), QStringLiteral("Cargo"), RightAligned, 88},
                            {QStringLiteral("MABONO"), QStringLiteral("Abono"), RightAligned, 88},
                            {QStringLiteral("MSALDO"), QStringLiteral("Saldo"), RightAligned, 88},
                            {QStringLiteral("MVENCTO"), QStringLiteral("Vencimiento"), {}, 78},
                            {QStringLiteral("REFERENCIA"), QStringLiteral("Referencia"), {}, 90}},
                           this);
    DBGrid3 = createGrid(page, "DBGrid3", movimientosModel_);
    DBGrid3->setGeometry(MovementsGrid);

    LabelPeriodo = new QLabel(page);
    LabelPeriodo->setObjectName(QStringLiteral("LabelPeriodo"));
    LabelPeriodo->setGeometry(200, 9, 454, DataTextHeight);
    LabelPeriodo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = LabelPeriodo->font();
    bold.setBold(true);
    LabelPeriodo->setFont(bold);
    PanelAntiguedad = new AgeingPanel(page);
    PanelAntiguedad->setObjectName(QStringLiteral("PanelAntiguedad"));
    PanelAntiguedad->setGeometry(MovementsGrid.left(), MovementsGrid.bottom() + 1 - AgeingHeight,
                                 MovementsGrid.width(), AgeingHeight);
    PanelAntiguedad->hide();
}

// What the statement on screen covers, for its page, the print and the export.
void TForm1::statementShown(const std::optional<AgeingSummary>& ageing) {
    printer_->setStatement(shownOptions_, ageing);
    exporter_->setStatement(shownOptions_, ageing);
    showStatementOptions(ageing);
}

// The period above the grid, and for open items their ageing under it.
void TForm1::showStatementOptions(const std::optional<AgeingSummary>& ageing) {
    LabelPeriodo->setText(shownOptions_.heading());
    QRect grid = MovementsGrid;
    if (ageing) {
        PanelAntiguedad->showAgeing(*ageing);
        grid.setHeight(grid.height() - AgeingHeight - 2);
    }
    DBGrid3->setGeometry(grid);
    PanelAntiguedad->setVisible(ageing.has_value());
}

// The supplier fields and the grid's selection follow the supplier table's
// current row; the statement grid follows the ordered query by its model.
void TForm1::bindDataSources() {
    tablaProveedores_->afterScroll =
        chained(std::move(tablaProveedores_->afterScroll), [this] { supplierRowChanged(); });
    tablaProveedores_->afterOpen =
        chained(std::move(tablaProveedores_->afterOpen), [this] { supplierRowChanged(); });
    supplierRowChanged();
}

void TForm1::supplierRowChanged() {
    for (DBText* text : std::as_const(supplierTexts_)) text->showFrom(*tablaProveedores_);
    DBMemo1->showFrom(*tablaProveedores_);
    showMailAddress();

    const int row = tablaProveedores_->position();
    if (row < 0 || row >= proveedoresModel_->rowCount()) return;
    const QModelIndex current = DBGrid1->currentIndex();
    const QModelIndex index =
        proveedoresModel_->index(row, current.isValid() ? current.column() : 0);
    syncingGrid_ = true;
    DBGrid1->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid1->scrollTo(index);
    syncingGrid_ = false;
}

void TForm1::gridRowChanged(int row) {
    if (syncingGrid_ || row < 0) return;
    runHandler(this, [this, row] {
        if (row != tablaProveedores_->position()) tablaProveedores_->goTo(row);
    });
}

bool TForm1::inStatementMode() const {
    return !Panel2->isVisibleTo(this);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TForm1::FormShow() {
    setListMode();
    BusProveedor->setFocus();
}

// Enter anywhere in list mode presses the default button, as a dialog would.
void TForm1::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && Consultar->isVisible() &&
        Consultar->isEnabled()) {
        Consultar->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A wait window left up by a failed build must not keep the program alive.
    closeWaitWindow();
    QWidget::closeEvent(event);
}

void TForm1::setListMode() {
    SBPrimero->show();
    SBAnterior->show();
    SBSiguiente->show();
    SBUltimo->show();
    SBListaClientes->hide();
    SBImprimir->hide();
    SBCorreo->hide();
    SBExportar->hide();
    LabelCorreo->hide();
    Panel2->show();
    PageControl1->hide();
}

void TForm1::setStatementMode() {
    SBPrimero->hide();
    SBAnterior->hide();
    SBSiguiente->hide();
    SBUltimo->hide();
    SBListaClientes->show();
    SBImprimir->show();
    SBCorreo->show();
    SBExportar->show();
    LabelCorreo->show();
    Panel2->hide();
}

void TForm1::showMovementsPage() {
    PageControl1->show();
    PageControl1->setCurrentWidget(TabSheet2);
    closeWaitWindow();
}

void TForm1::closeWaitWindow() {
    if (fmensaje_) fmensaje_->close();
}

void TForm1::searchQuietly(const std::function<bool()>& search) {
    // A failed search, like one that finds nothing, leaves the list where it was.
    try {
        search();
    } catch (...) {
    }
}

void TForm1::Edit1Change() {
    const QString text = Edit1->text();
    if (text.isEmpty()) return;
    searchQuietly([this, &text] { return tablaProveedores_->findCode(text); });
}

void TForm1::BusProveedorChange() {
    const QString text = BusProveedor->text();
    if (text.isEmpty()) return;
    searchQuietly([this, &text] { return tablaProveedores_->findName(text); });
}

void TForm1::SBPrimeroClick() {
    runHandler(this, [this] { tablaProveedores_->first(); });
}

void TForm1::SBAnteriorClick() {
    runHandler(this, [this] {
        if (tablaProveedores_->position() > 0) tablaProveedores_->prior();
    });
}

void TForm1::SBSiguienteClick() {
    runHandler(this, [this] {
        if (tablaProveedores_->position() < tablaProveedores_->recordCount() - 1)
            tablaProveedores_->next();
    });
}

void TForm1::SBUltimoClick() {
    runHandler(this, [this] { tablaProveedores_->last(); });
}

void TForm1::SBListaClientesClick() {
    setListMode();
}

void TForm1::ConsultarClick() {
    runHandler(this, [this] {
        // Dates that are not dates are refused before anything changes.
        const StatementOptions options = statementOptions();
        StatementHooks hooks;
        hooks.statementMode = [this] { setStatementMode(); };
        hooks.showWait = [this] {
            if (fmensaje_) fmensaje_->showMessage(WaitMessage);
        };
        hooks.afterPass = [this](int) { showMovementsPage(); };
        hooks.finished = [this] { showMovementsPage(); };
        shownOptions_ = options;
        try {
            builder_->build(trimmedCode(DBText1->text()), options, hooks);
        } catch (...) {
            // The error box is coming; a "please wait" left under it would be wrong.
            closeWaitWindow();
            statementShown(std::nullopt);
            throw;
        }
        statementShown(builder_->ageing());
    });
}

void TForm1::SBImprimirClick() {
    if (printAction_) runHandler(this, printAction_);
}

void TForm1::printStatement() {
    printer_->print(DBText14->text(), settings_.effectiveDataDirectory());
}

void TForm1::SBCorreoClick() {
    runHandler(this, [this] { mailStatement(); });
}

void TForm1::showMailAddress() {
    const QString field = tablaProveedores_->displayText(QStringLiteral("E_Mail"));
    QString text;
    try {
        text = QStringLiteral("Enviar a: ") +
               StatementMailer::addressesOf(field).join(QStringLiteral(", "));
    } catch (const Error& error) {
        text = handlerErrorText(error.message());
    }
    LabelCorreo->setText(text);
    LabelCorreo->setToolTip(text);
    SBCorreo->setToolTip(QStringLiteral("Enviar por correo\n") + text);
}

void TForm1::mailStatement() {
    // Everything that can be known before writing and sending is checked first.
    const SmtpSettings smtp = SmtpSettings::load(settingsFile_);
    smtp.requireSendable();
    const QString field = tablaProveedores_->displayText(QStringLiteral("E_Mail"));
    const QStringList to = StatementMailer::addressesOf(field);
    const QString directory = settings_.effectiveDataDirectory();

    // The PDF is written as by the print button, but not opened.
    const auto opener = std::exchange(printer_->openFile, nullptr);
    QString path;
    try {
        path = printer_->print(DBText14->text(), directory);
    } catch (...) {
        printer_->openFile = opener;
        throw;
    }
    printer_->openFile = opener;
    if (path.isEmpty()) return;  // the export has shown its errors

    SendLog log(SendLog::defaultPath(directory));
    StatementMailer mailer(smtp, false, &log, SendLog::newRunName(), shownOptions_.mailPeriod());
    // A slow server would otherwise look like a window that hangs.
    if (fmensaje_)
        fmensaje_->showMessage(QStringLiteral("Enviando el correo, favor de esperar..."));
    const MailOutcome outcome =
        mailer.mail({DBText14->text(), tablaProveedores_->displayText(QStringLiteral("CardName")),
                     field, path});
    closeWaitWindow();
    if (!outcome.sent)
        throw Error(QStringLiteral("No se envió el estado de cuenta: %1").arg(outcome.text));
    showInformationBox(this, QCoreApplication::applicationName(),
                       QStringLiteral("Estado de cuenta enviado a %1.")
                           .arg(to.join(QStringLiteral(", "))));
}

void TForm1::SBExportarClick() {
    runHandler(this, [this] { exportStatement(); });
}

void TForm1::exportStatement() {
    const QString suggested =
        QDir(exportFolder_).filePath(StatementExporter::fileNameFor(DBText14->text(), exportFormat_));
    const std::optional<ExportChoice> choice = exportDialog_(this, suggested);
    if (!choice) return;
    exporter_->save(choice->path, choice->format);
    exportFolder_ = QFileInfo(choice->path).absolutePath();
    exportFormat_ = choice->format;
    showInformationBox(this, QCoreApplication::applicationName(),
                       QStringLiteral("Estado de cuenta exportado a \"%1\".")
                           .arg(QDir::toNativeSeparators(choice->path)));
}

void TForm1::SBSalirClick() {
    close();
}

}  // namespace qev
