#include "statement/StatementBuilder.h"

#include "data/TablaMovtos.h"
#include "data/TablaPuente.h"
#include "data/TablaSql.h"
#include "format/AmountText.h"
#include "format/DateText.h"
#include "format/FormatSettings.h"
#include "statement/RunningBalance.h"
#include "statement/VariantConversion.h"

#include <array>
#include <optional>

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

bool accepted(const DocumentPass& pass, const TablaPuente& puente) {
    if (!textIs(puente.value(QStringLiteral("canceled")), "N")) return false;
    switch (pass.kind) {
        case DocumentKind::Invoice:
            return seriesNumber(puente.value(QStringLiteral("series"))) !=
                   double(excludedInvoiceSeries);
        case DocumentKind::CreditNote:
            return textIs(puente.value(QStringLiteral("doctype")), pass.doctype);
        case DocumentKind::Payment:
            return true;
    }
    return false;
}

// The series as text, replaced by its mnemonic when the pass has one.
QString serieText(const DocumentPass& pass, const QVariant& series) {
    if (const auto number = seriesNumber(series)) {
        for (const Mnemonic& m : pass.mnemonics)
            if (m.text && *number == m.series) return QLatin1String(m.text);
    }
    return series.isNull() ? QString() : variantToText(series);
}

// "24/06/2016" -> "2016/06/24": sorts in date order whatever the date separator.
QString sortableDate(const QString& shortDate) {
    return shortDate.mid(6, 4) + u'/' + shortDate.mid(3, 2) + u'/' + shortDate.mid(0, 2);
}

}  // namespace

StatementBuilder::StatementBuilder(TablaPuente& puente, TablaMovtos& movtos, TablaSql& sql)
    : puente_(puente), movtos_(movtos), sql_(sql) {}

void StatementBuilder::build(const QString& cardCode, const StatementHooks& hooks) {
    call(hooks.statementMode);
    call(hooks.showWait);
    movtos_.empty();
    vmovto_ = 1;
    for (const DocumentPass& pass : passes) {
        runPass(pass, cardCode);
        if (pass.number < 4 && hooks.afterPass) hooks.afterPass(pass.number);
    }
    RunningBalance(movtos_, sql_).run();
    call(hooks.finished);
}

void StatementBuilder::runPass(const DocumentPass& pass, const QString& cardCode) {
    puente_.setTableName(QLatin1String(pass.table));
    puente_.setCardCodeFilter(cardCode);
    try {
        readDocuments(pass);
    } catch (...) {
        // Left open, the table would refuse the next build's change of table name.
        closeDocumentTable();
        throw;
    }
    closeDocumentTable();
}

void StatementBuilder::readDocuments(const DocumentPass& pass) {
    puente_.open();
    for (puente_.first(); !puente_.eof(); puente_.next())
        if (accepted(pass, puente_)) storeMovement(pass);
}

void StatementBuilder::closeDocumentTable() {
    puente_.close();
    puente_.clearFilter();
}

void StatementBuilder::storeMovement(const DocumentPass& pass) {
    const FormatSettings& settings = formatSettings();
    const QString fecha =
        settings.shortDateText(variantToDate(puente_.value(QStringLiteral("docdate"))));
    const QString vencto =
        settings.shortDateText(variantToDate(puente_.value(QStringLiteral("docduedate"))));
    movtos_.append();
    try {
        writeMovement(pass, fecha, vencto);
        movtos_.post();
    } catch (...) {
        // A half-filled row is never stored.
        movtos_.cancel();
        throw;
    }
    ++vmovto_;
}

void StatementBuilder::writeMovement(const DocumentPass& pass, const QString& fecha,
                                     const QString& vencto) {
    const QVariant doctotal = puente_.value(QStringLiteral("doctotal"));
    const bool invoice = pass.kind == DocumentKind::Invoice;
    auto set = [this](const char* field, const QVariant& value) {
        movtos_.setField(QLatin1String(field), value);
    };

    set("movto", vmovto_);
    set("serie", serieText(pass, puente_.value(QStringLiteral("series"))));
    set("folio", puente_.value(QStringLiteral("docnum")));
    set("fecha", sortableDate(fecha));
    set("vencto", sortableDate(vencto));
    set("total", doctotal);
    const QString amountText = pesos(variantToCurrency(doctotal));
    set("mtotal", amountText);
    set("cargo", invoice ? doctotal : QVariant(0));
    set("abono", invoice ? QVariant(0) : doctotal);
    set(invoice ? "mcargo" : "mabono", amountText);
    set("mfecha", lafecha(fecha));
    set("mvencto", lafecha(vencto));
    if (pass.kind == DocumentKind::Payment) {
        set("referencia", puente_.value(QStringLiteral("counterref")));
    } else {
        set("referencia", puente_.value(QStringLiteral("numatcard")));
        set("aplicado", puente_.value(QStringLiteral("paidtodate")));
    }
}

}  // namespace qev
