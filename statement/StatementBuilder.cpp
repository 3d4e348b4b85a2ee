#include "statement/StatementBuilder.h"

#include "data/MovementsFile.h"
#include "data/PaymentLines.h"
#include "data/TablaMovtos.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/AmountText.h"
#include "format/DateText.h"
#include "format/FormatSettings.h"
#include "statement/OpenItems.h"
#include "statement/RunningBalance.h"
#include "statement/VariantConversion.h"

#include <QDate>
#include <QHash>

#include <array>
#include <optional>
#include <utility>

namespace qev {

enum class DocumentKind { Invoice, CreditNote, Payment };

struct Mnemonic {
    int series;
    const char* text;
};

// One pass over a document table: which documents it takes and how it names
// their series.
struct DocumentPass {
    int number;
    const char* table;
    DocumentKind kind;
    const char* doctype;  // credit notes only: "S" services, "I" items
    std::array<Mnemonic, 2> mnemonics;
};

// The columns of the open document table that a pass reads, looked up once;
// -1 for those its table does not have.
struct DocumentColumns {
    int docentry = -1, canceled = -1, series = -1, doctype = -1, docdate = -1, docduedate = -1, docnum = -1,
        doctotal = -1, numatcard = -1, paidtodate = -1, counterref = -1;
};

// What is open of a document on the day of a statement of open items, and
// what had been applied to it by then.
struct OpenAmount {
    Currency open;
    Currency applied;
};

// The fields of the movement row, looked up once per build.
struct MovementFields {
    int movto, serie, folio, fecha, vencto, total, mtotal, cargo, abono, mcargo, mabono, mfecha,
        mvencto, referencia, aplicado;
};

// The texts of the dates of a statement: they repeat from row to row, so each
// distinct date is written out once.
class DateTexts {
  public:
    const QString& shortText(const QDate& date) { return texts(date).shortText; }
    const QString& sortable(const QDate& date) { return texts(date).sortable; }
    const QString& display(const QDate& date) {
        Texts& t = texts(date);
        if (!t.display) t.display = lafecha(t.shortText);
        return *t.display;
    }

  private:
    struct Texts {
        QString shortText;  // "24/06/2016", the regional short date
        QString sortable;   // "2016/06/24"
        std::optional<QString> display;  // "24/JUN/2016", made when first asked for
    };

    // "24/06/2016" -> "2016/06/24": sorts in date order whatever the date separator.
    static QString sortableDate(const QString& shortDate) {
        return shortDate.mid(6, 4) + u'/' + shortDate.mid(3, 2) + u'/' + shortDate.mid(0, 2);
    }

    Texts& texts(const QDate& date) {
        auto it = cache_.find(date.toJulianDay());
        if (it == cache_.end()) {
            const QString text = formatSettings().shortDateText(date);
            it = cache_.insert(date.toJulianDay(), {text, sortableDate(text), std::nullopt});
        }
        return *it;
    }

    QHash<qint64, Texts> cache_;
};

namespace {

constexpr Mnemonic noMnemonic{-1, nullptr};
constexpr int excludedInvoiceSeries = 63;  // invoices of this series never enter a statement

constexpr std::array<DocumentPass, 4> passes{{
    {1, "opch", DocumentKind::Invoice, nullptr, {{{10, "FACSI"}, {64, "FAC"}}}},
    {2, "orpc", DocumentKind::CreditNote, "S", {{{12, "NCRE"}, {100, "NCCAN"}}}},
    {3, "orpc", DocumentKind::CreditNote, "I", {{{12, "NDEV"}, {100, "DVCAN"}}}},
    {4, "ovpm", DocumentKind::Payment, nullptr, {{{20, "PAGO"}, noMnemonic}}},
}};

void call(const std::function<void()>& hook) {
    if (hook) hook();
}

// A Null text equals nothing.
bool textIs(const QVariant& value, const char* text) {
    return !value.isNull() && value.toString() == QLatin1String(text);
}

// The series as a number; Null (or anything that is not a number) has none.
std::optional<double> seriesNumber(const QVariant& series) {
    if (series.isNull()) return std::nullopt;
    bool ok = false;
    const double number = series.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

DocumentColumns columnsOf(const DocumentPass& pass, const TablaPuente& puente) {
    auto column = [&](const char* name) { return puente.fieldIndex(QLatin1String(name)); };
    DocumentColumns c;
    c.docentry = column("docentry");
    c.canceled = column("canceled");
    c.series = column("series");
    if (pass.kind == DocumentKind::CreditNote) c.doctype = column("doctype");
    c.docdate = column("docdate");
    c.docduedate = column("docduedate");
    c.docnum = column("docnum");
    c.doctotal = column("doctotal");
    if (pass.kind == DocumentKind::Payment) {
        c.counterref = column("counterref");
    } else {
        c.numatcard = column("numatcard");
        c.paidtodate = column("paidtodate");
    }
    return c;
}

MovementFields fieldsOf(const TablaMovtos& movtos) {
    auto field = [&](const char* name) { return movtos.fieldIndex(QLatin1String(name)); };
    return {field("movto"),  field("serie"),   field("folio"),      field("fecha"),
            field("vencto"), field("total"),   field("mtotal"),     field("cargo"),
            field("abono"),  field("mcargo"),  field("mabono"),     field("mfecha"),
            field("mvencto"), field("referencia"), field("aplicado")};
}

bool accepted(const DocumentPass& pass, const DocumentColumns& c, const TablaPuente& puente) {
    if (!textIs(puente.value(c.canceled), "N")) return false;
    switch (pass.kind) {
        case DocumentKind::Invoice:
            return seriesNumber(puente.value(c.series)) != double(excludedInvoiceSeries);
        case DocumentKind::CreditNote:
            return textIs(puente.value(c.doctype), pass.doctype);
        case DocumentKind::Payment:
            return true;
    }
    return false;
}

// The mnemonic the pass gives the series; none for other series and Null.
const char* mnemonicOf(const DocumentPass& pass, const QVariant& series) {
    if (const auto number = seriesNumber(series)) {
        for (const Mnemonic& m : pass.mnemonics)
            if (m.text && *number == m.series) return m.text;
    }
    return nullptr;
}

}  // namespace

StatementBuilder::StatementBuilder(TablaPuente& puente, TablaMovtos& movtos, TablaSql& sql)
    : puente_(puente), movtos_(movtos), sql_(sql) {}

StatementBuilder::~StatementBuilder() = default;

void StatementBuilder::build(const QString& cardCode, const StatementHooks& hooks) {
    build(cardCode, StatementOptions(), hooks);
}

void StatementBuilder::build(const QString& cardCode, const StatementOptions& options,
                             const StatementHooks& hooks) {
    options.check();
    options_ = options;
    ageing_.reset();
    try {
        buildRows(cardCode, hooks);
    } catch (...) {
        ageing_.reset();  // a part of the amounts would mislead
        throw;
    }
    call(hooks.finished);
}

void StatementBuilder::buildRows(const QString& cardCode, const StatementHooks& hooks) {
    call(hooks.statementMode);
    call(hooks.showWait);
    movtos_.empty();
    vmovto_ = 1;
    openingCharges_ = openingCredits_ = Currency();
    fields_ = std::make_unique<MovementFields>(fieldsOf(movtos_));
    dates_ = std::make_unique<DateTexts>();
    openItems_.reset();
    if (options_.openItems) {
        openItems_ = std::make_unique<OpenItems>(readPaymentLines(puente_.conexion(), cardCode),
                                                 options_.asOf());
        ageing_.emplace().asOf = options_.asOf();
    }
    for (const DocumentPass& pass : passes) {
        runPass(pass, cardCode);
        if (pass.number < 4 && hooks.afterPass) hooks.afterPass(pass.number);
    }
    if (options_.from.isValid()) appendOpeningRow();
    // The passes' buffer is not needed while the statement is shown or printed.
    pending_ = QByteArray();
    RunningBalance(movtos_, sql_).run();
}

void StatementBuilder::runPass(const DocumentPass& pass, const QString& cardCode) {
    puente_.setTableName(QLatin1String(pass.table));
    puente_.setCardCodeFilter(cardCode);
    // Only documents the pass may take are fetched; accepted() still decides.
    puente_.addTextCondition(QStringLiteral("canceled"), QStringLiteral("N"));
    if (pass.doctype)
        puente_.addTextCondition(QStringLiteral("doctype"), QString::fromLatin1(pass.doctype));
    try {
        readDocuments(pass);
        storePending();
    } catch (...) {
        // The rows complete before the failure are stored; left open, the table
        // would refuse the next build's change of table name.
        try {
            storePending();
        } catch (...) {
            // The failure that ended the pass is the one reported.
        }
        closeDocumentTable();
        throw;
    }
    closeDocumentTable();
}

void StatementBuilder::readDocuments(const DocumentPass& pass) {
    puente_.open();
    const DocumentColumns columns = columnsOf(pass, puente_);
    for (puente_.first(); !puente_.eof(); puente_.next()) {
        if (!accepted(pass, columns, puente_) || !inPeriod(pass, columns)) continue;
        if (!openItems_) {
            addMovement(pass, columns, nullptr);
        } else if (const std::optional<OpenAmount> open = openAmount(pass, columns)) {
            addMovement(pass, columns, &*open);
            const Currency signedOpen =
                pass.kind == DocumentKind::Invoice ? open->open : -open->open;
            ageing_->add(variantToDate(puente_.value(columns.docduedate)), signedOpen);
        } else {
            continue;  // nothing open
        }
        ++vmovto_;
    }
}

// Documents dated after the statement's last day get no row; those before its
// first day none either, but they count in the opening row.
bool StatementBuilder::inPeriod(const DocumentPass& pass, const DocumentColumns& c) {
    const QDate last = options_.lastDay();
    if (!last.isValid() && !options_.from.isValid()) return true;
    const QDate fecha = variantToDate(puente_.value(c.docdate));
    if (last.isValid() && fecha > last) return false;
    if (options_.from.isValid() && fecha < options_.from) {
        const Currency total = variantToCurrency(puente_.value(c.doctotal));
        (pass.kind == DocumentKind::Invoice ? openingCharges_ : openingCredits_) += total;
        return false;
    }
    return true;
}

// What is open of the current document on the statement's day; none when
// nothing is.
std::optional<OpenAmount> StatementBuilder::openAmount(const DocumentPass& pass,
                                                        const DocumentColumns& c) {
    const int entry = puente_.value(c.docentry).toInt();
    const Currency total = variantToCurrency(puente_.value(c.doctotal));
    Currency open;
    if (pass.kind == DocumentKind::Payment) {
        open = openItems_->payment(entry, total);
    } else {
        const QVariant paid = puente_.value(c.paidtodate);
        const Currency paidToDate = paid.isNull() ? Currency() : variantToCurrency(paid);
        open = pass.kind == DocumentKind::Invoice
                   ? openItems_->invoice(entry, total, paidToDate)
                   : openItems_->creditNote(entry, total, paidToDate);
    }
    if (open <= Currency()) return std::nullopt;
    return OpenAmount{open, total - open};
}

// The rows go whether storing them works or not; the buffer keeps its memory
// for the next pass.
void StatementBuilder::storePending() {
    try {
        movtos_.appendRows(pending_);
    } catch (...) {
        pending_.resize(0);
        throw;
    }
    pending_.resize(0);
}

void StatementBuilder::closeDocumentTable() {
    puente_.close();
    puente_.clearFilter();
}

// The movement row of the current document, every value checked as it is set:
// a document that fails gives no row at all.
void StatementBuilder::addMovement(const DocumentPass& pass, const DocumentColumns& c,
                                   const OpenAmount* open) {
    // Stored some hundred rows at a time: a long pass kept whole until its end
    // was the largest piece of memory of a print.
    if (pending_.size() >= PendingBytesToStore) storePending();
    const qsizetype start = pending_.size();
    try {
        writeMovement(pass, c, open);
    } catch (...) {
        pending_.truncate(start);
        throw;
    }
}

// The charge or credit of a row is the document's total, or for open items
// what is open of it; APLICADO is then what had been applied by that day.
void StatementBuilder::writeMovement(const DocumentPass& pass, const DocumentColumns& c,
                                     const OpenAmount* open) {
    const QDate fecha = variantToDate(puente_.value(c.docdate));
    const QDate vencto = variantToDate(puente_.value(c.docduedate));
    const MovementFields& f = *fields_;
    const MovementsFile& file = *movtos_.file();
    const qsizetype start = pending_.size();
    pending_.append(file.recordLength(), ' ');
    char* raw = pending_.data() + start;
    auto set = [&](int field, const QVariant& value) { file.setRecordField(raw, field, value); };
    auto setText = [&](int field, auto text) { file.setRecordText(raw, field, text); };

    const QVariant doctotal = puente_.value(c.doctotal);
    const bool invoice = pass.kind == DocumentKind::Invoice;
    file.setRecordNumber(raw, f.movto, vmovto_);
    const QVariant series = puente_.value(c.series);
    if (const char* mnemonic = mnemonicOf(pass, series))
        setText(f.serie, QLatin1String(mnemonic));
    else
        set(f.serie, series.isNull() ? QString() : variantToText(series));
    set(f.folio, puente_.value(c.docnum));
    setText(f.fecha, QStringView(dates_->sortable(fecha)));
    setText(f.vencto, QStringView(dates_->sortable(vencto)));
    set(f.total, doctotal);
    char total[MaxPesosText];
    const QLatin1String totalText(total, writePesos(variantToCurrency(doctotal), total));
    setText(f.mtotal, totalText);
    char openText[MaxPesosText];
    const QLatin1String amountText =
        open ? QLatin1String(openText, writePesos(open->open, openText)) : totalText;
    const auto setAmount = [&](int field) {
        if (open)
            file.setRecordNumber(raw, field, open->open.toDouble());
        else
            set(field, doctotal);
    };
    if (invoice) {
        setAmount(f.cargo);
        file.setRecordNumber(raw, f.abono, 0);
        setText(f.mcargo, amountText);
    } else {
        file.setRecordNumber(raw, f.cargo, 0);
        setAmount(f.abono);
        setText(f.mabono, amountText);
    }
    setText(f.mfecha, QStringView(dates_->display(fecha)));
    setText(f.mvencto, QStringView(dates_->display(vencto)));
    if (pass.kind == DocumentKind::Payment) {
        set(f.referencia, puente_.value(c.counterref));
    } else {
        set(f.referencia, puente_.value(c.numatcard));
        set(f.aplicado, open ? QVariant(open->applied.toDouble()) : puente_.value(c.paidtodate));
    }
}

// The documents before the period as one row, dated the day before it starts.
void StatementBuilder::appendOpeningRow() {
    const MovementFields& f = *fields_;
    const MovementsFile& file = *movtos_.file();
    const qsizetype start = pending_.size();
    pending_.append(file.recordLength(), ' ');
    auto set = [&](int field, const QVariant& value) {
        file.setRecordField(pending_.data() + start, field, value);
    };
    const QDate day = options_.from.addDays(-1);
    const Currency balance = openingCharges_ - openingCredits_;
    set(f.fecha, dates_->sortable(day));
    set(f.total, balance.toDouble());
    set(f.mtotal, pesos(balance));
    set(f.cargo, openingCharges_.toDouble());
    set(f.abono, openingCredits_.toDouble());
    set(f.mcargo, pesos(openingCharges_));
    set(f.mabono, pesos(openingCredits_));
    set(f.mfecha, dates_->display(day));
    set(f.referencia, QStringLiteral("SALDO ANTERIOR"));
    storePending();
}

}  // namespace qev
