#pragma once

#include "format/Currency.h"
#include "statement/AgeingSummary.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <variant>
#include <vector>

namespace qev {

class RecordSet;

// One movement as a spreadsheet shows it: the values behind the grid's texts.
// An amount the grid leaves empty (the credit of an invoice, say) is empty here.
struct SheetRow {
    std::optional<qint64> movto;
    QDate fecha;
    QString serie;
    std::optional<qint64> folio;
    std::optional<Currency> cargo, abono, saldo;
    QDate vencto;
    QString referencia;
};

// One supplier's statement as the spreadsheet exports write it.
struct StatementSheet {
    QString code;
    QString name;
    QString heading;             // the period, as the printed statement says it; may be empty
    std::vector<SheetRow> rows;  // in statement order
    std::optional<AgeingSummary> ageing;  // statements of open items
};

// The columns of the movements grid, in its order and with its titles.
enum class ColumnKind { Whole, Date, Text, Amount };
struct SheetColumn {
    const char* title;  // UTF-8
    ColumnKind kind;
};
inline constexpr std::array<SheetColumn, 9> SheetColumns{{
    {"#", ColumnKind::Whole},
    {"Fecha", ColumnKind::Date},
    {"Docto.", ColumnKind::Text},
    {"Folio", ColumnKind::Whole},
    {"Cargo", ColumnKind::Amount},
    {"Abono", ColumnKind::Amount},
    {"Saldo", ColumnKind::Amount},
    {"Vencimiento", ColumnKind::Date},
    {"Referencia", ColumnKind::Text},
}};

// The value of one cell: empty, a whole number, an amount, a date or a text,
// as its column's kind says.
using SheetCell = std::variant<std::monostate, qint64, Currency, QDate, QString>;
SheetCell cellOf(const SheetRow& row, std::size_t column);

// The movement rows of a record set from its first row to its last, in the
// order it holds them (the ordered movements query: statement order). The
// cursor is left where it was.
std::vector<SheetRow> readSheetRows(RecordSet& movements);

}  // namespace qev
