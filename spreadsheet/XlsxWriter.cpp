#include "spreadsheet/XlsxWriter.h"

#include "format/AmountText.h"
#include "format/Error.h"
#include "spreadsheet/StatementSheet.h"
#include "spreadsheet/XlsxLibraries.h"
#include "spreadsheet/XlsxPackageCheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace qev {

namespace {

const XlsxLibrary& lxw() {
    return XlsxLibrary::get();
}

const char* const MovementsSheet = "Movimientos";
const char* const AgeingSheet = "Antigüedad";
// Pesos as the statement shows them, negatives with the sign before the "$".
const char* const MoneyFormat = "\"$\"#,##0.00;-\"$\"#,##0.00";
const char* const DateFormat = "dd/mm/yyyy";

// Rows of the movements sheet: code, name, the period (or nothing), the titles,
// the movements.
constexpr lxw_row_t TitleRow = 3;
constexpr lxw_row_t FirstMovementRow = TitleRow + 1;
// Excel's own limits: dates before 1900 do not exist for it; a reference can
// be long, a column wider than this is no help.
constexpr int FirstExcelYear = 1900;
constexpr double MaxColumnWidth = 60;

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

struct Formats {
    lxw_format* title;
    lxw_format* money;
    lxw_format* moneyTotal;
    lxw_format* date;
    lxw_format* label;
};

Formats addFormats(lxw_workbook* book) {
    Formats f{};
    f.title = lxw().workbook_add_format(book);
    lxw().format_set_bold(f.title);
    lxw().format_set_bottom(f.title, LXW_BORDER_THIN);
    f.money = lxw().workbook_add_format(book);
    lxw().format_set_num_format(f.money, MoneyFormat);
    f.moneyTotal = lxw().workbook_add_format(book);
    lxw().format_set_num_format(f.moneyTotal, MoneyFormat);
    lxw().format_set_bold(f.moneyTotal);
    lxw().format_set_top(f.moneyTotal, LXW_BORDER_THIN);
    f.date = lxw().workbook_add_format(book);
    lxw().format_set_num_format(f.date, DateFormat);
    lxw().format_set_align(f.date, LXW_ALIGN_LEFT);
    f.label = lxw().workbook_add_format(book);
    lxw().format_set_bold(f.label);
    return f;
}

// Every write is checked: the first failure ends the workbook with its reason.
void check(lxw_error error) {
    if (error != LXW_NO_ERROR)
        throw Error(QStringLiteral("No se pudo crear la hoja de cálculo: %1.")
                        .arg(QString::fromUtf8(lxw().lxw_strerror(error))));
}

void writeText(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QString& text,
               lxw_format* format = nullptr) {
    if (text.isEmpty()) return;  // an empty string cell is no help to anyone
    check(lxw().worksheet_write_string(sheet, row, col, utf8(text).constData(), format));
}

void writeDate(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const QDate& date,
               const Formats& f) {
    if (date.year() < FirstExcelYear) {
        writeText(sheet, row, col, date.toString(Qt::ISODate));
        return;
    }
    lxw_datetime value{date.year(), date.month(), date.day(), 0, 0, 0.0};
    check(lxw().worksheet_write_datetime(sheet, row, col, &value, f.date));
}

// The text the cell shows, for the width of its column.
qsizetype shownWidth(const SheetCell& cell) {
    struct Width {
        qsizetype operator()(std::monostate) const { return 0; }
        qsizetype operator()(qint64 n) const { return QString::number(n).size(); }
        qsizetype operator()(Currency c) const { return pesos(c).size(); }
        qsizetype operator()(const QDate&) const { return 10; }  // dd/mm/yyyy
        qsizetype operator()(const QString& s) const { return s.size(); }
    };
    return std::visit(Width{}, cell);
}

void writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const SheetCell& cell,
               const Formats& f) {
    struct Writer {
        lxw_worksheet* sheet;
        lxw_row_t row;
        lxw_col_t col;
        const Formats& f;
        void operator()(std::monostate) const {}
        void operator()(qint64 n) const {
            check(lxw().worksheet_write_number(sheet, row, col, double(n), nullptr));
        }
        void operator()(Currency c) const {
            check(lxw().worksheet_write_number(sheet, row, col, c.toDouble(), f.money));
        }
        void operator()(const QDate& d) const { writeDate(sheet, row, col, d, f); }
        void operator()(const QString& s) const { writeText(sheet, row, col, s); }
    };
    std::visit(Writer{sheet, row, col, f}, cell);
}

// Code and name of the supplier, each under its label, from the first row.
void writeSupplier(lxw_worksheet* sheet, const StatementSheet& statement, const Formats& f) {
    writeText(sheet, 0, 0, QStringLiteral("Codigo:"), f.label);
    writeText(sheet, 0, 1, statement.code);
    writeText(sheet, 1, 0, QStringLiteral("Nombre:"), f.label);
    writeText(sheet, 1, 1, statement.name);
}

constexpr lxw_row_t HeadingRow = 2;

void writeMovements(lxw_workbook* book, const StatementSheet& statement, const Formats& f) {
    if (statement.rows.size() > LXW_ROW_MAX - FirstMovementRow)
        throw Error(QStringLiteral("El estado de cuenta tiene %1 movimientos; una hoja de cálculo "
                                   "admite %2.")
                        .arg(statement.rows.size())
                        .arg(LXW_ROW_MAX - FirstMovementRow));
    lxw_worksheet* sheet = lxw().workbook_add_worksheet(book, MovementsSheet);
    writeSupplier(sheet, statement, f);
    writeText(sheet, HeadingRow, 0, statement.heading, f.label);

    std::array<qsizetype, SheetColumns.size()> widths{};
    for (std::size_t c = 0; c < SheetColumns.size(); ++c) {
        const QString title = QString::fromUtf8(SheetColumns[c].title);
        writeText(sheet, TitleRow, lxw_col_t(c), title, f.title);
        widths[c] = title.size() + 2;  // room for the filter's arrow
    }
    lxw_row_t row = FirstMovementRow;
    for (const SheetRow& movement : statement.rows) {
        for (std::size_t c = 0; c < SheetColumns.size(); ++c) {
            const SheetCell cell = cellOf(movement, c);
            writeCell(sheet, row, lxw_col_t(c), cell, f);
            widths[c] = std::max(widths[c], shownWidth(cell));
        }
        ++row;
    }
    for (std::size_t c = 0; c < SheetColumns.size(); ++c)
        check(lxw().worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                         std::min(double(widths[c]) + 1, MaxColumnWidth), nullptr));
    lxw().worksheet_freeze_panes(sheet, FirstMovementRow, 0);
    check(lxw().worksheet_autofilter(sheet, TitleRow, 0, std::max(TitleRow, row - 1),
                                     lxw_col_t(SheetColumns.size() - 1)));
}

void writeAgeing(lxw_workbook* book, const StatementSheet& statement, const AgeingSummary& ageing,
                 const Formats& f) {
    lxw_worksheet* sheet = lxw().workbook_add_worksheet(book, AgeingSheet);
    writeSupplier(sheet, statement, f);
    writeText(sheet, HeadingRow, 0, QStringLiteral("Al:"), f.label);
    if (ageing.asOf.isValid()) writeDate(sheet, HeadingRow, 1, ageing.asOf, f);
    lxw_row_t row = 4;
    writeText(sheet, row, 0, QStringLiteral("Antigüedad"), f.title);
    writeText(sheet, row, 1, QStringLiteral("Importe"), f.title);
    for (const AgeingBucket& bucket : ageing.buckets) {
        ++row;
        writeText(sheet, row, 0, bucket.label);
        check(lxw().worksheet_write_number(sheet, row, 1, bucket.amount.toDouble(), f.money));
    }
    ++row;
    writeText(sheet, row, 0, QStringLiteral("Total"), f.label);
    check(lxw().worksheet_write_number(sheet, row, 1, ageing.total.toDouble(), f.moneyTotal));
    check(lxw().worksheet_set_column(sheet, 0, 0, 16, nullptr));
    check(lxw().worksheet_set_column(sheet, 1, 1, 20, nullptr));
}

}  // namespace

QByteArray statementXlsx(const StatementSheet& statement) {
    // libxlsxwriter writes a file of its own (and its scratch files) by name:
    // both go into a folder that is removed afterwards.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw Error(QStringLiteral("No se pudo crear una carpeta temporal: %1.")
                        .arg(scratch.errorString()));
    const QByteArray folder = QFile::encodeName(scratch.path());
    const QString path = scratch.filePath(QStringLiteral("estado.xlsx"));
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(folder.constData());
    lxw_workbook* book = lxw().workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book) throw Error(QStringLiteral("No se pudo crear la hoja de cálculo."));
    try {
        const Formats f = addFormats(book);
        writeMovements(book, statement, f);
        if (statement.ageing) writeAgeing(book, statement, *statement.ageing, f);
    } catch (...) {
        lxw().lxw_workbook_free(book);
        throw;
    }
    check(lxw().workbook_close(book));  // writes the file and frees the workbook
    checkXlsxPackage(path);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("No se pudo leer la hoja de cálculo recién escrita: %1.")
                        .arg(file.errorString()));
    return file.readAll();
}

}  // namespace qev
