#include "spreadsheet/StatementSheet.h"

#include "data/RecordSet.h"

namespace qev {

namespace {

std::optional<qint64> wholeOf(const QVariant& value) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    return !value.isNull() && ok ? std::optional<qint64>(number) : std::nullopt;
}

// "yyyy/MM/dd", read by hand: two per movement, and QDate::fromString reads
// its format anew each time.
QDate sortableDate(QStringView text) {
    if (text.size() != 10 || text[4] != u'/' || text[7] != u'/') return {};
    bool year = false, month = false, day = false;
    const QDate date(text.mid(0, 4).toInt(&year), text.mid(5, 2).toInt(&month),
                     text.mid(8, 2).toInt(&day));
    return year && month && day ? date : QDate();
}

// FECHA and VENCTO hold "yyyy/MM/dd" texts; other record sets may hold dates.
QDate dateOf(const QVariant& value) {
    if (value.isNull()) return {};
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return value.toDate();
    return sortableDate(QStringView(value.toString()).trimmed());
}

// The amount where the grid shows its text; none where the grid shows nothing.
std::optional<Currency> amountOf(const RecordSet& set, const char* field, const char* text) {
    if (set.displayText(QLatin1String(text)).trimmed().isEmpty()) return std::nullopt;
    const QVariant value = set.value(QLatin1String(field));
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (value.isNull() || !ok) return std::nullopt;
    return Currency::fromDouble(number);
}

SheetRow currentRow(const RecordSet& set) {
    SheetRow row;
    row.movto = wholeOf(set.value(QStringLiteral("MOVTO")));
    row.fecha = dateOf(set.value(QStringLiteral("FECHA")));
    row.serie = set.displayText(QStringLiteral("SERIE"));
    row.folio = wholeOf(set.value(QStringLiteral("FOLIO")));
    row.cargo = amountOf(set, "CARGO", "MCARGO");
    row.abono = amountOf(set, "ABONO", "MABONO");
    row.saldo = amountOf(set, "SALDO", "MSALDO");
    row.vencto = dateOf(set.value(QStringLiteral("VENCTO")));
    row.referencia = set.displayText(QStringLiteral("REFERENCIA"));
    return row;
}

}  // namespace

SheetCell cellOf(const SheetRow& row, std::size_t column) {
    const auto amount = [](const std::optional<Currency>& a) -> SheetCell {
        return a ? SheetCell(*a) : SheetCell();
    };
    const auto whole = [](const std::optional<qint64>& n) -> SheetCell {
        return n ? SheetCell(*n) : SheetCell();
    };
    const auto date = [](const QDate& d) -> SheetCell { return d.isValid() ? SheetCell(d) : SheetCell(); };
    switch (column) {
        case 0: return whole(row.movto);
        case 1: return date(row.fecha);
        case 2: return row.serie;
        case 3: return whole(row.folio);
        case 4: return amount(row.cargo);
        case 5: return amount(row.abono);
        case 6: return amount(row.saldo);
        case 7: return date(row.vencto);
        case 8: return row.referencia;
    }
    return {};
}

std::vector<SheetRow> readSheetRows(RecordSet& movements) {
    const int position = movements.position();
    std::vector<SheetRow> rows;
    rows.reserve(std::size_t(std::max(0, movements.recordCount())));
    for (movements.first(); !movements.eof(); movements.next()) rows.push_back(currentRow(movements));
    if (position >= 0 && position < movements.recordCount()) movements.goTo(position);
    return rows;
}

}  // namespace qev
